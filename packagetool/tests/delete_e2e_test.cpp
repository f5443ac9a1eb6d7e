// Method d, run as a script runs it.
#include "parcelor_run.h"

#include <testsupport/fixture_zip.h>
#include <testsupport/scratch_folder.h>

namespace {

namespace fs = std::filesystem;
using testsupport::FixtureEntry;
using testsupport::readFile;
using testsupport::readPackage;
using testsupport::ScratchFolder;
using testsupport::writeFixtureZip;
using testsupport::ZipMethod;

const char kCreatesFolder[] = "can't find the output folder specified,\nwill create new directory.\n";

void writeTorvanePackage(const fs::path& path)
{
    writeFixtureZip(path, {{"a.txt", "a", ZipMethod::stored},
                           {"com/torvane/x.txt", "x", ZipMethod::deflate},
                           {"com/torvane/y/z.txt", std::string(3000, 'z'), ZipMethod::bzip2}});
}

TEST(ParcelorDelete, WildcardFilterRemovesAndExtractsAFolder)
{
    ScratchFolder folder;
    writeTorvanePackage(folder / "pkg.zip");
    const auto run = parcelor({"d!pkg.zip", "-o", "out", "-f", "com\\torvane\\*"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output,
              expectedOutput(std::string(kFilterHeader) + "0: com\\torvane\\*\n" + kCreatesFolder +
                             "Match found: Filter=Filter(str=com\\torvane\\,isExtract=1,isWildCard=1) "
                             "file=com/torvane/x.txt\n"
                             "Match found: Filter=Filter(str=com\\torvane\\,isExtract=1,isWildCard=1) "
                             "file=com/torvane/y/z.txt\n"));
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "out/pkg.zip")), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(readFile(folder / "out/com/torvane/x.txt"), "x");
    EXPECT_EQ(readFile(folder / "out/com/torvane/y/z.txt"), std::string(3000, 'z'));
    EXPECT_EQ(readPackage(folder / "pkg.zip").size(), 3u) << "the source is only read";
}

TEST(ParcelorDelete, NoExtractOnlyRemoves)
{
    ScratchFolder folder;
    writeTorvanePackage(folder / "pkg.zip");
    fs::create_directory(folder / "out");
    const auto run = parcelor({"d!pkg.zip", "-o", "out", "-f", "com/torvane/*:NOEXTRACT"}, folder.path());
    EXPECT_EQ(run.output.find("will create"), std::string::npos) << "the folder exists";
    EXPECT_NE(run.output.find("isExtract=0,isWildCard=1) file=com/torvane/x.txt"), std::string::npos);
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "out/pkg.zip")), std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(fs::exists(folder / "out/com"));
}

TEST(ParcelorDelete, WithoutFiltersOnlyTheFolderIsMade)
{
    ScratchFolder folder;
    writeTorvanePackage(folder / "pkg.zip");
    const auto run = parcelor({"d!pkg.zip", "-o", "out/deeper"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(std::string(kFilterHeader) + kCreatesFolder));
    EXPECT_TRUE(fs::is_directory(folder / "out/deeper"));
    EXPECT_TRUE(fs::is_empty(folder / "out/deeper"));
}

TEST(ParcelorDelete, FailuresPrintTheirMessages)
{
    ScratchFolder folder;
    writeTorvanePackage(folder / "pkg.zip");
    const std::string missing = "can't find the package file specified,\nplease check the path of the package.\n";
    const std::string cannotCreate = "can't create the package file int the output folder,\n"
                                     "please check the output folder.\n";
    testsupport::writeFile(folder / "file.txt", "a file, not a folder");
    struct Case {
        std::vector<std::string> arguments;
        std::string messages;
    };
    const Case cases[] = {
        {{"d!missing.zip", "-o", "out", "-f", "x"}, std::string(kCreatesFolder) + missing},
        {{"d!pkg.zip", "-f", "x"}, std::string(kCreatesFolder) + cannotCreate},
        {{"d!pkg.zip", "-o", "file.txt", "-f", "x"}, std::string(kCreatesFolder) + cannotCreate},
        {{"d!pkg.zip", "-o", ".", "-f", "a.txt"},
         "the output package .\\pkg.zip is the source package itself,\nplease choose another output folder.\n"},
    };
    const auto source = readFile(folder / "pkg.zip");
    for (const auto& c : cases) {
        const auto run = parcelor(c.arguments, folder.path());
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, expectedOutput(std::string(kFilterHeader) + "0: " + c.arguments.back() + "\n" +
                                             c.messages))
            << c.arguments[0] << " " << c.arguments[1];
    }
    EXPECT_EQ(readFile(folder / "pkg.zip"), source) << "the source package is never written";
}

