#include "command_line.h"
#include "usage_text.h"

#include <vetra/errors.h>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace stubsmith;

struct Outcome {
    int exitCode;
    std::wstring output;
};

// What the fake build saw.
struct BuildCall {
    bool called = false;
    std::wstring sfx, zip;
    sfx::sfx_settings settings;
    version_info version;
};

Outcome run(std::vector<std::wstring> words, BuildCall* call = nullptr,
            const std::function<void()>& failure = nullptr)
{
    words.insert(words.begin(), L"Stubsmith.exe");
    std::vector<const wchar_t*> argv;
    for (const auto& word : words)
        argv.push_back(word.c_str());
    std::wostringstream out;
    const int code = run_stubsmith(static_cast<int>(argv.size()), argv.data(), out,
                                   [&](const std::wstring& sfxPath, const std::wstring& zipPath,
                                       const sfx::sfx_settings& settings, const version_info& version) {
                                       if (call)
                                           *call = {true, sfxPath, zipPath, settings, version};
                                       if (failure)
                                           failure();
                                   });
    return {code, out.str()};
}

const std::wstring banner = std::wstring(banner_text) + L"\n";
const std::wstring usage = std::wstring(usage_text) + L"\n";

TEST(StubsmithCommandLine, UsageTextHasTwentyLinesWithTheFourthEmpty)
{
    std::wistringstream lines(usage_text);
    std::vector<std::wstring> read;
    for (std::wstring line; std::getline(lines, line);)
        read.push_back(line);
    ASSERT_EQ(read.size(), 20u);
    EXPECT_EQ(read[3], L"");
    EXPECT_EQ(read[8].rfind(L"  --launch-arugments <args> ", 0), 0u);
    EXPECT_EQ(read[9].rfind(L"  --target-directory <path> ", 0), 0u);
    EXPECT_EQ(std::wstring(usage_text).back(), L'\n');
    EXPECT_EQ(std::wstring(banner_text).find(L"Stubsmith 1.0.0.0 : "), 0u);
}

TEST(StubsmithCommandLine, RunsThatStopBeforeABuild)
{
    const struct {
        std::vector<std::wstring> words;
        std::wstring after_banner;
    } cases[] = {
        {{}, usage},
        {{L"--help"}, usage},
        {{L"-h"}, usage},
        {{L"--zip", L"a.zip", L"--sfx", L"a.exe", L"--help"}, usage},
        {{L"--help", L"extra"}, L"Unknown argument extra\n"},
        {{L"--sfx", L"out.exe"}, L"Error: Missing required argument: '--zip'\n" + usage},
        {{L"--cleanup"}, L"Error: Missing required argument: '--zip'\n" + usage},
        {{L"--zip", L"a.zip"}, L"Error: Missing required argument: '--sfx'\n" + usage},
        {{L"--zip", L"a.zip", L"--sfx"}, L"Argument --sfx expects parameter\n"},
        {{L"--zip", L"a.zip", L"-z", L"b.zip"}, L"Duplicate argument -z\n"},
        {{L"--target-dir", L"--cleanup"}, L"Argument --target-dir expects parameter\n"},
        {{L"--zip", L"a.zip", L"--sfx", L"a.exe", L"--launch-arugments", L"x"}, L"Unknown argument --launch-arugments\n"},
        {{L"--target-directory", L"x"}, L"Unknown argument --target-directory\n"},
        {{L"--zip", L"a.zip", L"--sfx", L"a.exe", L"--elevate", L"yes"}, L"Unknown argument yes\n"},
        {{L"/zip"}, L"Unknown argument /zip\n"},
    };
    for (const auto& c : cases) {
        BuildCall call;
        const Outcome outcome = run(c.words, &call);
        std::wstring words;
        for (const auto& w : c.words)
            words += w + L" ";
        EXPECT_EQ(outcome.exitCode, 1) << words;
        EXPECT_EQ(outcome.output, banner + c.after_banner) << words;
        EXPECT_FALSE(call.called) << words;
    }
}

// A console stream that cannot show one character: writing it fails, as the
// console stream does for a character its code page lacks.
class LackingBuffer : public std::wstreambuf {
public:
    explicit LackingBuffer(wchar_t lacking) : lacking_(lacking) {}
    std::wstring text;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (traits_type::to_char_type(c) == lacking_)
            return traits_type::eof();
        text.push_back(traits_type::to_char_type(c));
        return c;
    }

private:
    wchar_t lacking_;
};

