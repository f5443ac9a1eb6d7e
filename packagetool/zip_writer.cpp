#include "zip_writer.h"

#include <windows.h>

ZipWriter::ZipWriter(const std::string& packagePath, int appendMode)
    : path_(packagePath),
      appending_(appendMode == APPEND_STATUS_ADDINZIP),
      watch_(std::make_unique<PackageFileWatch>(appending_)),
      writer_(nullptr)
{
    zlib_filefunc64_def functions;
    fillBufferedZipFunctions(functions, watch_.get());
    writer_ = zipOpen2_64(packagePath.c_str(), appendMode, nullptr /* no global comment */, &functions);
}

int ZipWriter::close()
{
    if (!writer_)
        return ZIP_OK;
    const int status = zipClose(writer_, nullptr);
    writer_ = nullptr;
    // A failed write that minizip did not see (a buffered flush) still fails.
    return status == ZIP_OK && watch_->failed() ? ZIP_ERRNO : status;
}

ZipWriter::Outcome ZipWriter::closeWholeOrNothing(int earlierFailure, int& status)
{
    const int closeStatus = close();
    status = earlierFailure != ZIP_OK ? earlierFailure : closeStatus;
    if (status == ZIP_OK)
        return Outcome::complete;
    if (appending_)
        return watch_->putBack(path_) ? Outcome::putBack : Outcome::damaged;
    return ::DeleteFileA(path_.c_str()) ? Outcome::removed : Outcome::damaged;
}
