// Launchlet: starts "Setup.exe" from the current folder in silent mode with
// the launcher's own arguments and waits for it. Shows and prints nothing.
//   Launchlet [arguments for the setup program]
#include "setup_launch.h"
#include "silent_switch.h"

#include <vetra/dll_search.h>
#include <vetra/heap_hardening.h>

#include <windows.h>

#include <exception>
#include <string>

namespace {

constexpr int kExitNotStarted = -1;

}  // namespace

// commandLine is the command line without the program name, as the runtime
// hands it over.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    vetra::restrict_dll_search();
    vetra::harden_heap();
    try {
        std::string parameters = commandLine ? commandLine : "";
        ensureSilentSwitch(parameters);
        return launchSetup(parameters);
    } catch (const std::exception&) {
        // Only memory for the parameter text can run out; nothing was started.
        return kExitNotStarted;
    }
}
