// Hostaid: carries out one installer support command (GetDiskSpace or
// SetRegistryForZelQual) and writes its result file.
#include "config_manager.h"
#include "run_hostaid.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <memory>

namespace {

// The run's state exists before main starts and is destroyed at its end.
std::unique_ptr<ConfigManager> g_configManager = std::make_unique<ConfigManager>();

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

int main(int argc, char** argv)
{
    hardenHeap();
    const int errorCode = RunHostaid(*g_configManager, argc, argv);
    g_configManager.reset();
    return errorCode;
}
