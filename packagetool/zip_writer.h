#pragma once
// Owner of a minizip writer: closes it on every way out.

#include "buffered_zip_io.h"

#include <minizip/zip.h>

#include <string>

class ZipWriter {
public:
    // Opens the package with the default file functions; check isOpen().
    // appendMode is APPEND_STATUS_CREATE or APPEND_STATUS_ADDINZIP.
    ZipWriter(const std::string& packagePath, int appendMode);
    ~ZipWriter() { close(); }
    ZipWriter(ZipWriter&& other) noexcept : writer_(other.writer_) { other.writer_ = nullptr; }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool isOpen() const { return writer_ != nullptr; }
    zipFile get() const { return writer_; }

    // Writes the central directory (no comment) and closes the file; returns
    // minizip's status (ZIP_OK when the package is complete). Later calls
    // return ZIP_OK and do nothing.
    int close()
    {
        if (!writer_)
            return ZIP_OK;
        const int status = zipClose(writer_, nullptr);
        writer_ = nullptr;
        return status;
    }

private:
    zipFile writer_;
};

inline ZipWriter::ZipWriter(const std::string& packagePath, int appendMode)
{
    zlib_filefunc64_def functions;
    fillBufferedZipFunctions(functions);
    writer_ = zipOpen2_64(packagePath.c_str(), appendMode, nullptr /* no global comment */, &functions);
}
