#include "command_line.h"

#include "stub_errors.h"
#include "trace_points.h"

#include <vetra/text_conversion.h>

namespace unfurler {

namespace {

constexpr unsigned int ansi_code_page = 0;  // CP_ACP

bool starts_with(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring repair_command_line(std::wstring line)
{
    if (line.size() > 1 && line[line.size() - 2] == L'\\' && line.back() == L'"') {
        line.back() = L'\\';
        line.push_back(L'"');
    }
    return line;
}

std::size_t apply_overrides(sfx::sfx_settings& settings, std::size_t argc, const wchar_t* const argv[])
{
    trace_point(15, trace_level::verbose);
    std::size_t index = 1;
    while (index < argc) {
        const std::wstring argument = argv[index];
        trace_point(16, trace_level::verbose, {static_cast<std::uint32_t>(index), argument});
        if (!starts_with(argument, settings.ArgumentPrefix)) {
            trace_point(17, trace_level::verbose, {argument, settings.ArgumentPrefix});
            return index;
        }
        const std::wstring option = argument.substr(settings.ArgumentPrefix.size());
        if (option == L"t") {
            if (index + 1 >= argc)
                throw stub_option_error("Missing value for argument " + vetra::to_narrow(argument, ansi_code_page));
            settings.TargetDirectory = argv[index + 1];
            trace_point(18, trace_level::verbose, {settings.TargetDirectory});
            index += 2;
            continue;
        }
        if (option == L"d") {
            settings.Cleanup = true;
            trace_point(19, trace_level::verbose);
        } else if (option == L"d-") {
            settings.Cleanup = false;
            trace_point(20, trace_level::verbose);
        } else if (option == L"e") {
            settings.ShowErrors = true;
            trace_point(21, trace_level::verbose);
        } else if (option == L"e-") {
            settings.ShowErrors = false;
            trace_point(22, trace_level::verbose);
        } else {
            throw stub_option_error("Unrecognized command line argument " + vetra::to_narrow(argument, ansi_code_page));
        }
        ++index;
    }
    return argc;
}

std::wstring pass_through_text(std::size_t argc, const wchar_t* const argv[], std::size_t first,
                               argument_reader reader)
{
    std::wstring text;
    for (std::size_t index = first; index < argc; ++index) {
        const std::wstring_view argument = argv[index];
        if (reader == argument_reader::command_script && !can_pass_to_command_script(argument))
            throw command_script_error("The argument " + vetra::to_narrow(std::wstring(argument), ansi_code_page) +
                                     " cannot be passed on to a command script: it holds a double quote, a percent"
                                     " sign or a line break.");
        text += quote_argument(argument, reader);
        text += L' ';
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

}  // namespace unfurler
