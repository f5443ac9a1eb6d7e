#pragma once
// Owner of a minizip writer: closes it on every way out.

#include "buffered_zip_io.h"

#include <minizip/zip.h>

#include <memory>
#include <string>
#include <utility>

class ZipWriter {
public:
    // Opens the package with the buffered file functions; check isOpen().
    // appendMode is APPEND_STATUS_CREATE or APPEND_STATUS_ADDINZIP; when
    // appending, the bytes that the new entries overwrite are kept so that
    // closeWholeOrNothing can put the package back as it was.
    ZipWriter(const std::string& packagePath, int appendMode);
    ~ZipWriter() { close(); }
    ZipWriter(ZipWriter&& other) noexcept
        : path_(std::move(other.path_)),
          appending_(other.appending_),
          watch_(std::move(other.watch_)),
          writer_(other.writer_)
    {
        other.writer_ = nullptr;
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool isOpen() const { return writer_ != nullptr; }
    zipFile get() const { return writer_; }

    // True once a write to the package failed; nothing more is written then.
    bool failed() const { return watch_->failed(); }

    // Writes bytes where the next entry would begin (a data descriptor behind
    // the entry just closed); false on failure.
    bool writeBetweenEntries(const void* bytes, std::size_t size) { return watch_->writeHere(bytes, size); }

    // Writes the central directory (no comment) and closes the file; returns
    // minizip's status (ZIP_OK when the package is complete). Later calls
    // return ZIP_OK and do nothing.
    int close();

    enum class Outcome {
        complete,  // every entry and the central directory were written
        putBack,   // an append failed; the package is byte for byte as it was
        removed,   // a new package failed and was deleted
        damaged,   // it failed and could be neither put back nor deleted
    };

    // Closes as close() does; when anything failed (earlierFailure is not
    // ZIP_OK, a write failed, or closing failed) an appended package is put
    // back as it was at opening and a new one is deleted. status receives the
    // first failure (ZIP_OK when complete).
    Outcome closeWholeOrNothing(int earlierFailure, int& status);

private:
    std::string path_;
    bool appending_;
    std::unique_ptr<PackageFileWatch> watch_;  // minizip's file functions point at it
    zipFile writer_;
};
