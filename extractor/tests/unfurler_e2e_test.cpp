// Unfurler.exe as a user's script starts it: a self-extractor file on disk,
// a command line, an exit code and the files it leaves.
#include "launch.h"

#include "container_kit.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>
#include <vetra/file_system.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>

namespace {

using testsupport::runProgram;
namespace fs = std::filesystem;

TEST(LaunchCommand, BatchFilesRunThroughTheSystemCommandInterpreterWithOuterQuotes)
{
    const std::wstring cmd = vetra::system_directory() + L"\\cmd.exe";
    EXPECT_EQ(unfurler::launch_command(L"C:\\t\\setup.cmd", L"/q"),
              L"\"" + cmd + L"\" /s /c \"\"C:\\t\\setup.cmd\" /q\"");
    EXPECT_EQ(unfurler::launch_command(L"C:\\Kit & Co (x86)\\run.bat", L""),
              L"\"" + cmd + L"\" /s /c \"\"C:\\Kit & Co (x86)\\run.bat\" \"");
    EXPECT_EQ(unfurler::launch_command(L"C:\\t\\SETUP.CMD", L"/q"), L"\"C:\\t\\SETUP.CMD\" /q");
    EXPECT_EQ(unfurler::launch_command(L"C:\\dir.old\\setup", L"a"), L"\"C:\\dir.old\\setup\" a");
    EXPECT_THROW(unfurler::launch_command(L"C:\\100%\\setup.cmd", L""), std::runtime_error);
    EXPECT_EQ(unfurler::launch_command(L"C:\\100%\\setup.exe", L""), L"\"C:\\100%\\setup.exe\" ");
}

class Unfurler : public testing::Test {
protected:
    fs::path sfx() const { return scratch_ / "package.exe"; }

    testsupport::ProgramRun run(const std::string& settings, const std::vector<std::wstring>& arguments = {})
    {
        unfurler_test::write_container(sfx(), settings, entries_);
        return runProgram(sfx(), arguments, scratch_.path(), 60000);
    }

    std::vector<testsupport::FixtureEntry> entries_ = {
        {"setup/setup.cmd", "@echo off\r\necho ran> \"%~dp0..\\..\\ran.txt\"\r\nexit 3010\r\n"},
        {"setup/files/", ""},
        {"setup/files/big.dat", std::string(300000, 'b')},
        {"setup/files/empty.dat", ""},
    };
    testsupport::ScratchFolder scratch_;
};

TEST_F(Unfurler, CleanupWaitsForTheCommandFilePassesItsCodeAndRemovesEverything)
{
    const auto result = run(unfurler_test::settings_block(
        {{"TargetDirectory", "x\\out"}, {"LaunchExe", "setup\\setup.cmd"}, {"Cleanup", "1"}}));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 3010u);
    EXPECT_TRUE(fs::exists(scratch_ / "x" / "ran.txt"));
    EXPECT_FALSE(fs::exists(scratch_ / "x" / "out"));
}

TEST_F(Unfurler, WithoutCleanupItEndsWithZeroAndLeavesTheFiles)
{
    entries_[0].data = "@echo off\r\nexit 3010\r\n";
    const auto result = run(unfurler_test::settings_block({{"TargetDirectory", "out"}, {"LaunchExe", "setup\\setup.cmd"}}));
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(testsupport::readFile(scratch_ / "out" / "setup" / "files" / "big.dat"), std::string(300000, 'b'));
    EXPECT_EQ(fs::file_size(scratch_ / "out" / "setup" / "files" / "empty.dat"), 0u);
}

TEST_F(Unfurler, TheCleanupOptionOverridesTheSettings)
{
    const auto result = run(unfurler_test::settings_block({{"TargetDirectory", "x\\out"}, {"LaunchExe", "setup\\setup.cmd"}}),
                            {L"-!d"});
    EXPECT_EQ(result.exitCode, 3010u);
    EXPECT_FALSE(fs::exists(scratch_ / "x" / "out"));
}

TEST_F(Unfurler, FailuresEndWithOneAndTheMessageBoxDoesNotBlock)
{
    testsupport::writeFile(scratch_ / "out" / "setup" / "setup.cmd", "old");
    ::SetFileAttributesW((scratch_ / "out" / "setup" / "setup.cmd").c_str(), FILE_ATTRIBUTE_READONLY);
    const auto started = std::chrono::steady_clock::now();
    const auto read_only = run(unfurler_test::settings_block({{"TargetDirectory", "out"}}));
    EXPECT_FALSE(read_only.timedOut);
    EXPECT_EQ(read_only.exitCode, 1u);

    unfurler_test::container_parts no_marker;
    no_marker.archive = unfurler_test::zip_bytes(entries_);
    unfurler_test::write_container(sfx(), no_marker);
    const auto corrupt = runProgram(sfx(), std::vector<std::wstring>{}, scratch_.path(), 60000);
    EXPECT_FALSE(corrupt.timedOut);
    EXPECT_EQ(corrupt.exitCode, 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(50));
    ::SetFileAttributesW((scratch_ / "out" / "setup" / "setup.cmd").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
