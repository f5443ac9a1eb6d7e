#pragma once
// Method a: adds the files of a working folder to a package.

#include <minizip/zip.h>

#include <windows.h>

#include <string>
#include <vector>

// Files whose entries were written and closed, to be removed from the
// working folder once the package itself is safely closed.
using FilesToRemove = std::vector<std::string>;

// Adds every file of the open listing (standing on item) and, recursively, of
// its subfolders, with entry names below relativeFolder ('/' between levels).
void walkFolder(HANDLE listing, WIN32_FIND_DATAA& item, zipFile writer, const std::string& workingFolder,
                const std::string& relativeFolder);

// Adds the first file that each filter text (a path below workingFolder)
// finds; files whose entries were finished are appended to filesToRemove.
void addFilteredFiles(zipFile writer, const std::string& workingFolder, const std::vector<std::string>& filterTexts,
                      FilesToRemove& filesToRemove);

// Adds one file as one deflated entry. When removeAfterwards is set and the
// entry was finished, the file's disk path goes to filesToRemove. Returns 1
// when the entry was written and closed, 0 when the file was skipped (after a
// warning when it could not be opened or read), or the writer's error status.
int addFile(const WIN32_FIND_DATAA& item, const std::string& workingFolder, zipFile writer,
            const std::string& relativeFolder, FilesToRemove* filesToRemove);
