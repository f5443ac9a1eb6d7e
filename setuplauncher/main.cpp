// Launchlet: starts "Setup.exe" from the current folder in silent mode with
// the launcher's own arguments and waits for it. Shows and prints nothing.
//   Launchlet [arguments for the setup program]
#include "setup_launch.h"
#include "silent_switch.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <exception>
#include <string>

namespace {

constexpr int kExitNotStarted = -1;

// Asks the system to end the process on heap corruption, where it can.
void hardenHeap()
{
    using HeapSetInformationFn = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
    vetra::unique_module kernel32(::LoadLibraryA("kernel32.dll"));
    if (!kernel32)
        return;
    auto heapSetInformation = reinterpret_cast<HeapSetInformationFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32.get(), "HeapSetInformation")));
    if (heapSetInformation)
        heapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace

// commandLine is the command line without the program name, as the runtime
// hands it over.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    hardenHeap();
    try {
        std::string parameters = commandLine ? commandLine : "";
        ensureSilentSwitch(parameters);
        return launchSetup(parameters);
    } catch (const std::exception&) {
        // Only memory for the parameter text can run out; nothing was started.
        return kExitNotStarted;
    }
}
