// Method a, run as a script runs it.
#include "parcelor_run.h"

#include <testsupport/fixture_zip.h>
#include <testsupport/scratch_folder.h>

#include <windows.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::readPackage;
using testsupport::ScratchFolder;
using testsupport::writeFile;

const std::string kCreatesPackage = "can't find the package file specified,\nwill create a new one.\n";
const std::string kNewPackage = kFilterHeader + kCreatesPackage;

std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

void setAttributes(const fs::path& path, DWORD attributes)
{
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << path;
}

// A working folder with nested files, an empty folder, a hidden and a
// system file.
void makeWorkingFolder(const fs::path& folder)
{
    writeFile(folder / "a.txt", "a");
    writeFile(folder / "sub/b.txt", "b");
    writeFile(folder / "sub/deep/c.txt", std::string(10000, 'c'));
    fs::create_directories(folder / "e");
    writeFile(folder / "hidden.txt", "h");
    writeFile(folder / "system.txt", "s");
    setAttributes(folder / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    setAttributes(folder / "system.txt", FILE_ATTRIBUTE_SYSTEM);
}

TEST(ParcelorArchive, WholeFolderMakesANewPackageAndASecondRunAppends)
{
    ScratchFolder folder;
    makeWorkingFolder(folder / "w");
    auto run = parcelor({"a!pkg.zip", "-w", "w", "-o", "ignored"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, expectedOutput(kNewPackage));

    const auto first = readPackage(folder / "pkg.zip");
    const std::vector<std::string> expected = {"a.txt", "hidden.txt", "sub/b.txt", "sub/deep/c.txt", "system.txt"};
    EXPECT_EQ(sorted(testsupport::entryNames(first)), expected) << "files only: no folder entries, nothing for e";
    for (const auto& entry : first) {
        EXPECT_EQ(entry.method, 8) << entry.name;
        EXPECT_EQ(entry.externalAttributes, 0u) << entry.name;
        EXPECT_EQ(entry.data, readFile(folder / "w" / entry.name)) << entry.name;
    }

    writeFile(folder / "w/a.txt", "a, second version");
    run = parcelor({"a!pkg.zip", "-w", "w"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(kFilterHeader));
    const auto both = readPackage(folder / "pkg.zip");
    ASSERT_EQ(both.size(), 2 * first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(both[i].name, first[i].name) << "older entries first";
        EXPECT_EQ(both[i].data, first[i].data);
        EXPECT_EQ(both[first.size() + i].name, first[i].name);
    }
    const auto newest = std::find_if(both.rbegin(), both.rend(), [](const auto& e) { return e.name == "a.txt"; });
    EXPECT_EQ(newest->data, "a, second version");
}

TEST(ParcelorArchive, EntryTimeIsTheLastWriteTimeRoundedDownToTwoSeconds)
{
    ScratchFolder folder;
    writeFile(folder / "w/t.txt", "t");
    SYSTEMTIME local{2024, 3, 0, 9, 10, 15, 31, 0};
    FILETIME localTime, utc;
    ASSERT_TRUE(::SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
    HANDLE file = ::CreateFileW((folder / "w/t.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &utc);
    ::CloseHandle(file);

    parcelor({"a!pkg.zip", "-w", "w"}, folder.path());
    const auto entries = readPackage(folder / "pkg.zip");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].dosDateTime, testsupport::dosDateTime(2024, 3, 9, 10, 15, 30));
}

TEST(ParcelorArchive, NotAZipIsReplacedAndAMissingFolderIsCreated)
{
    ScratchFolder folder;
    writeFile(folder / "w/a.txt", "a");
    writeFile(folder / "junk.zip", "not a zip archive at all");
    auto run = parcelor({"a!junk.zip", "-w", "w"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(kNewPackage));
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "junk.zip")), std::vector<std::string>{"a.txt"});

    run = parcelor({"a!new/deeper/pkg.zip", "-w", "w"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(kNewPackage));
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "new/deeper/pkg.zip")), std::vector<std::string>{"a.txt"});
}

TEST(ParcelorArchive, WorkingFolderProblemsLeaveThePackageAlone)
{
    ScratchFolder folder;
    writeFile(folder / "file.txt", "a file");
    const std::string notFound = std::string(kFilterHeader) +
                                 "can't find the working folder specified,\n"
                                 "make sure the working folder path is correct.\n";
    const std::vector<std::vector<std::string>> cases = {
        {"a!pkg.zip"}, {"a!pkg.zip", "-w", "missing"}, {"a!pkg.zip", "-w", "file.txt"}};
    for (const auto& arguments : cases) {
        const auto run = parcelor(arguments, folder.path());
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, expectedOutput(notFound)) << arguments.back();
    }
    EXPECT_FALSE(fs::exists(folder / "pkg.zip"));
}

