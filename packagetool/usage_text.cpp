#include "usage_text.h"

#include <cstdio>

namespace {
// The texts are printed one after the other; a text without a final line end
// continues on the same line as the next.
const char* const kUsageTexts[] = {
    "Usage: Parcelor <method> [<options>] \n",
    "<method>::=<method_signal>!<working_package_file>\n",
    "<options>::=<option_symbol> <option_parameter>\n\n",
    "Where methods include:\n",
    "a, to archive/update the files in working folder into an package.\n",
    "   -o option has no influence on this method,\n",
    "   a!<filename> to specified the target package file.\n",
    "r, to replace files/folders in an archive,\n",
    "   add the files to package if the package doesn't include the files.\n",
    "   the target package file would be created in the output folder \n        with the same name of source package.\n",
    "   r!<filename> to specify the source zip file.\n",
    "d, to delete files/folders in an archive,\n",
    "   the deleted files are extracted to output folder. \n",
    "   the target package (without deleted files) is created in the output folder.\n",
    "   d!<filename> to specify the source zip file.\n",
    "   -w option has no influence on this method.\n",
    "   (NEW) Now this option supports wildcard match. \n  ",
    "   'E.g. to delete entire folder with its sub-directories, you can specify '-f com\\torvane\\*' where com is root folder in the package.\n",
    "   (NEW) To avoid folder or file from getting extracted, you can include ':NOEXTRACT' at the end of the filter.",
    "    e.g. '-f com\\torvane\\*:NOEXTRACT',This will only delete the folder from the package without extracting the files\n",
    "e, to extract all files/folders.:\n",
    "   e!<filename> to specify the source zip file.\n",
    "   files would be extracted to output folder,\n",
    "   -w option has no influence on this method.\n\n",
    "Where options include:\n",
    "-w, to sepecify the current working folder,\n",
    "    the current folder would be the working folder if no -w options.\n",
    "-o, to sepecific output folder,\n",
    "    all files/folders would be extracted to the folder on method e,\n",
    "    it would be the new output package file on method a,r,d.\n",
    "-f, to filter the files in the working folder to be handled,\n",
    "    now no wildcards supported, this tool is specific to VEKM package use.\n",
};
}  // namespace

void printUsage()
{
    for (const char* text : kUsageTexts)
        std::fputs(text, stdout);
}
