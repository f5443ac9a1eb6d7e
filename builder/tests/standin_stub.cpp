// A stand-in for the self-extractor stub in the builder's own tests: a small
// program with a manifest and no version resource, as the real stub has. It
// exits with the number of its arguments, so a test can tell that it ran.
#include <windows.h>

#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    ::LocalFree(::CommandLineToArgvW(::GetCommandLineW(), &count));
    return count - 1;
}
