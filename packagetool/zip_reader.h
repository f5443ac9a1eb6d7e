#pragma once
// Owner of a minizip reader: closes it on every way out.

#include <minizip/unzip.h>

#include <string>

class ZipReader {
public:
    // Opens the package with the default file functions; check isOpen().
    explicit ZipReader(const std::string& packagePath);
    ~ZipReader()
    {
        if (reader_)
            unzClose(reader_);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // True for a zip archive, including one without entries. The reader
    // cannot open the latter itself; get() is then null, which every minizip
    // call answers as an empty list.
    bool isOpen() const { return reader_ != nullptr || empty_; }
    unzFile get() const { return reader_; }

private:
    unzFile reader_;
    bool empty_ = false;
};

// True when the file is a zip archive without entries: nothing but the
// end-of-central-directory record and its comment.
bool isEmptyZipArchive(const std::string& path);
