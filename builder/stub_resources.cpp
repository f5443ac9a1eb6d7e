#include "stub_resources.h"

#include "manifest_text.h"
#include "version_numbers.h"
#include "version_resource.h"

#include <vetra/errors.h>
#include <vetra/unique_handle.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace stubsmith {

namespace {

constexpr WORD english_us = 1033;
constexpr int stub_resource_id = 101;

[[noreturn]] void throw_last_error(const char* message)
{
    const DWORD error = ::GetLastError();
    throw vetra::win32_error(message, error);
}

// An open resource update that is discarded unless committed.
class resource_update {
public:
    explicit resource_update(const std::wstring& path)
        : handle_(::BeginUpdateResourceW(path.c_str(), FALSE /* keep the existing resources */))
    {
        if (!handle_)
            throw_last_error("Failed to load SFX Stub for update");
    }
    ~resource_update()
    {
        if (handle_)
            ::EndUpdateResourceW(handle_, TRUE /* discard */);
    }
    resource_update(const resource_update&) = delete;
    resource_update& operator=(const resource_update&) = delete;

    HANDLE get() const { return handle_; }

    // Writes the changes into the file. A commit that fails has left the file
    // without them, which must not pass for a finished build.
    void commit()
    {
        HANDLE handle = std::exchange(handle_, nullptr);
        if (!::EndUpdateResourceW(handle, FALSE /* commit */))
            throw_last_error("Failed to save the updated resources of the SFX Stub");
    }

private:
    HANDLE handle_;
};

}  // namespace

void write_stub(const std::wstring& output_path)
{
    vetra::unique_file output(::CreateFileW(output_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                            nullptr /* security */, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                            nullptr /* template */));
    if (!output)
        throw_last_error("Failed to create output file");

    HRSRC resource = ::FindResourceW(nullptr /* this program */, MAKEINTRESOURCEW(stub_resource_id), L"SFX");
    if (!resource)
        throw_last_error("Failed to locate SFX Stub resource");
    const DWORD size = ::SizeofResource(nullptr, resource);
    if (size == 0)
        throw_last_error("Failed to get SFX Stub size");
    HGLOBAL loaded = ::LoadResource(nullptr, resource);
    if (!loaded)
        throw_last_error("Failed to load SFX Stub resource");
    const void* image = ::LockResource(loaded);
    if (!image)
        throw_last_error("Failed to load SFX Stub resource data");

    DWORD written = 0;
    if (!::WriteFile(output.get(), image, size, &written, nullptr /* synchronous */))
        throw_last_error("Failed to write SFX Stub to output file");
}

void write_manifest(HANDLE update, bool elevate)
{
    std::string manifest = manifest_text(elevate);
    if (!::UpdateResourceW(update, MAKEINTRESOURCEW(24) /* RT_MANIFEST */, MAKEINTRESOURCEW(1), english_us, manifest.data(),
                           static_cast<DWORD>(manifest.size())))
        throw_last_error("Failed to update UAC manifest");
}

void write_version_info(HANDLE update, const version_info& info)
{
    if (info.file_version.empty() || info.product_version.empty())
        return;
    const version_numbers file_version = parse_version(info.file_version);
    const version_numbers product_version = parse_version(info.product_version);
    std::vector<std::uint8_t> resource = serialise(make_version_tree(info, file_version, product_version));
    if (!::UpdateResourceW(update, MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1), english_us, resource.data(),
                           static_cast<DWORD>(resource.size())))
        throw_last_error("Failed to update version information");
}

void update_stub_resources(const std::wstring& output_path, const version_info& info)
{
    resource_update update(output_path);
    write_manifest(update.get(), info.elevate);
    write_version_info(update.get(), info);
    update.commit();
}

}  // namespace stubsmith
