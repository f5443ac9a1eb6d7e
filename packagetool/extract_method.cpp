#include "extract_method.h"

#include "entry_info.h"
#include "entry_paths.h"
#include "file_times.h"
#include "folders.h"
#include "text_helpers.h"
#include "zip_reader.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <set>

namespace {

// Outside the zip reader's status codes, so a failed read (UNZ_ERRNO, -1) is
// never taken for a failed write.
constexpr int kWriteFailed = -1000;
constexpr int kOutOfMemory = -4;
constexpr std::size_t kTransferBufferSize = 4096;

// Folders that this run already found or made for an extracted file, so the
// next file in the same folder need not probe it again.
std::set<std::string> knownFolders;

void makeSureFolderExists(const std::string& folderPath)
{
    if (knownFolders.count(folderPath) != 0)
        return;
    if (probePath(folderPath) != PathKind::folder)
        createFolderChain(folderPath);
    if (probePath(folderPath) == PathKind::folder)
        knownFolders.insert(folderPath);
}

// The C runtime's error number for a failed open of a file for writing.
int errnoOfOpenFailure(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    default:
        return EINVAL;
    }
}

// The protected package that the target path names, if any: by full path
// before the target is opened, by identity once an existing file is open.
const ProtectedFile* protectedTarget(const ProtectedFiles& protectedFiles, const std::string& targetFullPath,
                                     const FileIdentity& target)
{
    for (const auto& package : protectedFiles) {
        if (!targetFullPath.empty() && ::lstrcmpiA(targetFullPath.c_str(), package.fullPath.c_str()) == 0)
            return &package;
        if (target.sameAs(package.identity))
            return &package;
    }
    return nullptr;
}

void refuseOverwritingPackage(const char* entryName, const ProtectedFile& package)
{
    std::printf("Skipped entry %s: it would overwrite the package %s.\n", entryName, package.path.c_str());
}

// Why the entry must not be written below baseFolder, if anything.
EntryPathProblem entryProblem(const std::string& baseFolder, const char* entryName, const unz_file_info64& info)
{
    std::string name = entryName;
    replaceChar(name, '/', '\\');
    const auto problem = checkEntryTarget(baseFolder, name);
    if (problem == EntryPathProblem::none && isNameCut(info))
        return EntryPathProblem::tooLong;  // never write under a cut name
    return problem;
}

// Prints why an entry is not written; false when it may be written.
bool refuseEntry(unzFile reader, const std::string& baseFolder, const char* entryName, const unz_file_info64& info)
{
    switch (entryProblem(baseFolder, entryName, info)) {
    case EntryPathProblem::none:
        return false;
    case EntryPathProblem::leavesBaseFolder:
        std::printf("Skipped entry %s: its name leads outside the output folder.\n", entryName);
        return true;
    case EntryPathProblem::namesDevice:
        std::printf("Skipped entry %s: its name is reserved for a device.\n", entryName);
        return true;
    case EntryPathProblem::tooLong:
        std::printf("Skipped entry %s: its path below %s is longer than %u characters.\n",
                    fullEntryName(reader, info, entryName).c_str(), baseFolder.c_str(),
                    static_cast<unsigned>(kMaxComposedPath));
        return true;
    }
    return true;
}

void warnAboutEntry(const char* entryName, int result)
{
    if (result == UNZ_CRCERROR)
        std::printf("Warning: entry %s failed its CRC check; the extracted file is damaged.\n", entryName);
    else if (result == kWriteFailed)
        std::printf("Warning: failed to write entry %s; the extracted file is incomplete.\n", entryName);
    else
        std::printf("Warning: failed to read entry %s (status %d); the extracted file is incomplete.\n", entryName,
                    result);
}

// Hands one entry to extraction, making its parent folder first unless the
// entry will be refused (so no folder is made outside the base folder).
void extractEntry(unzFile reader, CreatedFolders& createdFolders, const std::string& outputFolder,
                  const char* entryName, const unz_file_info64& info, const ProtectedFiles& protectedFiles)
{
    if (entryProblem(outputFolder, entryName, info) == EntryPathProblem::none)
        ensureParentFolder(createdFolders, entryName, outputFolder);
    extractCurrentEntry(reader, outputFolder, entryName, info, protectedFiles);
}

}  // namespace

ProtectedFile protectedFile(const std::string& path)
{
    return ProtectedFile{path, fullPathOf(path), identityOf(path)};
}

