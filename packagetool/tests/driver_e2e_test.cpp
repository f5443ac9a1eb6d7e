// Parcelor's driver, run as a script runs it.
#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::runProgram;
using testsupport::withCrLf;

const char kUsage[] =
    "Usage: Parcelor <method> [<options>] \n"
    "<method>::=<method_signal>!<working_package_file>\n"
    "<options>::=<option_symbol> <option_parameter>\n\n"
    "Where methods include:\n"
    "a, to archive/update the files in working folder into an package.\n"
    "   -o option has no influence on this method,\n"
    "   a!<filename> to specified the target package file.\n"
    "r, to replace files/folders in an archive,\n"
    "   add the files to package if the package doesn't include the files.\n"
    "   the target package file would be created in the output folder \n"
    "        with the same name of source package.\n"
    "   r!<filename> to specify the source zip file.\n"
    "d, to delete files/folders in an archive,\n"
    "   the deleted files are extracted to output folder. \n"
    "   the target package (without deleted files) is created in the output folder.\n"
    "   d!<filename> to specify the source zip file.\n"
    "   -w option has no influence on this method.\n"
    "   (NEW) Now this option supports wildcard match. \n"
    "     'E.g. to delete entire folder with its sub-directories, you can specify '-f com\\torvane\\*' where com "
    "is root folder in the package.\n"
    "   (NEW) To avoid folder or file from getting extracted, you can include ':NOEXTRACT' at the end of the "
    "filter.    e.g. '-f com\\torvane\\*:NOEXTRACT',This will only delete the folder from the package without "
    "extracting the files\n"
    "e, to extract all files/folders.:\n"
    "   e!<filename> to specify the source zip file.\n"
    "   files would be extracted to output folder,\n"
    "   -w option has no influence on this method.\n\n"
    "Where options include:\n"
    "-w, to sepecify the current working folder,\n"
    "    the current folder would be the working folder if no -w options.\n"
    "-o, to sepecific output folder,\n"
    "    all files/folders would be extracted to the folder on method e,\n"
    "    it would be the new output package file on method a,r,d.\n"
    "-f, to filter the files in the working folder to be handled,\n"
    "    now no wildcards supported, this tool is specific to VEKM package use.\n";

testsupport::ProgramRun runParcelor(const std::vector<std::string>& arguments,
                                    const std::filesystem::path& folder)
{
    return runProgram(testsupport::programBesideTests(L"Parcelor.exe"), arguments, folder);
}

TEST(ParcelorDriver, RejectedCommandLinesPrintTheUsageTextAndExitZero)
{
    testsupport::ScratchFolder folder;
    const std::vector<std::vector<std::string>> rejected = {
        {},
        {"A!pkg.zip"},
        {"x!pkg.zip"},
        {"a!"},
        {"ab"},
        {"ax.zip", "-o", "out"},
        {"e!p.zip", "-o"},
        {"e!p.zip", "-o", "-w"},
        {"e!p.zip", "-o", "out", "-o", "out2"},
        {"d!p.zip", "-f", "a", "-f", "b"},
        {"d!p.zip", "-o", "out", "extra"},
    };
    const std::string expected = withCrLf(std::string("Incorrect command line, see the syntax below: \n\n") + kUsage);
    for (const auto& arguments : rejected) {
        std::string shown;
        for (const auto& a : arguments)
            shown += "[" + a + "] ";
        const auto run = runParcelor(arguments, folder.path());
        EXPECT_EQ(run.exitCode, 0u) << shown;
        EXPECT_EQ(run.output, expected) << shown;
        EXPECT_EQ(run.errors, "") << shown;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(ParcelorDriver, ListsFiltersWithSlashesRewritten)
{
    testsupport::ScratchFolder folder;
    const auto run = runParcelor({"e!missing.zip", "-f", "a/b", "-x", "c*:NOEXTRACT", "-o", "out"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, withCrLf("Tool will use following filters: \n"
                                   "0: a\\b\n"
                                   "1: -x\n"
                                   "2: c*:NOEXTRACT\n"
                                   "can't find the package file specified,\n"
                                   "make sure the file path is correct.\n"));
    EXPECT_EQ(run.errors, "");
}

TEST(ParcelorDriver, WithoutFiltersOnlyTheHeaderIsListed)
{
    testsupport::ScratchFolder folder;
    const auto run = runParcelor({"e!missing.zip"}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output.substr(0, 35), withCrLf("Tool will use following filters: \n"));
    EXPECT_EQ(run.output.find("0: "), std::string::npos);
}

}  // namespace
