// Stubsmith.exe run as a build script runs it, and the self-extractors it
// builds run as a client runs them: with the real stub.
#include <sfx/container_layout.h>

#include <testsupport/fixture_zip.h>
#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using testsupport::readFile;
using testsupport::runProgram;
using testsupport::ScratchFolder;
using testsupport::withCrLf;
using testsupport::writeFile;
namespace fs = std::filesystem;

testsupport::ProgramRun runStubsmith(const std::vector<std::wstring>& arguments, const fs::path& folder)
{
    return runProgram(testsupport::programBesideTests(L"Stubsmith.exe"), arguments, folder);
}

std::string marker()
{
    const auto bytes = sfx::compose_marker();
    return std::string(bytes.begin(), bytes.end());
}

TEST(StubsmithProgram, CarriesTheStubByteForByte)
{
    const std::string stub = readFile(testsupport::programBesideTests(L"Unfurler.exe"));
    const std::string builder = readFile(testsupport::programBesideTests(L"Stubsmith.exe"));
    EXPECT_NE(builder.find(stub), std::string::npos);
    EXPECT_EQ(stub.find(marker()), std::string::npos);
}

TEST(StubsmithProgram, ConsoleTextAndExitCodes)
{
    ScratchFolder folder;
    const auto none = runStubsmith({}, folder.path());
    EXPECT_EQ(none.exitCode, 1u);
    EXPECT_EQ(none.output.find("Stubsmith 1.0.0.0 : "), 0u);
    EXPECT_NE(none.output.find(withCrLf("  --elevate                 User Account Control: require elevation\n\n")),
              std::string::npos);
    EXPECT_EQ(none.output.find("Error: "), std::string::npos);
    EXPECT_EQ(none.errors, "");

    const auto missing = runStubsmith({L"--zip", L"missing.zip", L"--sfx", L"out.exe"}, folder.path());
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_NE(missing.output.find(withCrLf("Building SFX archive out.exe using zip filemissing.zip\n"
                                           "Error: Failed to open zip file. Error code: 2: ")),
              std::string::npos)
        << missing.output;
    EXPECT_EQ(missing.output.find("Usage:"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "out.exe"));

    // Zips that every client would fail on build nothing.
    writeFile(folder / "empty.zip", "");
    writeFile(folder / "text.zip", "not a zip");
    writeFile(folder / "none.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    testsupport::writeFixtureZip(folder / "cut.zip", {{"a.txt", "a"}});
    const std::string cut = readFile(folder / "cut.zip");
    writeFile(folder / "cut.zip", cut.substr(0, cut.size() - 22));
    const std::pair<const wchar_t*, const char*> refused[] = {
        {L"empty.zip", "Error: The zip file empty.zip does not start with a local file header.\n"},
        {L"text.zip", "Error: The zip file text.zip does not start with a local file header.\n"},
        {L"none.zip", "Error: The zip file none.zip holds no entries.\n"},
        {L"cut.zip", "Error: The central directory of the zip file cut.zip cannot be read.\n"},
    };
    for (const auto& [zip, message] : refused) {
        const auto run = runStubsmith({L"--zip", zip, L"--sfx", L"out.exe"}, folder.path());
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_NE(run.output.find(withCrLf(message)), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Usage:"), std::string::npos);
        EXPECT_EQ(run.output.find("Done."), std::string::npos);
        EXPECT_FALSE(fs::exists(folder / "out.exe"));
    }

}

// A version text that does not parse fails the build once the zip has been
// opened and the stub written: the version's own message, and no output left.
TEST(StubsmithProgram, BadVersionNumbersFailWithTheirMessageAndLeaveNoOutput)
{
    struct Case {
        const wchar_t* fileVersion;
        const wchar_t* productVersion;
        std::string error;
    };
    const std::string badCast = "Error: bad lexical cast: source type value could not be interpreted as target\n";
    const std::vector<Case> cases = {
        {L"1.2.3.4.5", L"1.0", "Error: version\n"},
        {L"1.0", L"1.2.3.4.5", "Error: version\n"},
        {L"1..2", L"1.0", badCast},
        {L"1.0", L"2.", badCast},
        {L"1.0", L"4294967296", badCast},
    };
    ScratchFolder folder;
    testsupport::writeFixtureZip(folder / "x.zip", {{"setup.cmd", "exit 0\r\n"}});
    for (const Case& c : cases) {
        const auto run = runStubsmith({L"-z", L"x.zip", L"-s", L"o.exe", L"--file-version", c.fileVersion,
                                       L"--product-version", c.productVersion},
                                      folder.path());
        EXPECT_EQ(run.exitCode, 1u) << run.output;
        EXPECT_NE(run.output.find(withCrLf("Building SFX archive o.exe using zip filex.zip\n")), std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find(withCrLf(c.error)), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Done."), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(folder / "o.exe"));
        EXPECT_TRUE(fs::exists(folder / "x.zip"));
    }
}

TEST(StubsmithProgram, DoneStandsOnItsOwnLineAfterACharacterTheConsoleLacks)
{
    ScratchFolder folder;
    testsupport::writeFixtureZip(folder / "pkg.zip", {{"a.txt", "a"}});
    const std::wstring output = L"kit \x4e2d\x0410.exe";
    const auto run = runStubsmith({L"--zip", L"pkg.zip", L"--sfx", output}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(fs::exists(folder / output));
    EXPECT_NE(run.output.find(withCrLf("\nDone.\n")), std::string::npos) << run.output;
}

// The whole road: nested folders, the three methods, non-ASCII settings, the
// launched script's exit code passed through, and the extracted files removed.
TEST(StubsmithProgram, SelfExtractorExtractsLaunchesAndPassesTheExitCodeThrough)
{
    ScratchFolder folder;
    using testsupport::ZipMethod;
    const std::string payload(300000, 'p');
    const std::vector<testsupport::FixtureEntry> entries = {
        {"setup.cmd",
         "@echo off\r\n"
         "if not exist bin\\deep\\er\\payload.dat exit /b 3\r\n"
         "if not exist config\\agent.ini exit /b 4\r\n"
         "echo %* > \"%~dp0..\\launched.txt\"\r\n"
         "copy config\\agent.ini \"%~dp0..\\agent-copy.ini\" > nul\r\n"
         "exit /b 7\r\n",
         ZipMethod::stored},
        {"bin/", "", ZipMethod::stored},
        {"bin/deep/er/payload.dat", payload, ZipMethod::deflate},
        {"config/agent.ini", "[agent]\r\nname=one\r\n", ZipMethod::bzip2},
        {"readme.txt", "read me", ZipMethod::deflate},
    };
    testsupport::writeFixtureZip(folder / "pkg.zip", entries);
    const std::string zipBytes = readFile(folder / "pkg.zip");

    const std::wstring target = L"Ziel \x00e4\x00f6\x00fc";
    const auto build = runStubsmith({L"--zip", L"pkg.zip", L"--sfx", L"kit.exe", L"--launch-exe", L"setup.cmd",
                                     L"--launch-arguments", L"first \x00e9t\x00e9", L"--target-dir", target,
                                     L"--cleanup", L"--file-version", L"1.2.3.4", L"--product-version", L"1.2"},
                                    folder.path());
    ASSERT_EQ(build.exitCode, 0u) << build.output;
    EXPECT_NE(build.output.find(withCrLf("Done.\n")), std::string::npos);

    const std::string file = readFile(folder / "kit.exe");
    const std::size_t s = file.find(marker());
    ASSERT_NE(s, std::string::npos);
    const std::size_t z = file.find("PK\x03\x04", s);
    ASSERT_NE(z, std::string::npos);
    EXPECT_EQ(file.substr(s, z - s),
              marker() + "\r\nAllowOverride=0\r\nArgumentPrefix=\r\nLaunchArguments=first \xc3\xa9t\xc3\xa9\r\n"
                         "Cleanup=1\r\nLaunchExe=setup.cmd\r\nTargetDirectory=Ziel \xc3\xa4\xc3\xb6\xc3\xbc\r\n"
                         "ShowErrors=0\r\n");
    EXPECT_TRUE(file.compare(z, std::string::npos, zipBytes) == 0) << "zip bytes run to the end of the file";
    EXPECT_EQ(file.size(), z + zipBytes.size());

    const auto run = runProgram(folder / "kit.exe", std::vector<std::wstring>{}, folder.path());
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_EQ(readFile(folder / "agent-copy.ini"), "[agent]\r\nname=one\r\n");
    EXPECT_NE(readFile(folder / "launched.txt").find("first"), std::string::npos);
    // Everything extracted is removed again.
    EXPECT_FALSE(fs::exists(folder / target / L"setup.cmd"));
    EXPECT_FALSE(fs::exists(folder / target / L"bin" / L"deep"));
}

}  // namespace