TEST(StubsmithCommandLine, DoneStandsOnItsOwnLineAfterACharacterTheConsoleLacks)
{
    LackingBuffer buffer(L'\x4e2d');
    std::wostream out(&buffer);
    const wchar_t* argv[] = {L"Stubsmith.exe", L"--zip", L"pkg.zip", L"--sfx", L"out\x4e2d.exe"};
    const int code = run_stubsmith(5, argv, out, [](const std::wstring&, const std::wstring&, const sfx::sfx_settings&,
                                                    const version_info&) {});
    EXPECT_EQ(code, 0);
    // The rest of the line is lost with the character, its line end is not.
    EXPECT_EQ(buffer.text, banner + L"Building SFX archive out\nDone.\n");
}

TEST(StubsmithCommandLine, FillsTheRecordsAndPrintsDone)
{
    BuildCall call;
    const Outcome outcome =
        run({L"--sfx", L"out.exe", L"-z", L"pkg.zip", L"--cleanup", L"--launch-exe", L"setup.cmd",
             L"--launch-arguments", L"<pass>", L"--target-dir", L"<temp>", L"--argument-prefix", L"-!",
             L"--show-errors", L"--allow-override", L"--product-version", L" 1.2 ", L"--file-version", L"3.4",
             L"--company-name", L"Firma \x00c4", L"--file-description", L"d", L"--internal-name", L"i",
             L"--original-filename", L"o", L"--product-name", L"p", L"--legal-copyright", L"c", L"--elevate"},
            &call);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.output, banner + L"Building SFX archive out.exe using zip filepkg.zip\nDone.\n");
    ASSERT_TRUE(call.called);
    EXPECT_EQ(call.sfx, L"out.exe");
    EXPECT_EQ(call.zip, L"pkg.zip");
    EXPECT_TRUE(call.settings.AllowOverride);
    EXPECT_TRUE(call.settings.Cleanup);
    EXPECT_TRUE(call.settings.ShowErrors);
    EXPECT_EQ(call.settings.ArgumentPrefix, L"-!");
    EXPECT_EQ(call.settings.TargetDirectory, L"<temp>");
    EXPECT_EQ(call.settings.LaunchExe, L"setup.cmd");
    EXPECT_EQ(call.settings.LaunchArguments, L"<pass>");
    EXPECT_EQ(call.version.product_version, L" 1.2 ");
    EXPECT_EQ(call.version.file_version, L"3.4");
    EXPECT_EQ(call.version.company_name, L"Firma \x00c4");
    EXPECT_EQ(call.version.file_description, L"d");
    EXPECT_EQ(call.version.internal_name, L"i");
    EXPECT_EQ(call.version.original_filename, L"o");
    EXPECT_EQ(call.version.product_name, L"p");
    EXPECT_EQ(call.version.legal_copyright, L"c");
    EXPECT_TRUE(call.version.elevate);

    // Nothing given beyond the two paths: false and empty throughout.
    const Outcome plain = run({L"--zip", L"z", L"--sfx", L"s"}, &call);
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_FALSE(call.settings.AllowOverride || call.settings.Cleanup || call.settings.ShowErrors ||
                 call.version.elevate);
    EXPECT_EQ(call.settings.LaunchArguments + call.settings.ArgumentPrefix + call.version.file_version, L"");
}

TEST(StubsmithCommandLine, BuildFailuresPrintErrorWithoutUsage)
{
    const std::wstring building = L"Building SFX archive o.exe using zip filez.zip\n";
    const struct {
        std::function<void()> failure;
        std::wstring printed;
    } cases[] = {
        {[] { throw std::invalid_argument("version"); }, L"Error: version\n"},
        {[] { throw std::runtime_error("Failed to locate compressed data"); },
         L"Error: Failed to locate compressed data\n"},
        {[] { throw vetra::win32_error("Failed to open zip file", 2); }, L""},
        {[] { throw vetra::cmdline_logic_error(vetra::unknown_argument, L"--x"); }, L"Error: \n"},
        {[] { throw vetra::cmdline_runtime_error(vetra::duplicate_short_name, L"--x"); },
         L"Unknown error, argument: --x\n"},
        {[] { throw vetra::cmdline_runtime_error(vetra::unexpected_parameter, L"--cleanup"); },
         L"Argument --cleanup does not expect parameters\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run({L"--zip", L"z.zip", L"--sfx", L"o.exe"}, nullptr, c.failure);
        EXPECT_EQ(outcome.exitCode, 1);
        if (c.printed.empty()) {
            // A Windows error's text ends with the system's CR LF, so an empty line follows.
            EXPECT_EQ(outcome.output.rfind(banner + building + L"Error: Failed to open zip file. Error code: 2: ", 0),
                      0u);
            EXPECT_EQ(outcome.output.substr(outcome.output.size() - 3), L"\r\n\n");
        } else {
            EXPECT_EQ(outcome.output, banner + building + c.printed);
        }
    }
}

}  // namespace
