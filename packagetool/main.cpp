// Parcelor: edits, copies and extracts client install packages (zip files).
#include "driver.h"

#include <vetra/unique_handle.h>

#include <windows.h>

namespace {

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
    return runParcelor(argc, argv);
}
