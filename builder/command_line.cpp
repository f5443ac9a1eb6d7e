#include "command_line.h"

#include "usage_text.h"

#include <vetra/cmdline_parser.h>
#include <vetra/error_stream.h>
#include <vetra/errors.h>

#include <ostream>
#include <stdexcept>

namespace stubsmith {

namespace {

using vetra::operator<<;

// Ends a console line. A character the console's code page lacks puts the
// stream into a failed state, in which the line end itself would be lost;
// clearing it first keeps the line end and the lines that follow.
void end_line(std::wostream& out)
{
    out.clear();
    out << std::endl;
    out.clear();
}

void print_usage(std::wostream& out)
{
    out << usage_text;
    end_line(out);
}

void declare_options(vetra::cmdline_parser& parser)
{
    parser.add_option(L"--zip", true, L"-z");
    parser.add_option(L"--sfx", true, L"-s");
    parser.add_option(L"--help", false, L"-h");
    parser.add_option(L"--allow-override", false);
    parser.add_option(L"--argument-prefix", true);
    parser.add_option(L"--cleanup", false);
    parser.add_option(L"--launch-exe", true);
    parser.add_option(L"--launch-arguments", true);
    parser.add_option(L"--target-dir", true);
    parser.add_option(L"--show-errors", false);
    parser.add_option(L"--company-name", true);
    parser.add_option(L"--file-description", true);
    parser.add_option(L"--file-version", true);
    parser.add_option(L"--internal-name", true);
    parser.add_option(L"--original-filename", true);
    parser.add_option(L"--product-name", true);
    parser.add_option(L"--product-version", true);
    parser.add_option(L"--legal-copyright", true);
    parser.add_option(L"--elevate", false);
}

version_info read_version_info(const vetra::cmdline_parser& parser)
{
    version_info info;
    info.company_name = parser.get_or(L"--company-name", L"");
    info.file_description = parser.get_or(L"--file-description", L"");
    info.file_version = parser.get_or(L"--file-version", L"");
    info.internal_name = parser.get_or(L"--internal-name", L"");
    info.original_filename = parser.get_or(L"--original-filename", L"");
    info.product_name = parser.get_or(L"--product-name", L"");
    info.product_version = parser.get_or(L"--product-version", L"");
    info.legal_copyright = parser.get_or(L"--legal-copyright", L"");
    info.elevate = parser.has(L"--elevate");
    return info;
}

sfx::sfx_settings read_settings(const vetra::cmdline_parser& parser)
{
    sfx::sfx_settings settings;
    settings.AllowOverride = parser.has(L"--allow-override");
    settings.ArgumentPrefix = parser.get_or(L"--argument-prefix", L"");
    settings.TargetDirectory = parser.get_or(L"--target-dir", L"");
    settings.LaunchExe = parser.get_or(L"--launch-exe", L"");
    settings.LaunchArguments = parser.get_or(L"--launch-arguments", L"");
    settings.ShowErrors = parser.has(L"--show-errors");
    settings.Cleanup = parser.has(L"--cleanup");
    return settings;
}

void print_cmdline_error(std::wostream& out, const vetra::cmdline_runtime_error& error)
{
    switch (error.kind) {
    case vetra::unknown_argument:
        out << L"Unknown argument " << error.argument;
        break;
    case vetra::duplicate_argument:
        out << L"Duplicate argument " << error.argument;
        break;
    case vetra::missing_parameter:
        out << L"Argument " << error.argument << L" expects parameter";
        break;
    case vetra::unexpected_parameter:
        out << L"Argument " << error.argument << L" does not expect parameters";
        break;
    default:
        out << L"Unknown error, argument: " << error.argument;
        break;
    }
    end_line(out);
}

}  // namespace

int run_stubsmith(int argc, const wchar_t* const argv[], std::wostream& out, const build_function& build)
{
    out << banner_text;
    end_line(out);
    if (argc <= 1) {
        print_usage(out);
        return 1;
    }

    bool command_line_phase = true;
    try {
        vetra::cmdline_parser parser;
        declare_options(parser);
        parser.parse(argc, argv);
        if (parser.has(L"--help")) {
            print_usage(out);
            return 1;
        }
        if (!parser.has(L"--zip"))
            throw std::runtime_error("Missing required argument: '--zip'");
        if (!parser.has(L"--sfx"))
            throw std::runtime_error("Missing required argument: '--sfx'");

        const std::wstring zip_path = parser.get(L"--zip");
        const std::wstring sfx_path = parser.get(L"--sfx");
        // No blank between "file" and the zip path: scripts match this line as it stands.
        out << L"Building SFX archive " << sfx_path << L" using zip file" << zip_path;
        end_line(out);
        command_line_phase = false;

        const version_info version = read_version_info(parser);
        const sfx::sfx_settings settings = read_settings(parser);
        build(sfx_path, zip_path, settings, version);
        out << L"Done.";
        end_line(out);
        return 0;
    } catch (const vetra::cmdline_runtime_error& error) {
        print_cmdline_error(out, error);
        return 1;
    } catch (const std::exception& error) {
        out << L"Error: " << error;
        end_line(out);
        if (command_line_phase)
            print_usage(out);
        return 1;
    }
}

}  // namespace stubsmith
