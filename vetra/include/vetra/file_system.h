#pragma once
// Questions to the file system about a path, folder creation, and the
// absolute, current and system folders. Failed Windows calls raise
// vetra::win32_error with the messages named below and GetLastError().

#include <string>
#include <vector>

namespace vetra {

// True when path exists and is not a folder. Raises win32_error
// "GetFileAttributes" when the attributes cannot be read, a missing path
// included.
bool is_file(const std::wstring& path);

// True when anything of that name exists (file or folder); false when the
// system reports it as not found (errors 2 and 3). Any other failure (a
// missing share, an invalid name, access denied) raises win32_error
// "GetFileAttributes" instead of passing for "missing".
bool path_exists(const std::wstring& path);

// Creates folder together with its missing parents and returns the folders
// that this call created, outermost first, without trailing backslashes.
// Returns an empty list when the path already exists (whatever it is) or is
// empty. Raises win32_error "GetFileAttributes" (see path_exists) or
// "CreateDirectory failed"; folders made before a failure stay on disk. A folder
// created by someone else while this runs makes it fail. Works on paths of any
// length (with the long-path prefix) without deep recursion.
std::vector<std::wstring> create_directories(const std::wstring& folder);

// The absolute form of path, resolved against the current folder; the empty
// string when the system cannot make one. Never raises except out of memory.
std::wstring full_path(const std::wstring& path);

// The current folder. Raises win32_error "GetCurrentDirectoryW".
std::wstring current_directory();

// The system folder (System32), or the empty string when the system does not
// report one. Never raises except out of memory.
std::wstring system_directory();

// The full path of the file that the running program was loaded from
// (GetModuleFileNameW of the process's own module), however long: the buffer
// grows until the path fits. Raises win32_error "GetModuleFileNameW".
std::wstring program_file_path();

}  // namespace vetra
