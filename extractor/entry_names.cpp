#include "entry_names.h"

#include <algorithm>

namespace unfurler {

namespace {

// The system trims trailing dots and spaces from a path component, so ". ." or
// "..." can act as a parent reference too.
bool is_parent_reference(const std::wstring& component)
{
    const bool only_dots_and_spaces =
        std::all_of(component.begin(), component.end(), [](wchar_t c) { return c == L'.' || c == L' '; });
    return only_dots_and_spaces && std::count(component.begin(), component.end(), L'.') >= 2;
}

}  // namespace

std::wstring entry_relative_path(std::wstring name)
{
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

bool leaves_target_folder(const std::wstring& relative_path)
{
    if (!relative_path.empty() && relative_path.front() == L'\\')
        return true;
    if (relative_path.size() >= 2 && relative_path[1] == L':')
        return true;
    std::size_t start = 0;
    while (start <= relative_path.size()) {
        std::size_t end = relative_path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative_path.size();
        if (is_parent_reference(relative_path.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace unfurler
