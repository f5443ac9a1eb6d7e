// GetDiskSpace, run as a script runs it.
#include "hostaid_run.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

using hostaid_test::runHostaid;
using testsupport::ScratchFolder;
using testsupport::readFile;
using testsupport::withCrLf;

std::vector<std::string> crLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text ends in CR LF with nothing behind";
    return lines;
}

std::uint64_t valueAfter(const std::string& line, const std::string& prefix, const std::string& suffix = "")
{
    EXPECT_EQ(line.substr(0, prefix.size()), prefix);
    EXPECT_EQ(line.substr(line.size() - suffix.size()), suffix);
    const std::string digits = line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << line;
    return std::stoull(digits);
}

struct DiskSpace {
    std::uint64_t freeBytes = 0;
    std::uint64_t totalBytes = 0;
};

// Runs GetDiskSpace on path and checks that the printed and the written
// counts agree and that the result file has its six lines.
DiskSpace runGetDiskSpace(const std::string& path, const std::string& escapedPath)
{
    ScratchFolder folder;
    const auto run = runHostaid({"r.txt", "GetDiskSpace", path}, folder.path());
    EXPECT_EQ(run.exitCode, 0u);
    const auto output = crLfLines(run.output);
    const auto lines = crLfLines(readFile(folder / "r.txt"));
    if (output.size() < 3 || lines.size() != 6) {
        ADD_FAILURE() << run.output;
        return {};
    }
    EXPECT_EQ(output[0], "... Executing command ...");
    DiskSpace printed{valueAfter(output[1], "nFreeBytes = ", " bytes"),
                      valueAfter(output[2], "nTotalBytes = ", " bytes")};
    EXPECT_EQ(lines[0], "ErrorCode=0");
    EXPECT_EQ(lines[1], "Command=GetDiskSpace");
    EXPECT_EQ(lines[2], "File=r.txt");
    DiskSpace written{valueAfter(lines[3], "FreeBytes="), valueAfter(lines[5], "TotalBytes=")};
    EXPECT_EQ(lines[4], "Path=" + escapedPath);
    EXPECT_EQ(printed.freeBytes, written.freeBytes);
    EXPECT_EQ(printed.totalBytes, written.totalBytes);
    return written;
}

TEST(HostaidDiskSpace, ExistingRootsGiveTheCountsTheSystemReports)
{
    for (const std::string root : {"C:\\", "Z:\\"}) {
        ULARGE_INTEGER available{}, total{}, volumeFree{};
        ASSERT_TRUE(::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &volumeFree)) << root;
        const auto counts = runGetDiskSpace(root, root.substr(0, 2) + "\\\\");
        EXPECT_GT(counts.freeBytes, 0u) << root;
        EXPECT_GT(counts.totalBytes, 0u) << root;
        EXPECT_LE(counts.freeBytes, counts.totalBytes) << root;
        // Exact, with no 32-bit truncation of volumes beyond 4 GiB.
        EXPECT_EQ(counts.totalBytes, total.QuadPart) << root;
    }
}

TEST(HostaidDiskSpace, FolderPathIsQueriedAsGiven)
{
    const auto counts = runGetDiskSpace("C:\\windows\\\\system32", "C:\\\\windows\\\\\\\\system32");
    EXPECT_GT(counts.totalBytes, 0u);
}

TEST(HostaidDiskSpace, MissingDriveGivesZerosAndStillSucceeds)
{
    const std::string root = hostaid_test::missingDriveRoot();
    const auto counts = runGetDiskSpace(root, root.substr(0, 2) + "\\\\");
    EXPECT_EQ(counts.freeBytes, 0u);
    EXPECT_EQ(counts.totalBytes, 0u);
}

}  // namespace
