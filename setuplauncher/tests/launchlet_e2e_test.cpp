// Launchlet run as a client installer runs it, with a stand-in "Setup.exe"
// in the current folder that records its arguments and exits with 3.
#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchFolder;

testsupport::ProgramRun launchlet(const std::vector<std::string>& arguments, const fs::path& folder)
{
    auto run = testsupport::runProgram(testsupport::programBesideTests(L"Launchlet.exe"), arguments, folder);
    EXPECT_FALSE(run.timedOut);
    return run;
}

TEST(Launchlet, StartsSetupWithTheSilentSwitchAndWaitsForIt)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string received;
    };
    const std::vector<Case> cases = {
        {{}, "/s"},
        {{"/qn", "LOG=x.txt"}, "/s /qn LOG=x.txt"},
        {{"/S"}, "/s /S"},
        {{"/silent"}, "/silent"},
        {{"C:/setupfiles"}, "C:/setupfiles"},
        {{"/"}, "/s /"},
        {{"/qn", "TARGETDIR=C:\\Program Files\\Kit"}, "/s /qn \"TARGETDIR=C:\\Program Files\\Kit\""},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        fs::copy_file(testsupport::programBesideTests(L"setup_standin.exe"), folder / "Setup.exe");
        const auto run = launchlet(c.arguments, folder.path());
        EXPECT_EQ(run.exitCode, 0u) << c.received << ": Setup.exe's own exit code 3 is not passed on";
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, "");
        // The stand-in writes its record only after a pause, so the record is
        // there only if the launcher waited for it.
        ASSERT_TRUE(fs::exists(folder / "received-arguments.txt")) << c.received;
        EXPECT_EQ(testsupport::readFile(folder / "received-arguments.txt"), c.received);
    }
}

TEST(Launchlet, ExitsWithMinusOneWithoutSetup)
{
    ScratchFolder folder;
    const auto run = launchlet({"/qn"}, folder.path());
    EXPECT_EQ(run.exitCode, 0xFFFFFFFFu);
    EXPECT_EQ(run.output, "");
}

// A "Setup.exe" on the search path, none in the current folder: the launcher
// must not start the one the shell would find there.
TEST(Launchlet, NeverStartsASetupFoundAlongTheSearchPath)
{
    ScratchFolder elsewhere;
    ScratchFolder folder;
    fs::copy_file(testsupport::programBesideTests(L"setup_standin.exe"), elsewhere / "Setup.exe");
    wchar_t oldPath[32768];
    const DWORD length = ::GetEnvironmentVariableW(L"PATH", oldPath, 32768);
    ASSERT_TRUE(length > 0 && length < 32768);
    ::SetEnvironmentVariableW(L"PATH", (elsewhere.path().wstring() + L";" + oldPath).c_str());
    const auto run = launchlet({"/qn"}, folder.path());
    ::SetEnvironmentVariableW(L"PATH", oldPath);
    EXPECT_EQ(run.exitCode, 0xFFFFFFFFu);
    EXPECT_EQ(run.output, "");
    // The stand-in writes its record into the current folder it was given.
    ::Sleep(600);
    EXPECT_FALSE(fs::exists(folder / "received-arguments.txt"));
    EXPECT_FALSE(fs::exists(elsewhere / "received-arguments.txt"));
}

TEST(Launchlet, StartsTheCurrentFoldersSetupFromAFolderWithSpacesAndParentheses)
{
    ScratchFolder scratch;
    const fs::path folder = scratch / "Program Files (x86) & Co";
    fs::create_directories(folder);
    fs::copy_file(testsupport::programBesideTests(L"setup_standin.exe"), folder / "Setup.exe");
    const auto run = launchlet({"/qn"}, folder);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_TRUE(fs::exists(folder / "received-arguments.txt"));
    EXPECT_EQ(testsupport::readFile(folder / "received-arguments.txt"), "/s /qn");
}

}  // namespace
