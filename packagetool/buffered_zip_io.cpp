#include "buffered_zip_io.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}  // namespace

// One open file: a buffer that holds either bytes read ahead from
// [start, start + length) or bytes written there and not yet flushed.
class BufferedFile {
public:
    // Takes over file; watch (may be null) follows it while it is open.
    BufferedFile(HANDLE file, PackageFileWatch* watch, bool existing) : file_(file), buffer_(kBufferSize), watch_(watch)
    {
        if (!watch_)
            return;
        watch_->open_ = this;
        LARGE_INTEGER size;
        if (existing && ::GetFileSizeEx(file_.get(), &size)) {
            watch_->opened_ = true;
            watch_->originalSize_ = static_cast<unsigned long long>(size.QuadPart);
            watch_->keptStart_ = watch_->originalSize_;
        } else if (existing) {
            markFailed();
        }
    }
    ~BufferedFile()
    {
        flush();
        if (watch_)
            watch_->open_ = nullptr;
    }

    std::size_t read(void* destination, std::size_t size)
    {
        auto* out = static_cast<char*>(destination);
        std::size_t done = 0;
        while (done < size) {
            if (!holds(position_)) {
                if (!flush())
                    break;
                if (size - done >= buffer_.size()) {  // large reads bypass the buffer
                    const std::size_t got = readAt(position_, out + done, size - done);
                    done += got;
                    position_ += got;
                    break;
                }
                start_ = position_;
                length_ = readAt(start_, buffer_.data(), buffer_.size());
                if (length_ == 0)
                    break;
            }
            const std::size_t offset = static_cast<std::size_t>(position_ - start_);
            const std::size_t count = std::min(size - done, length_ - offset);
            std::memcpy(out + done, buffer_.data() + offset, count);
            done += count;
            position_ += count;
        }
        return done;
    }

    std::size_t write(const void* source, std::size_t size)
    {
        if (failed_)
            return 0;  // after a failure nothing more reaches the file
        const auto* in = static_cast<const char*>(source);
        // The buffer takes the bytes when they continue or overwrite what it
        // holds for writing; otherwise it is flushed and starts anew here.
        const bool continues = dirty_ && position_ >= start_ && position_ <= start_ + length_ &&
                               position_ + size <= start_ + buffer_.size();
        if (!continues) {
            if (!flush())
                return 0;
            length_ = 0;
            start_ = position_;
            if (size >= buffer_.size()) {
                const bool written = writeAt(position_, in, size);
                if (!written)
                    return 0;
                position_ += size;
                return size;
            }
        }
        const std::size_t offset = static_cast<std::size_t>(position_ - start_);
        std::memcpy(buffer_.data() + offset, in, size);
        length_ = std::max(length_, offset + size);
        dirty_ = true;
        position_ += size;
        return size;
    }

    ZPOS64_T tell() const { return position_; }

    bool seek(ZPOS64_T offset, int origin)
    {
        switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            position_ = offset;
            return true;
        case ZLIB_FILEFUNC_SEEK_CUR:
            position_ += offset;
            return true;
        case ZLIB_FILEFUNC_SEEK_END: {
            LARGE_INTEGER size;
            if (!::GetFileSizeEx(file_.get(), &size)) {
                markFailed();
                return false;
            }
            auto end = static_cast<ZPOS64_T>(size.QuadPart);
            if (dirty_)
                end = std::max<ZPOS64_T>(end, start_ + length_);
            position_ = end + offset;
            return true;
        }
        default:
            return false;
        }
    }

    // Writes out what the buffer holds for writing; false on failure.
    bool flush()
    {
        if (dirty_) {
            dirty_ = false;
            if (!writeAt(start_, buffer_.data(), length_))
                return false;
        }
        length_ = 0;
        return true;
    }

    bool close()
    {
        const bool flushed = flush();
        const bool closed = ::CloseHandle(file_.release()) != 0;
        if (!closed)
            markFailed();
        return flushed && closed && !failed_;
    }

    bool failed() const { return failed_; }

