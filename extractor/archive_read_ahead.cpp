#include "archive_read_ahead.h"

#include <algorithm>
#include <cstring>

namespace unfurler {

namespace {

archive_read_state& reader(voidpf opaque)
{
    return *static_cast<archive_read_state*>(opaque);
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
constexpr std::uint32_t read_ahead_size = 65536;

uLong ZCALLBACK read_archive(voidpf opaque, voidpf /*stream*/, void* buffer, uLong size)
{
    archive_read_state& state = reader(opaque);
    const archive_byte_source& source = state.source;
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
        std::uint32_t read = 0;
        if (size - done >= direct_read_size) {
            if (!source.read_at(source.context, state.position, out + done, static_cast<std::uint32_t>(size - done),
                                read)) {
                state.error = source.last_error(source.context);
                return static_cast<uLong>(-1);
            }
            done += read;
            state.position += read;
            break;
        }
        state.block.resize(read_ahead_size);
        if (!source.read_at(source.context, state.position, state.block.data(), read_ahead_size, read)) {
            state.error = source.last_error(source.context);
            state.block.clear();
            return static_cast<uLong>(-1);
        }
        state.block.resize(read);
        state.block_start = state.position;
        if (read == 0)
            break;  // end of the source
    }
    return done;
}

uLong ZCALLBACK write_archive(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/)
{
    return 0;
}

long ZCALLBACK tell_archive(voidpf opaque, voidpf /*stream*/)
{
    const archive_read_state& state = reader(opaque);
    return static_cast<long>(state.position - state.archive_offset);
}

long ZCALLBACK seek_archive(voidpf opaque, voidpf /*stream*/, uLong offset, int origin)
{
    archive_read_state& state = reader(opaque);
    // The reader's 32-bit offsets move backwards as negative values when
    // relative to the current position or the end.
    const auto relative = static_cast<long long>(static_cast<long>(offset));
    long long target = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        target = static_cast<long long>(state.archive_offset) + offset;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        target = static_cast<long long>(state.position) + relative;
        break;
    case ZLIB_FILEFUNC_SEEK_END: {
        std::uint64_t size = 0;
        if (!state.source.total_size(state.source.context, size)) {
            state.error = state.source.last_error(state.source.context);
            return -1;
        }
        target = static_cast<long long>(size) + relative;
        break;
    }
    default:
        return -1;
    }
    if (target < 0) {
        state.error = state.source.fail_negative_seek(state.source.context);
        return -1;
    }
    state.position = static_cast<std::uint64_t>(target);
    return 0;
}

int ZCALLBACK close_archive(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

int ZCALLBACK archive_error(voidpf opaque, voidpf /*stream*/)
{
    return reader(opaque).error;
}

}  // namespace

zlib_filefunc_def read_ahead_file_functions(archive_read_state& state)
{
    zlib_filefunc_def functions{};
    functions.zopen_file = open_archive;
    functions.zread_file = read_archive;
    functions.zwrite_file = write_archive;
    functions.ztell_file = tell_archive;
    functions.zseek_file = seek_archive;
    functions.zclose_file = close_archive;
    functions.zerror_file = archive_error;
    functions.opaque = &state;
    return functions;
}

}  // namespace unfurler