int extractCurrentEntry(unzFile reader, const std::string& baseFolder, const char* entryName,
                        const unz_file_info64& info, const ProtectedFiles& protectedFiles)
{
    if (refuseEntry(reader, baseFolder, entryName, info))
        return kEntryRefused;

    std::string targetPath;
    std::string targetFullPath;
    try {
        std::string name = entryName;
        replaceChar(name, '/', '\\');
        targetPath = baseFolder + '\\' + name;
        targetFullPath = fullPathOf(targetPath);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (const auto* package = protectedTarget(protectedFiles, targetFullPath, FileIdentity{})) {
        refuseOverwritingPackage(entryName, *package);
        return kEntryRefused;
    }

    try {
        // The folder part, probed without its final '\\' so that an existing
        // folder is found and left alone.
        makeSureFolderExists(targetPath.substr(0, static_cast<std::size_t>(lastBackslash(targetPath))));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }

    // Opened without truncating it, so that an existing file that turns out to
    // be a package of this run (a link, another spelling) stays untouched.
    const HANDLE opened = ::CreateFileA(targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD openError = ::GetLastError();
    vetra::unique_file file(opened);
    if (!file)
        return errnoOfOpenFailure(openError);
    if (openError == ERROR_ALREADY_EXISTS) {
        // The whole identity (with the volume) is read only when the cheap
        // file index matches one of the packages.
        unsigned long long index = 0;
        const bool indexKnown = fileIndexOf(file.get(), index);
        bool mayBePackage = !indexKnown;
        for (const auto& package : protectedFiles)
            mayBePackage = mayBePackage || (package.identity.known && package.identity.index() == index);
        const FileIdentity identity = mayBePackage ? identityOf(file.get()) : FileIdentity{};
        if (const auto* package = protectedTarget(protectedFiles, std::string(), identity)) {
            refuseOverwritingPackage(entryName, *package);
            return kEntryRefused;
        }
        if (!::SetEndOfFile(file.get()))
            return errnoOfOpenFailure(::GetLastError());
    }

    if (const int status = unzOpenCurrentFile(reader); status != UNZ_OK) {
        std::printf("Warning: entry %s cannot be decoded (status %d); an empty file was left.\n", entryName,
                    status);
        return status;
    }

    char buffer[kTransferBufferSize];
    int result = 0;
    for (;;) {
        const int count = unzReadCurrentFile(reader, buffer, sizeof buffer);
        if (count <= 0) {
            result = count;
            break;
        }
        DWORD written = 0;
        if (!::WriteFile(file.get(), buffer, static_cast<DWORD>(count), &written, nullptr) ||
            written != static_cast<DWORD>(count)) {
            result = kWriteFailed;
            break;
        }
    }
    // The times go on through the open file, once all bytes are out.
    if (result == 0)
        setFileTimesOnHandle(file.get(), static_cast<std::uint32_t>(info.dosDate));
    if (!::CloseHandle(file.release()) && result == 0)
        result = kWriteFailed;

    const int closeStatus = unzCloseCurrentFile(reader);
    if (result == 0)
        result = closeStatus;
    if (result != 0)
        warnAboutEntry(entryName, result);
    return result;
}

int extractAllEntries(unzFile reader, CreatedFolders& createdFolders, const std::string& outputFolder,
                      const ProtectedFiles& protectedFiles)
{
    int count = 0;
    EntryNameBuffer name;
    for (int status = unzGoToFirstFile(reader); status == UNZ_OK; status = unzGoToNextFile(reader)) {
        unz_file_info64 info;
        if (!readEntryInfo(reader, info, name))
            continue;
        extractEntry(reader, createdFolders, outputFolder, name, info, protectedFiles);
        ++count;
    }
    return count;
}

int extractListedEntries(unzFile reader, CreatedFolders& createdFolders, const std::string& outputFolder,
                         const std::vector<std::string>& filterTexts, const ProtectedFiles& protectedFiles)
{
    int count = 0;
    EntryNameBuffer name;
    for (const auto& text : filterTexts) {
        if (unzLocateFile(reader, text.c_str(), 2 /* ASCII case ignored */) != UNZ_OK)
            continue;
        unz_file_info64 info;
        if (!readEntryInfo(reader, info, name))
            continue;
        extractEntry(reader, createdFolders, outputFolder, name, info, protectedFiles);
        ++count;
    }
    return count;
}

int extractPackage(CreatedFolders& createdFolders, const std::string& packagePath, const OptionalPath& outputFolder,
                   const std::vector<std::string>& filterTexts)
{
    const ZipReader reader(packagePath);
    if (!reader.isOpen()) {
        std::printf("can't find the package file specified,\n");
        std::printf("make sure the file path is correct.\n");
        return 0;
    }
    if (!outputFolder) {
        std::printf("the string of output folder path should not null.\n");
        return 0;
    }
    switch (probePath(*outputFolder)) {
    case PathKind::missing:
        std::printf("can't find the output folder specified,\n");
        std::printf("make sure the output folder path is correct.\n");
        return 0;
    case PathKind::other:
        std::printf("the output folder specified is not a directory,\n");
        std::printf("make sure the output folder path is correct.\n");
        return 0;
    case PathKind::folder:
        break;
    }
    // No entry may be written over the package being read.
    const ProtectedFiles protectedFiles = {protectedFile(packagePath)};
    return filterTexts.empty()
               ? extractAllEntries(reader.get(), createdFolders, *outputFolder, protectedFiles)
               : extractListedEntries(reader.get(), createdFolders, *outputFolder, filterTexts, protectedFiles);
}
