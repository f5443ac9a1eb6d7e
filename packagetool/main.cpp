// Parcelor: edits, copies and extracts client install packages (zip files).
#include "driver.h"

#include <vetra/dll_search.h>
#include <vetra/heap_hardening.h>

#include <windows.h>

int main(int argc, char** argv)
{
    vetra::restrict_dll_search();
    vetra::harden_heap();
    return runParcelor(argc, argv);
}
