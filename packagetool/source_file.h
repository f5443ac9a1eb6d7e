#pragma once
// A source file of method a: opened for reading with no sharing, read in
// chunks, closed, and removed by path. Every failure throws SourceFileError
// with the Windows error code.

#include <vetra/unique_handle.h>

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

class SourceFileError : public std::runtime_error {
public:
    explicit SourceFileError(DWORD errorCode)
        : std::runtime_error("source file operation failed"), errorCode_(errorCode)
    {
    }
    DWORD errorCode() const { return errorCode_; }

private:
    DWORD errorCode_;
};

class SourceFile {
public:
    // Opens an existing file for reading; fails while any other handle to the
    // file is open.
    explicit SourceFile(const std::string& path);

    // The file's size in bytes.
    std::uint64_t size() const;

    // Reads up to count bytes; returns the number read, 0 at the end.
    std::size_t read(void* buffer, std::size_t count);

    // Closes the file; later calls do nothing.
    void close();

    // Deletes the file at path.
    static void remove(const std::string& path);

private:
    vetra::unique_file file_;
};
