#include "entry_info.h"
#include "entry_paths.h"
#include "extract_method.h"
#include "folders.h"
#include "package_methods.h"
#include "raw_copy.h"
#include "same_file.h"
#include "text_helpers.h"
#include "zip_reader.h"
#include "zip_writer.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <cstdio>
#include <set>

namespace {

void reportCannotCreateCopy()
{
    std::printf("can't create the package file int the output folder,\n");
    std::printf("please check the output folder.\n");
}

// What the copy loop learned about entries that did not copy cleanly.
struct CopyDamage {
    std::set<unsigned> damagedEntries;  // positions in the copy of entries to take out again
    bool broken = false;                // the copy cannot be mended
};

// Writes the copy's entries again, without the damaged ones, through a
// temporary file in the same folder that then replaces the copy. On failure
// the copy is removed. Returns true when a sound copy is left.
bool rewriteWithout(const std::string& copyPath, const std::string& outputFolder,
                    const std::set<unsigned>& damagedEntries)
{
    char temporary[MAX_PATH];
    if (::GetTempFileNameA(outputFolder.c_str(), "pcl", 0, temporary) == 0) {
        ::DeleteFileA(copyPath.c_str());
        return false;
    }
    bool sound = true;
    {
        const ZipReader reader(copyPath);
        ZipWriter writer(temporary, APPEND_STATUS_CREATE);
        sound = reader.isOpen() && writer.isOpen();
        unsigned position = 0;
        for (int status = sound ? unzGoToFirstFile(reader.get()) : UNZ_END_OF_LIST_OF_FILE;
             sound && status == UNZ_OK; status = unzGoToNextFile(reader.get()), ++position) {
            unz_file_info64 info;
            EntryNameBuffer name;
            if (!readEntryInfo(reader.get(), info, name)) {
                sound = false;
                break;
            }
            if (damagedEntries.count(position) == 0)
                sound = copyEntryRaw(reader.get(), writer, fullEntryName(reader.get(), info, name), info).result ==
                        RawCopyResult::copied;
            unzCloseCurrentFile(reader.get());
        }
        if (writer.close() != ZIP_OK)
            sound = false;
    }
    if (sound && ::MoveFileExA(temporary, copyPath.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    ::DeleteFileA(temporary);
    ::DeleteFileA(copyPath.c_str());
    return false;
}

}  // namespace

int deleteEntries(const std::string& packagePath, const OptionalPath& outputFolder, const FilterList& filters)
{
    if (!outputFolder || probePath(*outputFolder) != PathKind::folder) {
        std::printf("can't find the output folder specified,\n");
        std::printf("will create new directory.\n");
        if (outputFolder)
            createFolderChain(*outputFolder);
    }
    if (filters.empty())
        return 0;

    const ZipReader reader(packagePath);
    if (!reader.isOpen()) {
        std::printf("can't find the package file specified,\n");
        std::printf("please check the path of the package.\n");
        return 0;
    }
    if (!outputFolder) {
        reportCannotCreateCopy();
        return 0;
    }
    const int at = lastBackslash(packagePath);
    const std::string copyPath = *outputFolder + '\\' + packagePath.substr(static_cast<std::size_t>(at + 1));
    if (copyPath.size() > kMaxComposedPath) {
        std::printf("Warning: the path %s is longer than %u characters.\n", copyPath.c_str(),
                    static_cast<unsigned>(kMaxComposedPath));
        reportCannotCreateCopy();
        return 0;
    }
    // Writing the copy over its own source would destroy the package.
    if (isSameFile(copyPath, packagePath)) {
        std::printf("the output package %s is the source package itself,\n", copyPath.c_str());
        std::printf("please choose another output folder.\n");
        return 0;
    }
    ZipWriter writer(copyPath, APPEND_STATUS_CREATE);
    if (!writer.isOpen()) {
        reportCannotCreateCopy();
        return 0;
    }

    // No removed entry may be extracted over the source or the copy.
    const ProtectedFiles protectedFiles = {protectedFile(packagePath), protectedFile(copyPath)};
    CopyDamage damage;
    unsigned copiedEntries = 0;
    for (int status = unzGoToFirstFile(reader.get()); status == UNZ_OK; status = unzGoToNextFile(reader.get())) {
        unz_file_info64 info;
        EntryNameBuffer shortName;
        if (!readEntryInfo(reader.get(), info, shortName))
            continue;
        // The copy keeps the whole name, even one too long for the buffer.
        const std::string name = fullEntryName(reader.get(), info, shortName);
        Filter result;
        if (!filters.match(name.c_str(), result)) {
            // Once a write to the copy failed it cannot be completed (it is
            // removed below); the removed entries are still extracted.
            if (writer.failed()) {
                damage.broken = true;
                unzCloseCurrentFile(reader.get());
                continue;
            }
            const auto outcome = copyEntryRaw(reader.get(), writer, name, info);
            if (outcome.result == RawCopyResult::notIntact)
                std::printf("Warning: entry %s uses strong encryption, which a copy cannot keep; it is left out of "
                            "the copy.\n",
                            name.c_str());
            else if (outcome.result != RawCopyResult::copied)
                std::printf("Warning: entry %s could not be copied (status %d); it is left out of the copy.\n",
                            name.c_str(), outcome.status);
            if (outcome.result == RawCopyResult::damaged)
                damage.damagedEntries.insert(copiedEntries);
            if (outcome.result == RawCopyResult::unfinished)
                damage.broken = true;
            if (outcome.result == RawCopyResult::copied || outcome.result == RawCopyResult::damaged)
                ++copiedEntries;
        } else if (result.isExtract) {
            extractCurrentEntry(reader.get(), *outputFolder, name.c_str(), info, protectedFiles);
        }
        unzCloseCurrentFile(reader.get());
    }

    if (writer.close() != ZIP_OK)
        damage.broken = true;
    if (damage.broken) {
        ::DeleteFileA(copyPath.c_str());
        std::printf("the package file %s could not be written completely and was removed.\n", copyPath.c_str());
    } else if (!damage.damagedEntries.empty() && !rewriteWithout(copyPath, *outputFolder, damage.damagedEntries)) {
        std::printf("the package file %s could not be written completely and was removed.\n", copyPath.c_str());
    }
    return 0;
}
