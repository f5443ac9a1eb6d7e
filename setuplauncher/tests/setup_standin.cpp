// Stands in for "Setup.exe" in Launchlet's tests: waits a moment (so a
// launcher that does not wait is caught), records the command line it got
// after its program name in "received-arguments.txt" in the current folder,
// and exits with 3.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    ::Sleep(300);
    HANDLE file = ::CreateFileA("received-arguments.txt", GENERIC_WRITE, 0 /* shareMode */, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 100;
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(std::strlen(commandLine));
    const BOOL ok = ::WriteFile(file, commandLine, length, &written, nullptr);
    ::CloseHandle(file);
    return ok && written == length ? 3 : 101;
}
