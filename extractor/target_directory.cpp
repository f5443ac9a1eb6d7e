#include "target_directory.h"

#include <sfx/container_layout.h>
#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/temp_files.h>

#include <windows.h>
#include <rpc.h>
#include <shlwapi.h>

namespace unfurler {

namespace {

std::wstring new_uuid_text()
{
    UUID uuid{};
    const RPC_STATUS status = ::UuidCreate(&uuid);
    // A local-only UUID is still unique on this machine, which is all a
    // folder name needs.
    if (status != RPC_S_OK && status != RPC_S_UUID_LOCAL_ONLY)
        throw vetra::win32_error("UuidCreate", static_cast<std::uint32_t>(status));
    RPC_WSTR text = nullptr;
    const RPC_STATUS converted = ::UuidToStringW(&uuid, &text);
    if (converted != RPC_S_OK)
        throw vetra::win32_error("UuidToStringW", static_cast<std::uint32_t>(converted));
    std::wstring result(reinterpret_cast<const wchar_t*>(text));
    ::RpcStringFreeW(&text);
    return result;
}

}  // namespace

std::wstring resolve_target_directory(const std::wstring& target_directory)
{
    if (target_directory.empty())
        return vetra::current_directory();
    if (target_directory == sfx::temp_folder_value)
        return vetra::join_path(vetra::temp_directory(), new_uuid_text());
    if (::PathIsRelativeW(target_directory.c_str()))
        return vetra::join_path(vetra::current_directory(), target_directory);
    return target_directory;
}

}  // namespace unfurler
