#pragma once
// File functions for minizip's reader and writer over Windows files with one
// large buffer. minizip seeks before nearly every read and writes headers a
// few bytes at a time; through this buffer those become few system calls.
// Files are opened as the C runtime's fopen opens them (ANSI paths, shared
// for reading and writing).

#include <minizip/ioapi.h>

#include <cstddef>
#include <string>
#include <vector>

class BufferedFile;

// What the file functions record about the one package file that a writer
// has open, and the means to undo what was written to it. A writer hands it
// to the functions as their opaque pointer.
class PackageFileWatch {
public:
    // With keepOriginal, every byte of an existing file is kept in memory
    // before it is first overwritten (an append overwrites only the old
    // central directory and end record), so the file can be put back.
    explicit PackageFileWatch(bool keepOriginal) : keepOriginal_(keepOriginal) {}
    PackageFileWatch(const PackageFileWatch&) = delete;
    PackageFileWatch& operator=(const PackageFileWatch&) = delete;

    // True once a read, write, seek, flush or close of the file failed. From
    // then on every write is refused, so nothing more reaches the file.
    bool failed() const { return failed_; }

    // Writes bytes at the position where minizip writes next (between two
    // entries: a data descriptor); false on failure.
    bool writeHere(const void* bytes, std::size_t size);

    // After the file was closed: cuts the file at path back to its length at
    // opening and writes the kept bytes back. True when the file is as it was
    // before; false when it could not be opened or written.
    bool putBack(const std::string& path) const;

private:
    friend class BufferedFile;

    bool keepOriginal_;
    bool failed_ = false;
    BufferedFile* open_ = nullptr;  // the file while it is open
    bool opened_ = false;           // an existing file was opened and its length read
    unsigned long long originalSize_ = 0;
    unsigned long long keptStart_ = 0;  // kept_ holds the original bytes [keptStart_, originalSize_)
    std::vector<char> kept_;
};

// Fills functions with the buffered file functions; watch (may be null) is
// told about the file that they open.
void fillBufferedZipFunctions(zlib_filefunc64_def& functions, PackageFileWatch* watch = nullptr);
