#pragma once
// Writing arguments into a command line so that the started program reads
// them back unchanged. Needs no Windows header, so it builds natively too.

#include <string>
#include <string_view>

namespace unfurler {

// Who reads the arguments of a launched program.
enum class argument_reader {
    // A program that splits its command line like CommandLineToArgvW and the
    // C runtime do.
    program,
    // A command script (.bat, .cmd) run by cmd.exe, which also gives & | < >
    // ^ ( ) their meaning as command characters and splits its parameters
    // (%1, %2, ...) at spaces, tabs, commas, semicolons and equal signs.
    command_script,
};

// The argument as the platform's splitters (CommandLineToArgvW, the C
// runtime) read it back: wrapped in double quotes when it is empty or holds a
// space, a tab or a double quote; inside the quotes every double quote is
// escaped with a backslash and the backslashes that precede a double quote or
// the closing quote are doubled. Any other argument is returned unchanged.
std::wstring quote_argument(std::wstring_view argument);

// True when argument can reach a command script intact and without running
// anything: cmd.exe expands %NAME% even inside double quotes and has no
// escape for it there, a double quote inside an argument would end the quoted
// part early (letting & or | behind it start a command), and a line break
// ends or splits the command. So an argument holding a double quote, a
// percent sign, a carriage return or a line feed cannot be passed.
bool can_pass_to_command_script(std::wstring_view argument);

// The argument written for reader. For a program: quote_argument. For a
// command script (argument must pass can_pass_to_command_script): also
// wrapped in double quotes when it holds one of cmd.exe's command characters
// (& | < > ^ ( )) or parameter separators (, ; = vertical tab, form feed), so
// that the script receives it as one parameter and nothing of it runs;
// inside the quotes cmd.exe takes every character literally, and a program
// that the script hands its parameters on to still reads the argument back
// as quote_argument promises.
std::wstring quote_argument(std::wstring_view argument, argument_reader reader);

// True when program_path is started through cmd.exe: its extension (from the
// last full stop of the whole path) is exactly ".bat" or ".cmd".
bool runs_through_command_interpreter(const std::wstring& program_path);

// True when cmd.exe can be given script_path as it stands: it holds no
// percent sign, which cmd.exe would expand even inside double quotes.
bool can_start_command_script(std::wstring_view script_path);

}  // namespace unfurler
