#pragma once
// Turning a zip entry name into a path below the target folder. Whether a
// name is safe at all is vetra::check_entry_name's one rule. Needs no Windows
// header.

#include <string>
#include <string_view>

namespace unfurler {

// Where an entry goes below the target folder.
struct entry_path {
    // The name with every '/' turned into '\' and its "." levels and empty
    // levels (doubled separators) dropped; no leading or trailing backslash.
    // Empty when the entry names the target folder itself ("./").
    std::wstring relative;
    // The entry is a folder entry: its name ends in '/' or '\'.
    bool folder = false;
};

// The path below the target folder that an entry name gives. Nothing is
// checked here: pass only names that vetra::check_entry_name lets through.
entry_path entry_relative_path(std::wstring_view name);

}  // namespace unfurler
