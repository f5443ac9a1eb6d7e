// The launched program is held from its extraction until its process exists:
// nobody else can write, rename or delete it in between, and a write slipped
// into the moment between the extraction's handle and the hold stops the run.
#include "launch_file_hold.h"

#include "container_kit.h"
#include "stub_runner.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using testsupport::FixtureEntry;
using testsupport::ZipMethod;
using unfurler::launch_hold_stage;
namespace fs = std::filesystem;

std::function<void(launch_hold_stage, const std::wstring&)> on_stage;

void observe(launch_hold_stage stage, const std::wstring& path)
{
    if (on_stage)
        on_stage(stage, path);
}

class LaunchHold : public testing::Test {
protected:
    void SetUp() override
    {
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", log().c_str());
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", L"7");
        unfurler::set_launch_hold_observer(observe);
        fs::create_directories(work());
    }
    void TearDown() override
    {
        unfurler::set_launch_hold_observer(nullptr);
        on_stage = nullptr;
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", nullptr);
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", nullptr);
    }

    fs::path container() const { return scratch_ / "sfx.exe"; }
    fs::path log() const { return scratch_ / "probe.log"; }
    fs::path work() const { return scratch_ / "work"; }
    fs::path program() const { return work() / "out" / "bin" / "probe.exe"; }

    // The probe as the launch file, with entries before and after it.
    unfurler_test::stub_outcome run(const std::string& launch_exe = "bin\\probe.exe",
                                    std::vector<FixtureEntry> entries = {})
    {
        if (entries.empty())
            entries = {{"bin/readme.txt", "first"},
                       {"bin/probe.exe", unfurler_test::probe_image(), ZipMethod::deflate},
                       {"bin/data.dat", std::string(200000, 'd')}};
        unfurler_test::write_container(
            container(),
            unfurler_test::settings_block({{"TargetDirectory", "out"}, {"LaunchExe", launch_exe}, {"Cleanup", "1"}}),
            entries);
        return unfurler_test::run_stub(container(), {}, work());
    }

    // Another process (the probe from the build, not the extracted one) tries
    // to write, rename and delete path; returns its line of results.
    std::string tamper_from_another_process(const std::wstring& path)
    {
        const fs::path tamper_log = scratch_ / "tamper.log";
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", tamper_log.c_str());
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_TAMPER", path.c_str());
        const auto run = testsupport::runProgram(testsupport::programBesideTests(L"unfurler_probe.exe"),
                                                 std::vector<std::wstring>{}, scratch_.path(), 60000);
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_TAMPER", nullptr);
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", log().c_str());
        EXPECT_FALSE(run.timedOut);
        const std::string text = fs::exists(tamper_log) ? testsupport::readFile(tamper_log) : std::string();
        const std::size_t line = text.find("write=");
        return line == std::string::npos ? text : text.substr(line, text.find('\n', line) - line);
    }

    bool probe_ran() const { return fs::exists(log()); }

    testsupport::ScratchFolder scratch_;
};

TEST_F(LaunchHold, AnotherProcessCannotWriteRenameOrDeleteTheProgramBeforeItStarts)
{
    std::string attempts;
    on_stage = [&](launch_hold_stage stage, const std::wstring& path) {
        if (stage == launch_hold_stage::before_process_creation)
            attempts = tamper_from_another_process(path);
    };
    const auto outcome = run();
    // 32: the file is in use by another process (a sharing violation).
    EXPECT_EQ(attempts, "write=32 rename=32 delete=32");
    // The held program still starts (its process opens it for running) and
    // is the one from the archive.
    EXPECT_EQ(outcome.exit_code, 7u);
    EXPECT_TRUE(probe_ran());
    EXPECT_TRUE(outcome.shown.empty());
}

TEST_F(LaunchHold, RenameAndDeleteAreRefusedFromTheExtractionOn)
{
    std::string attempts;
    on_stage = [&](launch_hold_stage stage, const std::wstring& path) {
        if (stage == launch_hold_stage::extraction_handle_closed)
            attempts = tamper_from_another_process(path);
    };
    const auto outcome = run();
    // Between the extraction's handle and the hold a writer can get in (the
    // bridging handle has to share writing with the extraction's); this one
    // wrote nothing, so the comparison finds the file unchanged.
    EXPECT_EQ(attempts, "write=0 rename=32 delete=32");
    EXPECT_EQ(outcome.exit_code, 7u);
}

