#include "folders.h"

#include "entry_paths.h"
#include "text_helpers.h"

#include <vetra/unique_handle.h>

#include <windows.h>
#include <shlobj.h>

#include <new>

PathKind probePath(const std::string& path)
{
    WIN32_FIND_DATAA found;
    vetra::unique_find search(::FindFirstFileA(path.c_str(), &found));
    if (!search)
        return PathKind::missing;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::folder : PathKind::other;
}

void createFolderChain(const std::string& path)
{
    // The shell creates folder chains only from full paths.
    char fullPath[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return;
    ::SHCreateDirectoryExA(nullptr /* no window */, fullPath, nullptr /* default security */);
}

void ensureParentFolder(CreatedFolders& createdFolders, const std::string& relativePath,
                        const std::string& baseFolder)
{
    const int at = lastBackslash(relativePath);
    if (at <= 0)
        return;
    try {
        const std::string folder = relativePath.substr(0, static_cast<std::size_t>(at));
        if (createdFolders.count(folder) != 0)
            return;
        const std::string fullPath = baseFolder.empty() ? folder : baseFolder + '\\' + folder;
        if (fullPath.size() > kMaxComposedPath)
            return;  // callers refuse such paths with a message of their own
        if (probePath(fullPath) != PathKind::folder)
            createFolderChain(fullPath);
        createdFolders.emplace(folder, folder);
    } catch (const std::bad_alloc&) {
        // Out of memory: the folder is not recorded; the entry's own folder
        // step still creates it.
    }
}
