#pragma once
// Runs the built Hostaid.exe as an installer script would.

#include <testsupport/program_run.h>

#include <filesystem>
#include <string>
#include <vector>

namespace hostaid_test {

// Runs Hostaid with the arguments in folder; checks that nothing reached
// standard error and that the run ended by itself.
testsupport::ProgramRun runHostaid(const std::vector<std::string>& arguments, const std::filesystem::path& folder);

// The root ("X:\\") of a drive letter that names no drive in this prefix.
std::string missingDriveRoot();

// The state dump that ends a run, with "\n" line ends; props and params are
// the "key=value" entries in key order.
std::string expectedDump(const std::string& command, const std::string& outputFile, int errorCode,
                         const std::vector<std::string>& props, const std::vector<std::string>& params);

}  // namespace hostaid_test
