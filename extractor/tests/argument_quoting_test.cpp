// Pass-through arguments written into the launch command: the platform's own
// splitter must give every one of them back, and for a command script cmd.exe
// must see each as one parameter with none of its characters acting as a
// command character.
#include "argument_quoting.h"
#include "command_line.h"
#include "stub_errors.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <random>
#include <string>
#include <vector>

namespace {

using unfurler::argument_reader;

// Arguments that broke the pass-through text before: a space, a trailing
// backslash, embedded quotes, empty ones, tabs, and cmd.exe's characters.
const std::vector<std::wstring> awkward = {
    L"",
    L" ",
    L"a b",
    L"a\tb",
    L"C:\\Out dir\\",
    L"C:\\Out dir\\\\",
    L"C:\\Program Files (x86)\\Kit",
    L"C:\\Kit & Co",
    L"say \"hi\"",
    L"\"",
    L"\\\"",
    L"a\\\\\"b",
    L"\\",
    L"\\\\",
    L"a\\b",
    L"\"C:\\Out dir\\\"",
    L"a&b",
    L"a|b",
    L"<in>out",
    L"^",
    L"(x86)",
    L")&echo injected&(",
    L"x,y",
    L"x;y",
    L"/LOG=x.txt",
    L"!PATH!",
    L"%PATH%",
    L"50%",
    L"line\nbreak",
    L"\r",
    L"\v\f",
    L"\u00e9\u20ac",
};

std::vector<std::wstring> split_like_the_platform(const std::wstring& arguments)
{
    const std::wstring line = L"\"C:\\kit\\setup.exe\" " + arguments;
    int count = 0;
    LPWSTR* split = ::CommandLineToArgvW(line.c_str(), &count);
    EXPECT_NE(split, nullptr);
    std::vector<std::wstring> result;
    for (int i = 1; i < count; ++i)
        result.emplace_back(split[i]);
    ::LocalFree(split);
    return result;
}

std::wstring pass_through(const std::vector<std::wstring>& arguments, argument_reader reader)
{
    std::vector<const wchar_t*> argv = {L"C:\\sfx.exe"};
    for (const auto& argument : arguments)
        argv.push_back(argument.c_str());
    return unfurler::pass_through_text(argv.size(), argv.data(), 1, reader);
}

// How cmd.exe reads a script's parameters: a double quote turns quoting on
// and off; outside quotes, spaces, tabs, commas, semicolons, equal signs,
// vertical tabs and form feeds separate parameters, and & | < > ^ ( ) are
// command characters. Returns the parameters, or an empty list with
// command_character set when such a character stands outside quotes.
std::vector<std::wstring> parameters_as_cmd_reads_them(const std::wstring& text, bool& command_character)
{
    std::vector<std::wstring> parameters;
    std::wstring current;
    bool quoted = false;
    bool in_parameter = false;
    command_character = false;
    for (const wchar_t c : text) {
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && std::wstring_view(L" \t,;=\v\f").find(c) != std::wstring_view::npos) {
            if (in_parameter)
                parameters.push_back(current);
            current.clear();
            in_parameter = false;
            continue;
        } else if (!quoted && std::wstring_view(L"&|<>^()").find(c) != std::wstring_view::npos) {
            command_character = true;
        }
        current.push_back(c);
        in_parameter = true;
    }
    if (in_parameter)
        parameters.push_back(current);
    return parameters;
}

// Checks the two properties for one list of arguments.
void expect_round_trip(const std::vector<std::wstring>& arguments)
{
    EXPECT_EQ(split_like_the_platform(pass_through(arguments, argument_reader::program)), arguments);

    std::vector<std::wstring> for_script;
    for (const auto& argument : arguments)
        if (unfurler::can_pass_to_command_script(argument))
            for_script.push_back(argument);
    const std::wstring text = pass_through(for_script, argument_reader::command_script);
    // A script that hands %* on to a program: the program reads them back.
    EXPECT_EQ(split_like_the_platform(text), for_script);
    bool command_character = false;
    const auto parameters = parameters_as_cmd_reads_them(text, command_character);
    EXPECT_FALSE(command_character) << testing::PrintToString(text);
    ASSERT_EQ(parameters.size(), for_script.size()) << testing::PrintToString(text);
    for (std::size_t i = 0; i < parameters.size(); ++i)
        EXPECT_EQ(split_like_the_platform(parameters[i]), std::vector<std::wstring>{for_script[i]});
}

