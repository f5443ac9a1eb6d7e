// Unfurler.exe as a user's script starts it: a self-extractor file on disk,
// a command line, an exit code and the files it leaves.
#include "launch.h"
#include "temp_folder_security.h"

#include "container_kit.h"
#include "dacl_inspection.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>
#include <vetra/file_system.h>
#include <vetra/temp_files.h>
#include <vetra/text_conversion.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>

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

// Sets an environment variable of the test process (and so of the programs
// it starts) for one scope.
class scoped_environment {
public:
    scoped_environment(const wchar_t* name, const std::wstring& value) : name_(name)
    {
        wchar_t old[32768];
        const DWORD length = ::GetEnvironmentVariableW(name, old, 32768);
        had_ = length > 0 && length < 32768;
        if (had_)
            old_.assign(old, length);
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~scoped_environment() { ::SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
    scoped_environment(const scoped_environment&) = delete;
    scoped_environment& operator=(const scoped_environment&) = delete;

private:
    const wchar_t* name_;
    bool had_ = false;
    std::wstring old_;
};

TEST_F(Unfurler, FindsItsOwnFileHoweverItWasStarted)
{
    const fs::path kit = scratch_ / "kit";
    const fs::path elsewhere = scratch_ / "elsewhere";
    fs::create_directories(elsewhere);
    entries_ = {{"bin/probe.exe", unfurler_test::probe_image()}};
    unfurler_test::write_container(kit / "kitsetup.exe",
                                   unfurler_test::settings_block({{"TargetDirectory", "out"},
                                                                  {"LaunchExe", "bin\\probe.exe"},
                                                                  {"Cleanup", "1"}}),
                                   entries_);
    const fs::path log = scratch_ / "probe.log";
    const scoped_environment probe_log(L"UNFURLER_PROBE_LOG", log.wstring());
    const scoped_environment probe_exit(L"UNFURLER_PROBE_EXIT", L"3010");
    const std::wstring cmd = L"\"" + vetra::system_directory() + L"\\cmd.exe\" /c ";

    struct started {
        const char* how;
        fs::path application;
        std::wstring command_line;
        fs::path folder;
    };
    const started ways[] = {
        {"typed without .exe", {}, cmd + L"kitsetup -!e-", kit},
        {"typed with .exe", {}, cmd + L"kitsetup.exe", kit},
        {"found through PATH", {}, cmd + L"kitsetup", elsewhere},
        {"another first word from its parent", kit / "kitsetup.exe", L"setup-helper /x", elsewhere},
        {"an empty command line", kit / "kitsetup.exe", L"", elsewhere},
    };
    const scoped_environment path(L"PATH", kit.wstring() + L";" + vetra::system_directory());
    std::size_t launches = 0;
    for (const started& way : ways) {
        SCOPED_TRACE(way.how);
        const auto result = testsupport::runCommandLine(way.application, way.command_line, way.folder, 60000);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 3010u);
        // The probe ran from the target below the folder it was started in,
        // and cleanup removed it again.
        const std::string logged = fs::exists(log) ? testsupport::readFile(log) : "";
        EXPECT_NE(logged.find((way.folder / "out").string() + "\n", 0), std::string::npos) << logged;
        EXPECT_FALSE(fs::exists(way.folder / "out"));
        fs::remove(log);
        ++launches;
    }
    EXPECT_EQ(launches, std::size(ways));
}

// The paths waiting for removal at the next restart, as the system keeps them.
std::wstring paths_pending_removal()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return {};
    std::wstring value(65536, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LSTATUS status = ::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                                              reinterpret_cast<BYTE*>(value.data()), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return {};
    value.resize(size / sizeof(wchar_t));
    for (wchar_t& c : value)
        if (c == L'\0')
            c = L'\n';
    return value;
}

TEST_F(Unfurler, CleanupRemovesWhatTheRunCreatedAndNothingOfTheUsers)
{
    const fs::path target = scratch_ / "Kit Dir";
    fs::create_directories(target / "empty");
    testsupport::writeFile(target / "full" / "mine.txt", "mine");
    testsupport::writeFile(target / "mine.txt", "mine too");
    entries_ = {
        {"./", ""},
        {"empty/", ""},
        {"full/", ""},
        {"full/new.txt", "new"},
        {"full/sub/", ""},
        {"new/", ""},
        {"new/deep/file.txt", "file"},
        {"./setup.cmd", "@echo off\r\nexit /b 1641\r\n"},
    };
    const auto result = run(unfurler_test::settings_block(
        {{"TargetDirectory", target.string()}, {"LaunchExe", "setup.cmd"}, {"Cleanup", "1"}}));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1641u);

    EXPECT_TRUE(fs::is_directory(target / "empty"));
    EXPECT_TRUE(fs::is_empty(target / "empty"));
    EXPECT_EQ(testsupport::readFile(target / "full" / "mine.txt"), "mine");
    EXPECT_EQ(testsupport::readFile(target / "mine.txt"), "mine too");
    std::set<fs::path> left;
    for (const auto& item : fs::recursive_directory_iterator(target))
        left.insert(item.path());
    EXPECT_EQ(left, (std::set<fs::path>{target / "empty", target / "full", target / "full" / "mine.txt",
                                        target / "mine.txt"}));
    // Nothing of the user's was put aside for removal at the next restart.
    EXPECT_EQ(paths_pending_removal().find(target.filename().wstring()), std::wstring::npos);
}

