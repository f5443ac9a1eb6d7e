#pragma once
// One whole run of the self-extractor stub, from its command line to its exit
// code.

#include <windows.h>

#include <string>

namespace unfurler {

// Shows a failure's text to the user (the program passes a message box; tests
// pass a recorder). Called only for an interactive user with error display
// on; must not throw.
using failure_presenter = void (*)(const std::wstring& message);

// Shows message in a box captioned "SFX" with an OK button and the stop icon,
// and waits until it is closed.
void show_failure_box(const std::wstring& message);

// Runs the stub on command_line (as GetCommandLineW gives it): finds the
// settings and the archive in own_file (null: the file the running program
// was loaded from; tests name a container), applies the stub options,
// extracts, launches LaunchExe and, with Cleanup on, waits for it and removes
// what was extracted. Returns 0, the launched program's exit code (Cleanup
// on), or 1 after a failure, which goes to present when the user is
// interactive and error display is on. Never throws.
DWORD run_unfurler(const wchar_t* command_line, const wchar_t* own_file, failure_presenter present);

}  // namespace unfurler
