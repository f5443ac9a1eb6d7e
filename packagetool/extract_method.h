#pragma once
// Method e, and the extraction of single entries that method d shares.

#include "package_methods.h"
#include "same_file.h"

#include <minizip/unzip.h>

#include <string>
#include <vector>

// Returned by extractCurrentEntry for an entry it refuses to write (a name
// that leaves the base folder or names a device, a path too long, a target
// that is a package of this run); a warning was printed.
constexpr int kEntryRefused = -5;

// A package that extraction must never write: the package being read, or the
// copy being written.
struct ProtectedFile {
    std::string path;      // as the command line named it, for messages
    std::string fullPath;  // see fullPathOf
    FileIdentity identity;
};
using ProtectedFiles = std::vector<ProtectedFile>;

// Records the existing file at path as one extraction must not write.
ProtectedFile protectedFile(const std::string& path);

// Extracts every entry, in central-directory order, below outputFolder;
// returns the number of entries handed to extraction.
int extractAllEntries(unzFile reader, CreatedFolders& createdFolders, const std::string& outputFolder,
                      const ProtectedFiles& protectedFiles);

// Extracts the entries whose whole names equal the filter texts (ASCII case
// ignored, '/' and '\' distinct); returns the number extracted.
int extractListedEntries(unzFile reader, CreatedFolders& createdFolders, const std::string& outputFolder,
                         const std::vector<std::string>& filterTexts, const ProtectedFiles& protectedFiles);

// Writes the reader's current entry to baseFolder\entryName ('/' made '\'),
// creating its folder when missing and overwriting an existing file, then
// gives it the entry's time. A target that is one of protectedFiles is left
// untouched. Returns 0 on success; otherwise the C runtime error number of a
// failed file open (EACCES, ENOENT or EINVAL; silent: folder entries and
// read-only targets end here), a negative minizip status, -1 for a failed
// write, -4 when memory ran out, or kEntryRefused. Decoding and write
// failures print a warning; the file written so far stays.
int extractCurrentEntry(unzFile reader, const std::string& baseFolder, const char* entryName,
                        const unz_file_info64& info, const ProtectedFiles& protectedFiles);
