#include "entry_names.h"

namespace unfurler {

namespace {

bool is_separator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

}  // namespace

entry_path entry_relative_path(std::wstring_view name)
{
    entry_path path;
    path.folder = !name.empty() && is_separator(name.back());
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = start;
        while (end < name.size() && !is_separator(name[end]))
            ++end;
        const std::wstring_view level = name.substr(start, end - start);
        // "." names the folder it stands in, and an empty level comes from a
        // doubled separator: joined as they are, both would make folder
        // creation ask for a folder that already exists.
        if (!level.empty() && level != L".") {
            if (!path.relative.empty())
                path.relative += L'\\';
            path.relative += level;
        }
        start = end + 1;
    }
    return path;
}

}  // namespace unfurler
