// Method e, run as a script runs it, on fixture packages.
#include "parcelor_run.h"

#include <testsupport/fixture_zip.h>
#include <testsupport/scratch_folder.h>
#include <testsupport/test_data.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::FixtureEntry;
using testsupport::ScratchFolder;
using testsupport::ZipMethod;
using testsupport::readFile;
using testsupport::withCrLf;
using testsupport::writeFile;
using testsupport::writeFixtureZip;

constexpr const char* kHeader = kFilterHeader;

// A package with stored, deflate and bzip2 entries, folder entries and
// nested folders, with distinct times.
struct MixedPackage {
    std::vector<FixtureEntry> entries = {
        {"a.txt", "alpha\r\nline two\n", ZipMethod::stored, testsupport::dosDateTime(2021, 3, 4, 5, 6, 8)},
        {"sub/", "", ZipMethod::stored, testsupport::dosDateTime(2022, 1, 1, 0, 0, 0)},
        {"sub/b.txt", std::string(5000, 'b'), ZipMethod::deflate, testsupport::dosDateTime(2020, 12, 31, 23, 59, 58)},
        {"sub/deep/er/c.bin", testsupport::pseudoRandomBytes(70000, 7), ZipMethod::bzip2, testsupport::dosDateTime(2019, 7, 8, 9, 10, 12)},
        {"empty.dat", "", ZipMethod::deflate, testsupport::dosDateTime(2018, 2, 3, 4, 5, 6)},
        {"odd name [1] & co.txt", "odd", ZipMethod::deflate, testsupport::dosDateTime(2024, 6, 7, 8, 9, 10)},
    };
};

TEST(ParcelorExtract, WholePackageGivesIdenticalFilesFoldersAndTimes)
{
    ScratchFolder folder;
    MixedPackage package;
    writeFixtureZip(folder / "pkg.zip", package.entries);
    fs::create_directory(folder / "out");

    const auto run = parcelor({"e!pkg.zip", "-o", "out", "-w", "ignored"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(kHeader)) << "folder entries and files print nothing";

    EXPECT_TRUE(fs::is_directory(folder / "out" / "sub"));
    for (const auto& entry : package.entries) {
        if (entry.name.back() == '/')
            continue;
        const auto path = folder / "out" / fs::path(entry.name).make_preferred();
        ASSERT_TRUE(fs::is_regular_file(path)) << entry.name;
        EXPECT_EQ(readFile(path), entry.data) << entry.name;
        EXPECT_EQ(testsupport::lastWriteDosTime(path), entry.dosDateTime) << entry.name;
    }
}

TEST(ParcelorExtract, PackageWithBackslashNamesGetsItsFolders)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"top\\mid\\x.txt", "x"}, {"top\\y.txt", "y"}});
    fs::create_directory(folder / "out");
    const auto run = parcelor({"e!pkg.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.output, withCrLf(kHeader));
    EXPECT_EQ(readFile(folder / "out/top/mid/x.txt"), "x");
    EXPECT_EQ(readFile(folder / "out/top/y.txt"), "y");
}

// Whether opening a read-only file for writing fails here (it does not for
// root under Wine, which leaves such files to the Linux permission check).
bool readOnlyFilesRefuseWriting(const fs::path& probe)
{
    writeFile(probe, "probe");
    ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool refused = file == INVALID_HANDLE_VALUE;
    if (!refused)
        ::CloseHandle(file);
    ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(probe.c_str());
    return refused;
}

TEST(ParcelorExtract, PackageWithoutEntriesExtractsNothing)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "empty.zip", {});
    fs::create_directory(folder / "out");
    const auto run = parcelor({"e!empty.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.output, withCrLf(kHeader));
    EXPECT_TRUE(fs::is_empty(folder / "out"));
}

TEST(ParcelorExtract, OverwritesExistingFiles)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "new a"}});
    writeFile(folder / "out/a.txt", "old a, longer than the new one");

    const auto run = parcelor({"e!pkg.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(kHeader));
    EXPECT_EQ(readFile(folder / "out/a.txt"), "new a");
}

TEST(ParcelorExtract, SkipsReadOnlyFilesSilently)
{
    ScratchFolder folder;
    // Root under Wine may write to a read-only file, so nothing would be
    // refused: the case cannot show what it is about there.
    if (!readOnlyFilesRefuseWriting(folder / "probe.txt"))
        GTEST_SKIP() << "read-only files accept writing here (root under Wine)";
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "new a"}, {"b.txt", "new b"}});
    writeFile(folder / "out/b.txt", "old b");
    ASSERT_TRUE(::SetFileAttributesW((folder / "out/b.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    const auto run = parcelor({"e!pkg.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(kHeader));
    EXPECT_EQ(readFile(folder / "out/a.txt"), "new a");
    EXPECT_EQ(readFile(folder / "out/b.txt"), "old b");
}

TEST(ParcelorExtract, StartUpFailuresPrintTheirMessagesAndExitZero)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}});
    writeFile(folder / "not-a-zip.zip", "this is not a zip archive");
    writeFile(folder / "file.txt", "a file, not a folder");
    struct Case {
        std::vector<std::string> arguments;
        const char* messages;
    };
    const Case cases[] = {
        {{"e!missing.zip", "-o", "out"}, "can't find the package file specified,\nmake sure the file path is correct.\n"},
        {{"e!not-a-zip.zip", "-o", "out"},
         "can't find the package file specified,\nmake sure the file path is correct.\n"},
        {{"e!missing.zip", "-o", "missing-too"},
         "can't find the package file specified,\nmake sure the file path is correct.\n"},
        {{"e!pkg.zip"}, "the string of output folder path should not null.\n"},
        {{"e!pkg.zip", "-o", "out"},
         "can't find the output folder specified,\nmake sure the output folder path is correct.\n"},
        {{"e!pkg.zip", "-o", "file.txt"},
         "the output folder specified is not a directory,\nmake sure the output folder path is correct.\n"},
    };
    for (const auto& c : cases) {
        const auto run = parcelor(c.arguments, folder.path());
        EXPECT_EQ(run.exitCode, 0u) << c.arguments[0];
        EXPECT_EQ(run.output, withCrLf(std::string(kHeader) + c.messages)) << c.arguments[0];
    }
    EXPECT_FALSE(fs::exists(folder / "out")) << "method e never creates its output folder";
}

