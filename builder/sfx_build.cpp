#include "sfx_build.h"

#include "layout_checks.h"
#include "settings_block.h"
#include "stub_resources.h"
#include "zip_check.h"

#include <vetra/errors.h>
#include <vetra/scope_exit.h>
#include <vetra/unique_handle.h>

#include <windows.h>

#include <algorithm>

namespace stubsmith {

namespace {

[[noreturn]] void throw_last_error(const char* message)
{
    const DWORD error = ::GetLastError();
    throw vetra::win32_error(message, error);
}

// The stub image as the resource update left it: the whole output file so far.
std::string read_stub_image(HANDLE output)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(output, &size))
        throw_last_error("Failed to get output file size");
    // Too large for the search window: refuse before reading it.
    check_stub_size(static_cast<std::uint64_t>(size.QuadPart));
    std::string image(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(output, image.data(), static_cast<DWORD>(image.size()), &read, nullptr /* synchronous */))
        throw_last_error("Failed to read SFX Stub from output file");
    image.resize(read);
    return image;
}

}  // namespace

void build_sfx(const std::wstring& sfx_path, const std::wstring& zip_path, const sfx::sfx_settings& settings,
               const version_info& version)
{
    vetra::unique_file zip(::CreateFileW(zip_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr /* security */,
                                         OPEN_EXISTING, 0 /* flags */, nullptr /* template */));
    if (!zip)
        throw_last_error("Failed to open zip file");
    LARGE_INTEGER zip_size{};
    if (!::GetFileSizeEx(zip.get(), &zip_size))
        throw_last_error("Failed to get zip file size");
    check_archive_size(static_cast<std::uint64_t>(zip_size.QuadPart));
    // Before the output is touched: a zip the stub cannot read makes no build.
    check_zip_readable(zip.get(), zip_path);

    // Declared before the handles below, so that they are closed before the
    // output is removed. The zip stays open meanwhile: should the output path
    // name the zip itself, the delete fails and the zip survives.
    vetra::scope_exit remove_output([&] { ::DeleteFileW(sfx_path.c_str()); });

    write_stub(sfx_path);
    update_stub_resources(sfx_path, version);

    vetra::unique_file output(::CreateFileW(sfx_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                            nullptr /* security */, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                            nullptr /* template */));
    if (!output)
        throw_last_error("Failed to create output file");

    const std::string stub_image = read_stub_image(output.get());
    check_stub_image(reinterpret_cast<const unsigned char*>(stub_image.data()), stub_image.size());

    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(output.get(), LARGE_INTEGER{}, &end, FILE_END))
        throw_last_error("Failed to seek file");

    const std::string settings_text = make_settings_block(settings);
    check_settings_text(settings_text, stub_image.size());
    DWORD written = 0;
    if (!::WriteFile(output.get(), settings_text.data(), static_cast<DWORD>(settings_text.size()), &written,
                     nullptr /* synchronous */))
        throw_last_error("Failed to write SFX configuration data to output file");

    // Empty files cannot be mapped; that failure is reported as it comes.
    vetra::unique_mapping mapping(::CreateFileMappingW(zip.get(), nullptr /* security */, PAGE_READONLY,
                                                       0 /* whole file */, 0, nullptr /* unnamed */));
    if (!mapping)
        throw_last_error("Failed to create zip file mapping");

    const auto total = static_cast<std::uint32_t>(zip_size.QuadPart);
    std::uint32_t remaining = total;
    while (remaining != 0) {
        const std::uint32_t chunk = std::min(remaining, zip_chunk_size);
        vetra::unique_view view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0 /* offset, high part */,
                                                total - remaining, chunk));
        if (!view)
            throw_last_error("Failed to map zip file chunk into memory");
        if (!::WriteFile(output.get(), view.get(), chunk, &written, nullptr /* synchronous */))
            throw_last_error("Failed to copy zip file chunk to output file");
        if (!::UnmapViewOfFile(view.release()))
            throw_last_error("Failed to unmap zip file chunk from memory");
        remaining -= chunk;
    }

    mapping.reset();
    output.reset();
    zip.reset();
    remove_output.dismiss();
}

}  // namespace stubsmith
