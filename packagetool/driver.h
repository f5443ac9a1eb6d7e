#pragma once

// Runs Parcelor on its command line; returns the process exit code: 0 when
// the run reached its end (even when the command line was rejected or the
// method failed), -1 after a length error or an allocation failure.
int runParcelor(int argc, const char* const* argv);
