#pragma once
// Reading the settings text through the system's private-profile reader.

#include <sfx/sfx_settings.h>

#include <string>

namespace unfurler {

// Writes settings_text (a complete INI document) as UTF-16 into a new
// temporary file "vek....tmp" in the user's temporary folder, reads the seven
// keys of section "VEKSFX" from it with the defaults for absent keys
// (AllowOverride 1, ArgumentPrefix "-!", LaunchArguments "<pass>", Cleanup 0,
// LaunchExe "", TargetDirectory "", ShowErrors 1) into settings, and deletes
// the file on every way out. Values of any length are read whole. Raises
// vetra::win32_error "Could not create file " or "Could not write file " with
// the file's name, or those of vetra::temp_directory and vetra::temp_file_name.
void load_sfx_settings(const std::wstring& settings_text, sfx::sfx_settings& settings);

}  // namespace unfurler
