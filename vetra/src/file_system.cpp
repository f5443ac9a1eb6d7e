#include <vetra/file_system.h>

#include <vetra/errors.h>
#include <vetra/paths.h>

#include <windows.h>

#include <algorithm>

namespace vetra {

namespace {

// Attributes of path; raises "GetFileAttributes" unless the failure is one of
// the two "not found" errors, for which it returns INVALID_FILE_ATTRIBUTES.
DWORD attributes_unless_missing(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            throw win32_error("GetFileAttributes", error);
    }
    return attributes;
}

// True for C: alone or behind the long-path prefix.
bool is_drive_designator(const std::wstring& path)
{
    const std::size_t start =
        path.compare(0, long_path_prefix.size(), long_path_prefix) == 0 ? long_path_prefix.size() : 0;
    return path.size() == start + 2 && path[start + 1] == L':';
}

// Calls query(buffer, capacity), which returns the length of its result or,
// when the buffer is too small, the size it needs; grows the buffer and asks
// again until the result fits. Returns the result, or the empty string when
// query returns 0 and failure is not an error.
template <typename Query>
std::wstring query_growing(std::size_t capacity, Query query)
{
    std::wstring buffer(capacity, L'\0');
    DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
    while (length >= buffer.size()) {
        buffer.assign(std::max<std::size_t>(length, buffer.size() + 1), L'\0');
        length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    buffer.resize(length);
    return buffer;
}

}  // namespace

bool is_file(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        throw win32_error("GetFileAttributes", error);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool path_exists(const std::wstring& path)
{
    return attributes_unless_missing(path) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> create_directories(const std::wstring& folder)
{
    const std::wstring target = without_trailing_backslashes(folder);

    // Walk up until a folder exists, remembering what is missing. Every
    // ancestor is a leading part of target, so its length is enough. A loop
    // rather than recursion: a long-path name can have thousands of levels.
    std::vector<std::size_t> missingLengths;  // innermost first
    std::wstring current = target;
    while (!current.empty()) {
        // A drive is asked about as its root: with the long-path prefix the
        // bare designator (\\?\C:) names the volume device, which has no
        // attributes to read.
        const bool exists =
            path_exists(is_drive_designator(current) ? current + L'\\' : current);
        if (exists)
            break;
        missingLengths.push_back(current.size());
        current = without_trailing_backslashes(parent_path(current));
    }
    // An empty parent (a relative name without a backslash) counts as
    // existing: it stands for the current folder.

    std::vector<std::wstring> created;
    created.reserve(missingLengths.size());
    for (auto length = missingLengths.rbegin(); length != missingLengths.rend(); ++length) {
        std::wstring next = target.substr(0, *length);
        if (!::CreateDirectoryW(next.c_str(), nullptr /* default security */)) {
            const DWORD error = ::GetLastError();
            throw win32_error("CreateDirectory failed", error);
        }
        created.push_back(std::move(next));
    }
    return created;
}

std::wstring full_path(const std::wstring& path)
{
    return query_growing(MAX_PATH, [&path](wchar_t* buffer, DWORD capacity) {
        return ::GetFullPathNameW(path.c_str(), capacity, buffer, nullptr /* filePart */);
    });
}

std::wstring current_directory()
{
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("GetCurrentDirectoryW", error);
    }
    return query_growing(needed, [](wchar_t* buffer, DWORD capacity) {
        const DWORD length = ::GetCurrentDirectoryW(capacity, buffer);
        if (length == 0) {
            const DWORD error = ::GetLastError();
            throw win32_error("GetCurrentDirectoryW", error);
        }
        return length;
    });
}

std::wstring system_directory()
{
    return query_growing(MAX_PATH, [](wchar_t* buffer, DWORD capacity) {
        return static_cast<DWORD>(::GetSystemDirectoryW(buffer, capacity));
    });
}

std::wstring program_file_path()
{
    // The call fills the buffer and cuts the path when it does not fit, so
    // a result as long as the buffer means: try again with a larger one.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(/* own module */ nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            const DWORD error = ::GetLastError();
            throw win32_error("GetModuleFileNameW", error);
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

}  // namespace vetra
