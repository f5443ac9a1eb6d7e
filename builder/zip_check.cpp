#include "zip_check.h"

#include <vetra/text_conversion.h>

#include <minizip/unzip.h>

#include <cstdint>
#include <memory>
#include <string>

namespace stubsmith {

namespace {

// The zip reader's view of the already open file: read-only, the handle stays
// open when the reader closes.
voidpf ZCALLBACK open_zip(voidpf opaque, const char* /*filename*/, int mode)
{
    return (mode & ZLIB_FILEFUNC_MODE_WRITE) != 0 ? nullptr : opaque;
}

uLong ZCALLBACK read_zip(voidpf opaque, voidpf /*stream*/, void* buffer, uLong size)
{
    DWORD read = 0;
    if (!::ReadFile(static_cast<HANDLE>(opaque), buffer, size, &read, nullptr /* synchronous */))
        return static_cast<uLong>(-1);
    return read;
}

uLong ZCALLBACK write_zip(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/)
{
    return 0;
}

long ZCALLBACK tell_zip(voidpf opaque, voidpf /*stream*/)
{
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(static_cast<HANDLE>(opaque), LARGE_INTEGER{}, &position, FILE_CURRENT))
        return -1;
    return static_cast<long>(position.QuadPart);
}

long ZCALLBACK seek_zip(voidpf opaque, voidpf /*stream*/, uLong offset, int origin)
{
    // The zip is below 2 GiB (checked before), so the reader's 32-bit offsets
    // move backwards as negative values from the current position or the end.
    LARGE_INTEGER distance{};
    DWORD method = FILE_BEGIN;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        distance.QuadPart = static_cast<LONGLONG>(offset);
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
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
    return ::SetFilePointerEx(static_cast<HANDLE>(opaque), distance, nullptr, method) ? 0 : -1;
}

int ZCALLBACK close_zip(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

int ZCALLBACK zip_error(voidpf /*opaque*/, voidpf /*stream*/)
{
    return static_cast<int>(::GetLastError());
}

struct zip_closer {
    void operator()(unzFile zip) const { unzClose(zip); }
};

// The first four bytes of the file, fewer when it is shorter.
std::string leading_bytes(HANDLE zip)
{
    char bytes[4] = {};
    DWORD read = 0;
    if (!::SetFilePointerEx(zip, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !::ReadFile(zip, bytes, sizeof bytes, &read, nullptr /* synchronous */))
        return {};
    return std::string(bytes, read);
}

}  // namespace

void check_zip_readable(HANDLE zip, const std::wstring& zip_path)
{
    const std::string name = vetra::to_narrow(zip_path, CP_ACP);
    const std::string start = leading_bytes(zip);
    // A zip without entries is its end record alone.
    if (start == std::string("PK\x05\x06", 4))
        throw unreadable_zip_error("The zip file " + name + " holds no entries.");
    // The stub finds the archive by the signature of its first local header.
    if (start != std::string("PK\x03\x04", 4))
        throw unreadable_zip_error("The zip file " + name + " does not start with a local file header.");

    zlib_filefunc_def functions{};
    functions.zopen_file = open_zip;
    functions.zread_file = read_zip;
    functions.zwrite_file = write_zip;
    functions.ztell_file = tell_zip;
    functions.zseek_file = seek_zip;
    functions.zclose_file = close_zip;
    functions.zerror_file = zip_error;
    functions.opaque = zip;
    const std::unique_ptr<void, zip_closer> reader(unzOpen2(/* path */ nullptr, &functions));
    // The count in 64 bits, as the stub reads it: a Zip64 count read in 32
    // bits could pass a damaged directory off as an empty one.
    unz_global_info64 global{};
    if (!reader || unzGetGlobalInfo64(reader.get(), &global) != UNZ_OK)
        throw unreadable_zip_error("The central directory of the zip file " + name + " cannot be read.");
    if (global.number_entry == 0)
        throw unreadable_zip_error("The zip file " + name + " holds no entries.");

    for (std::uint64_t index = 0; index < global.number_entry; ++index) {
        char entry[261] = {};
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(reader.get(), &info, entry, sizeof entry - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw unreadable_zip_error("The central directory of the zip file " + name + " cannot be read.");
        // Opening an entry's data reads its local header, as the stub will.
        if (unzOpenCurrentFile(reader.get()) != UNZ_OK)
            throw unreadable_zip_error("The entry " + std::string(entry) + " of the zip file " + name +
                                       " cannot be read.");
        unzCloseCurrentFile(reader.get());
        if (index + 1 < global.number_entry && unzGoToNextFile(reader.get()) != UNZ_OK)
            throw unreadable_zip_error("The central directory of the zip file " + name + " cannot be read.");
    }
}

}  // namespace stubsmith
