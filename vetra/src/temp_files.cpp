#include <vetra/temp_files.h>

#include <vetra/errors.h>
#include <vetra/file_system.h>

#include <windows.h>

#include <algorithm>

namespace vetra {

std::wstring temp_directory()
{
    // One more than MAX_PATH: the longest answer is MAX_PATH characters plus the
    // terminator. A longer folder makes the system report the size it needs,
    // and then we ask again with that size.
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            const DWORD error = ::GetLastError();
            throw win32_error("GetTempPathW", error);
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(std::max<std::size_t>(length, buffer.size() + 1), L'\0');
    }
}

std::wstring temp_file_name(const std::wstring& prefix, const std::wstring& folder)
{
    create_directories(folder);

    // The system writes the folder, a backslash, three prefix characters, up to
    // eight hex digits and ".tmp". Not every implementation checks the folder's
    // length against the buffer, so the buffer always has room for that.
    const std::size_t longestName = folder.size() + 1 + 3 + 8 + 4 + 1;
    std::wstring buffer(std::max<std::size_t>(MAX_PATH, longestName), L'\0');
    if (::GetTempFileNameW(folder.c_str(), prefix.c_str(), 0 /* unique: choose a new name and create the file */,
                           buffer.data()) == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("GetTempFileNameW", error);
    }
    buffer.resize(buffer.find(L'\0'));
    return buffer;
}

}  // namespace vetra
