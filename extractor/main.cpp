// Unfurler, the self-extractor stub: a window-less program that unpacks the
// archive appended to its own file and starts the program its settings name.
#include "stub_run.h"

#include <vetra/dll_search.h>

#include <windows.h>

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*command_line*/, int /*show*/)
{
    vetra::restrict_dll_search();
    return static_cast<int>(unfurler::run_unfurler(::GetCommandLineW(), /* own file: the loaded module's */ nullptr,
                                                       unfurler::show_failure_box));
}
