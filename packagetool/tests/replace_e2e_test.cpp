// Method r, run as a script runs it.
#include "parcelor_run.h"

#include <testsupport/fixture_zip.h>
#include <testsupport/scratch_folder.h>

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::readPackage;
using testsupport::ScratchFolder;
using testsupport::writeFile;
using testsupport::writeFixtureZip;

TEST(ParcelorReplace, CopiesWithoutTheEntryThenAppendsTheNewFile)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}, {"sub/b.txt", "old b"}});
    writeFile(folder / "w/sub/b.txt", "new b");
    const auto run = parcelor({"r!pkg.zip", "-w", "w", "-o", "out", "-f", "sub\\b.txt"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, expectedOutput(std::string(kFilterHeader) +
                                         "0: sub\\b.txt\n"
                                         "can't find the output folder specified,\nwill create new directory.\n"
                                         "Match found: Filter=Filter(str=sub\\b.txt,isExtract=1,isWildCard=0) "
                                         "file=sub/b.txt\n"));
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "out/pkg.zip")), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(readFile(folder / "out/sub/b.txt"), "old b");
    const auto source = readPackage(folder / "pkg.zip");
    EXPECT_EQ(testsupport::entryNames(source), (std::vector<std::string>{"a.txt", "sub/b.txt", "sub/b.txt"}));
    EXPECT_EQ(source[1].data, "old b");
    EXPECT_EQ(source[2].data, "new b");
    EXPECT_FALSE(fs::exists(folder / "w/sub/b.txt"));
}

TEST(ParcelorReplace, NoExtractTextFindsNoFileToAdd)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}, {"sub/b.txt", "old b"}});
    writeFile(folder / "w/sub/b.txt", "new b");
    fs::create_directory(folder / "out");
    const auto run = parcelor({"r!pkg.zip", "-w", "w", "-o", "out", "-f", "sub\\b.txt:NOEXTRACT"}, folder.path());
    EXPECT_NE(run.output.find(expectedOutput("can't find the file w\\sub\\b.txt:NOEXTRACT \n\n")), std::string::npos) << run.output;
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "out/pkg.zip")), std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(fs::exists(folder / "out/sub"));
    EXPECT_EQ(readPackage(folder / "pkg.zip").size(), 2u);
    EXPECT_TRUE(fs::exists(folder / "w/sub/b.txt"));
}

TEST(ParcelorReplace, FolderWildcardMeetsAFolderItemInTheWorkingFolder)
{
    ScratchFolder folder;
    writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}, {"sub/b.txt", "old b"}});
    writeFile(folder / "w/sub/b.txt", "new b");
    const auto run = parcelor({"r!pkg.zip", "-w", "w", "-o", "out", "-f", "sub\\*"}, folder.path());
    EXPECT_NE(run.output.find("Warning: File w\\sub\\. open/delete operation failed, win32error: "),
              std::string::npos)
        << run.output;
    EXPECT_EQ(readFile(folder / "out/sub/b.txt"), "old b");
    EXPECT_EQ(readPackage(folder / "pkg.zip").size(), 2u);
    EXPECT_TRUE(fs::exists(folder / "w/sub/b.txt"));
}

TEST(ParcelorReplace, MissingPackageIsCreatedFromTheNamedFiles)
{
    ScratchFolder folder;
    writeFile(folder / "w/n.txt", "n");
    const auto run = parcelor({"r!pkg.zip", "-w", "w", "-o", "out", "-f", "n.txt"}, folder.path());
    EXPECT_EQ(run.output, expectedOutput(std::string(kFilterHeader) +
                                         "0: n.txt\n"
                                         "can't find the output folder specified,\nwill create new directory.\n"
                                         "can't find the package file specified,\nplease check the path of the "
                                         "package.\n"
                                         "can't find the package file specified,\nwill create a new one.\n"));
    EXPECT_EQ(testsupport::entryNames(readPackage(folder / "pkg.zip")), std::vector<std::string>{"n.txt"});
}

}  // namespace
