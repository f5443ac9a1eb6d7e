#include "package_methods.h"

int replaceEntries(CreatedFolders& createdFolders, const std::string& packagePath, const OptionalPath& workingFolder,
                   const OptionalPath& outputFolder, const std::vector<std::string>& filterTexts)
{
    // The same texts are entry filters for the copy and file paths for the
    // adding step.
    const FilterList filters(filterTexts);
    deleteEntries(packagePath, outputFolder, filters);
    archiveFolder(createdFolders, packagePath, workingFolder, filterTexts);
    return 0;
}
