#include "package_methods.h"
#include "same_file.h"

#include <cstdio>

int replaceEntries(CreatedFolders& createdFolders, const std::string& packagePath, const OptionalPath& workingFolder,
                   const OptionalPath& outputFolder, const std::vector<std::string>& filterTexts)
{
    // Extracting the old entries into the working folder would put them where
    // the new files are taken from: the new files would be lost.
    if (workingFolder && outputFolder && isSameFile(*workingFolder, *outputFolder)) {
        std::printf("the output folder %s is the working folder itself,\n", outputFolder->c_str());
        std::printf("please choose another output folder.\n");
        return 0;
    }
    // The same texts are entry filters for the copy and file paths for the
    // adding step.
    const FilterList filters(filterTexts);
    deleteEntries(packagePath, outputFolder, filters);
    archiveFolder(createdFolders, packagePath, workingFolder, filterTexts);
    return 0;
}
