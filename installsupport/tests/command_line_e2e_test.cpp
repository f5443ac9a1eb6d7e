// Hostaid's command line, exit codes, result file and state dump, run as a
// script runs it.
#include "hostaid_run.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using hostaid_test::expectedDump;
using hostaid_test::runHostaid;
using testsupport::ScratchFolder;
using testsupport::readFile;
using testsupport::withCrLf;
using testsupport::writeFile;

TEST(HostaidCommandLine, ParseFailuresPrintTheirMessageAndDumpAndWriteNothing)
{
    struct Case {
        std::vector<std::string> arguments;
        unsigned exitCode;
        std::string message;
        std::string outputFileShown;  // as the dump shows it
    };
    const std::vector<Case> cases = {
        {{}, 1, "ParseArgv: Error-> Too Few Parameters!\n", ""},
        {{"r.txt"}, 1, "ParseArgv: Error-> Too Few Parameters!\n", ""},
        {{"", "GetDiskSpace", "C:\\"}, 4, "ParseArgv: Error-> Invalid Output FileName!\n", ""},
        {{"", ""}, 4, "ParseArgv: Error-> Invalid Output FileName!\n", ""},
        {{"r.txt", ""}, 2, "ParseArgv: Error-> Unrecognized Command: Command is empty or null!\n", "r.txt"},
        {{"r.txt", "", "C:\\"}, 2, "ParseArgv: Error-> Unrecognized Command: Command is empty or null!\n",
         "r.txt"},
        {{"r.txt", "getdiskspace", "C:\\"}, 2, "ParseArgv: Error-> Unrecognized Command\n", "r.txt"},
        {{"r.txt", "GetDiskSpace ", "C:\\"}, 2, "ParseArgv: Error-> Unrecognized Command\n", "r.txt"},
        {{"r.txt", "SETREGISTRYFORZELQUAL", "a", "b"}, 2, "ParseArgv: Error-> Unrecognized Command\n", "r.txt"},
        {{"r.txt", "Unknown"}, 2, "ParseArgv: Error-> Unrecognized Command\n", "r.txt"},
        {{"r.txt", "GetDiskSpace"}, 3, "ParseArgv: Error-> Too Few Parameters for Command: GetDiskSpace!\n",
         "r.txt"},
        {{"r.txt", "SetRegistryForZelQual"}, 3,
         "ParseArgv: Error-> Too Few Parameters for Command: SetRegistryForZelQual!\n", "r.txt"},
        {{"r.txt", "SetRegistryForZelQual", "C:\\Install"}, 3,
         "ParseArgv: Error-> Too Few Parameters for Command: SetRegistryForZelQual!\n", "r.txt"},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.arguments)
            shown += "[" + a + "] ";
        const auto run = runHostaid(c.arguments, folder.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << shown;
        EXPECT_EQ(run.output, withCrLf(c.message + expectedDump("", c.outputFileShown, int(c.exitCode), {}, {})))
            << shown;
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(HostaidCommandLine, ParseFailureLeavesAnExistingResultFileUntouched)
{
    ScratchFolder folder;
    writeFile(folder / "r.txt", "earlier result\n");
    const auto run = runHostaid({"r.txt", "GetDiskSpace"}, folder.path());
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(readFile(folder / "r.txt"), "earlier result\n");
}

TEST(HostaidCommandLine, ExecutesWritesTheResultFileAndDumpsTheState)
{
    ScratchFolder folder;
    writeFile(folder / "r.txt", std::string(5000, 'x'));  // replaced, not appended to
    const std::string path = hostaid_test::missingDriveRoot() + "nowhere\\";
    const auto run = runHostaid({"r.txt", "GetDiskSpace", path, "ignored", "extra"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf("... Executing command ...\n"
                                   "nFreeBytes = 0 bytes\n"
                                   "nTotalBytes = 0 bytes\n" +
                                   expectedDump("GetDiskSpace", "r.txt", 0,
                                                {"FreeBytes=0", "Path=" + path, "TotalBytes=0"},
                                                {"DiskPath=" + path})));
    // The relative output path is taken from the working folder.
    EXPECT_EQ(readFile(folder / "r.txt"), withCrLf("ErrorCode=0\n"
                                                    "Command=GetDiskSpace\n"
                                                    "File=r.txt\n"
                                                    "FreeBytes=0\n"
                                                    "Path=" +
                                                    path.substr(0, 1) + ":\\\\nowhere\\\\\n"
                                                    "TotalBytes=0\n"));
}

TEST(HostaidCommandLine, OutputPathBackslashesAreDoubledInTheFileLine)
{
    ScratchFolder folder;
    fs::create_directories(folder / "sub" / "deeper");
    const auto run = runHostaid({"sub\\\\deeper\\r.txt", "GetDiskSpace", "C:\\"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    // Two backslashes in a row become four.
    const std::string header = withCrLf("ErrorCode=0\nCommand=GetDiskSpace\nFile=sub\\\\\\\\deeper\\\\r.txt\n");
    EXPECT_EQ(readFile(folder / "sub" / "deeper" / "r.txt").substr(0, header.size()), header);
}

TEST(HostaidCommandLine, ResultFileInAMissingFolderIsReportedButKeepsTheExitCode)
{
    ScratchFolder folder;
    const std::string outputPath = (folder / "missing" / "r.txt").string();
    const auto run = runHostaid({outputPath, "GetDiskSpace", hostaid_test::missingDriveRoot()}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.output.find(withCrLf("Error: Failed to create file - " + outputPath + "\n")), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(withCrLf("==== ConfigManager: End ============================\n")), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

}  // namespace