private:
    bool holds(ZPOS64_T position) const { return length_ > 0 && position >= start_ && position < start_ + length_; }

    void markFailed()
    {
        failed_ = true;
        if (watch_)
            watch_->failed_ = true;
    }

    // Before bytes at offset are first overwritten, the watch of an append
    // keeps the original bytes from there to where it already kept them.
    bool keepOriginal(ZPOS64_T offset)
    {
        if (!watch_ || !watch_->keepOriginal_ || !watch_->opened_ || offset >= watch_->keptStart_)
            return true;
        // An append overwrites only the old central directory; a range that
        // does not fit memory is refused rather than overwritten unkept.
        if (watch_->keptStart_ - offset > std::numeric_limits<std::size_t>::max() / 2)
            return false;
        try {
            std::vector<char> original(static_cast<std::size_t>(watch_->keptStart_ - offset));
            if (readAt(offset, original.data(), original.size()) != original.size())
                return false;
            original.insert(original.end(), watch_->kept_.begin(), watch_->kept_.end());
            watch_->kept_.swap(original);
            watch_->keptStart_ = offset;
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    std::size_t readAt(ZPOS64_T offset, char* destination, std::size_t size)
    {
        if (!moveTo(offset))
            return 0;
        std::size_t done = 0;
        while (done < size) {
            DWORD got = 0;
            const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            if (!::ReadFile(file_.get(), destination + done, ask, &got, nullptr)) {
                markFailed();
                break;
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    bool writeAt(ZPOS64_T offset, const char* source, std::size_t size)
    {
        if (failed_ || !keepOriginal(offset) || !moveTo(offset)) {
            markFailed();
            return false;
        }
        std::size_t done = 0;
        while (done < size) {
            DWORD put = 0;
            const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            if (!::WriteFile(file_.get(), source + done, ask, &put, nullptr) || put == 0) {
                markFailed();
                return false;
            }
            done += put;
        }
        return true;
    }

    bool moveTo(ZPOS64_T offset)
    {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN))
            return true;
        markFailed();
        return false;
    }

    vetra::unique_file file_;
    std::vector<char> buffer_;
    ZPOS64_T start_ = 0;     // file offset of the buffer's first byte
    std::size_t length_ = 0; // bytes the buffer holds
    bool dirty_ = false;     // they were written and are not in the file yet
    ZPOS64_T position_ = 0;
    bool failed_ = false;
    PackageFileWatch* watch_;
};

namespace {

BufferedFile* asFile(voidpf stream)
{
    return static_cast<BufferedFile*>(stream);
}

voidpf ZCALLBACK openFile(voidpf opaque, const void* path, int mode)
{
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
        access = GENERIC_READ;
    } else if (mode & ZLIB_FILEFUNC_MODE_EXISTING) {
        access = GENERIC_READ | GENERIC_WRITE;
    } else if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    } else {
        return nullptr;
    }
    if (path == nullptr)
        return nullptr;
    vetra::unique_file file(::CreateFileA(static_cast<const char*>(path), access,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE /* as fopen shares */, nullptr,
                                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    try {
        return new BufferedFile(file.release(), static_cast<PackageFileWatch*>(opaque),
                                disposition == OPEN_EXISTING && (access & GENERIC_WRITE) != 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

uLong ZCALLBACK readFile(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(asFile(stream)->read(buffer, size));
}

uLong ZCALLBACK writeFile(voidpf, voidpf stream, const void* buffer, uLong size)
{
    return static_cast<uLong>(asFile(stream)->write(buffer, size));
}

ZPOS64_T ZCALLBACK tellFile(voidpf, voidpf stream)
{
    return asFile(stream)->tell();
}

long ZCALLBACK seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    return asFile(stream)->seek(offset, origin) ? 0 : -1;
}

int ZCALLBACK closeFile(voidpf, voidpf stream)
{
    std::unique_ptr<BufferedFile> file(asFile(stream));
    return file->close() ? 0 : EOF;
}

int ZCALLBACK testError(voidpf, voidpf stream)
{
    return asFile(stream)->failed() ? 1 : 0;
}

}  // namespace

bool PackageFileWatch::writeHere(const void* bytes, std::size_t size)
{
    return open_ != nullptr && open_->write(bytes, size) == size;
}

bool PackageFileWatch::putBack(const std::string& path) const
{
    if (!opened_ || open_ != nullptr)
        return false;
    const vetra::unique_file file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    // Cutting first gives back the space the append took before the kept
    // bytes are written into the file's old extent.
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(originalSize_);
    if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get()))
        return false;
    at.QuadPart = static_cast<LONGLONG>(keptStart_);
    if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN))
        return false;
    std::size_t done = 0;
    while (done < kept_.size()) {
        DWORD put = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(kept_.size() - done, 1u << 30));
        if (!::WriteFile(file.get(), kept_.data() + done, ask, &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return true;
}

void fillBufferedZipFunctions(zlib_filefunc64_def& functions, PackageFileWatch* watch)
{
    functions.zopen64_file = openFile;
    functions.zread_file = readFile;
    functions.zwrite_file = writeFile;
    functions.ztell64_file = tellFile;
    functions.zseek64_file = seekFile;
    functions.zclose_file = closeFile;
    functions.zerror_file = testError;
    functions.opaque = watch;
}
