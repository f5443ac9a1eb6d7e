// Extraction into the target folder: what is written, what is recorded, and
// archives whose entries are damaged or unsafe.
#include "extraction.h"
#include "payload_locator.h"
#include "sfx_archive.h"

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

struct extracted {
    std::vector<std::wstring> created_paths;
    std::string failure;  // what() of the failure, empty on success
};

// Builds a container of entries, opens it as the stub does and extracts it
// into target.
extracted extract(const testsupport::ScratchFolder& scratch, const std::vector<FixtureEntry>& entries,
                  const fs::path& target, std::string archive_bytes = {})
{
    unfurler_test::container_parts parts;
    parts.settings = unfurler_test::settings_block({});
    parts.archive = archive_bytes.empty() ? unfurler_test::zip_bytes(entries) : archive_bytes;
    const fs::path container = scratch / "sfx.exe";
    unfurler_test::write_container(container, parts);

    unfurler::sfx_archive archive;
    archive.file.reset(::CreateFileW(container.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    archive.archive_offset = unfurler::locate_payload(archive.file.get()).archive_offset;
    archive.settings.TargetDirectory = target.wstring();
    extracted result;
    try {
        unfurler::extract_archive(archive, result.created_paths);
    } catch (const std::exception& error) {
        result.failure = error.what();
    }
    return result;
}

std::vector<std::wstring> under(const fs::path& root, std::initializer_list<const wchar_t*> relative)
{
    std::vector<std::wstring> paths;
    for (const wchar_t* path : relative)
        paths.push_back(*path ? (root / path).wstring() : root.wstring());
    return paths;
}

TEST(Extraction, RecordsCreatedFoldersThenFilesAndFolderEntriesOnly)
{
    testsupport::ScratchFolder scratch;
    const fs::path target = scratch / "target";
    const auto result = extract(scratch,
                                {{"dir/file.txt", "one"},
                                 {"dir/sub/", ""},
                                 {"deep/er/x.bin", std::string(1000, 'x'), ZipMethod::bzip2},
                                 {"empty.txt", "", ZipMethod::stored},
                                 {"dir/file.txt", "two", ZipMethod::stored}},
                                target);
    ASSERT_EQ(result.failure, "");
    fs::path t = target;
    EXPECT_EQ(result.created_paths,
              under(t, {L"", L"dir", L"dir\\file.txt", L"dir\\sub", L"deep", L"deep\\er", L"deep\\er\\x.bin",
                        L"empty.txt", L"dir\\file.txt"}));
    EXPECT_EQ(testsupport::readFile(target / "dir" / "file.txt"), "two");
    EXPECT_EQ(testsupport::readFile(target / "deep" / "er" / "x.bin"), std::string(1000, 'x'));
    EXPECT_TRUE(fs::is_directory(target / "dir" / "sub"));
    EXPECT_EQ(fs::file_size(target / "empty.txt"), 0u);
}

TEST(Extraction, FolderEntriesRecordEveryFolderTheyCreateOutermostFirst)
{
    testsupport::ScratchFolder scratch;
    const fs::path target = scratch / "t";
    const auto result = extract(scratch, {{"a/b/", ""}, {"a/b/c.txt", "c"}, {"a/d/e/", ""}}, target);
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.created_paths, under(target, {L"", L"a", L"a\\b", L"a\\b\\c.txt", L"a\\d", L"a\\d\\e"}));
}

TEST(Extraction, FoldersThatExistedBeforeAreNeverRecorded)
{
    testsupport::ScratchFolder scratch;
    const fs::path target = scratch / "t";
    fs::create_directories(target / "empty");
    testsupport::writeFile(target / "full" / "mine.txt", "mine");
    const auto result = extract(scratch,
                                {{"./", ""}, {"empty/", ""}, {"full/", ""}, {"full/sub/", ""}, {"full/x.txt", "x"},
                                 {"./setup.cmd", "s"}, {"new//deep/./", ""}},
                                target);
    ASSERT_EQ(result.failure, "");
    // The target, empty and full were there: only what the run made is listed.
    EXPECT_EQ(result.created_paths,
              under(target, {L"full\\sub", L"full\\x.txt", L"setup.cmd", L"new", L"new\\deep"}));
}

TEST(Extraction, ATargetFolderEntryRecordsTheTargetOnlyWhenItCreatesIt)
{
    testsupport::ScratchFolder scratch;
    const fs::path target = scratch / "uuid";
    const auto result = extract(scratch, {{"./", ""}, {"./run.cmd", "r"}}, target);
    ASSERT_EQ(result.failure, "");
    EXPECT_EQ(result.created_paths, under(target, {L"", L"run.cmd"}));
}

TEST(Extraction, AnEntryAboveOneChunkIsWrittenInTwo)
{
    testsupport::ScratchFolder scratch;
    std::string data(unfurler::extraction_chunk_size + 1, '\0');
    for (std::size_t i = 0; i < data.size(); i += 4093)
        data[i] = static_cast<char>('a' + i % 26);
    data.back() = 'Z';
    const auto result = extract(scratch, {{"big.bin", data}}, scratch / "t");
    ASSERT_EQ(result.failure, "");
    EXPECT_TRUE(testsupport::readFile(scratch / "t" / "big.bin") == data);
}

TEST(Extraction, AReadOnlyFileAtAnEntryPathFails)
{
    testsupport::ScratchFolder scratch;
    testsupport::writeFile(scratch / "t" / "locked.txt", "old");
    ::SetFileAttributesW((scratch / "t" / "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const auto result = extract(scratch, {{"locked.txt", "new"}}, scratch / "t");
    EXPECT_EQ(result.failure.rfind("Could not create file " + (scratch / "t" / "locked.txt").string() + ". Error code: 5", 0),
              0u)
        << result.failure;
    EXPECT_EQ(testsupport::readFile(scratch / "t" / "locked.txt"), "old");
}

TEST(Extraction, UnsafeNamesFailTheRunBeforeAnythingIsWritten)
{
    struct unsafe {
        const char* name;
        const char* reason;
    };
    const unsafe cases[] = {
        {"../escape.txt", " leads outside the target folder."},
        {"ok/../../escape.txt", " leads outside the target folder."},
        {"/escape.txt", " leads outside the target folder."},
        {"C:/escape.txt", " leads outside the target folder."},
        {"x.txt:stream", " leads outside the target folder."},
        {"CON", " names a device (such as CON or NUL), not a file in the target folder."},
        {"sub/nul.txt", " names a device (such as CON or NUL), not a file in the target folder."},
        {"Com1/x", " names a device (such as CON or NUL), not a file in the target folder."},
        {"lpt9 .log", " names a device (such as CON or NUL), not a file in the target folder."},
        {"aux/", " names a device (such as CON or NUL), not a file in the target folder."},
        {".", " names no file in the target folder."},
    };
    for (const unsafe& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ScratchFolder scratch;
        const auto result = extract(scratch, {{"first.txt", "1"}, {"dir/", ""}, {c.name, "evil"}}, scratch / "a" / "t");
        EXPECT_EQ(result.failure, std::string("The entry ") + c.name + c.reason + " The archive is corrupt.");
        EXPECT_TRUE(result.created_paths.empty());
        EXPECT_FALSE(fs::exists(scratch / "a"));
        EXPECT_FALSE(fs::exists(scratch / "escape.txt"));
        EXPECT_FALSE(fs::exists("C:/escape.txt"));
    }
}

// The stored data of the only entry: a local header (30 bytes, then the name).
std::string with_damaged_data(std::string zip, std::size_t name_length)
{
    zip[30 + name_length + 2] ^= 0x55;
    return zip;
}

TEST(Extraction, ChecksumMismatchFailsNamingTheEntry)
{
    testsupport::ScratchFolder scratch;
    const std::string zip =
        with_damaged_data(unfurler_test::zip_bytes({{"setup.exe", "payload bytes", ZipMethod::stored}}), 9);
    const auto result = extract(scratch, {}, scratch / "t", zip);
    EXPECT_EQ(result.failure, "The checksum of " + (scratch / "t" / "setup.exe").string() +
                                  " does not match. The archive is corrupt.");
}

TEST(Extraction, DataShorterThanItsSizeFailsNamingTheEntry)
{
    testsupport::ScratchFolder scratch;
    std::string zip = unfurler_test::zip_bytes({{"a.txt", "0123456789", ZipMethod::stored}});
    // Claim 20 bytes in the local and the central header; the stored data holds 10.
    zip[22] = 20;
    const std::size_t central = zip.find(std::string("PK\x01\x02", 4));
    zip[central + 24] = 20;
    const auto result = extract(scratch, {}, scratch / "t", zip);
    EXPECT_NE(result.failure.find((scratch / "t" / "a.txt").string()), std::string::npos) << result.failure;
    EXPECT_NE(result.failure.find("The archive is corrupt."), std::string::npos) << result.failure;
}

TEST(Extraction, DamagedPayloadIsNeverLaunched)
{
    testsupport::ScratchFolder scratch;
    unfurler_test::container_parts parts;
    parts.settings = unfurler_test::settings_block({{"TargetDirectory", "t"}, {"LaunchExe", "probe.exe"}});
    parts.archive = with_damaged_data(
        unfurler_test::zip_bytes({{"probe.exe", unfurler_test::probe_image(), ZipMethod::stored}}), 9);
    unfurler_test::write_container(scratch / "sfx.exe", parts);
    const fs::path log = scratch / "probe.log";
    ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", log.c_str());
    const auto outcome = unfurler_test::run_stub(scratch / "sfx.exe", {}, scratch.path());
    ::SetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", nullptr);
    EXPECT_EQ(outcome.exit_code, 1u);
    ASSERT_EQ(outcome.shown.size(), 1u);
    EXPECT_NE(unfurler_test::narrow(outcome.shown[0]).find("probe.exe"), std::string::npos);
    EXPECT_FALSE(fs::exists(log));
}

}  // namespace