TEST_F(Unfurler, ATempTargetWithAFolderEntryFirstLeavesNothingBehind)
{
    const fs::path temp = fs::temp_directory_path();
    auto contents = [&temp] {
        std::set<fs::path> names;
        for (const auto& item : fs::directory_iterator(temp))
            names.insert(item.path());
        return names;
    };
    entries_ = {{"setup/", ""}, {"setup/run.cmd", "@echo off\r\nexit /b 4\r\n"}, {"setup/files/", ""}};
    for (const char* launch : {"setup\\run.cmd", ""}) {
        SCOPED_TRACE(launch);
        const auto before = contents();
        const auto result = run(unfurler_test::settings_block(
            {{"TargetDirectory", "<temp>"}, {"LaunchExe", launch}, {"Cleanup", "1"}}));
        EXPECT_EQ(result.exitCode, *launch ? 4u : 0u);
        EXPECT_EQ(contents(), before);
    }
}

// The probe as LaunchExe, logging to probe.log with the requests in
// variables (see launch_probe.cpp).
class ProbeRun : public testing::Test {
protected:
    ProbeRun()
    {
        variable(L"UNFURLER_PROBE_LOG", log().wstring());
        variable(L"UNFURLER_PROBE_EXIT", L"5");
        variable(L"UNFURLER_PROBE_TAMPER", L"self");
    }
    ~ProbeRun() override
    {
        for (const std::wstring& name : set_)
            ::SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    void variable(const std::wstring& name, const std::wstring& value)
    {
        ::SetEnvironmentVariableW(name.c_str(), value.c_str());
        set_.push_back(name);
    }

    fs::path log() const { return scratch_ / "probe.log"; }

    testsupport::ProgramRun run(const std::string& target)
    {
        const fs::path sfx = scratch_ / "package.exe";
        unfurler_test::write_container(
            sfx, unfurler_test::settings_block({{"TargetDirectory", target}, {"LaunchExe", "probe.exe"}, {"Cleanup", "1"}}),
            {{"probe.exe", unfurler_test::probe_image()}, {"files/data.txt", "data"}});
        return runProgram(sfx, std::vector<std::wstring>{}, scratch_.path(), 60000);
    }

    // The probe's log lines: command line, folder, then what was asked for.
    std::vector<std::string> logged() const
    {
        std::vector<std::string> lines;
        std::istringstream text(fs::exists(log()) ? testsupport::readFile(log()) : std::string());
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    testsupport::ScratchFolder scratch_;
    std::vector<std::wstring> set_;
};

// The launched program tries to write, rename and delete its own file while
// the stub waits for it: the stub still holds it, so all three are refused,
// where under Wine a running program's file could otherwise be replaced.
TEST_F(ProbeRun, TheLaunchedProgramCannotBeReplacedWhileTheStubWaits)
{
    const auto result = run("out");
    EXPECT_EQ(result.exitCode, 5u);
    const auto lines = logged();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "write=32 rename=32 delete=32");
    EXPECT_FALSE(fs::exists(scratch_ / "out"));
}

// Wine's token is elevated (as an administrator's elevated run on Windows), so
// the stub creates its fresh temporary folder with the security that lets
// only SYSTEM and the Administrators group write; extraction, launch and
// cleanup work in it as before.
//
// Wine does not keep the descriptor: it turns it into the folder's Unix
// permission bits and reads back one made up from them (SYSTEM and the user's
// account). So the read-back shows only that others got nothing, in contrast
// with an ordinary folder, which Wine reads back with Everyone allowed to
// read. The descriptor itself is checked as built in temp_folder_security_test.
TEST_F(ProbeRun, AnElevatedRunExtractsIntoAFolderOnlyAdministratorsMayChange)
{
    if (!unfurler::process_is_elevated())
        GTEST_SKIP() << "the test process does not run elevated";
    variable(L"UNFURLER_PROBE_FOLDER_SECURITY", L"1");
    const auto result = run("<temp>");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 5u);

    const auto lines = logged();
    ASSERT_EQ(lines.size(), 4u);
    const fs::path folder = fs::u8path(lines[1]);
    EXPECT_EQ(fs::path(vetra::temp_directory()) / folder.filename(), folder);
    EXPECT_EQ(folder.filename().string().size(), 36u);
    EXPECT_FALSE(fs::exists(folder)) << "cleanup removes the folder itself";
    EXPECT_EQ(lines[2], "write=32 rename=32 delete=32");

    ASSERT_EQ(lines[3].rfind("dacl=", 0), 0u) << lines[3];
    const auto descriptor = unfurler_test::descriptor_from_sddl(vetra::to_wide(lines[3].substr(5), CP_UTF8));
    ASSERT_FALSE(descriptor.empty()) << lines[3];
    auto* read_back = const_cast<unsigned char*>(descriptor.data());
    for (WELL_KNOWN_SID_TYPE others : {WinWorldSid, WinAuthenticatedUserSid, WinBuiltinUsersSid, WinBuiltinGuestsSid})
        EXPECT_EQ(unfurler_test::granted_rights(read_back, others) & unfurler_test::write_rights, 0u) << lines[3];
    EXPECT_EQ(unfurler_test::granted_rights(read_back, WinWorldSid), 0u) << lines[3];
}

}  // namespace
