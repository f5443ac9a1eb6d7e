#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::optional<PackageCommand> read(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "Parcelor.exe");
    return readCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, RejectsBadCommandLines)
{
    const std::vector<std::vector<const char*>> rejected = {
        {},
        {"A!pkg.zip"},
        {"x!pkg.zip"},
        {""},
        {"a!"},
        {"ab"},
        {"ax.zip", "-w", "folder"},
        {"e!p.zip", "-o"},
        {"e!p.zip", "-o", "-w"},
        {"e!p.zip", "-f", "-o", "x"},
        {"e!p.zip", "-o", "out", "-o", "out2"},
        {"e!p.zip", "-w", "a", "-w", "b"},
        {"d!p.zip", "-f", "a", "-f", "b"},
        {"d!p.zip", "-o", "out", "extra"},
        {"d!p.zip", "extra", "value"},
        {"d!p.zip", "-W", "folder"},
        {"d!p.zip", "-f"},
        // An empty folder (an unset script variable) is no folder.
        {"d!p.zip", "-o", "", "-f", "x"},
        {"a!p.zip", "-w", ""},
        {"r!p.zip", "-w", "w", "-o", ""},
    };
    for (const auto& arguments : rejected) {
        std::string shown;
        for (const char* a : arguments)
            shown += std::string("[") + a + "] ";
        EXPECT_FALSE(read(arguments)) << shown;
    }
}

TEST(CommandLine, ReadsMethodPackageAndOptions)
{
    const auto command = read({"d!dir/p!x.zip", "-f", "a/b", "-x", "c", "-o", "out/sub", "-w", "C:/work"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->method, 'd');
    EXPECT_EQ(command->packagePath, "dir\\p!x.zip");
    EXPECT_EQ(command->outputFolder, "out\\sub");
    EXPECT_EQ(command->workingFolder, "C:\\work");
    // Filter texts keep their slashes here; the driver rewrites them as it lists them.
    EXPECT_EQ(command->filterTexts, (std::vector<std::string>{"a/b", "-x", "c"}));
}

TEST(CommandLine, OptionsAreOptionalAndAbsentStaysAbsent)
{
    const auto command = read({"e!p.zip"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->method, 'e');
    EXPECT_EQ(command->packagePath, "p.zip");
    EXPECT_FALSE(command->workingFolder);
    EXPECT_FALSE(command->outputFolder);
    EXPECT_TRUE(command->filterTexts.empty());
}

TEST(CommandLine, EmptyFilterTextsStayFilterTexts)
{
    const auto command = read({"a!p.zip", "-f", "", "x"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->filterTexts, (std::vector<std::string>{"", "x"}));
}

TEST(CommandLine, FilterTextsRunToTheNextOption)
{
    const auto command = read({"a!p.zip", "-f", "one", "-two", "-ww", "-w", "folder"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->filterTexts, (std::vector<std::string>{"one", "-two", "-ww"}));
    EXPECT_EQ(command->workingFolder, "folder");
}

}  // namespace
