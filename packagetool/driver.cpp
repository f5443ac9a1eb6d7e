#include "driver.h"

#include "command_line.h"
#include "entry_filters.h"
#include "package_methods.h"
#include "text_helpers.h"
#include "usage_text.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace {

// Lists the filter texts, rewriting '/' to '\' in each, as the methods will
// see them.
void listFilters(std::vector<std::string>& filterTexts)
{
    std::printf("Tool will use following filters: \n");
    int index = 0;
    for (auto& text : filterTexts) {
        replaceChar(text, '/', '\\');
        std::printf("%d: %s\n", index++, text.c_str());
    }
}

int dispatch(PackageCommand& command)
{
    listFilters(command.filterTexts);
    const FilterList filters(command.filterTexts);
    CreatedFolders createdFolders;
    switch (command.method) {
    case 'a':
        return archiveFolder(createdFolders, command.packagePath, command.workingFolder, command.filterTexts);
    case 'r':
        return replaceEntries(createdFolders, command.packagePath, command.workingFolder,
                              command.outputFolder, command.filterTexts);
    case 'd':
        return deleteEntries(command.packagePath, command.outputFolder, filters);
    default:
        return extractPackage(createdFolders, command.packagePath, command.outputFolder, command.filterTexts);
    }
}

}  // namespace

int runParcelor(int argc, const char* const* argv)
{
    try {
        auto command = readCommandLine(argc, argv);
        if (!command) {
            std::printf("Incorrect command line, see the syntax below: \n\n");
            printUsage();
            return 0;
        }
        dispatch(*command);
        return 0;
    } catch (const std::length_error&) {
    } catch (const std::bad_alloc&) {
    }
    std::printf("Failed to run this tool due to length error...");
    return -1;
}