TEST(ParcelorDelete, SourceGivenByAnotherPathIsStillRecognised)
{
    ScratchFolder folder;
    writeTorvanePackage(folder / "kits/pkg.zip");
    const auto source = readFile(folder / "kits/pkg.zip");
    const auto run = parcelor({"d!kits/../kits/pkg.zip", "-o", "kits", "-f", "a.txt"}, folder.path());
    EXPECT_NE(run.output.find("is the source package itself"), std::string::npos) << run.output;
    EXPECT_EQ(readFile(folder / "kits/pkg.zip"), source);
}

TEST(ParcelorDelete, EmptyPackageGivesAnEmptyCopy)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "empty.zip", {});
    fs::create_directory(folder / "out");
    parcelor({"d!empty.zip", "-o", "out", "-f", "*"}, folder.path());
    // Only the end record: minizip's reader does not open such a package, so
    // its bytes are checked.
    const auto copy = readFile(folder / "out/empty.zip");
    EXPECT_EQ(copy.size(), 22u);
    EXPECT_EQ(copy.substr(0, 4), "PK\x05\x06");
}

TEST(ParcelorDelete, KeptEntriesKeepTheirStoredForm)
{
    ScratchFolder folder;
    const std::vector<FixtureEntry> entries = {
        {"stored.bin", "stored data", ZipMethod::stored, testsupport::dosDateTime(2001, 2, 3, 4, 5, 6), 0x20},
        {"deflated.txt", std::string(20000, 'd'), ZipMethod::deflate, testsupport::dosDateTime(2011, 12, 13, 14, 15, 16), 0x01},
        {"bzip2.txt", std::string(20000, 'b'), ZipMethod::bzip2, testsupport::dosDateTime(2021, 1, 1, 1, 1, 2), 0x02},
        {"gone.txt", "gone"},
    };
    writeFixtureZip(folder / "pkg.zip", entries);
    fs::create_directory(folder / "out");
    parcelor({"d!pkg.zip", "-o", "out", "-f", "GONE.TXT"}, folder.path());
    const auto source = readPackage(folder / "pkg.zip");
    const auto copy = readPackage(folder / "out/pkg.zip");
    ASSERT_EQ(copy.size(), 3u);
    for (std::size_t i = 0; i < copy.size(); ++i) {
        EXPECT_EQ(copy[i].name, source[i].name);
        EXPECT_EQ(copy[i].method, source[i].method) << copy[i].name;
        EXPECT_EQ(copy[i].crc, source[i].crc) << copy[i].name;
        EXPECT_EQ(copy[i].compressedSize, source[i].compressedSize) << copy[i].name;
        EXPECT_EQ(copy[i].dosDateTime, source[i].dosDateTime) << copy[i].name;
        EXPECT_EQ(copy[i].externalAttributes, source[i].externalAttributes) << copy[i].name;
        EXPECT_EQ(copy[i].data, source[i].data) << copy[i].name;
        EXPECT_TRUE(copy[i].crcOk) << copy[i].name;
    }
    EXPECT_EQ(readFile(folder / "out/gone.txt"), "gone");
}

// Makes the last entry of a package claim more stored bytes than the file
// holds, in both of its headers, so reading it runs into the end of the file.
void overstateLastEntrySize(const fs::path& path)
{
    std::string bytes = readFile(path);
    const auto local = bytes.rfind("PK\x03\x04");
    const auto central = bytes.rfind("PK\x01\x02");
    ASSERT_NE(local, std::string::npos);
    ASSERT_NE(central, std::string::npos);
    const char huge[4] = {'\x00', '\x00', '\x10', '\x00'};  // 1 MiB
    std::copy(huge, huge + 4, bytes.begin() + static_cast<std::ptrdiff_t>(local + 18));
    std::copy(huge, huge + 4, bytes.begin() + static_cast<std::ptrdiff_t>(central + 20));
    testsupport::writeFile(path, bytes);
}

TEST(ParcelorDelete, EntryThatFailsMidCopyIsLeftOutOfTheCopy)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"first.txt", "first", ZipMethod::stored},
                                         {"drop.txt", "x", ZipMethod::deflate},
                                         {"damaged.bin", "damaged data", ZipMethod::stored}});
    overstateLastEntrySize(folder / "pkg.zip");
    fs::create_directory(folder / "out");
    const auto run = parcelor({"d!pkg.zip", "-o", "out", "-f", "drop.txt"}, folder.path());
    EXPECT_NE(run.output.find(expectedOutput("Warning: entry damaged.bin could not be copied (status -1); it is "
                                             "left out of the copy.\n")),
              std::string::npos)
        << run.output;
    const auto copy = readPackage(folder / "out/pkg.zip");
    EXPECT_EQ(testsupport::entryNames(copy), std::vector<std::string>{"first.txt"});
    EXPECT_TRUE(copy[0].crcOk);
    for (const auto& item : fs::directory_iterator(folder / "out"))
        EXPECT_NE(item.path().extension(), ".tmp") << "no temporary file is left";
}

}  // namespace
