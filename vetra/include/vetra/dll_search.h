#pragma once
// Start-up hardening shared by the programs: where the process looks for the
// DLLs it loads.

#include <windows.h>

namespace vetra {

// Limits the search for every DLL the process loads from now on to the
// system folder, so a DLL planted beside the program (a downloads or share
// folder that others can write) or in the current folder is never loaded.
// Every program calls this first, before anything can load a DLL that is not
// one of the system's known DLLs; the programs import only known DLLs
// statically, and those the system always takes from the system folder.
// SetDefaultDllDirectories is looked up at run time because Windows 7 without
// its update lacks it; there the current folder at least leaves the search.
// Returns true when the search is limited to the system folder. Never fails
// otherwise: a program runs on as before when neither call is available.
inline bool restrict_dll_search()
{
    using set_default_dll_directories_fn = BOOL(WINAPI*)(DWORD);
    // kernel32 is in every process from its start, so this loads nothing.
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr)
        return false;
    auto set_default_dll_directories = reinterpret_cast<set_default_dll_directories_fn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (set_default_dll_directories != nullptr &&
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return true;
    ::SetDllDirectoryW(L"");
    return false;
}

}  // namespace vetra
