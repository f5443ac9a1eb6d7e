#include "archive_file_functions.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace unfurler {

namespace {

sfx_archive& container(voidpf opaque)
{
    return *static_cast<sfx_archive*>(opaque);
}

voidpf ZCALLBACK open_archive(voidpf opaque, const char* /*filename*/, int mode)
{
    const int allowed = ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING;
    if ((mode & ZLIB_FILEFUNC_MODE_READ) == 0 || (mode & ~allowed) != 0)
        return nullptr;
    return opaque;
}

// Reads of at least this size go straight into the caller's buffer; smaller
// ones are served from a read-ahead block of read_ahead_size bytes.
constexpr std::size_t direct_read_size = 16384;
constexpr DWORD read_ahead_size = 65536;

bool read_at(HANDLE file, std::uint64_t position, void* buffer, DWORD size, DWORD& read)
{
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(position);
    return ::SetFilePointerEx(file, distance, /* new position */ nullptr, FILE_BEGIN) &&
           ::ReadFile(file, buffer, size, &read, /* overlapped */ nullptr);
}

uLong ZCALLBACK read_archive(voidpf opaque, voidpf /*stream*/, void* buffer, uLong size)
{
    sfx_archive& archive = container(opaque);
    archive_read_state& state = archive.reading;
    auto* out = static_cast<unsigned char*>(buffer);
    uLong done = 0;
    while (done < size) {
        const std::uint64_t block_end = state.block_start + state.block.size();
        if (state.position >= state.block_start && state.position < block_end) {
            const auto available = static_cast<uLong>(block_end - state.position);
            const uLong take = std::min(available, size - done);
            std::memcpy(out + done, state.block.data() + (state.position - state.block_start), take);
            done += take;
            state.position += take;
            continue;
        }
        DWORD read = 0;
        if (size - done >= direct_read_size) {
            if (!read_at(archive.file.get(), state.position, out + done, size - done, read))
                return static_cast<uLong>(-1);
            done += read;
            state.position += read;
            break;
        }
        state.block.resize(read_ahead_size);
        if (!read_at(archive.file.get(), state.position, state.block.data(), read_ahead_size, read)) {
            state.block.clear();
            return static_cast<uLong>(-1);
        }
        state.block.resize(read);
        state.block_start = state.position;
        if (read == 0)
            break;  // end of file
    }
    return done;
}

uLong ZCALLBACK write_archive(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/)
{
    return 0;
}

long ZCALLBACK tell_archive(voidpf opaque, voidpf /*stream*/)
{
    const sfx_archive& archive = container(opaque);
    return static_cast<long>(archive.reading.position - archive.archive_offset);
}

long ZCALLBACK seek_archive(voidpf opaque, voidpf /*stream*/, uLong offset, int origin)
{
    sfx_archive& archive = container(opaque);
    // The reader's 32-bit offsets move backwards as negative values when
    // relative to the current position or the end.
    const auto relative = static_cast<long long>(static_cast<long>(offset));
    long long target = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        target = static_cast<long long>(archive.archive_offset) + offset;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        target = static_cast<long long>(archive.reading.position) + relative;
        break;
    case ZLIB_FILEFUNC_SEEK_END: {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(archive.file.get(), &size))
            return -1;
        target = size.QuadPart + relative;
        break;
    }
    default:
        return -1;
    }
    if (target < 0) {
        ::SetLastError(ERROR_NEGATIVE_SEEK);
        return -1;
    }
    archive.reading.position = static_cast<std::uint64_t>(target);
    return 0;
}

int ZCALLBACK close_archive(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

int ZCALLBACK archive_error(voidpf /*opaque*/, voidpf /*stream*/)
{
    return static_cast<int>(::GetLastError());
}

}  // namespace

zlib_filefunc_def archive_file_functions(sfx_archive& archive)
{
    zlib_filefunc_def functions{};
    functions.zopen_file = open_archive;
    functions.zread_file = read_archive;
    functions.zwrite_file = write_archive;
    functions.ztell_file = tell_archive;
    functions.zseek_file = seek_archive;
    functions.zclose_file = close_archive;
    functions.zerror_file = archive_error;
    functions.opaque = &archive;
    return functions;
}

}  // namespace unfurler
