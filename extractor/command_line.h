#pragma once
// The stub's command line before and after splitting: the trailing-quote
// repair, the stub options behind ArgumentPrefix and the pass-through text.
// Needs no Windows header.

#include "argument_quoting.h"

#include <sfx/sfx_settings.h>

#include <cstddef>
#include <string>

namespace unfurler {

// A line that ends in a backslash and a double quote gets that quote replaced
// by a backslash and a quote appended, so the splitter keeps the backslash of a
// last quoted argument (a folder such as "C:\Out dir\"). Lines of one
// character or less are returned unchanged.
std::wstring repair_command_line(std::wstring line);

// Applies the stub options among argv[1..argc-1] to settings: ArgumentPrefix
// followed by "t" (TargetDirectory becomes the next argument), "d", "d-"
// (Cleanup on, off), "e", "e-" (ShowErrors on, off). The first argument that
// does not begin with the prefix ends the options. Returns the index of the
// first pass-through argument (argc when there is none). Raises
// stub_option_error "Unrecognized command line argument " or "Missing value
// for argument " with the argument as typed (ANSI code page).
std::size_t apply_overrides(sfx::sfx_settings& settings, std::size_t argc, const wchar_t* const argv[]);

// argv[first..argc-1] joined by single spaces, each written by
// quote_argument for reader, so that the launched program reads back exactly
// these arguments. Empty when first >= argc. For a command script, raises
// command_script_error "The argument ARG cannot be passed on to a command
// script: ..." (ANSI code page) when an argument fails
// can_pass_to_command_script.
std::wstring pass_through_text(std::size_t argc, const wchar_t* const argv[], std::size_t first,
                               argument_reader reader);

}  // namespace unfurler
