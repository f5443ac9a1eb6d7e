#pragma once
// Starts "Setup.exe" from the current folder through the shell.

#include <string>

// The full path of "Setup.exe" in the current folder, or the empty string
// when the current folder cannot be read. Raises std::bad_alloc when memory
// runs out.
std::string setupProgramPath();

// Starts the current folder's "Setup.exe" (by its full path, so the shell
// never looks for one along the search path) with parameters as its
// command-line arguments, shown normally, and waits without a time limit for
// it to end. Returns 0 when the shell started it (whatever its own exit code)
// and -1 when it did not; in that case the shell has already reported the
// error in its own way (when the current folder cannot be read, nothing is
// started and nothing reported).
int launchSetup(const std::string& parameters);
