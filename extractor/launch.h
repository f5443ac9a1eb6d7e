#pragma once
// Starting the configured program and removing what extraction created.

#include <windows.h>

#include <string>
#include <vector>

namespace unfurler {

// The command text that launch_program starts: the quoted program path, a
// space and the argument text. A program path whose extension is exactly
// ".bat" or ".cmd" is run as "<system folder>\cmd.exe" /s /c "TEXT", where
// TEXT is that command text, so that cmd.exe runs it unchanged whatever
// quotes and special characters it holds. Raises command_script_error when such
// a path holds a percent sign, which cmd.exe would expand.
std::wstring launch_command(const std::wstring& program_path, const std::wstring& arguments);

// Starts launch_command(program_path, arguments) in working_folder with the
// stub's environment and no inherited handles. With wait on, waits for the
// program to end and returns its exit code (0 when it cannot be read);
// otherwise returns 0 at once. Raises vetra::win32_error "Could not create
// process " followed by the command text, and the errors of launch_command.
DWORD launch_program(const std::wstring& program_path, const std::wstring& arguments,
                     const std::wstring& working_folder, bool wait);

// Removes the paths of created_paths newest first (files deleted, folders
// removed when empty), emptying the list. A path that no longer exists is
// skipped; one that cannot be removed is scheduled for removal at the next
// restart. Raises vetra::win32_error "GetFileAttributes" when a path's
// attributes cannot be read for another reason; the paths not yet handled
// then stay in the list.
void remove_extracted(std::vector<std::wstring>& created_paths);

}  // namespace unfurler
