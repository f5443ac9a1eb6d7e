// Finding the settings and the archive, and what the stub says about
// containers that are damaged.
#include "container_kit.h"
#include "stub_runner.h"

#include <sfx/container_layout.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using unfurler_test::container_parts;
using unfurler_test::run_stub;
using unfurler_test::write_container;
using testsupport::FixtureEntry;
using testsupport::ZipMethod;
namespace fs = std::filesystem;

const std::string corrupt_settings = "Failed to locate self-extractor settings. The archive is corrupt.";
const std::string corrupt_data = "Failed to locate compressed data. The archive is corrupt.";

struct malformed_case {
    const char* name;
    container_parts parts;
    std::string message;  // the start of the one message shown
};

std::string only_message(const unfurler_test::stub_outcome& outcome)
{
    if (outcome.shown.size() != 1)
        return "shown " + std::to_string(outcome.shown.size()) + " messages";
    return unfurler_test::narrow(outcome.shown.front());
}

TEST(Payload, MalformedContainersFailWithTheirMessage)
{
    const std::string archive = unfurler_test::zip_bytes({{"a.txt", "alpha"}});
    const std::string settings = unfurler_test::settings_block({{"TargetDirectory", "out"}});
    std::vector<malformed_case> cases;
    cases.push_back({"no marker", {}, corrupt_settings});
    cases.back().parts.archive = archive;
    cases.push_back({"marker without archive", {}, corrupt_data});
    cases.back().parts.settings = settings;
    // A zip without entries has no local header, only its end record.
    cases.push_back({"archive without entries", {}, corrupt_data});
    cases.back().parts.settings = settings;
    cases.back().parts.archive = unfurler_test::zip_bytes({});
    // The marker's last byte is the window's last byte: found, but no archive fits.
    cases.push_back({"marker ends the first MiB", {}, corrupt_data});
    cases.back().parts.stub.resize(sfx::search_window_size - 8, '\0');
    cases.back().parts.settings = settings;
    cases.back().parts.archive = archive;
    cases.push_back({"marker crosses the first MiB", {}, corrupt_settings});
    cases.back().parts.stub.resize(sfx::search_window_size - 7, '\0');
    cases.back().parts.settings = settings;
    cases.back().parts.archive = archive;
    // A local header with nothing behind it: no central directory to read.
    cases.push_back({"truncated archive", {}, "Could not open the compressed data. The archive is corrupt."});
    cases.back().parts.settings = settings;
    cases.back().parts.archive = archive.substr(0, 40);

    for (const malformed_case& entry : cases) {
        SCOPED_TRACE(entry.name);
        testsupport::ScratchFolder scratch;
        write_container(scratch / "sfx.exe", entry.parts);
        const auto outcome = run_stub(scratch / "sfx.exe", {}, scratch.path());
        EXPECT_EQ(outcome.exit_code, 1u);
        EXPECT_EQ(only_message(outcome).substr(0, entry.message.size()), entry.message);
        EXPECT_FALSE(fs::exists(scratch / "out" / "a.txt"));
    }
}

TEST(Payload, ZeroBytesBetweenSettingsAndArchiveEndTheSettings)
{
    testsupport::ScratchFolder scratch;
    container_parts parts;
    parts.settings = unfurler_test::settings_block({{"TargetDirectory", "out"}});
    parts.gap = std::string(16, '\0') + "ShowErrors=garbage\r\n" + std::string(3, '\0');
    parts.archive = unfurler_test::zip_bytes({{"a.txt", "alpha"}});
    write_container(scratch / "sfx.exe", parts);
    const auto outcome = run_stub(scratch / "sfx.exe", {}, scratch.path());
    EXPECT_EQ(outcome.exit_code, 0u);
    EXPECT_EQ(testsupport::readFile(scratch / "out" / "a.txt"), "alpha");
}

TEST(Payload, SignatureBytesInsideTheStubImageAreIgnored)
{
    testsupport::ScratchFolder scratch;
    container_parts parts;
    parts.stub += std::string("PK\x03\x04", 4) + "junk";
    parts.settings = unfurler_test::settings_block({{"TargetDirectory", "out"}});
    parts.archive = unfurler_test::zip_bytes({{"a.txt", "alpha"}});
    write_container(scratch / "sfx.exe", parts);
    EXPECT_EQ(run_stub(scratch / "sfx.exe", {}, scratch.path()).exit_code, 0u);
    EXPECT_EQ(testsupport::readFile(scratch / "out" / "a.txt"), "alpha");
}

TEST(Payload, TheStubImageHoldsNoMarkerAndFitsTheSearchWindow)
{
    const std::string& image = unfurler_test::stub_image();
    EXPECT_EQ(image.find(unfurler_test::marker()), std::string::npos);
    EXPECT_LT(image.size(), 512u * 1024u);
}

TEST(Payload, AMissingOwnFileFailsWithItsPath)
{
    testsupport::ScratchFolder scratch;
    const auto outcome = run_stub(scratch / "absent.exe", {}, scratch.path());
    EXPECT_EQ(outcome.exit_code, 1u);
    EXPECT_EQ(only_message(outcome).rfind("Could not open file " + (scratch / "absent.exe").string() + ". Error code: 2", 0), 0u)
        << only_message(outcome);
}

}  // namespace
