// The trace points: the gate of the control block, the marshalling of their
// arguments, the control callback, and the order of the points along a run.
// What would reach TraceMessage is captured through the trace sink.
#include "trace_points.h"
#include "trace_provider.h"

#include "container_kit.h"
#include "stub_runner.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using unfurler::trace_control;
namespace fs = std::filesystem;

// A GUID in its registry form, so the expected values below are written as
// literals, not taken from the constants the code passes on.
std::string guid_text(const unfurler::trace_guid& guid)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.data1, guid.data2,
                  guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4],
                  guid.data4[5], guid.data4[6], guid.data4[7]);
    return text;
}

struct captured_point {
    std::uint64_t logger;
    std::uint32_t flags;
    unfurler::trace_guid guid;
    std::uint16_t number;
    std::vector<std::string> arguments;  // the bytes of each argument
};

std::vector<captured_point> captured;

void capture(std::uint64_t logger, std::uint32_t flags, const unfurler::trace_guid& guid, std::uint16_t number,
             const unfurler::trace_buffer* arguments, std::size_t count)
{
    captured_point point{logger, flags, guid, number, {}};
    for (std::size_t i = 0; i < count; ++i)
        point.arguments.emplace_back(static_cast<const char*>(arguments[i].data), arguments[i].size);
    captured.push_back(std::move(point));
}

