#include "archive_file_functions.h"

#include <windows.h>

namespace unfurler {

namespace {

bool read_file_at(void* context, std::uint64_t position, void* buffer, std::uint32_t size, std::uint32_t& read)
{
    const HANDLE file = static_cast<HANDLE>(context);
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(position);
    DWORD got = 0;
    const bool ok = ::SetFilePointerEx(file, distance, /* new position */ nullptr, FILE_BEGIN) &&
                    ::ReadFile(file, buffer, size, &got, /* overlapped */ nullptr);
    read = got;
    return ok;
}

bool file_size(void* context, std::uint64_t& size)
{
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(static_cast<HANDLE>(context), &length))
        return false;
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

int last_error(void* /*context*/)
{
    return static_cast<int>(::GetLastError());
}

int fail_negative_seek(void* /*context*/)
{
    ::SetLastError(ERROR_NEGATIVE_SEEK);
    return ERROR_NEGATIVE_SEEK;
}

}  // namespace

zlib_filefunc_def archive_file_functions(sfx_archive& archive)
{
    archive_read_state& state = archive.reading;
    state.source.context = archive.file.get();
    state.source.read_at = read_file_at;
    state.source.total_size = file_size;
    state.source.last_error = last_error;
    state.source.fail_negative_seek = fail_negative_seek;
    state.archive_offset = archive.archive_offset;
    return read_ahead_file_functions(state);
}

}  // namespace unfurler