TEST(ParcelorExtract, FiltersNameWholeEntriesIgnoringCase)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"win\\c.txt", "c"}, {"d.txt", "d"}});
    fs::create_directory(folder / "out");
    const std::string tooLong(256, 'x');
    const auto run = parcelor({"e!pkg.zip", "-o", "out", "-f", "A.TXT", "sub/b.txt", "WIN/C.TXT", "nothing", tooLong},
                              folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(std::string(kHeader) + "0: A.TXT\n1: sub\\b.txt\n2: WIN\\C.TXT\n3: nothing\n4: " +
                                   tooLong + "\n"));
    EXPECT_EQ(readFile(folder / "out/a.txt"), "a");
    EXPECT_EQ(readFile(folder / "out/win/c.txt"), "c") << "an entry stored with '\\' is found";
    EXPECT_FALSE(fs::exists(folder / "out/sub")) << "'\\' in the filter does not find a '/' name";
    EXPECT_FALSE(fs::exists(folder / "out/d.txt"));
}

TEST(ParcelorExtract, NamesLeavingTheOutputFolderAreRefused)
{
    ScratchFolder folder;
    const char* names[] = {"../up.txt", "..\\up2.txt", "sub/../../up3.txt", "/rooted.txt", "\\rooted2.txt",
                           "C:/drive.txt", "x.txt:stream"};
    std::vector<FixtureEntry> entries;
    for (const char* name : names)
        entries.push_back({name, "bad"});
    entries.push_back({"fine.txt", "good"});
    writeFixtureZip(folder / "pkg.zip", entries);
    fs::create_directories(folder / "base/out");

    const auto run = parcelor({"e!../pkg.zip", "-o", "out"}, folder / "base");
    std::string expected = kHeader;
    for (const char* name : names)
        expected += std::string("Skipped entry ") + name + ": its name leads outside the output folder.\n";
    EXPECT_EQ(run.output, withCrLf(expected));
    EXPECT_EQ(readFile(folder / "base/out/fine.txt"), "good");
    EXPECT_FALSE(fs::exists(folder / "base/up.txt"));
    EXPECT_FALSE(fs::exists(folder / "base/up2.txt"));
    EXPECT_FALSE(fs::exists(folder / "up3.txt"));
    EXPECT_FALSE(fs::exists(folder / "base/out/x.txt"));
}

