#include "archive_file_functions.h"

#include <windows.h>

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

uLong ZCALLBACK read_archive(voidpf opaque, voidpf /*stream*/, void* buffer, uLong size)
{
    DWORD read = 0;
    if (!::ReadFile(container(opaque).file.get(), buffer, size, &read, /* overlapped */ nullptr))
        return static_cast<uLong>(-1);
    return read;
}

uLong ZCALLBACK write_archive(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/)
{
    return 0;
}

long ZCALLBACK tell_archive(voidpf opaque, voidpf /*stream*/)
{
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(container(opaque).file.get(), LARGE_INTEGER{}, &position, FILE_CURRENT))
        return -1;
    return static_cast<long>(position.QuadPart - container(opaque).archive_offset);
}

long ZCALLBACK seek_archive(voidpf opaque, voidpf /*stream*/, uLong offset, int origin)
{
    LARGE_INTEGER distance{};
    DWORD method = FILE_BEGIN;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        distance.QuadPart = static_cast<LONGLONG>(container(opaque).archive_offset) + offset;
        method = FILE_BEGIN;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        // The reader's 32-bit offsets move backwards as negative values.
        distance.QuadPart = static_cast<long>(offset);
        method = FILE_CURRENT;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        distance.QuadPart = static_cast<long>(offset);
        method = FILE_END;
        break;
    default:
        return -1;
    }
    if (!::SetFilePointerEx(container(opaque).file.get(), distance, /* new position */ nullptr, method))
        return -1;
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
