#pragma once
// Stubsmith's entry point: the banner, the option table, the checks of the
// required options, the two records of a build, and the mapping of every
// failure to a console message and exit code 1.

#include "version_info.h"

#include <sfx/sfx_settings.h>

#include <functional>
#include <iosfwd>
#include <string>

namespace stubsmith {

// Runs one build: output path, zip path, settings, version information.
// Raises on failure (after removing its partial output).
using build_function = std::function<void(const std::wstring& sfx_path, const std::wstring& zip_path,
                                          const sfx::sfx_settings& settings, const version_info& version)>;

// Runs Stubsmith on a wide command line, printing to out, and returns the
// exit code: 0 after "Done.", 1 after the usage text or any failure. Every
// failure, including the build's, is caught and printed here; nothing
// escapes except what the stream itself raises.
int run_stubsmith(int argc, const wchar_t* const argv[], std::wostream& out, const build_function& build);

}  // namespace stubsmith