TEST(ParcelorExtract, PathsTooLongForTheBuffersAreRefused)
{
    ScratchFolder folder;
    fs::create_directory(folder / "out");
    const std::string cutName = std::string(300, 'c') + ".txt";  // longer than the name buffer
    // "out\" plus this name is 260 characters: one too many.
    const std::string longName = "d/" + std::string(252, 'l') + ".t";
    const std::string fitting = "d/" + std::string(251, 'f') + ".t";
    writeFixtureZip(folder / "pkg.zip", {{cutName, "cut"}, {longName, "long"}, {fitting, "fits"}});

    const auto run = parcelor({"e!pkg.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.output,
              withCrLf(std::string(kHeader) + "Skipped entry " + cutName +
                       ": its path below out is longer than 259 characters.\n" + "Skipped entry " + longName +
                       ": its path below out is longer than 259 characters.\n"));
    EXPECT_EQ(readFile(folder / "out/d" / fitting.substr(2)), "fits");
    for (const auto& item : fs::directory_iterator(folder / "out"))
        EXPECT_EQ(item.path().filename(), "d") << "nothing is written under a cut name";
}

// Rewrites bytes of a one-entry package: its method in both headers, or one
// data byte.
void patchSingleEntryPackage(const fs::path& path, int method, std::size_t flipDataByte)
{
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.compare(0, 4, "PK\x03\x04"), 0);
    if (method >= 0) {
        const auto central = bytes.find("PK\x01\x02");
        ASSERT_NE(central, std::string::npos);
        bytes[8] = bytes[central + 10] = static_cast<char>(method);
    } else {
        const auto nameLength = static_cast<unsigned char>(bytes[26]) | static_cast<unsigned char>(bytes[27]) << 8;
        const auto extraLength = static_cast<unsigned char>(bytes[28]) | static_cast<unsigned char>(bytes[29]) << 8;
        bytes[30 + nameLength + extraLength + flipDataByte] ^= 0x01;
    }
    writeFile(path, bytes);
}

TEST(ParcelorExtract, DamagedEntriesAreReportedAndTheRunGoesOn)
{
    ScratchFolder folder;
    fs::create_directory(folder / "out");
    writeFixtureZip(folder / "crc.zip", {{"crc.txt", "0123456789", ZipMethod::stored}});
    patchSingleEntryPackage(folder / "crc.zip", -1, 3);
    writeFixtureZip(folder / "method.zip", {{"lzma.txt", "data", ZipMethod::stored}});
    patchSingleEntryPackage(folder / "method.zip", 14, 0);

    auto run = parcelor({"e!crc.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(std::string(kHeader) +
                                   "Warning: entry crc.txt failed its CRC check; the extracted file is damaged.\n"));
    EXPECT_EQ(readFile(folder / "out/crc.txt"), "0122456789");

    run = parcelor({"e!method.zip", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf(std::string(kHeader) +
                                   "Warning: entry lzma.txt cannot be decoded (status -103); an empty file was left.\n"));
    EXPECT_EQ(readFile(folder / "out/lzma.txt"), "");
}

// Whether this file system keeps a creation time that differs from the
// last-write time (Wine on a Linux file system does not).
bool platformKeepsCreationTimes(const fs::path& probe)
{
    writeFile(probe, "probe");
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME created{0x12345600, 0x01D00000}, written{0x12345600, 0x01D80000}, readBack{};
    ::SetFileTime(file, &created, nullptr, &written);
    ::GetFileTime(file, &readBack, nullptr, nullptr);
    ::CloseHandle(file);
    return readBack.dwHighDateTime == created.dwHighDateTime && readBack.dwLowDateTime == created.dwLowDateTime;
}

TEST(ParcelorExtract, CreationTimeIsTheEntryTimeWhereThePlatformKeepsIt)
{
    ScratchFolder folder;
    if (!platformKeepsCreationTimes(folder / "probe.txt"))
        GTEST_SKIP() << "this file system does not keep creation times";
    const auto when = testsupport::dosDateTime(2015, 5, 6, 7, 8, 10);
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a", ZipMethod::deflate, when}});
    fs::create_directory(folder / "out");
    parcelor({"e!pkg.zip", "-o", "out"}, folder.path());
    HANDLE file = ::CreateFileW((folder / "out/a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    FILETIME created, local;
    WORD date = 0, time = 0;
    ::GetFileTime(file, &created, nullptr, nullptr);
    ::CloseHandle(file);
    ::FileTimeToLocalFileTime(&created, &local);
    ::FileTimeToDosDateTime(&local, &date, &time);
    EXPECT_EQ((static_cast<std::uint32_t>(date) << 16) | time, when);
}

}  // namespace
