#pragma once
// Checks on the file path that an entry would be extracted to.

#include <string>

// Every path the tool composes must fit a 260-character buffer with its
// terminator.
constexpr std::size_t kMaxComposedPath = 259;

enum class EntryPathProblem {
    none,
    leavesBaseFolder,  // a drive or stream ':', a leading '\', a ".." level
    namesDevice,       // a level such as CON, NUL.txt or COM1 opens a device
    tooLong,           // base folder, '\' and name exceed kMaxComposedPath
};

// Checks the entry name (its folder levels joined by '\' or '/') that is to be
// written below baseFolder, with the shared rule for entry names and the
// length of the composed path.
EntryPathProblem checkEntryTarget(const std::string& baseFolder, const std::string& name);