TEST(ParcelorArchive, NamedFilesAreAddedThenRemovedFromTheWorkingFolder)
{
    ScratchFolder folder;
    makeWorkingFolder(folder / "w");
    const auto run = parcelor({"a!pkg.zip", "-w", "w", "-f", "sub/b.txt", "a.txt", "nope.txt"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(kFilterHeader + std::string("0: sub\\b.txt\n1: a.txt\n2: nope.txt\n") +
                                         kCreatesPackage +
                                         "can't find the file w\\nope.txt \n\n"));
    const auto entries = readPackage(folder / "pkg.zip");
    EXPECT_EQ(testsupport::entryNames(entries), (std::vector<std::string>{"sub/b.txt", "a.txt"}));
    EXPECT_EQ(entries[0].data, "b");
    EXPECT_FALSE(fs::exists(folder / "w/sub/b.txt"));
    EXPECT_FALSE(fs::exists(folder / "w/a.txt"));
    EXPECT_TRUE(fs::exists(folder / "w/sub/deep/c.txt"));
    EXPECT_TRUE(fs::exists(folder / "w/hidden.txt"));
}

TEST(ParcelorArchive, ReadOnlyNamedFileIsAddedAndKept)
{
    ScratchFolder folder;
    writeFile(folder / "w/ro.txt", "read only");
    writeFile(folder / "w/rw.txt", "writable");
    setAttributes(folder / "w/ro.txt", FILE_ATTRIBUTE_READONLY);
    const auto run = parcelor({"a!pkg.zip", "-w", "w", "-f", "ro.txt", "rw.txt"}, folder.path());
    // The warning has no line end of its own.
    EXPECT_EQ(run.output, expectedOutput(kFilterHeader + std::string("0: ro.txt\n1: rw.txt\n") + kCreatesPackage) +
                              "Warning: File w\\\\ro.txt open/delete operation failed, win32error: 5");
    const auto entries = readPackage(folder / "pkg.zip");
    EXPECT_EQ(testsupport::entryNames(entries), (std::vector<std::string>{"ro.txt", "rw.txt"}));
    EXPECT_EQ(entries[0].data, "read only");
    EXPECT_EQ(readFile(folder / "w/ro.txt"), "read only");
    EXPECT_FALSE(fs::exists(folder / "w/rw.txt"));
}

TEST(ParcelorArchive, AFileThatCannotBeOpenedIsReportedAndStays)
{
    ScratchFolder folder;
    writeFile(folder / "w/locked.txt", "locked");
    writeFile(folder / "w/free.txt", "free");
    // Another program holds the file open.
    HANDLE holder = ::CreateFileW((folder / "w/locked.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const auto run = parcelor({"a!pkg.zip", "-w", "w", "-f", "locked.txt", "free.txt"}, folder.path());
    ::CloseHandle(holder);
    EXPECT_NE(run.output.find("Warning: File w\\\\locked.txt open/delete operation failed, win32error: 20"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "pkg.zip")), std::vector<std::string>{"free.txt"});
    EXPECT_EQ(readFile(folder / "w/locked.txt"), "locked");
}

TEST(ParcelorArchive, PackageInsideTheWorkingFolderIsSkipped)
{
    ScratchFolder folder;
    writeFile(folder / "w/a.txt", "a");
    testsupport::writeFixtureZip(folder / "w/pkg.zip", {});
    const auto run = parcelor({"a!w/pkg.zip", "-w", "w"}, folder.path());
    EXPECT_NE(run.output.find("Warning: File w\\\\pkg.zip open/delete operation failed, win32error: 20"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "w/pkg.zip")), std::vector<std::string>{"a.txt"});
}

TEST(ParcelorArchive, PathsTooLongForTheBuffersAreRefused)
{
    ScratchFolder folder;
    writeFile(folder / "w/short.txt", "short");
    // w\<200 characters>\<60 characters> is 264 characters.
    const std::wstring longFolder(200, L'f');
    const std::wstring longFile = std::wstring(56, L'n') + L".txt";
    const auto base = L"\\\\?\\" + (folder / "w").wstring();
    ASSERT_TRUE(::CreateDirectoryW((base + L"\\" + longFolder).c_str(), nullptr));
    HANDLE file = ::CreateFileW((base + L"\\" + longFolder + L"\\" + longFile).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);

    const auto run = parcelor({"a!pkg.zip", "-w", "w"}, folder.path());
    const std::string diskPath = "w\\" + std::string(200, 'f') + "\\" + std::string(56, 'n') + ".txt";
    EXPECT_NE(run.output.find(expectedOutput("Warning: skipped " + diskPath + ": the path is longer than 259 characters.\n")),
              std::string::npos)
        << run.output;
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "pkg.zip")), std::vector<std::string>{"short.txt"});
}

}  // namespace
