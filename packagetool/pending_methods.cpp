// Methods a, r and d answer with a short note until they are built.
#include "package_methods.h"

#include <cstdio>

namespace {
int notAvailable(char method)
{
    std::printf("Method %c is not available in this build.\n", method);
    return 0;
}
}  // namespace

int archiveFolder(CreatedFolders&, const std::string&, const OptionalPath&, const std::vector<std::string>&)
{
    return notAvailable('a');
}

int replaceEntries(CreatedFolders&, const std::string&, const OptionalPath&, const OptionalPath&,
                   const std::vector<std::string>&)
{
    return notAvailable('r');
}

int deleteEntries(const std::string&, const OptionalPath&, const FilterList&)
{
    return notAvailable('d');
}
