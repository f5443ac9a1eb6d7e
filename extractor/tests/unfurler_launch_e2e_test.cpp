// Unfurler.exe launching a program and a command script from awkward target
// folders with awkward pass-through arguments: a probe program records the
// arguments its C runtime splits, and the script records each parameter it
// receives, so the tests see exactly what arrived and whether anything ran
// that should not have.
#include "container_kit.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <random>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ZipMethod;

// Hands the probe program (which reads its name as argv[0] like any program)
// all of its parameters, then records each parameter on a line of its own,
// and ends with the probe's exit code. Every parameter goes into a command:
// one that cmd.exe took apart would show up as several lines, and a command
// character outside quotes would run what follows it.
const char* const probe_script =
    "@echo off\r\n"
    "\"%~dp0probe.exe\" %*\r\n"
    "set probe_exit=%errorlevel%\r\n"
    ":next\r\n"
    "if [%1]==[] goto done\r\n"
    ">>\"%UNFURLER_PARAMS%\" echo.{%1}\r\n"
    "shift\r\n"
    "goto next\r\n"
    ":done\r\n"
    "exit /b %probe_exit%\r\n";

// The file name that the injection attempts among the arguments write to.
const char* const injected_name = "injected.txt";

std::vector<std::wstring> split_like_the_platform(const std::wstring& arguments)
{
    const std::wstring line = L"program " + arguments;
    int count = 0;
    LPWSTR* split = ::CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> result;
    for (int i = 1; split != nullptr && i < count; ++i)
        result.emplace_back(split[i]);
    ::LocalFree(split);
    return result;
}

class Launched : public testing::Test {
protected:
    void SetUp() override
    {
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_ARGV", argv_record().c_str());
        ::SetEnvironmentVariableW(L"UNFURLER_PARAMS", params_record().c_str());
        fs::create_directories(work());
        temp_before_ = temp_contents();
    }
    void TearDown() override
    {
        for (const wchar_t* name : {L"UNFURLER_PROBE_ARGV", L"UNFURLER_PARAMS", L"UNFURLER_PROBE_EXIT"})
            ::SetEnvironmentVariableW(name, nullptr);
    }

    fs::path sfx() const { return scratch_ / "kit setup.exe"; }
    fs::path work() const { return scratch_ / "work"; }
    fs::path argv_record() const { return scratch_ / "argv.bin"; }
    fs::path params_record() const { return scratch_ / "params.txt"; }

    void build(const std::string& target, const std::string& launch_exe)
    {
        unfurler_test::write_container(
            sfx(),
            unfurler_test::settings_block({{"TargetDirectory", target}, {"LaunchExe", launch_exe}, {"Cleanup", "1"}}),
            {{"bin/probe.exe", unfurler_test::probe_image()}, {"bin/run.cmd", probe_script, ZipMethod::stored}});
    }

    // Runs the self-extractor with arguments and a program exit code; the
    // records of the previous run are gone first.
    testsupport::ProgramRun run(const std::vector<std::wstring>& arguments, DWORD program_exit)
    {
        fs::remove(argv_record());
        fs::remove(params_record());
        ::SetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", std::to_wstring(program_exit).c_str());
        auto result = testsupport::runProgram(sfx(), arguments, work(), 120000);
        EXPECT_FALSE(result.timedOut);
        return result;
    }

    // The arguments the probe's C runtime gave it.
    std::vector<std::wstring> received_argv() const
    {
        std::vector<std::wstring> arguments;
        if (!fs::exists(argv_record()))
            return {L"<the probe did not run>"};
        const std::string bytes = testsupport::readFile(argv_record());
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
        for (std::size_t start = 0, end; (end = text.find(L'\0', start)) != std::wstring::npos; start = end + 1)
            arguments.push_back(text.substr(start, end - start));
        return arguments;
    }

    // The parameters %1, %2, ... as the script saw them, quotes included.
    std::vector<std::string> script_parameters() const
    {
        std::vector<std::string> parameters;
        if (!fs::exists(params_record()))
            return parameters;
        const std::string text = testsupport::readFile(params_record());
        for (std::size_t start = 0, end; (end = text.find("}\r\n", start)) != std::string::npos; start = end + 3) {
            EXPECT_EQ(text[start], '{');
            parameters.push_back(text.substr(start + 1, end - start - 1));
        }
        return parameters;
    }

    // Files that an argument which ran as a command would have written, in
    // the scratch folder or in what appeared in the temporary folder since
    // the test began.
    std::vector<fs::path> injected_files() const
    {
        std::vector<fs::path> roots = {scratch_.path()};
        for (const fs::path& item : temp_contents())
            if (temp_before_.count(item) == 0 && fs::is_directory(item))
                roots.push_back(item);
        std::vector<fs::path> found;
        for (const fs::path& root : roots)
            for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
                if (it->path().filename() == injected_name)
                    found.push_back(it->path());
        return found;
    }

    // What a run through the script must show: each argument arrives as one
    // parameter that reads back as the argument, the program behind the
    // script gets them all, and nothing else ran.
    void expect_script_received(const std::vector<std::wstring>& arguments)
    {
        EXPECT_EQ(received_argv(), arguments);
        const auto parameters = script_parameters();
        ASSERT_EQ(parameters.size(), arguments.size());
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            // The record is written in the console's code page; only ASCII
            // text reads back the same in every one.
            bool ascii = true;
            for (wchar_t c : arguments[i])
                ascii = ascii && c < 0x80;
            if (ascii) {
                const std::wstring parameter(parameters[i].begin(), parameters[i].end());
                EXPECT_EQ(split_like_the_platform(parameter), std::vector<std::wstring>{arguments[i]})
                    << "parameter " << i + 1 << ": " << parameters[i];
            }
        }
        EXPECT_TRUE(injected_files().empty());
    }

    std::set<fs::path> temp_contents() const
    {
        std::set<fs::path> names;
        for (const auto& item : fs::directory_iterator(fs::temp_directory_path()))
            names.insert(item.path());
        return names;
    }

    testsupport::ScratchFolder scratch_;
    std::set<fs::path> temp_before_;
};

