#include "entry_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryPaths, RefusesNamesThatLeaveTheBaseFolder)
{
    const char* leaving[] = {
        "..\\evil.txt", "sub\\..\\..\\evil.txt", "\\root.txt", "\\\\server\\share\\x", "C:\\x.txt",
        "C:x.txt",      "a.txt:stream",          "sub\\...\\x", "sub\\. .\\x",         "..",
    };
    for (const char* name : leaving)
        EXPECT_EQ(checkEntryTarget("out", name), EntryPathProblem::leavesBaseFolder) << name;
}

TEST(EntryPaths, RefusesDeviceNamesAtAnyLevel)
{
    const char* devices[] = {"CON", "con", "Nul.txt", "aux.tar.gz", "PRN", "sub\\COM1", "COM9.log",
                             "lpt1\\x.txt", "a\\LPT9", "NUL .txt", "sub/con/x"};
    for (const char* name : devices)
        EXPECT_EQ(checkEntryTarget("out", name), EntryPathProblem::namesDevice) << name;
    // A name that leads outside is refused as such, whatever else it holds.
    EXPECT_EQ(checkEntryTarget("out", "..\\CON"), EntryPathProblem::leavesBaseFolder);
}

TEST(EntryPaths, AcceptsOrdinaryNames)
{
    const char* fine[] = {"a.txt", "sub\\", "sub\\b.txt", "..a", "a..", ".hidden", "sub\\.\\x", "",
                          "CONSOLE.txt", "com10", "com0x", "lpt", "nul_", "xcon", "sub\\aux1.txt"};
    for (const char* name : fine)
        EXPECT_EQ(checkEntryTarget("out", name), EntryPathProblem::none) << name;
}

TEST(EntryPaths, ComposedPathMustFit259Characters)
{
    const std::string base(100, 'b');
    EXPECT_EQ(checkEntryTarget(base, std::string(158, 'n')), EntryPathProblem::none);
    EXPECT_EQ(checkEntryTarget(base, std::string(159, 'n')), EntryPathProblem::tooLong);
}

}  // namespace
