#pragma once
// Reading the current entry's information from a minizip reader.

#include <minizip/unzip.h>

#include <string>

// Entry names are read into a buffer of this many characters plus a
// terminator; a longer name arrives cut.
constexpr int kNameBufferLength = 260;
using EntryNameBuffer = char[kNameBufferLength + 1];

// Clears the name buffer and reads the current entry's information and name;
// false when the reader cannot.
bool readEntryInfo(unzFile reader, unz_file_info64& info, EntryNameBuffer& name);

// True when the name did not fit the buffer.
inline bool isNameCut(const unz_file_info64& info)
{
    return info.size_filename > kNameBufferLength;
}

// The current entry's whole name, however long; shortName when it fits the
// buffer or cannot be read again.
std::string fullEntryName(unzFile reader, const unz_file_info64& info, const char* shortName);
