#include <vetra/paths.h>

#include <utility>

namespace vetra {

void strip_trailing_backslashes(std::wstring& path)
{
    const std::size_t kept = path.find_last_not_of(L'\\');
    path.erase(kept == std::wstring::npos ? 0 : kept + 1);
}

std::wstring without_trailing_backslashes(const std::wstring& path)
{
    std::wstring trimmed = path;
    strip_trailing_backslashes(trimmed);
    return trimmed;
}

std::wstring join_path(const std::wstring& left, const std::wstring& right)
{
    std::wstring joined;
    joined.reserve(left.size() + 1 + right.size());
    joined = left;
    if (!left.empty() && !right.empty() && left.back() != L'\\')
        joined += L'\\';
    joined += right;
    return joined;
}

void split_path(const std::wstring& path, std::wstring& parent, std::wstring& leaf)
{
    const std::size_t searchFrom =
        path.compare(0, long_path_prefix.size(), long_path_prefix) == 0 ? long_path_prefix.size() : 0;
    const std::size_t at = path.find_last_of(L'\\');
    if (at == std::wstring::npos || at < searchFrom) {
        parent.clear();
        leaf.clear();
        return;
    }
    // Trailing backslashes go, but never those of the prefix: \\?\\x keeps
    // \\?\ whole as its parent.
    std::size_t parentEnd = at;
    while (parentEnd > searchFrom && path[parentEnd - 1] == L'\\')
        --parentEnd;
    // Both parts are taken before either out-parameter changes: path may be
    // one of them.
    std::wstring newParent = path.substr(0, parentEnd);
    std::wstring newLeaf = path.substr(at + 1);
    parent = std::move(newParent);
    leaf = std::move(newLeaf);
}

std::wstring parent_path(const std::wstring& path)
{
    std::wstring parent, leaf;
    split_path(path, parent, leaf);
    return parent;
}

std::wstring path_extension(const std::wstring& path)
{
    const std::size_t at = path.find_last_of(L'.');
    return at == std::wstring::npos ? std::wstring() : path.substr(at);
}

}  // namespace vetra
