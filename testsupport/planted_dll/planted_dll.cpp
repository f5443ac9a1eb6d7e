// A DLL that tests plant beside a program under the name of a DLL the program
// loads. When the system loads it, it creates "<its own file name>.loaded" in
// its own folder, so a test can tell that the plant was taken. It exports
// nothing: a program that took it would fail right after, as it should.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t marker[MAX_PATH + 16] = {};
    const DWORD length = ::GetModuleFileNameW(instance, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    ::lstrcatW(marker, L".loaded");
    const HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, /* security */ nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, /* template */ nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return TRUE;
}
