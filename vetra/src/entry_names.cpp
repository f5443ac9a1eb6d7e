#include <vetra/entry_names.h>

#include <algorithm>
#include <cstddef>

namespace vetra {

namespace {

template <typename Char>
bool is_separator(Char c)
{
    return c == Char('\\') || c == Char('/');
}

// The system drops trailing dots and spaces from a level, so ". ." and "..."
// walk up just like "..".
template <typename Char>
bool is_parent_level(std::basic_string_view<Char> level)
{
    std::size_t dots = 0;
    for (Char c : level) {
        if (c == Char('.'))
            ++dots;
        else if (c != Char(' '))
            return false;
    }
    return dots >= 2;
}

template <typename Char>
Char ascii_upper(Char c)
{
    return (c >= Char('a') && c <= Char('z')) ? Char(c - Char('a') + Char('A')) : c;
}

template <typename Char>
bool equals_ascii_upper(std::basic_string_view<Char> text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (ascii_upper(text[i]) != Char(static_cast<unsigned char>(upper[i])))
            return false;
    return true;
}

// The digits that follow COM and LPT in a device name: 0 to 9 and the
// superscripts one, two and three (U+00B9, U+00B2, U+00B3; the same bytes in
// the Western ANSI code page).
template <typename Char>
bool is_port_digit(Char c)
{
    const auto code = static_cast<unsigned long>(static_cast<std::make_unsigned_t<Char>>(c));
    return (c >= Char('0') && c <= Char('9')) || code == 0xB9 || code == 0xB2 || code == 0xB3;
}

template <typename Char>
bool device_name(std::basic_string_view<Char> level)
{
    // The device is named by what comes before the first dot, without the
    // trailing spaces the system ignores: "CON.txt" and "nul .x" are devices.
    auto base = level.substr(0, std::min(level.find(Char('.')), level.size()));
    while (!base.empty() && (base.back() == Char(' ') || base.back() == Char('.')))
        base.remove_suffix(1);
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (equals_ascii_upper(base, name))
            return true;
    if (base.size() == 4 && is_port_digit(base[3])) {
        const auto prefix = base.substr(0, 3);
        return equals_ascii_upper(prefix, "COM") || equals_ascii_upper(prefix, "LPT");
    }
    return false;
}

template <typename Char>
entry_name_verdict check(std::basic_string_view<Char> path)
{
    if (!path.empty() && is_separator(path.front()))
        return entry_name_verdict::leads_outside;
    if (path.find(Char(':')) != std::basic_string_view<Char>::npos)
        return entry_name_verdict::leads_outside;
    bool device = false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !is_separator(path[end]))
            ++end;
        const auto level = path.substr(start, end - start);
        if (is_parent_level(level))
            return entry_name_verdict::leads_outside;
        device = device || device_name(level);
        start = end + 1;
    }
    return device ? entry_name_verdict::names_device : entry_name_verdict::stays_inside;
}

}  // namespace

entry_name_verdict check_entry_name(std::string_view relative_path)
{
    return check(relative_path);
}

entry_name_verdict check_entry_name(std::wstring_view relative_path)
{
    return check(relative_path);
}

bool is_device_name(std::string_view level)
{
    return device_name(level);
}

bool is_device_name(std::wstring_view level)
{
    return device_name(level);
}

}  // namespace vetra
