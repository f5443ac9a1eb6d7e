#pragma once
// Method a: adds the files of a working folder to a package.

#include "zip_writer.h"

#include <windows.h>

#include <string>
#include <vector>

// One run of method a: the package being written and what the run learned.
struct AddingRun {
    AddingRun(ZipWriter& packageWriter, const std::string& folder) : writer(packageWriter), workingFolder(folder) {}

    ZipWriter& writer;
    const std::string& workingFolder;
    // Files whose entries were written and closed, to be removed from the
    // working folder once the package itself is safely closed, with their
    // full paths (a file named twice is added once).
    std::vector<std::string> filesToRemove;
    std::vector<std::string> fullPathsToRemove;
    int firstFailure = ZIP_OK;  // the first minizip error while writing

    // True once the package cannot be completed; nothing more is added then.
    bool failed() const { return firstFailure != ZIP_OK || writer.failed(); }
};

// Adds every file of the open listing (standing on item) and, recursively, of
// its subfolders, with entry names below relativeFolder ('/' between levels).
void walkFolder(HANDLE listing, WIN32_FIND_DATAA& item, AddingRun& run, const std::string& relativeFolder);

// Adds the first file that each filter text (a path below the working
// folder) finds, once per file; a text that leads outside the working folder
// or names a device is refused with a warning.
void addFilteredFiles(AddingRun& run, const std::vector<std::string>& filterTexts);

// Adds one file as one deflated entry. When removeAfterwards is set and the
// entry was finished, the file goes to the run's files to remove. Returns 1
// when the entry was written and closed, 0 when the file was skipped (after a
// warning when it could not be opened or read), or the writer's error status,
// which the run also records.
int addFile(const WIN32_FIND_DATAA& item, AddingRun& run, const std::string& relativeFolder, bool removeAfterwards);
