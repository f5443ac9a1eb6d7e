#pragma once
// A command-line option parser for wide argc/argv. The program declares its
// options first; every word on the command line is then either a declared
// name (long or short) or the value of the option before it. There are no
// positional arguments, no bundling, no name=value words and no prefix
// matching; names are compared exactly (case-sensitive).
//
// Faults in the command line raise vetra::cmdline_runtime_error, faults in the
// program's own declarations and queries vetra::cmdline_logic_error, each with
// a cmdline_error_kind and the word concerned. Needs no Windows header.

#include <vetra/errors.h>

#include <map>
#include <string>

namespace vetra {

class cmdline_parser {
public:
    cmdline_parser() = default;
    cmdline_parser(const cmdline_parser&) = delete;
    cmdline_parser& operator=(const cmdline_parser&) = delete;

    // Declares an option: its long name (the one queries use), whether the next
    // word is its value, and an alias the user may type instead (empty for
    // none). Raises cmdline_logic_error duplicate_argument (with the long name)
    // when the long name is declared already, or duplicate_short_name (with the
    // long name, not the short one) when the short name is taken; in the second
    // case the long name stays declared.
    void add_option(const std::wstring& long_name, bool takes_value, const std::wstring& short_name = {});

    // Reads argv[1] to argv[argc-1] (argv[0] is not looked at). Raises
    // cmdline_runtime_error: unknown_argument for a word that is no declared
    // name; missing_parameter (with the option's word) when an option that
    // takes a value is the last word or is followed by a declared name;
    // duplicate_argument (with the word as typed) when an option comes a
    // second time under either of its names. The first fault ends the parse.
    // Call once, after all declarations.
    void parse(int argc, const wchar_t* const argv[]);

    // Whether the option of this long name was given. A short name is accepted
    // but always answers false. Raises cmdline_logic_error unknown_argument
    // for a name that was never declared.
    bool has(const std::wstring& name) const;

    // The value given for the option of this long name. Raises
    // cmdline_logic_error unknown_argument for an undeclared name, and
    // cmdline_runtime_error unexpected_parameter for an option that takes no
    // value or unknown_argument when the option was not given (always for a
    // short name).
    std::wstring get(const std::wstring& name) const;

    // get(name) when has(name), otherwise default_value.
    std::wstring get_or(const std::wstring& name, const std::wstring& default_value) const;

private:
    using option_table = std::map<std::wstring, bool>;

    // The declared option that word names (after mapping a short name to its
    // long one), or options_.end().
    option_table::const_iterator resolve(const std::wstring& word) const;

    option_table options_;                            // long name -> takes a value
    std::map<std::wstring, std::wstring> short_names_;  // short name -> long name
    std::map<std::wstring, std::wstring> given_;        // long name -> value ("" for a switch)
};

}  // namespace vetra
