#pragma once
// The command line of Parcelor:
//   Parcelor <method>!<package> [-w <folder>] [-o <folder>] [-f <filter> ...]

#include <optional>
#include <string>
#include <vector>

struct PackageCommand {
    char method = 0;                          // 'a', 'r', 'd' or 'e'
    std::string packagePath;                  // '/' already made '\'
    std::optional<std::string> workingFolder; // -w, '/' already made '\'
    std::optional<std::string> outputFolder;  // -o, '/' already made '\'
    std::vector<std::string> filterTexts;     // -f, as given
};

// Reads argv[1..argc-1]. Returns nothing when the command line is rejected;
// the caller prints the usage text then.
std::optional<PackageCommand> readCommandLine(int argc, const char* const* argv);