TEST_F(LaunchHold, AProgramChangedBeforeTheHoldIsNeverStarted)
{
    struct tampering {
        const char* what;
        std::function<void(HANDLE)> change;
    };
    auto write_at = [](HANDLE file, LONG offset, const std::string& bytes) {
        ::SetFilePointer(file, offset, nullptr, FILE_BEGIN);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    };
    const std::vector<tampering> cases = {
        {"same length, other bytes", [&](HANDLE file) { write_at(file, 4096, "planted code"); }},
        {"longer", [&](HANDLE file) { write_at(file, static_cast<LONG>(unfurler_test::probe_image().size()), "x"); }},
        {"shorter",
         [](HANDLE file) {
             ::SetFilePointer(file, 1024, nullptr, FILE_BEGIN);
             ::SetEndOfFile(file);
         }},
    };
    for (const tampering& t : cases) {
        fs::remove_all(work() / "out");
        on_stage = [&](launch_hold_stage stage, const std::wstring& path) {
            if (stage != launch_hold_stage::extraction_handle_closed)
                return;
            const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE) << t.what;
            t.change(file);
            ::CloseHandle(file);
        };
        const auto outcome = run();
        EXPECT_EQ(outcome.exit_code, 1u) << t.what;
        ASSERT_EQ(outcome.shown.size(), 1u) << t.what;
        EXPECT_EQ(unfurler_test::narrow(outcome.shown[0]),
                  "The file " + program().string() + " was changed after it was extracted.")
            << t.what;
        EXPECT_FALSE(probe_ran()) << t.what;
    }
}

TEST_F(LaunchHold, AWriterStillOpenWhenTheHoldBeginsStopsTheRun)
{
    HANDLE writer = INVALID_HANDLE_VALUE;
    on_stage = [&](launch_hold_stage stage, const std::wstring& path) {
        if (stage == launch_hold_stage::extraction_handle_closed)
            writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const auto outcome = run();
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    ::CloseHandle(writer);
    EXPECT_EQ(outcome.exit_code, 1u);
    ASSERT_EQ(outcome.shown.size(), 1u);
    EXPECT_EQ(unfurler_test::narrow(outcome.shown[0]).rfind("Could not open file " + program().string(), 0), 0u)
        << unfurler_test::narrow(outcome.shown[0]);
    EXPECT_FALSE(probe_ran());
}

// Which entry is the launch file, and when the hold starts: the stages the
// observer sees for each way of naming it.
TEST_F(LaunchHold, TheLaunchFileIsFoundWhateverItsSpellingAndHeldOncePerExtraction)
{
    const std::string probe = unfurler_test::probe_image();
    struct spelling {
        const char* launch_exe;
        std::vector<FixtureEntry> entries;
        std::vector<launch_hold_stage> stages;
        DWORD exit_code;
    };
    using stage = launch_hold_stage;
    const std::vector<spelling> cases = {
        {"BIN\\Probe.EXE", {{"bin/probe.exe", probe}}, {stage::extraction_handle_closed, stage::before_process_creation}, 7},
        {"bin/.\\probe.exe", {{"bin/probe.exe", probe}}, {stage::extraction_handle_closed, stage::before_process_creation}, 7},
        // The same name twice: the second copy replaces the first, and is held.
        {"bin\\probe.exe",
         {{"bin/probe.exe", probe}, {"bin/probe.exe", probe, ZipMethod::stored}},
         {stage::extraction_handle_closed, stage::extraction_handle_closed, stage::before_process_creation},
         7},
        // An empty script is held too (it has no data to compare).
        {"bin\\empty.cmd", {{"bin/empty.cmd", ""}}, {stage::extraction_handle_closed, stage::before_process_creation}, 0},
        // Not in the archive: nothing to hold from extraction; process creation
        // fails as before.
        {"bin\\missing.exe", {{"bin/probe.exe", probe}}, {stage::before_process_creation}, 1},
    };
    for (const spelling& c : cases) {
        fs::remove_all(work() / "out");
        std::vector<launch_hold_stage> seen;
        on_stage = [&](launch_hold_stage s, const std::wstring&) { seen.push_back(s); };
        const auto outcome = run(c.launch_exe, c.entries);
        EXPECT_EQ(seen, c.stages) << c.launch_exe;
        EXPECT_EQ(outcome.exit_code, c.exit_code) << c.launch_exe;
    }
}

}  // namespace
