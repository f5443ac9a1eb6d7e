#include "entry_info.h"

#include <algorithm>
#include <iterator>

bool readEntryInfo(unzFile reader, unz_file_info64& info, EntryNameBuffer& name)
{
    std::fill(std::begin(name), std::end(name), '\0');
    return unzGetCurrentFileInfo64(reader, &info, name, kNameBufferLength, nullptr, 0, nullptr, 0) == UNZ_OK;
}

std::string fullEntryName(unzFile reader, const unz_file_info64& info, const char* shortName)
{
    if (!isNameCut(info))
        return shortName;
    std::string name(info.size_filename, '\0');
    unz_file_info64 again;
    if (unzGetCurrentFileInfo64(reader, &again, &name[0], static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
        return shortName;
    return name;
}
