#pragma once
// Checks on the file path that an entry would be extracted to.

#include <string>

// Every path the tool composes must fit a 260-character buffer with its
// terminator.
constexpr std::size_t kMaxComposedPath = 259;

enum class EntryPathProblem {
    none,
    leavesBaseFolder,  // a drive or stream ':', a leading '\', a ".." level
    tooLong,           // base folder, '\' and name exceed kMaxComposedPath
};

// Checks the entry name (its folder levels already joined by '\') that is to
// be written below baseFolder.
EntryPathProblem checkEntryTarget(const std::string& baseFolder, const std::string& name);
