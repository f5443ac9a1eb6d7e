// Whole runs of the stub's flow: settings, stub options, pass-through text,
// target folders, launch and cleanup, and when failures are shown.
#include "container_kit.h"
#include "stub_runner.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace {

using testsupport::FixtureEntry;
using testsupport::ZipMethod;
namespace fs = std::filesystem;

// A container whose archive holds the probe program and a data file; the probe
// logs its command line and folder to probe.log beside the container.
class StubRun : public testing::Test {
protected:
    void SetUp() override
    {
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", log().c_str());
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", nullptr);
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", nullptr);
    }

    fs::path container() const { return scratch_ / "sfx.exe"; }
    fs::path log() const { return scratch_ / "probe.log"; }
    fs::path work() const { return scratch_ / "work"; }

    void build(std::vector<std::pair<std::string, std::string>> keys)
    {
        unfurler_test::write_container(container(), unfurler_test::settings_block(keys),
                                       {{"bin/probe.exe", unfurler_test::probe_image()}, {"bin/data.txt", "data"}});
        fs::create_directories(work());
    }

    unfurler_test::stub_outcome run(const std::vector<std::wstring>& arguments)
    {
        return unfurler_test::run_stub(container(), arguments, work());
    }

    // The probe's log: command line, then current folder.
    std::vector<std::string> logged() const
    {
        if (!fs::exists(log()))
            return {};
        std::vector<std::string> lines;
        std::string text = testsupport::readFile(log());
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    testsupport::ScratchFolder scratch_;
};

TEST_F(StubRun, PassThroughArgumentsFollowTheOptionsAndAreQuotedOnSpaces)
{
    build({{"LaunchExe", "bin\\probe.exe"}, {"Cleanup", "1"}, {"TargetDirectory", "out"}});
    const auto outcome = run({L"-!d-", L"-!d", L"a", L"b c", L"-!e-"});
    ASSERT_EQ(outcome.exit_code, 0u);
    const fs::path program = work() / "out" / "bin" / "probe.exe";
    EXPECT_EQ(logged(), (std::vector<std::string>{"\"" + program.string() + "\" a \"b c\" -!e-",
                                                  (work() / "out").string()}));
    EXPECT_FALSE(fs::exists(work() / "out"));
}

TEST_F(StubRun, FixedLaunchArgumentsIgnoreThePassThroughText)
{
    build({{"LaunchExe", "bin\\probe.exe"}, {"Cleanup", "1"}, {"LaunchArguments", "<PASS>"}});
    ASSERT_EQ(run({L"x"}).exit_code, 0u);
    const fs::path program = work() / "bin" / "probe.exe";
    EXPECT_EQ(logged(), (std::vector<std::string>{"\"" + program.string() + "\" <PASS>", work().string()}));
    // Cleanup removes what was created; the current folder itself existed before.
    EXPECT_TRUE(fs::exists(work()));
    EXPECT_FALSE(fs::exists(work() / "bin"));
}

TEST_F(StubRun, EmptyLaunchArgumentsLeaveATrailingSpace)
{
    build({{"LaunchExe", "bin\\probe.exe"}, {"Cleanup", "1"}, {"LaunchArguments", ""}});
    ASSERT_EQ(run({L"x"}).exit_code, 0u);
    ASSERT_FALSE(logged().empty());
    EXPECT_EQ(logged()[0], "\"" + (work() / "bin" / "probe.exe").string() + "\" ");
}

TEST_F(StubRun, TargetOptionTakesAbsoluteRelativeAndQuotedFoldersWithATrailingBackslash)
{
    build({{"TargetDirectory", "settings-target"}});
    const fs::path absolute = scratch_ / "Out dir";
    // As a script writes it: a quoted folder that ends in a backslash, last on the line.
    ASSERT_EQ(unfurler_test::run_stub_line(container(), L" -!t \"" + absolute.wstring() + L"\\\"", work()).exit_code, 0u);
    EXPECT_EQ(testsupport::readFile(absolute / "bin" / "data.txt"), "data");
    ASSERT_EQ(run({L"-!t", L"rel\\x"}).exit_code, 0u);
    EXPECT_EQ(testsupport::readFile(work() / "rel" / "x" / "bin" / "data.txt"), "data");
    EXPECT_FALSE(fs::exists(work() / "settings-target"));
}

TEST_F(StubRun, TempTargetsAreFreshUuidFolders)
{
    build({{"TargetDirectory", "<temp>"}});
    const fs::path temp = fs::temp_directory_path();
    auto uuid_folders = [&temp] {
        std::vector<fs::path> found;
        for (const auto& item : fs::directory_iterator(temp))
            if (fs::exists(item.path() / "bin" / "data.txt") && item.path().filename().string().size() == 36)
                found.push_back(item.path());
        return found;
    };
    const auto before = uuid_folders();
    ASSERT_EQ(run({}).exit_code, 0u);
    ASSERT_EQ(run({}).exit_code, 0u);
    auto after = uuid_folders();
    std::vector<fs::path> created;
    for (const auto& folder : after)
        if (std::find(before.begin(), before.end(), folder) == before.end())
            created.push_back(folder);
    ASSERT_EQ(created.size(), 2u);
    for (const auto& folder : created) {
        const std::string name = folder.filename().string();
        EXPECT_EQ(name[8], '-');
        EXPECT_EQ(name[23], '-');
        fs::remove_all(folder);
    }
}

TEST_F(StubRun, CleanupOptionWithTempTargetRemovesTheUuidFolderToo)
{
    build({{"TargetDirectory", "<temp>"}, {"LaunchExe", "bin\\probe.exe"}});
    ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", L"3010");
    const auto outcome = run({L"-!d"});
    EXPECT_EQ(outcome.exit_code, 3010u);
    const auto lines = logged();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(fs::path(lines[1]).parent_path().string() + "\\", fs::temp_directory_path().string());
    EXPECT_FALSE(fs::exists(lines[1]));
}

TEST_F(StubRun, CleanupKeepsWhatItDidNotCreateAndEndsWithTheProgramsCode)
{
    build({{"LaunchExe", "bin\\probe.exe"}, {"Cleanup", "1"}, {"TargetDirectory", "t"}});
    testsupport::writeFile(work() / "t" / "bin" / "mine.txt", "keep");
    ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", L"7");
    EXPECT_EQ(run({}).exit_code, 7u);
    EXPECT_EQ(testsupport::readFile(work() / "t" / "bin" / "mine.txt"), "keep");
    EXPECT_FALSE(fs::exists(work() / "t" / "bin" / "probe.exe"));
}

TEST_F(StubRun, CleanupWithoutProgramRemovesEverythingAgain)
{
    build({{"Cleanup", "1"}, {"TargetDirectory", "t"}});
    EXPECT_EQ(run({}).exit_code, 0u);
    EXPECT_FALSE(fs::exists(work() / "t"));
}

TEST_F(StubRun, AllowOverrideOffPassesOptionsThrough)
{
    build({{"AllowOverride", "0"}, {"LaunchExe", "bin\\probe.exe"}, {"Cleanup", "1"}});
    ASSERT_EQ(run({L"-!d-", L"-!x"}).exit_code, 0u);
    ASSERT_FALSE(logged().empty());
    EXPECT_EQ(logged()[0], "\"" + (work() / "bin" / "probe.exe").string() + "\" -!d- -!x");
    EXPECT_FALSE(fs::exists(work() / "bin"));  // -!d- was not applied
}

TEST_F(StubRun, FailuresAreShownUnlessErrorDisplayIsOffAfterStartUp)
{
    build({{"TargetDirectory", "t"}});
    testsupport::writeFile(work() / "t" / "bin" / "data.txt", "old");
    ::SetFileAttributesW((work() / "t" / "bin" / "data.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    auto shown = run({});
    EXPECT_EQ(shown.exit_code, 1u);
    ASSERT_EQ(shown.shown.size(), 1u);
    EXPECT_EQ(unfurler_test::narrow(shown.shown[0]).rfind("Could not create file " +
                                                            (work() / "t" / "bin" / "data.txt").string(), 0),
              0u);

    auto silent = run({L"-!e-"});
    EXPECT_EQ(silent.exit_code, 1u);
    EXPECT_TRUE(silent.shown.empty());
    // A failure during start-up is shown even when the options turn display off.
    auto start_up = run({L"-!e-", L"-!q"});
    EXPECT_EQ(start_up.exit_code, 1u);
    ASSERT_EQ(start_up.shown.size(), 1u);
    EXPECT_EQ(unfurler_test::narrow(start_up.shown[0]), "Unrecognized command line argument -!q");
    ::SetFileAttributesW((work() / "t" / "bin" / "data.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(StubRun, AProgramThatCannotStartFailsWithTheCommandText)
{
    build({{"LaunchExe", "missing.exe"}, {"LaunchArguments", "/q"}});
    const auto outcome = run({});
    EXPECT_EQ(outcome.exit_code, 1u);
    ASSERT_EQ(outcome.shown.size(), 1u);
    EXPECT_EQ(unfurler_test::narrow(outcome.shown[0])
                  .rfind("Could not create process \"" + (work() / "missing.exe").string() + "\" /q. Error code: ", 0),
              0u)
        << unfurler_test::narrow(outcome.shown[0]);
}

}  // namespace
