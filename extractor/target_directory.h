#pragma once
// Fixing the extraction folder.

#include <string>

namespace unfurler {

// Turns a TargetDirectory setting into an absolute folder path: empty gives
// the current folder; exactly "<temp>" a new UUID-named folder path under the
// user's temporary folder (not created here); a relative path is joined to the
// current folder; anything else is returned unchanged. Raises
// vetra::win32_error "GetCurrentDirectoryW", "GetTempPathW" or "UuidCreate".
std::wstring resolve_target_directory(const std::wstring& target_directory);

}  // namespace unfurler
