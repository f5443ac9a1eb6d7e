// Fuzz target for the one safety rule for entry names (vetra::check_entry_name
// and vetra::is_device_name), narrow and wide. Besides never crashing, the
// verdict must agree with a plain model of the rule written here from its
// description, the narrow and the wide form must agree on the same text, and
// a name judged safe must stay below its folder when its levels are resolved
// the way the system resolves them.
//
// Input: the first byte chooses how the rest becomes text: odd, one character
// per byte (both forms are checked); even, little-endian 16-bit units (wide
// form only, so characters beyond one byte are reached).

#include "fuzz_checks.h"

#include <vetra/entry_names.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using vetra::entry_name_verdict;

bool separator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::vector<std::wstring> levels_of(const std::wstring& path)
{
    std::vector<std::wstring> levels(1);
    for (wchar_t c : path) {
        if (separator(c))
            levels.emplace_back();
        else
            levels.back() += c;
    }
    return levels;
}

// The system's view of one level: trailing dots and spaces are dropped.
std::wstring trimmed(std::wstring level)
{
    while (!level.empty() && (level.back() == L'.' || level.back() == L' '))
        level.pop_back();
    return level;
}

std::wstring upper(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

bool model_device(const std::wstring& level)
{
    std::wstring base = upper(trimmed(level.substr(0, level.find(L'.'))));
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : fixed)
        if (base == name)
            return true;
    if (base.size() != 4)
        return false;
    const wchar_t digit = base[3];
    const bool port_digit = (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    return port_digit && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0);
}

entry_name_verdict model(const std::wstring& path)
{
    if (!path.empty() && separator(path.front()))
        return entry_name_verdict::leads_outside;
    if (path.find(L':') != std::wstring::npos)
        return entry_name_verdict::leads_outside;
    bool device = false;
    for (const std::wstring& level : levels_of(path)) {
        const bool only_dots_and_spaces = level.find_first_not_of(L". ") == std::wstring::npos;
        if (only_dots_and_spaces && std::count(level.begin(), level.end(), L'.') >= 2)
            return entry_name_verdict::leads_outside;
        device = device || model_device(level);
    }
    return device ? entry_name_verdict::names_device : entry_name_verdict::stays_inside;
}

// Depth below the folder after resolving every level as the system would;
// never below 0 for a safe name.
void check_stays_below(const std::wstring& path)
{
    long depth = 0;
    for (const std::wstring& level : levels_of(path)) {
        const std::wstring resolved = trimmed(level);
        if (resolved.empty() && !level.empty() && level.find_first_not_of(L". ") == std::wstring::npos &&
            std::count(level.begin(), level.end(), L'.') >= 2)
            --depth;
        else if (!resolved.empty() && resolved != L".")
            ++depth;
        require(depth >= 0, "a safe name never climbs above its folder");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::wstring wide;
    std::string narrow;
    const bool bytes = (data[0] & 1) != 0;
    if (bytes) {
        for (std::size_t i = 1; i < size; ++i) {
            narrow += static_cast<char>(data[i]);
            wide += static_cast<wchar_t>(data[i]);
        }
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            wide += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }

    const entry_name_verdict verdict = vetra::check_entry_name(std::wstring_view(wide));
    require(verdict == model(wide), "verdict agrees with the model of the rule");
    if (bytes)
        require(vetra::check_entry_name(std::string_view(narrow)) == verdict, "narrow and wide forms agree");
    if (verdict == entry_name_verdict::stays_inside)
        check_stays_below(wide);

    // Each level on its own, as a caller asks about one level.
    for (const std::wstring& level : levels_of(wide)) {
        require(vetra::is_device_name(std::wstring_view(level)) == model_device(level), "device names agree");
        if (bytes) {
            const std::string narrow_level(level.begin(), level.end());
            require(vetra::is_device_name(std::string_view(narrow_level)) == model_device(level),
                    "narrow device names agree");
        }
    }
    return 0;
}
