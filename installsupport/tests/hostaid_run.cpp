#include "hostaid_run.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace hostaid_test {

testsupport::ProgramRun runHostaid(const std::vector<std::string>& arguments, const std::filesystem::path& folder)
{
    auto run = testsupport::runProgram(testsupport::programBesideTests(L"Hostaid.exe"), arguments, folder);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.errors, "") << "Hostaid writes nothing to standard error";
    return run;
}

std::string missingDriveRoot()
{
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if ((drives & (1u << (letter - 'A'))) == 0)
            return std::string(1, letter) + ":\\";
    }
    throw std::runtime_error("no free drive letter");
}

std::string expectedDump(const std::string& command, const std::string& outputFile, int errorCode,
                         const std::vector<std::string>& props, const std::vector<std::string>& params)
{
    std::string dump = "==== ConfigManager: Begin ============================\n";
    dump += "command=" + command + "\n";
    dump += "output file=" + outputFile + "\n";
    dump += "error code=" + std::to_string(errorCode) + "\n";
    dump += "m_mapProps size=" + std::to_string(props.size()) + "\n";
    for (std::size_t i = 0; i < props.size(); ++i)
        dump += "\t#" + std::to_string(i) + ", " + props[i] + "\n";
    dump += "m_mapCommandParams size=" + std::to_string(params.size()) + "\n";
    for (std::size_t i = 0; i < params.size(); ++i)
        dump += "\t#" + std::to_string(i) + ", " + params[i] + "\n";
    dump += "==== ConfigManager: End ============================\n";
    return dump;
}

}  // namespace hostaid_test
