#include "entry_paths.h"

namespace {

// Windows drops trailing dots and spaces from a path level, so ". ." and
// "..." walk up just like "..".
bool isParentLevel(const std::string& level)
{
    int dots = 0;
    for (char c : level) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}

}  // namespace

EntryPathProblem checkEntryTarget(const std::string& baseFolder, const std::string& name)
{
    if (!name.empty() && name.front() == '\\')
        return EntryPathProblem::leavesBaseFolder;
    if (name.find(':') != std::string::npos)
        return EntryPathProblem::leavesBaseFolder;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto end = name.find('\\', start);
        const auto level = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (isParentLevel(level))
            return EntryPathProblem::leavesBaseFolder;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (baseFolder.size() + 1 + name.size() > kMaxComposedPath)
        return EntryPathProblem::tooLong;
    return EntryPathProblem::none;
}
