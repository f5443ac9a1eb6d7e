#pragma once
// The user's temporary folder and fresh temporary files in a folder.

#include <string>

namespace vetra {

// The user's temporary folder, ending with a backslash. Raises
// vetra::win32_error "GetTempPathW".
std::wstring temp_directory();

// Creates folder (with any missing parents) if needed, then a new empty file in
// it whose name the system chooses from the first three characters of prefix
// and a hexadecimal number, and returns the file's full name. The caller owns
// the file and deletes it. Raises vetra::win32_error as create_directories
// does, or "GetTempFileNameW" (for example when the folder is too long for the
// system).
std::wstring temp_file_name(const std::wstring& prefix, const std::wstring& folder);

}  // namespace vetra
