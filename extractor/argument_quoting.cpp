#include "argument_quoting.h"

#include <vetra/paths.h>

namespace unfurler {

namespace {

bool holds_any_of(std::wstring_view text, std::wstring_view characters)
{
    return text.find_first_of(characters) != std::wstring_view::npos;
}

// What cmd.exe treats specially outside double quotes: its command
// characters, and the separators between a script's parameters besides space
// and tab.
constexpr std::wstring_view command_script_specials = L"&|<>^(),;=\v\f";

std::wstring wrapped_in_quotes(std::wstring_view argument)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only in front of a double quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');  // they precede the closing quote
    quoted.push_back(L'"');
    return quoted;
}

}  // namespace

std::wstring quote_argument(std::wstring_view argument)
{
    if (!argument.empty() && !holds_any_of(argument, L" \t\""))
        return std::wstring(argument);
    return wrapped_in_quotes(argument);
}

bool can_pass_to_command_script(std::wstring_view argument)
{
    return !holds_any_of(argument, L"\"%\r\n");
}

std::wstring quote_argument(std::wstring_view argument, argument_reader reader)
{
    if (reader == argument_reader::command_script && holds_any_of(argument, command_script_specials))
        return wrapped_in_quotes(argument);
    return quote_argument(argument);
}

bool runs_through_command_interpreter(const std::wstring& program_path)
{
    const std::wstring extension = vetra::path_extension(program_path);
    return extension == L".bat" || extension == L".cmd";
}

bool can_start_command_script(std::wstring_view script_path)
{
    return script_path.find(L'%') == std::wstring_view::npos;
}

}  // namespace unfurler
