#include "archive_method.h"

#include "entry_paths.h"
#include "folders.h"
#include "package_methods.h"
#include "same_file.h"
#include "source_file.h"
#include "text_helpers.h"
#include "zip64_choice.h"

#include <vetra/entry_names.h>
#include <vetra/unique_handle.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kTransferBufferSize = 4096;
constexpr int kDeflate = 8;
constexpr int kDefaultLevel = -1;

bool isFolder(const WIN32_FIND_DATAA& item)
{
    return (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isDotItem(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Refuses a composed path that would not fit the 260-character buffers.
bool fitsPathBuffer(const std::string& path)
{
    if (path.size() <= kMaxComposedPath)
        return true;
    std::printf("Warning: skipped %s: the path is longer than %u characters.\n", path.c_str(),
                static_cast<unsigned>(kMaxComposedPath));
    return false;
}

void warnFileFailure(const std::string& diskPath, DWORD errorCode)
{
    // No line end: the next message continues on the same line.
    std::printf("Warning: File %s open/delete operation failed, win32error: %x", diskPath.c_str(),
                static_cast<unsigned>(errorCode));
}

std::uint32_t dosTimeOf(const FILETIME& lastWrite)
{
    FILETIME local;
    WORD date = 0, time = 0;
    if (!::FileTimeToLocalFileTime(&lastWrite, &local) || !::FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

// Removes the added files once their data are safe in the closed package.
void removeAddedFiles(const std::vector<std::string>& files)
{
    for (const auto& path : files) {
        try {
            SourceFile::remove(path);
        } catch (const SourceFileError& error) {
            warnFileFailure(path, error.errorCode());
        }
    }
}

// Tells what became of a package that could not be completed.
void reportIncompletePackage(const std::string& packagePath, int status, ZipWriter::Outcome outcome,
                             bool namedFilesStay)
{
    if (namedFilesStay)
        std::printf("Warning: the package %s could not be completed (status %d); the named files stay in the "
                    "working folder.\n",
                    packagePath.c_str(), status);
    else
        std::printf("Warning: the package %s could not be completed (status %d).\n", packagePath.c_str(), status);
    switch (outcome) {
    case ZipWriter::Outcome::putBack:
        std::printf("Warning: the package %s is left as it was before this run.\n", packagePath.c_str());
        break;
    case ZipWriter::Outcome::removed:
        std::printf("Warning: the unfinished package %s was removed.\n", packagePath.c_str());
        break;
    case ZipWriter::Outcome::damaged:
        std::printf("Warning: the package %s could not be put back as it was and may be damaged.\n",
                    packagePath.c_str());
        break;
    case ZipWriter::Outcome::complete:
        break;
    }
}

// Whether a filter text may name a file of the working folder: a text that
// leads outside it, or names a device, is refused with a warning.
bool namesFileInside(const std::string& text)
{
    // A final ":NOEXTRACT" marks the text for the copying step of method r
    // and is no part of the path: such a text simply finds no file.
    static const std::string kNoExtract = ":NOEXTRACT";
    std::string path = text;
    if (path.size() >= kNoExtract.size() && path.compare(path.size() - kNoExtract.size(), kNoExtract.size(), kNoExtract) == 0)
        path.erase(path.size() - kNoExtract.size());
    switch (vetra::check_entry_name(path)) {
    case vetra::entry_name_verdict::stays_inside:
        return true;
    case vetra::entry_name_verdict::leads_outside:
        std::printf("Warning: skipped %s: it names a file outside the working folder.\n", text.c_str());
        return false;
    case vetra::entry_name_verdict::names_device:
        std::printf("Warning: skipped %s: it names a device, not a file.\n", text.c_str());
        return false;
    }
    return false;
}

bool alreadyAdded(const AddingRun& run, const std::string& fullPath)
{
    for (const auto& added : run.fullPathsToRemove)
        if (::lstrcmpiA(added.c_str(), fullPath.c_str()) == 0)
            return true;
    return false;
}

// Opens the package for appending, or, when that fails (missing, not a zip
// archive, not writable), creates it anew together with its folder.
ZipWriter openForAdding(CreatedFolders& createdFolders, const std::string& packagePath)
{
    ZipWriter existing(packagePath, APPEND_STATUS_ADDINZIP);
    if (existing.isOpen())
        return existing;
    std::printf("can't find the package file specified,\n");
    std::printf("will create a new one.\n");
    ensureParentFolder(createdFolders, packagePath, std::string());
    return ZipWriter(packagePath, APPEND_STATUS_CREATE);
}

}  // namespace

int addFile(const WIN32_FIND_DATAA& item, AddingRun& run, const std::string& relativeFolder, bool removeAfterwards)
{
    const std::string diskPath = run.workingFolder + '\\' + relativeFolder + '\\' + item.cFileName;
    if (!fitsPathBuffer(diskPath))
        return 0;
    const std::string entryName = relativeFolder.empty() ? item.cFileName : relativeFolder + '/' + item.cFileName;
    // A file named twice (in other spellings, or by a pattern) is added once.
    const std::string fullPath = removeAfterwards ? fullPathOf(diskPath) : std::string();
    if (removeAfterwards && alreadyAdded(run, fullPath))
        return 0;

    int closeStatus = ZIP_OK;
    try {
        SourceFile file(diskPath);
        std::uint64_t size = 0;
        try {
            size = file.size();
        } catch (const SourceFileError&) {
            return 0;  // a file whose status cannot be read is skipped quietly
        }

        zip_fileinfo record{};
        record.dosDate = dosTimeOf(item.ftLastWriteTime);
        // Zip64 records whenever the entry might pass 4 GiB, counting what
        // deflate adds to data that do not compress.
        if (const int status = zipOpenNewFileInZip64(run.writer.get(), entryName.c_str(), &record, nullptr, 0,
                                                     nullptr, 0, nullptr /* comment */, kDeflate, kDefaultLevel,
                                                     needsZip64ForDeflate(size) ? 1 : 0);
            status != ZIP_OK) {
            run.firstFailure = status;
            return status;
        }

        char buffer[kTransferBufferSize];
        bool written = true;
        for (std::size_t count; written && (count = file.read(buffer, sizeof buffer)) > 0;)
            written = zipWriteInFileInZip(run.writer.get(), buffer, static_cast<unsigned>(count)) == ZIP_OK;
        file.close();
        closeStatus = zipCloseFileInZip(run.writer.get());
        if (closeStatus == ZIP_OK && !written)
            closeStatus = ZIP_ERRNO;
        if (closeStatus == ZIP_OK && removeAfterwards) {
            run.filesToRemove.push_back(diskPath);
            run.fullPathsToRemove.push_back(fullPath);
        }
    } catch (const SourceFileError& error) {
        warnFileFailure(diskPath, error.errorCode());
        return 0;
    }
    if (closeStatus != ZIP_OK) {
        run.firstFailure = closeStatus;
        return closeStatus;
    }
    return 1;
}

void walkFolder(HANDLE listing, WIN32_FIND_DATAA& item, AddingRun& run, const std::string& relativeFolder)
{
    do {
        if (run.failed())
            return;
        if (!isFolder(item)) {
            addFile(item, run, relativeFolder, false);
            continue;
        }
        if (isDotItem(item.cFileName))
            continue;
        const std::string subfolder = relativeFolder.empty() ? item.cFileName : relativeFolder + '/' + item.cFileName;
        const std::string pattern = run.workingFolder + '\\' + subfolder + "\\*";
        if (!fitsPathBuffer(pattern))
            continue;
        WIN32_FIND_DATAA subItem;
        vetra::unique_find subListing(::FindFirstFileA(pattern.c_str(), &subItem));
        if (subListing)
            walkFolder(subListing.get(), subItem, run, subfolder);
    } while (::FindNextFileA(listing, &item));
}

void addFilteredFiles(AddingRun& run, const std::vector<std::string>& filterTexts)
{
    for (const auto& text : filterTexts) {
        if (run.failed())
            return;
        if (!namesFileInside(text))
            continue;
        const std::string diskPath = run.workingFolder + '\\' + text;
        if (!fitsPathBuffer(diskPath))
            continue;
        const int at = lastBackslash(text);
        std::string relativeFolder = at > 0 ? text.substr(0, static_cast<std::size_t>(at)) : std::string();
        WIN32_FIND_DATAA item;
        vetra::unique_find listing(::FindFirstFileA(diskPath.c_str(), &item));
        if (!listing) {
            std::printf("can't find the file %s \n\n", diskPath.c_str());
            continue;
        }
        replaceChar(relativeFolder, '\\', '/');
        addFile(item, run, relativeFolder, true);
    }
}

int archiveFolder(CreatedFolders& createdFolders, const std::string& packagePath, const OptionalPath& workingFolder,
                  const std::vector<std::string>& filterTexts)
{
    WIN32_FIND_DATAA item;
    vetra::unique_find listing;
    if (workingFolder) {
        const std::string pattern = *workingFolder + "\\*";
        if (fitsPathBuffer(pattern))
            listing.reset(::FindFirstFileA(pattern.c_str(), &item));
    }
    if (!listing) {
        std::printf("can't find the working folder specified,\n");
        std::printf("make sure the working folder path is correct.\n");
        return 0;
    }
    if (!isFolder(item)) {
        std::printf("the working folder specified is not a directory,\n");
        std::printf("make sure the working folder path is correct.\n");
        return 0;
    }

    ZipWriter writer = openForAdding(createdFolders, packagePath);
    if (!writer.isOpen())
        return 0;
    AddingRun run(writer, *workingFolder);
    try {
        if (!filterTexts.empty())
            addFilteredFiles(run, filterTexts);
        else
            walkFolder(listing.get(), item, run, std::string());
    } catch (const std::bad_alloc&) {
        // Out of memory: the package is closed with the entries written so far.
    }
    // The package is written whole or not at all: after any failure an
    // appended package is put back as it was, and a new one is removed.
    int status = ZIP_OK;
    const auto outcome = writer.closeWholeOrNothing(run.firstFailure, status);
    if (outcome != ZipWriter::Outcome::complete) {
        reportIncompletePackage(packagePath, status, outcome, !filterTexts.empty());
        return 0;
    }
    removeAddedFiles(run.filesToRemove);
    return 0;
}
