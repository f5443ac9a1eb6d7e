#include "command_line.h"
#include "stub_errors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using unfurler::apply_overrides;
using unfurler::pass_through_text;

sfx::sfx_settings defaults()
{
    sfx::sfx_settings settings;
    settings.AllowOverride = true;
    settings.ArgumentPrefix = L"-!";
    settings.ShowErrors = true;
    return settings;
}

struct parsed {
    sfx::sfx_settings settings;
    std::size_t first;
    std::wstring pass_through;
};

parsed parse(std::vector<const wchar_t*> user_arguments, sfx::sfx_settings settings = defaults())
{
    user_arguments.insert(user_arguments.begin(), L"C:\\sfx.exe");
    const std::size_t first = apply_overrides(settings, user_arguments.size(), user_arguments.data());
    return {settings, first,
            pass_through_text(user_arguments.size(), user_arguments.data(), first, unfurler::argument_reader::program)};
}

std::string failure_of(std::vector<const wchar_t*> user_arguments, sfx::sfx_settings settings = defaults())
{
    try {
        parse(std::move(user_arguments), std::move(settings));
    } catch (const unfurler::stub_option_error& error) {
        return error.what();
    }
    return "no failure";
}

TEST(CommandLineRepair, KeepsTheBackslashOfALastQuotedFolder)
{
    EXPECT_EQ(unfurler::repair_command_line(L"sfx.exe -!t \"C:\\Out dir\\\""), L"sfx.exe -!t \"C:\\Out dir\\\\\"");
    EXPECT_EQ(unfurler::repair_command_line(L"sfx.exe \"a\""), L"sfx.exe \"a\"");
    EXPECT_EQ(unfurler::repair_command_line(L"\""), L"\"");
    EXPECT_EQ(unfurler::repair_command_line(L"\\\""), L"\\\\\"");
}

TEST(StubOptions, OptionsEndAtTheFirstArgumentWithoutThePrefix)
{
    const parsed result = parse({L"-!d", L"/s", L"-!e-"});
    EXPECT_TRUE(result.settings.Cleanup);
    EXPECT_TRUE(result.settings.ShowErrors);
    EXPECT_EQ(result.first, 2u);
    EXPECT_EQ(result.pass_through, L"/s -!e-");
}

TEST(StubOptions, EachOptionSetsItsSetting)
{
    const parsed result = parse({L"-!t", L"<temp>", L"-!d", L"-!d-", L"-!e-"});
    EXPECT_EQ(result.settings.TargetDirectory, L"<temp>");
    EXPECT_FALSE(result.settings.Cleanup);
    EXPECT_FALSE(result.settings.ShowErrors);
    EXPECT_EQ(result.first, 6u);
    EXPECT_EQ(result.pass_through, L"");

    sfx::sfx_settings off = defaults();
    off.ShowErrors = false;
    EXPECT_TRUE(parse({L"-!e"}, off).settings.ShowErrors);
    EXPECT_EQ(parse({L"-!t", L""}).settings.TargetDirectory, L"");
}

TEST(StubOptions, BadOptionsFailWithTheArgumentAsTyped)
{
    EXPECT_EQ(failure_of({L"-!T", L"x"}), "Unrecognized command line argument -!T");
    EXPECT_EQ(failure_of({L"-!d", L"-!t"}), "Missing value for argument -!t");
    EXPECT_EQ(failure_of({L"-!"}), "Unrecognized command line argument -!");

    sfx::sfx_settings no_prefix = defaults();
    no_prefix.ArgumentPrefix.clear();
    EXPECT_EQ(failure_of({L"d", L"/s"}, no_prefix), "Unrecognized command line argument /s");
    EXPECT_TRUE(parse({L"d", L"e-"}, no_prefix).settings.Cleanup);
}

TEST(StubOptions, ThePrefixCountsOnlyAtTheStart)
{
    const parsed result = parse({L"x-!d", L"-!d"});
    EXPECT_FALSE(result.settings.Cleanup);
    EXPECT_EQ(result.pass_through, L"x-!d -!d");
}

TEST(PassThrough, QuotesWhatTheSplitterWouldOtherwiseBreak)
{
    const parsed result = parse({L"a", L"b c", L"say \"hi\"", L"q\"x", L"", L"C:\\Out dir\\", L"t\tu", L"/s"});
    EXPECT_EQ(result.pass_through, L"a \"b c\" \"say \\\"hi\\\"\" \"q\\\"x\" \"\" \"C:\\Out dir\\\\\" \"t\tu\" /s");
    EXPECT_EQ(parse({}).pass_through, L"");
}

}  // namespace