TEST(ArgumentQuoting, AwkwardArgumentsComeBackUnchanged)
{
    for (const auto& argument : awkward) {
        SCOPED_TRACE(testing::PrintToString(argument));
        expect_round_trip({argument});
        expect_round_trip({L"first", argument, L"last"});
    }
    expect_round_trip(awkward);
}

TEST(ArgumentQuoting, PlainArgumentsPassAsTheyAre)
{
    for (const wchar_t* plain : {L"/q", L"-x", L"C:\\dir\\", L"a\\\\b", L"x!y", L"\u00e9", L"*.txt", L"100"}) {
        EXPECT_EQ(unfurler::quote_argument(plain), plain);
        EXPECT_EQ(unfurler::quote_argument(plain, argument_reader::command_script), plain);
    }
    // Only cmd.exe needs these quoted.
    EXPECT_EQ(unfurler::quote_argument(L"/LOG=x.txt"), L"/LOG=x.txt");
    EXPECT_EQ(unfurler::quote_argument(L"/LOG=x.txt", argument_reader::command_script), L"\"/LOG=x.txt\"");
    EXPECT_EQ(unfurler::quote_argument(L"C:\\Out dir\\"), L"\"C:\\Out dir\\\\\"");
    EXPECT_EQ(unfurler::quote_argument(L"a\\\"b"), L"\"a\\\\\\\"b\"");
    EXPECT_EQ(unfurler::quote_argument(L""), L"\"\"");
}

TEST(ArgumentQuoting, RandomArgumentsComeBackUnchanged)
{
    // Weighted towards the characters that matter to the splitters.
    const std::wstring alphabet = L"  \t\"\"\\\\\\ab&|<>^(),;=%!\n\r\v*?:/.-\u00e9\u20ac\u00a0";
    std::mt19937 random(20240511);
    std::uniform_int_distribution<std::size_t> length(0, 12);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> count(1, 8);
    std::size_t checked = 0;
    while (checked < 20000) {
        std::vector<std::wstring> arguments(count(random));
        for (auto& argument : arguments) {
            const std::size_t size = length(random);
            for (std::size_t i = 0; i < size; ++i)
                argument.push_back(alphabet[pick(random)]);
        }
        expect_round_trip(arguments);
        if (testing::Test::HasFailure())
            return;
        checked += arguments.size();
    }
}

TEST(ArgumentQuoting, ArgumentsACommandScriptCannotReceiveAreRefusedByName)
{
    for (const wchar_t* refused : {L"%PATH%", L"50%", L"say \"hi\"", L"two\nlines", L"cr\r"}) {
        EXPECT_FALSE(unfurler::can_pass_to_command_script(refused));
        try {
            pass_through({L"ok", refused}, argument_reader::command_script);
            ADD_FAILURE() << "no failure";
        } catch (const unfurler::command_script_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("The argument ", 0), 0u);
            EXPECT_NE(std::string(error.what()).find(" cannot be passed on to a command script: it holds a double quote,"
                                                     " a percent sign or a line break."),
                      std::string::npos);
        }
        // A program reads them back as they are.
        EXPECT_EQ(split_like_the_platform(pass_through({refused}, argument_reader::program)),
                  std::vector<std::wstring>{refused});
    }
}

TEST(ArgumentQuoting, OnlyExactLowerCaseBatAndCmdRunThroughTheInterpreter)
{
    EXPECT_TRUE(unfurler::runs_through_command_interpreter(L"C:\\t\\setup.cmd"));
    EXPECT_TRUE(unfurler::runs_through_command_interpreter(L"run.bat"));
    EXPECT_FALSE(unfurler::runs_through_command_interpreter(L"C:\\t\\SETUP.CMD"));
    EXPECT_FALSE(unfurler::runs_through_command_interpreter(L"C:\\x.cmd\\setup"));
    EXPECT_FALSE(unfurler::runs_through_command_interpreter(L"setup.exe"));
    EXPECT_TRUE(unfurler::can_start_command_script(L"C:\\Kit & Co (x86)\\run.cmd"));
    EXPECT_FALSE(unfurler::can_start_command_script(L"C:\\100%\\run.cmd"));
}

}  // namespace
