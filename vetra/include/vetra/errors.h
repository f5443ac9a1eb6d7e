#pragma once
// The exceptions that the builder and the stub raise themselves: a failed
// Windows call, and faults in a command line (the user's words, or the
// program's own use of the option parser). Everything else travels as a
// standard exception.
//
// This header needs no Windows header, so the option parser that raises the
// command-line errors also builds natively.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vetra {

// Builds the text of a failed Windows call: the message, then ". " when the
// message is not empty, then "Error code: " and the code in unsigned decimal,
// then ": " and the system's own text for the code exactly as the system
// returns it (ending in CR LF). When the system has no text for the code the
// result ends with the digits. 8-bit text in the ANSI code page. Fails only by
// running out of memory (std::bad_alloc).
std::string format_win32_message(const std::string& message, std::uint32_t code);

// A failed Windows call. what() is format_win32_message(message, code), so it
// already names the code and the system's text for it.
class win32_error : public std::runtime_error {
public:
    // message names the failed step or call ("CreateDirectory failed"); code
    // is GetLastError() read right after the call that failed. Looks up the
    // system's text for the code on every construction.
    win32_error(const std::string& message, std::uint32_t code);

    // The Windows error code passed in.
    std::uint32_t code() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

// What went wrong in a command line. The numbers are what callers store and
// compare, so they never change.
enum cmdline_error_kind : std::int32_t {
    unknown_argument = 0,      // a word that is no declared option; a query for an undeclared
                               // option; the value of an option that was not given
    duplicate_argument = 1,    // an option given twice; a long name declared twice
    duplicate_short_name = 2,  // a short name declared twice (argument: the long name)
    missing_parameter = 3,     // an option that takes a value has none after it
    unexpected_parameter = 4,  // the value of an option that takes none was asked for
};

// The information that both command-line errors carry; they carry no text.
struct cmdline_error {
    std::int32_t kind;      // a cmdline_error_kind
    std::wstring argument;  // the option name or command-line word concerned
};

// A mistake in the command line that the user typed. what() is "".
class cmdline_runtime_error : public std::runtime_error, public cmdline_error {
public:
    cmdline_runtime_error(std::int32_t kind, const std::wstring& argument);
};

// A mistake in the program's own use of the option parser (an option declared
// twice, a query for an option never declared). what() is "".
class cmdline_logic_error : public std::logic_error, public cmdline_error {
public:
    cmdline_logic_error(std::int32_t kind, const std::wstring& argument);
};

}  // namespace vetra
