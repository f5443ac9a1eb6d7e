#include "launch_file_hold.h"

#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/text_conversion.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace unfurler {

namespace {

launch_hold_observer current_observer = nullptr;

void notify(launch_hold_stage stage, const std::wstring& path)
{
    if (current_observer != nullptr)
        current_observer(stage, path);
}

vetra::unique_file open_for_hold(const std::wstring& path, DWORD sharing)
{
    return vetra::unique_file(::CreateFileW(path.c_str(), GENERIC_READ, sharing, /* security */ nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /* template */ nullptr));
}

[[noreturn]] void fail_to_open(const std::wstring& path)
{
    throw vetra::win32_error("Could not open file " + vetra::to_narrow(path, CP_ACP), ::GetLastError());
}

[[noreturn]] void fail_changed(const std::wstring& path)
{
    throw std::runtime_error("The file " + vetra::to_narrow(path, CP_ACP) + " was changed after it was extracted.");
}

// Reads up to size bytes at the handle's position; fewer only at its end.
DWORD read_some(HANDLE file, unsigned char* buffer, DWORD size)
{
    DWORD total = 0;
    while (total < size) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer + total, size - total, &read, /* overlapped */ nullptr))
            return total;
        if (read == 0)
            break;
        total += read;
    }
    return total;
}

// Compares the held file with the entry's data, decompressed once more: equal
// bytes and equal length, or the file was changed.
void compare_with_entry(HANDLE held, unzFile zip, const std::wstring& path, std::uint64_t uncompressed_size)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(held, &size) || static_cast<std::uint64_t>(size.QuadPart) != uncompressed_size)
        fail_changed(path);
    if (uncompressed_size == 0)
        return;

    if (unzOpenCurrentFile(zip) != UNZ_OK)
        fail_to_open(path);
    struct entry_closer {
        unzFile zip;
        ~entry_closer() { unzCloseCurrentFile(zip); }
    } close_entry{zip};

    constexpr DWORD block_size = 64 * 1024;
    std::vector<unsigned char> expected(block_size);
    std::vector<unsigned char> found(block_size);
    std::uint64_t remaining = uncompressed_size;
    while (remaining > 0) {
        const DWORD length = static_cast<DWORD>(std::min<std::uint64_t>(remaining, block_size));
        DWORD decompressed = 0;
        while (decompressed < length) {
            const int read = unzReadCurrentFile(zip, expected.data() + decompressed, length - decompressed);
            // The entry decompressed once already; failing now means the
            // archive under the stub changed, which is no launch either.
            if (read <= 0)
                fail_changed(path);
            decompressed += static_cast<DWORD>(read);
        }
        if (read_some(held, found.data(), length) != length || std::memcmp(expected.data(), found.data(), length) != 0)
            fail_changed(path);
        remaining -= length;
    }
}

}  // namespace

void set_launch_hold_observer(launch_hold_observer observer)
{
    current_observer = observer;
}

launch_file_hold::launch_file_hold(const std::wstring& launch_path)
    : launch_path_(launch_path), full_launch_path_(launch_path.empty() ? std::wstring() : vetra::full_path(launch_path))
{
}

bool launch_file_hold::is_launch_file(const std::wstring& path) const
{
    if (full_launch_path_.empty())
        return false;
    const std::wstring full = vetra::full_path(path);
    return !full.empty() &&
           ::CompareStringOrdinal(full.c_str(), static_cast<int>(full.size()), full_launch_path_.c_str(),
                                  static_cast<int>(full_launch_path_.size()), /* ignore case */ TRUE) == CSTR_EQUAL;
}

void launch_file_hold::hold_extracted(vetra::unique_file extraction_handle, unzFile zip, const std::wstring& path,
                                      std::uint64_t uncompressed_size)
{
    // The bridge opens while the extraction's handle is still open, so it has
    // to share writing with it; it shares no deleting, so from the file's
    // creation on nobody can rename or delete it.
    const vetra::unique_file bridge = open_for_hold(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!bridge)
        fail_to_open(path);
    extraction_handle.reset();
    notify(launch_hold_stage::extraction_handle_closed, path);

    // From here on nobody can open it for writing; whoever opened it in the
    // short moment before makes this open fail, and whoever also closed it
    // again is caught by the comparison.
    vetra::unique_file held = open_for_hold(path, launch_file_extraction_sharing);
    if (!held)
        fail_to_open(path);
    compare_with_entry(held.get(), zip, path, uncompressed_size);
    held_ = std::move(held);
}

void launch_file_hold::hold_for_launch()
{
    if (launch_path_.empty())
        return;
    if (!held_)
        held_ = open_for_hold(launch_path_, launch_file_extraction_sharing);
    notify(launch_hold_stage::before_process_creation, launch_path_);
}

}  // namespace unfurler