std::string utf16z(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

std::vector<unsigned> numbers()
{
    std::vector<unsigned> result;
    for (const auto& point : captured)
        result.push_back(point.number);
    return result;
}

class Tracing : public testing::Test {
protected:
    void SetUp() override
    {
        captured.clear();
        unfurler::set_trace_sink(capture);
    }
    void TearDown() override
    {
        enable(1, 0);
        trace_control().logger_handle = 0;
        unfurler::set_trace_sink(nullptr);
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", nullptr);
    }

    // What a controller's enable request would store.
    static void enable(std::uint8_t level, std::uint32_t flags)
    {
        trace_control().enable_level = level;
        trace_control().enable_flags = flags;
    }

    // A run that extracts, starts the probe, waits and cleans up.
    unfurler_test::stub_outcome successful_run(const std::vector<std::wstring>& arguments = {L"-!d", L"x"})
    {
        unfurler_test::write_container(scratch_ / "sfx.exe",
                                       unfurler_test::settings_block({{"TargetDirectory", "t"},
                                                                      {"LaunchExe", "bin\\probe.exe"}}),
                                       {{"bin/probe.exe", unfurler_test::probe_image()}, {"bin/data.txt", "data"}});
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", (scratch_ / "probe.log").c_str());
        return unfurler_test::run_stub(scratch_ / "sfx.exe", arguments, scratch_.path());
    }

    testsupport::ScratchFolder scratch_;
};

TEST_F(Tracing, ARunWithTracingOffEmitsNothingAndBehavesTheSame)
{
    const auto quiet = successful_run();
    EXPECT_TRUE(captured.empty());
    const std::string quiet_log = testsupport::readFile(scratch_ / "probe.log");
    fs::remove(scratch_ / "probe.log");

    enable(4, 1);
    const auto traced = successful_run();
    EXPECT_FALSE(captured.empty());
    EXPECT_EQ(traced.exit_code, quiet.exit_code);
    EXPECT_EQ(testsupport::readFile(scratch_ / "probe.log"), quiet_log);
    EXPECT_FALSE(fs::exists(scratch_ / "t"));
}

TEST_F(Tracing, EveryPointCarriesTheLoggerTheMessageGuidAndTheFlags)
{
    enable(4, 1);
    trace_control().logger_handle = 0x1234567890ABCDEFull;
    successful_run();
    ASSERT_FALSE(captured.empty());
    for (const auto& point : captured) {
        EXPECT_EQ(point.logger, 0x1234567890ABCDEFull);
        EXPECT_EQ(point.flags, 0x2Bu);
        EXPECT_EQ(guid_text(point.guid), "{49908DEE-2A21-2B0A-17C1-35BE605F3C99}");
        EXPECT_GE(point.number, 10u);
        EXPECT_LE(point.number, 49u);
    }
}

// The provider registers under this control GUID; Wine's tracing functions
// are stubs, so the registration itself cannot be observed here.
TEST(TraceProvider, ControlGuidIsTheProvidersOwn)
{
    EXPECT_EQ(guid_text(unfurler::trace_control_guid), "{FD7A03BB-C60D-421D-BC3A-B41D39F2786B}");
}

TEST_F(Tracing, AtLevelTwoOnlyTheErrorPointsAreEmitted)
{
    enable(2, 1);
    successful_run();
    EXPECT_TRUE(captured.empty());
    const auto failed = successful_run({L"-!z"});
    EXPECT_EQ(failed.exit_code, 1u);
    ASSERT_EQ(numbers(), std::vector<unsigned>{49});
    EXPECT_EQ(captured[0].arguments, std::vector<std::string>{utf16z(L"Unrecognized command line argument -!z")});
}

TEST_F(Tracing, WithFlagBitZeroClearNothingIsEmitted)
{
    enable(5, 0xFFFFFFFEu);
    successful_run({L"-!z"});
    EXPECT_TRUE(captured.empty());
}

TEST_F(Tracing, ArgumentsTravelAsTerminatedTextsAndFourByteNumbers)
{
    enable(4, 1);
    successful_run({L"-!t", L"", L"-!d"});
    std::vector<const captured_point*> target_option, examined;
    for (const auto& point : captured) {
        if (point.number == 18)
            target_option.push_back(&point);
        if (point.number == 16)
            examined.push_back(&point);
    }
    ASSERT_EQ(target_option.size(), 1u);
    EXPECT_EQ(target_option[0]->arguments, std::vector<std::string>{utf16z(L"<NULL>")});
    EXPECT_EQ(target_option[0]->arguments[0].size(), 14u);
    ASSERT_EQ(examined.size(), 2u);
    const std::uint32_t three = 3;
    EXPECT_EQ(examined[1]->arguments,
              (std::vector<std::string>{std::string(reinterpret_cast<const char*>(&three), 4), utf16z(L"-!d")}));

    captured.clear();
    unfurler::register_trace_provider();
    unfurler::trace_point(32, unfurler::trace_level::verbose,
                          {static_cast<const wchar_t*>(nullptr), L"", std::uint32_t{7}});
    unfurler::unregister_trace_provider();
    ASSERT_EQ(captured.size(), 1u);
    EXPECT_EQ(captured[0].arguments, (std::vector<std::string>{utf16z(L"NULL"), utf16z(L"<NULL>"),
                                                                std::string("\x07\0\0\0", 4)}));
    EXPECT_EQ(captured[0].arguments[0].size(), 10u);
}

TEST_F(Tracing, NothingIsEmittedAfterUnregistration)
{
    enable(4, 1);
    successful_run();
    captured.clear();
    EXPECT_FALSE(trace_control().initialised);
    EXPECT_EQ(trace_control().registration_handle, 0u);
    unfurler::trace_point(10, unfurler::trace_level::verbose, {L"text"});
    unfurler::trace_point(49, unfurler::trace_level::error, {L"text"});
    EXPECT_TRUE(captured.empty());
}

TEST_F(Tracing, TheControlCallbackStoresEnableAndDisableAndRejectsOtherRequests)
{
    unfurler::trace_control_block& block = trace_control();
    enable(4, 1);
    block.logger_handle = 99;
    for (WMIDPREQUESTCODE other : {WMI_GET_ALL_DATA, WMI_GET_SINGLE_INSTANCE, WMI_SET_SINGLE_INSTANCE,
                                   WMI_ENABLE_COLLECTION, WMI_DISABLE_COLLECTION, WMI_REGINFO, WMI_EXECUTE_METHOD}) {
        ULONG size = 77;
        EXPECT_EQ(unfurler::trace_control_callback(other, &block, &size, nullptr), 87u);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(block.logger_handle, 99u);
        EXPECT_EQ(block.enable_level, 4u);
        EXPECT_EQ(block.enable_flags, 1u);
    }
    ULONG size = 77;
    EXPECT_EQ(unfurler::trace_control_callback(WMI_DISABLE_EVENTS, &block, &size, nullptr), 0u);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(block.logger_handle, 0u);
    EXPECT_EQ(block.enable_level, 0u);
    EXPECT_EQ(block.enable_flags, 0u);
}

TEST_F(Tracing, PointsOfASuccessfulRunComeInTheOrderOfItsSteps)
{
    enable(4, 1);
    ASSERT_EQ(successful_run().exit_code, 0u);
    const std::vector<unsigned> expected = {
        46, 47, 48,                      // command line, repaired line, own path
        25, 26, 27,                      // payload search, window, marker
        10, 11, 12, 13, 14,              // settings
        15, 16, 19, 16, 17,              // -!d applied, x ends the options
        23, 24,                          // pass-through text, target folder
        30, 29, 29, 31,                  // extraction of two files
        32, 33, 34,                      // launch, wait, exit code
        35, 36, 38, 36, 38, 37, 38, 37, 38, 41};  // cleanup: two files, bin, t
    EXPECT_EQ(numbers(), expected);
}

TEST_F(Tracing, PointsOfAFailingRunEndWithTheFailure)
{
    enable(4, 1);
    ASSERT_EQ(successful_run({L"-!d", L"-!z"}).exit_code, 1u);
    const std::vector<unsigned> expected = {46, 47, 48, 25, 26, 27, 10, 11, 12, 13, 14, 15, 16, 19, 16, 49};
    EXPECT_EQ(numbers(), expected);
}

}  // namespace
