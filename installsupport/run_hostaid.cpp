#include "run_hostaid.h"

#include "config_manager.h"

#include <cstdio>

int RunHostaid(ConfigManager& config, int argc, const char* const* argv)
{
    try {
        if (config.ParseArgv(argc, argv)) {
            config.ExecuteCommand();
            config.WriteOutputFile();
        }
        config.DumpState();
    } catch (...) {
        std::printf("%s\n", "<Hostaid> An exception was caught during execution. Hostaid is exiting.");
    }
    return config.GetErrorCode();
}
