#pragma once
// Start-up hardening shared by the programs.

#include <vetra/unique_handle.h>

#include <windows.h>

namespace vetra {

// Asks the system to end the process on heap corruption, where the system
// offers it (HeapSetInformation, information class 1); failure is ignored.
inline void harden_heap()
{
    using heap_set_information_fn = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
    unique_module kernel32(::LoadLibraryA("kernel32.dll"));
    if (!kernel32)
        return;
    auto heap_set_information = reinterpret_cast<heap_set_information_fn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32.get(), "HeapSetInformation")));
    if (heap_set_information)
        heap_set_information(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace vetra
