#include "settings_block.h"

#include <sfx/container_layout.h>

#include <vetra/errors.h>
#include <vetra/scope_exit.h>
#include <vetra/temp_files.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

#include <windows.h>

#include <stdexcept>

namespace stubsmith {

namespace {

[[noreturn]] void throw_last_error(const char* message)
{
    const DWORD error = ::GetLastError();
    throw vetra::win32_error(message, error);
}

void write_key(const std::wstring& ini_path, const wchar_t* key, const std::wstring& value)
{
    if (!::WritePrivateProfileStringW(sfx::settings_section, key, value.c_str(), ini_path.c_str()))
        throw_last_error("failed to write .ini file");
}

const wchar_t* switch_value(bool on)
{
    return on ? L"1" : L"0";
}

}  // namespace

std::string make_settings_block(const sfx::sfx_settings& settings)
{
    const std::wstring ini_path = vetra::temp_file_name(L"sfx", vetra::temp_directory());
    vetra::scope_exit remove_ini([&] { ::DeleteFileW(ini_path.c_str()); });

    {
        vetra::unique_file ini(::CreateFileW(ini_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr /* security */,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr /* template */));
        if (!ini)
            throw_last_error("Failed to create temporary ini file");
        // The byte-order mark makes the profile writer write UTF-16, so every
        // value survives whatever the ANSI code page is.
        const unsigned char utf16_bom[2] = {0xFF, 0xFE};
        DWORD written = 0;
        if (!::WriteFile(ini.get(), utf16_bom, sizeof utf16_bom, &written, nullptr /* synchronous */))
            throw_last_error("Failed to write temporary ini file");
    }

    write_key(ini_path, sfx::key_allow_override, switch_value(settings.AllowOverride));
    write_key(ini_path, sfx::key_argument_prefix, settings.ArgumentPrefix);
    write_key(ini_path, sfx::key_launch_arguments, settings.LaunchArguments);
    write_key(ini_path, sfx::key_cleanup, switch_value(settings.Cleanup));
    write_key(ini_path, sfx::key_launch_exe, settings.LaunchExe);
    write_key(ini_path, sfx::key_target_directory, settings.TargetDirectory);
    write_key(ini_path, sfx::key_show_errors, switch_value(settings.ShowErrors));

    std::wstring text;
    {
        vetra::unique_file ini(::CreateFileW(ini_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr /* security */,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr /* template */));
        if (!ini)
            throw_last_error("Failed to open temporary ini file");
        const DWORD size = ::GetFileSize(ini.get(), nullptr /* high part */);
        if (size == INVALID_FILE_SIZE)
            throw_last_error("Failed to get temporary ini file size");
        if (size < 3 || size % 2 != 0)
            throw std::runtime_error("Invalid temporary ini file size");

        unsigned char bom[2] = {};
        DWORD read = 0;
        if (!::ReadFile(ini.get(), bom, sizeof bom, &read, nullptr /* synchronous */))
            throw_last_error("Failed to read temporary ini file");
        if (read != sizeof bom || bom[0] != 0xFF || bom[1] != 0xFE)
            throw std::runtime_error("Invalid temporary ini file");

        text.assign((size - 2) / 2, L'\0');
        if (!::ReadFile(ini.get(), text.data(), size - 2, &read, nullptr /* synchronous */))
            throw_last_error("Failed to read temporary ini file");
        text.resize(read / 2);
    }
    remove_ini.dismiss();
    ::DeleteFileW(ini_path.c_str());

    return vetra::to_narrow(text, CP_UTF8);
}

}  // namespace stubsmith
