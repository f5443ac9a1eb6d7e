#pragma once
// Turning a zip entry name into a path below the target folder. Needs no
// Windows header.

#include <string>

namespace unfurler {

// The entry name with every forward slash turned into a backslash.
std::wstring entry_relative_path(std::wstring name);

// True when a relative path (as entry_relative_path gives it) would lead out
// of the folder it is joined to: a leading backslash (root or UNC), a drive
// prefix ("C:"), or a component made only of dots and spaces that holds at
// least two dots (".." and the forms the system trims to it).
bool leaves_target_folder(const std::wstring& relative_path);

}  // namespace unfurler
