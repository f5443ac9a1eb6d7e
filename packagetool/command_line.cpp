#include "command_line.h"

#include "text_helpers.h"

#include <cstring>

namespace {

bool isOption(const char* argument)
{
    return std::strcmp(argument, "-w") == 0 || std::strcmp(argument, "-o") == 0 ||
           std::strcmp(argument, "-f") == 0;
}

bool isMethodLetter(char c)
{
    return c == 'a' || c == 'r' || c == 'd' || c == 'e';
}

}  // namespace

std::optional<PackageCommand> readCommandLine(int argc, const char* const* argv)
{
    if (argc < 2)
        return std::nullopt;
    const char* methodArgument = argv[1];
    if (!isMethodLetter(methodArgument[0]))
        return std::nullopt;

    PackageCommand command;
    bool haveFilters = false;
    int i = 2;
    while (i < argc) {
        if (i + 1 >= argc || isOption(argv[i + 1]))
            return std::nullopt;  // an option without a value
        const char* option = argv[i];
        if (std::strcmp(option, "-w") == 0 || std::strcmp(option, "-o") == 0) {
            auto& slot = option[1] == 'w' ? command.workingFolder : command.outputFolder;
            // An empty folder (an unset script variable) would mean the root
            // of the current drive: rejected like a missing value.
            if (slot || argv[i + 1][0] == '\0')
                return std::nullopt;
            slot = argv[i + 1];
            i += 2;
        } else if (std::strcmp(option, "-f") == 0) {
            if (haveFilters)
                return std::nullopt;
            haveFilters = true;
            for (++i; i < argc && !isOption(argv[i]); ++i)
                command.filterTexts.emplace_back(argv[i]);
        } else {
            return std::nullopt;
        }
    }

    // The form of the method argument is checked only once the options were read.
    if (std::strlen(methodArgument) < 3 || methodArgument[1] != '!')
        return std::nullopt;
    command.method = methodArgument[0];
    command.packagePath = methodArgument + 2;

    replaceChar(command.packagePath, '/', '\\');
    if (command.workingFolder)
        replaceChar(*command.workingFolder, '/', '\\');
    if (command.outputFolder)
        replaceChar(*command.outputFolder, '/', '\\');
    return command;
}
