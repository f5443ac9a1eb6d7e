// The control of the planting tests: loads the DLL named on its command line
// by its bare name, as a program loads a DLL it needs, and exits with 0 when
// the load succeeded, 1 when not. With "--restricted" first it limits its DLL
// search the way the toolset's programs do at their start.
//   plant_control [--restricted] NAME.dll
#include <vetra/dll_search.h>

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    int name = 1;
    if (argc > 2 && std::wcscmp(argv[1], L"--restricted") == 0) {
        vetra::restrict_dll_search();
        name = 2;
    }
    if (argc <= name)
        return 2;
    return ::LoadLibraryW(argv[name]) != nullptr ? 0 : 1;
}
