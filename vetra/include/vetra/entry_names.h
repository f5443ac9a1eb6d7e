#pragma once
// The one safety rule for zip entry names (and other relative paths taken
// from outside input) that every program which writes files below a folder
// applies. Needs no Windows header, so it is fuzzed natively.

#include <string_view>

namespace vetra {

enum class entry_name_verdict {
    stays_inside,   // safe to join to the folder
    leads_outside,  // a root, UNC or drive prefix, a stream ':' or a parent level
    names_device,   // a level that opens a device (CON, NUL, COM1, ...) instead of a file
};

// Judges a relative path whose levels are separated by '\' or '/'. It leads
// outside when it starts with a separator (root or UNC), holds a ':' anywhere
// (a drive prefix or an alternate data stream), or has a level made only of
// dots and spaces with at least two dots (".." and the forms the system trims
// to it, such as "..." or ". ."). It names a device when any level is one of
// the reserved device names, in any case, with or without an extension and
// trailing spaces or dots ("con", "Nul.txt", "COM1 .log", "lpt9", "CONIN$").
// Narrow text is taken as bytes of the ANSI code page.
entry_name_verdict check_entry_name(std::string_view relative_path);
entry_name_verdict check_entry_name(std::wstring_view relative_path);

// True when one path level (no separators) is a reserved device name as
// described above.
bool is_device_name(std::string_view level);
bool is_device_name(std::wstring_view level);

}  // namespace vetra
