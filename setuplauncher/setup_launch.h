#pragma once
// Starts "Setup.exe" from the current folder through the shell.

#include <string>

// Starts "Setup.exe" (no folder: the shell finds it in the current folder)
// with parameters as its command-line arguments, shown normally, and waits
// without a time limit for it to end. Returns 0 when the shell started it
// (whatever its own exit code) and -1 when it did not; in that case the
// shell has already reported the error in its own way.
int launchSetup(const std::string& parameters);
