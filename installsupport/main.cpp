// Hostaid: carries out one installer support command (GetDiskSpace or
// SetRegistryForZelQual) and writes its result file.
#include "config_manager.h"
#include "run_hostaid.h"

#include <vetra/dll_search.h>
#include <vetra/heap_hardening.h>

#include <windows.h>

#include <memory>

namespace {

// The run's state exists before main starts and is destroyed at its end.
std::unique_ptr<ConfigManager> g_configManager = std::make_unique<ConfigManager>();

}  // namespace

int main(int argc, char** argv)
{
    vetra::restrict_dll_search();
    vetra::harden_heap();
    const int errorCode = RunHostaid(*g_configManager, argc, argv);
    g_configManager.reset();
    return errorCode;
}
