#pragma once
// Telling whether two paths name one file or folder, so that no method writes
// over what it is reading.

#include <windows.h>

#include <string>

// What identifies an open file or folder on its volume.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool known = false;  // false when the identity could not be read

    unsigned long long index() const { return (static_cast<unsigned long long>(indexHigh) << 32) | indexLow; }

    bool sameAs(const FileIdentity& other) const
    {
        return known && other.known && volume == other.volume && indexHigh == other.indexHigh &&
               indexLow == other.indexLow;
    }
};

// The identity of an existing file or folder at path; not known when it
// cannot be opened.
FileIdentity identityOf(const std::string& path);

// The identity of an open file; not known when the system cannot tell it.
FileIdentity identityOf(HANDLE file);

// The file index of an open file alone, without its volume: far cheaper to
// read where the volume serial costs a trip to the system (Wine). False when
// the system cannot tell it.
bool fileIndexOf(HANDLE file, unsigned long long& index);

// The full path of path (relative to the current folder), without a trailing
// '\' unless it is a root; empty when the system cannot form it.
std::string fullPathOf(const std::string& path);

// True when both paths name one file or folder: the same full path (letters
// compared without regard to case, a trailing '\' ignored), or, when both
// exist, the same file index on the same volume (links, short names).
bool isSameFile(const std::string& first, const std::string& second);
