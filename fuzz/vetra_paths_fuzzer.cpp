// Fuzz target for the path-string helpers: checks the properties each one
// promises on arbitrary paths, not only that nothing crashes.
//
// Input: the first byte chooses how the rest becomes a wide string: odd, one
// character per byte (readable seeds, backslashes are easy to hit); even,
// little-endian 16-bit units, as paths are on Windows.

#include <vetra/paths.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

bool startsWith(const std::wstring& text, const std::wstring& head)
{
    return text.compare(0, head.size(), head) == 0;
}

bool allBackslashes(const std::wstring& text)
{
    return text.find_first_not_of(L'\\') == std::wstring::npos;
}

std::wstring decode(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    if (size == 0)
        return text;
    if (data[0] & 1) {
        for (std::size_t i = 1; i < size; ++i)
            text += static_cast<wchar_t>(data[i]);
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    return text;
}

void checkStrip(const std::wstring& path)
{
    const std::wstring trimmed = vetra::without_trailing_backslashes(path);
    std::wstring inPlace = path;
    vetra::strip_trailing_backslashes(inPlace);
    require(inPlace == trimmed, "strip in place and copy agree");
    require(startsWith(path, trimmed), "trimmed path is a leading part");
    require(allBackslashes(path.substr(trimmed.size())), "only backslashes are removed");
    require(trimmed.empty() || trimmed.back() != L'\\', "no trailing backslash is left");
}

void checkJoin(const std::wstring& left, const std::wstring& right)
{
    const std::wstring joined = vetra::join_path(left, right);
    const bool separator = !left.empty() && !right.empty() && left.back() != L'\\';
    require(joined == left + (separator ? L"\\" : L"") + right, "join adds one backslash exactly when needed");
}

void checkSplit(const std::wstring& path)
{
    std::wstring parent = L"stale", leaf = L"stale";
    vetra::split_path(path, parent, leaf);
    require(vetra::parent_path(path) == parent, "parent_path is split's parent");

    const std::wstring prefix(vetra::long_path_prefix);
    const std::size_t searchFrom = startsWith(path, prefix) ? prefix.size() : 0;
    const std::size_t at = path.rfind(L'\\');
    if (at == std::wstring::npos || at < searchFrom) {
        require(parent.empty() && leaf.empty(), "no separator: both parts empty");
    } else {
        require(leaf == path.substr(at + 1), "leaf follows the last backslash");
        require(leaf.find(L'\\') == std::wstring::npos, "leaf holds no backslash");
        require(startsWith(path, parent), "parent is a leading part");
        require(parent.size() <= at, "parent ends before the separator");
        require(allBackslashes(path.substr(parent.size(), at - parent.size())), "only backslashes between the parts");
        require(parent.size() >= searchFrom, "the long-path prefix is never cut");
        require(parent.size() == searchFrom || parent.back() != L'\\', "parent has no trailing backslash");
    }

    // Writing the result into the input itself gives the same answer.
    std::wstring aliased = path, otherLeaf;
    vetra::split_path(aliased, aliased, otherLeaf);
    require(aliased == parent && otherLeaf == leaf, "split into its own input (parent)");
    aliased = path;
    std::wstring otherParent;
    vetra::split_path(aliased, otherParent, aliased);
    require(otherParent == parent && aliased == leaf, "split into its own input (leaf)");
}

void checkExtension(const std::wstring& path)
{
    const std::wstring extension = vetra::path_extension(path);
    if (path.find(L'.') == std::wstring::npos) {
        require(extension.empty(), "no full stop: no extension");
        return;
    }
    require(!extension.empty() && extension[0] == L'.', "extension starts with its full stop");
    require(path.size() >= extension.size() && path.compare(path.size() - extension.size(), std::wstring::npos,
                                                            extension) == 0,
            "extension ends the path");
    require(extension.find(L'.', 1) == std::wstring::npos, "extension starts at the last full stop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring path = decode(data, size);
    checkStrip(path);
    checkSplit(path);
    checkExtension(path);
    checkJoin(path.substr(0, path.size() / 2), path.substr(path.size() / 2));
    // A '|' lets the input choose both sides of a join.
    const std::size_t bar = path.find(L'|');
    if (bar != std::wstring::npos)
        checkJoin(path.substr(0, bar), path.substr(bar + 1));
    return 0;
}
