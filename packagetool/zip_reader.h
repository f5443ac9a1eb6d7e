#pragma once
// Owner of a minizip reader: closes it on every way out.

#include <minizip/unzip.h>

#include <string>

class ZipReader {
public:
    // Opens the package with the default file functions; check isOpen().
    explicit ZipReader(const std::string& packagePath) : reader_(unzOpen(packagePath.c_str())) {}
    ~ZipReader()
    {
        if (reader_)
            unzClose(reader_);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool isOpen() const { return reader_ != nullptr; }
    unzFile get() const { return reader_; }

private:
    unzFile reader_;
};
