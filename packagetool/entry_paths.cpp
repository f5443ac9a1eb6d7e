#include "entry_paths.h"

#include <vetra/entry_names.h>

EntryPathProblem checkEntryTarget(const std::string& baseFolder, const std::string& name)
{
    switch (vetra::check_entry_name(name)) {
    case vetra::entry_name_verdict::leads_outside:
        return EntryPathProblem::leavesBaseFolder;
    case vetra::entry_name_verdict::names_device:
        return EntryPathProblem::namesDevice;
    case vetra::entry_name_verdict::stays_inside:
        break;
    }
    if (baseFolder.size() + 1 + name.size() > kMaxComposedPath)
        return EntryPathProblem::tooLong;
    return EntryPathProblem::none;
}
