#include "settings_loader.h"

#include "trace_points.h"

#include <sfx/container_layout.h>
#include <vetra/errors.h>
#include <vetra/scope_exit.h>
#include <vetra/temp_files.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

#include <windows.h>

namespace unfurler {

namespace {

void write_all(HANDLE file, const void* data, DWORD size, const std::wstring& file_name)
{
    DWORD written = 0;
    if (!::WriteFile(file, data, size, &written, /* overlapped */ nullptr) || written != size)
        throw vetra::win32_error("Could not write file " + vetra::to_narrow(file_name, CP_ACP), ::GetLastError());
}

std::wstring read_text(const wchar_t* key, const wchar_t* default_value, const std::wstring& file_name)
{
    // A result of exactly size - 1 characters may be a cut value: grow and ask again.
    DWORD size = 255;
    std::wstring value;
    for (;;) {
        value.assign(size, L'\0');
        const DWORD length = ::GetPrivateProfileStringW(sfx::settings_section, key, default_value, value.data(),
                                                        size, file_name.c_str());
        if (length != size - 1) {
            value.resize(length);
            return value;
        }
        size *= 2;
    }
}

bool read_switch(const wchar_t* key, int default_value, const std::wstring& file_name)
{
    return ::GetPrivateProfileIntW(sfx::settings_section, key, default_value, file_name.c_str()) != 0;
}

}  // namespace

void load_sfx_settings(const std::wstring& settings_text, sfx::sfx_settings& settings)
{
    trace_point(10, trace_level::verbose, {settings_text});
    const std::wstring file_name = vetra::temp_file_name(L"vek", vetra::temp_directory());
    trace_point(11, trace_level::verbose, {file_name});
    // The file holds nothing of value; it goes on every way out.
    vetra::scope_exit remove_file([&file_name] { ::DeleteFileW(file_name.c_str()); });

    {
        vetra::unique_file file(::CreateFileW(file_name.c_str(), GENERIC_READ | GENERIC_WRITE, /* share */ 0,
                                              /* security */ nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              /* template */ nullptr));
        if (!file)
            throw vetra::win32_error("Could not create file " + vetra::to_narrow(file_name, CP_ACP),
                                     ::GetLastError());
        static const unsigned char byte_order_mark[] = {0xFF, 0xFE};
        write_all(file.get(), byte_order_mark, sizeof byte_order_mark, file_name);
        trace_point(12, trace_level::verbose);
        write_all(file.get(), settings_text.data(), static_cast<DWORD>(settings_text.size() * sizeof(wchar_t)),
                  file_name);
        trace_point(13, trace_level::verbose);
    }

    settings.AllowOverride = read_switch(sfx::key_allow_override, sfx::default_allow_override, file_name);
    settings.ArgumentPrefix = read_text(sfx::key_argument_prefix, sfx::default_argument_prefix, file_name);
    settings.LaunchArguments = read_text(sfx::key_launch_arguments, sfx::default_launch_arguments, file_name);
    settings.Cleanup = read_switch(sfx::key_cleanup, sfx::default_cleanup, file_name);
    settings.LaunchExe = read_text(sfx::key_launch_exe, sfx::default_launch_exe, file_name);
    settings.TargetDirectory = read_text(sfx::key_target_directory, sfx::default_target_directory, file_name);
    settings.ShowErrors = read_switch(sfx::key_show_errors, sfx::default_show_errors, file_name);
    trace_point(14, trace_level::verbose);
}

}  // namespace unfurler
