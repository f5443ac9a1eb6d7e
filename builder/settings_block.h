#pragma once
// The settings block of a self-extractor: the seven settings as INI text,
// written by the platform's private-profile writer so that it is exactly what
// the stub's private-profile reader expects.

#include <sfx/sfx_settings.h>

#include <string>

namespace stubsmith {

// The settings as UTF-8 INI text without byte-order mark or terminator:
// section "VEKSFX", then AllowOverride, ArgumentPrefix, LaunchArguments,
// Cleanup, LaunchExe, TargetDirectory, ShowErrors, each line ended by CR LF.
// Goes through a temporary UTF-16 file (prefix "sfx") in the user's temporary
// folder, which is removed on every path out. Raises vetra::win32_error, or
// std::runtime_error when the file read back is not UTF-16 INI text.
std::string make_settings_block(const sfx::sfx_settings& settings);

}  // namespace stubsmith
