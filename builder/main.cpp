// Stubsmith: wraps a zip file into a self-extracting executable.
#include "command_line.h"
#include "sfx_build.h"

#include <vetra/dll_search.h>

#include <clocale>
#include <iostream>

int wmain(int argc, wchar_t** argv)
{
    vetra::restrict_dll_search();
    // Console text in the user's ANSI code page, as the messages are.
    std::setlocale(LC_CTYPE, "");
    return stubsmith::run_stubsmith(argc, argv, std::wcout, stubsmith::build_sfx);
}
