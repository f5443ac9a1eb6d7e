#include "archive_method.h"

#include "entry_paths.h"
#include "folders.h"
#include "package_methods.h"
#include "source_file.h"
#include "text_helpers.h"
#include "zip_writer.h"

#include <vetra/unique_handle.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kTransferBufferSize = 4096;
constexpr int kDeflate = 8;
constexpr int kDefaultLevel = -1;
constexpr std::uint64_t kZip64Threshold = 0xFFFFFFFFu;

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
void removeAddedFiles(const FilesToRemove& files, int closeStatus, const std::string& packagePath)
{
    if (files.empty())
        return;
    if (closeStatus != ZIP_OK) {
        std::printf("Warning: the package %s could not be completed (status %d); the named files stay in the "
                    "working folder.\n",
                    packagePath.c_str(), closeStatus);
        return;
    }
    for (const auto& path : files) {
        try {
            SourceFile::remove(path);
        } catch (const SourceFileError& error) {
            warnFileFailure(path, error.errorCode());
        }
    }
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

int addFile(const WIN32_FIND_DATAA& item, const std::string& workingFolder, zipFile writer,
            const std::string& relativeFolder, FilesToRemove* filesToRemove)
{
    const std::string diskPath = workingFolder + '\\' + relativeFolder + '\\' + item.cFileName;
    if (!fitsPathBuffer(diskPath))
        return 0;
    const std::string entryName = relativeFolder.empty() ? item.cFileName : relativeFolder + '/' + item.cFileName;

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
        // Files of 4 GiB or more get Zip64 records, so their sizes survive.
        if (zipOpenNewFileInZip64(writer, entryName.c_str(), &record, nullptr, 0, nullptr, 0, nullptr /* comment */,
                                  kDeflate, kDefaultLevel, size >= kZip64Threshold ? 1 : 0) != ZIP_OK)
            return 0;

        char buffer[kTransferBufferSize];
        bool written = true;
        for (std::size_t count; written && (count = file.read(buffer, sizeof buffer)) > 0;)
            written = zipWriteInFileInZip(writer, buffer, static_cast<unsigned>(count)) == ZIP_OK;
        file.close();
        closeStatus = zipCloseFileInZip(writer);
        if (closeStatus == ZIP_OK && written && filesToRemove)
            filesToRemove->push_back(diskPath);
        if (closeStatus == ZIP_OK && !written)
            closeStatus = ZIP_ERRNO;
    } catch (const SourceFileError& error) {
        warnFileFailure(diskPath, error.errorCode());
        return 0;
    }
    return closeStatus != ZIP_OK ? closeStatus : 1;
}

void walkFolder(HANDLE listing, WIN32_FIND_DATAA& item, zipFile writer, const std::string& workingFolder,
                const std::string& relativeFolder)
{
    do {
        if (!isFolder(item)) {
            addFile(item, workingFolder, writer, relativeFolder, nullptr);
            continue;
        }
        if (isDotItem(item.cFileName))
            continue;
        const std::string subfolder = relativeFolder.empty() ? item.cFileName : relativeFolder + '/' + item.cFileName;
        const std::string pattern = workingFolder + '\\' + subfolder + "\\*";
        if (!fitsPathBuffer(pattern))
            continue;
        WIN32_FIND_DATAA subItem;
        vetra::unique_find subListing(::FindFirstFileA(pattern.c_str(), &subItem));
        if (subListing)
            walkFolder(subListing.get(), subItem, writer, workingFolder, subfolder);
    } while (::FindNextFileA(listing, &item));
}

void addFilteredFiles(zipFile writer, const std::string& workingFolder, const std::vector<std::string>& filterTexts,
                      FilesToRemove& filesToRemove)
{
    for (const auto& text : filterTexts) {
        const std::string diskPath = workingFolder + '\\' + text;
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
        addFile(item, workingFolder, writer, relativeFolder, &filesToRemove);
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

    FilesToRemove filesToRemove;
    ZipWriter writer = openForAdding(createdFolders, packagePath);
    if (!writer.isOpen())
        return 0;
    try {
        if (!filterTexts.empty())
            addFilteredFiles(writer.get(), *workingFolder, filterTexts, filesToRemove);
        else
            walkFolder(listing.get(), item, writer.get(), *workingFolder, std::string());
    } catch (const std::bad_alloc&) {
        // Out of memory: the package is closed with the entries written so far.
    }
    const int closeStatus = writer.close();
    removeAddedFiles(filesToRemove, closeStatus, packagePath);
    return 0;
}
