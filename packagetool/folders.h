#pragma once
// Folder probes and creation for the package methods.

#include "package_methods.h"

#include <string>

enum class PathKind { missing, folder, other };

// What the path names, probed with FindFirstFileA on the path itself (so a
// path with a trailing '\' is reported missing).
PathKind probePath(const std::string& path);

// Creates the folder and every missing folder above it; failures are ignored.
// A relative path is taken relative to the current folder.
void createFolderChain(const std::string& path);

// Makes sure the folder part of relativePath (before its last '\') exists
// below baseFolder, once per run: the folder text is recorded in
// createdFolders. A path without '\' (or with only a leading one) is left alone.
void ensureParentFolder(CreatedFolders& createdFolders, const std::string& relativePath,
                        const std::string& baseFolder);