// Awkward in one way or another for a program's splitter.
const std::vector<std::wstring> program_arguments = {
    L"",  L"a b", L"C:\\Out dir\\", L"say \"hi\"", L"\"", L"\\\"", L"a\tb", L"\\\\server\\share\\",
    L"a&b|c", L"(x86)", L")&echo x>injected.txt&(", L"x,y;z=w", L"/LOG=x.txt", L"%PATH%", L"50%",
    L"\u00e9\u4e2d", L"/q", L"-x", L"/?", L"end",
};

// Awkward for cmd.exe: its command characters and parameter separators.
const std::vector<std::wstring> script_arguments = {
    L"",         L"a b",        L"C:\\Out dir\\", L"a\tb",   L"a&b|c",         L"<in >out",
    L"^",        L"^^&",        L"(x86)",         L")&echo x>injected.txt&(",  L"&echo x>injected.txt",
    L"|echo x>injected.txt",    L"x,y;z=w",       L"/LOG=x.txt", L"!x!",       L"/?", L"\u00e9", L"/q", L"end",
};

TEST_F(Launched, ProgramsAndScriptsInAwkwardFoldersGetEveryArgumentAndPassTheirExitCodeThrough)
{
    const std::vector<std::string> targets = {"Kit Dir", "Program Files (x86)\\Kit", "Kit & Co", "<temp>"};
    DWORD exit_code = 3010;
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        build(target, "bin\\probe.exe");
        auto result = run(program_arguments, ++exit_code);
        EXPECT_EQ(result.exitCode, exit_code);
        EXPECT_EQ(received_argv(), program_arguments);
        EXPECT_TRUE(injected_files().empty());

        build(target, "bin\\run.cmd");
        result = run(script_arguments, ++exit_code);
        EXPECT_EQ(result.exitCode, exit_code);
        expect_script_received(script_arguments);

        if (target != "<temp>") {
            EXPECT_FALSE(fs::exists(work() / fs::path(target).begin()->string())) << "cleanup left the target";
        }
    }
    EXPECT_EQ(temp_contents(), temp_before_) << "a <temp> run left something behind";
}

TEST_F(Launched, ArgumentsACommandScriptCannotReceiveFailTheRunBeforeExtraction)
{
    build("Kit Dir", "bin\\run.cmd");
    for (const wchar_t* refused : {L"%PATH%", L"say \"hi\"", L"two\nlines"}) {
        const auto result = run({L"ok", refused, L"end"}, 0);
        EXPECT_EQ(result.exitCode, 1u);
        EXPECT_FALSE(fs::exists(work() / "Kit Dir"));
        EXPECT_FALSE(fs::exists(params_record()));
    }
    // A program takes them.
    build("Kit Dir", "bin\\probe.exe");
    EXPECT_EQ(run({L"ok", L"%PATH%", L"say \"hi\"", L"two\nlines", L"end"}, 5).exitCode, 5u);
    EXPECT_EQ(received_argv(), (std::vector<std::wstring>{L"ok", L"%PATH%", L"say \"hi\"", L"two\nlines", L"end"}));
}

// Random arguments drawn mostly from the characters that matter to the
// splitters. The last argument is a plain word: the stub's repair of a
// command line ending in a backslash and a quote (for a folder a script
// quoted without escaping) would otherwise change a last argument that
// correctly ends in escaped backslashes.
std::vector<std::vector<std::wstring>> random_argument_lists(const std::wstring& alphabet, std::size_t lists,
                                                             std::size_t per_list, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> length(0, 10);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::vector<std::vector<std::wstring>> result(lists);
    for (auto& arguments : result) {
        arguments.resize(per_list);
        for (auto& argument : arguments) {
            const std::size_t size = length(random);
            for (std::size_t i = 0; i < size; ++i)
                argument.push_back(alphabet[pick(random)]);
        }
        arguments.push_back(L"end");
    }
    return result;
}

TEST_F(Launched, RandomArgumentsReachAProgramUnchanged)
{
    build("Kit Dir", "bin\\probe.exe");
    const auto lists = random_argument_lists(L"   \t\"\"\\\\\\ab&|<>^(),;=%!*?/:.-\u00e9\u4e2d", 40, 50, 7001);
    DWORD exit_code = 0;
    for (const auto& arguments : lists) {
        const auto result = run(arguments, ++exit_code);
        ASSERT_EQ(result.exitCode, exit_code);
        ASSERT_EQ(received_argv(), arguments);
    }
    EXPECT_TRUE(injected_files().empty());
}

TEST_F(Launched, RandomArgumentsReachAScriptAsOneParameterEachAndNothingRuns)
{
    build("Kit & Co (x86)", "bin\\run.cmd");
    const auto lists = random_argument_lists(L"   \t\\\\ab&&||<>^^(()),;=!*?/:.-", 12, 60, 7002);
    DWORD exit_code = 100;
    for (const auto& arguments : lists) {
        const auto result = run(arguments, ++exit_code);
        ASSERT_EQ(result.exitCode, exit_code);
        expect_script_received(arguments);
        if (HasFailure())
            return;
    }
}

}  // namespace
