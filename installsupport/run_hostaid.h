#pragma once

class ConfigManager;

// One Hostaid run on config: parses the command line and, when it is
// accepted, executes the command and writes the result file; then dumps the
// state. An exception from any of these steps is caught here: a fixed line is
// printed and the remaining steps, the dump included, are skipped. Returns
// the error code (0, 1, 2, 3, 4 or 16), which is the exit code.
int RunHostaid(ConfigManager& config, int argc, const char* const* argv);
