// A window-less program that uses everything the stub takes from vetra::vetra,
// so that check_stub_footprint.sh can see what linking the library pulls into
// an image. It is built, never run.

#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/temp_files.h>
#include <vetra/text_conversion.h>

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    try {
        std::wstring parent, leaf;
        vetra::split_path(vetra::full_path(commandLine), parent, leaf);
        const std::wstring folder = vetra::join_path(vetra::temp_directory(), vetra::path_extension(leaf));
        for (const std::wstring& created : vetra::create_directories(folder))
            if (vetra::path_exists(created) && !vetra::is_file(created))
                ::RemoveDirectoryW(created.c_str());
        const std::wstring name = vetra::temp_file_name(L"vek", vetra::without_trailing_backslashes(folder));
        ::DeleteFileW(vetra::to_wide(vetra::to_narrow(name, CP_UTF8), CP_UTF8).c_str());
        const std::wstring where = vetra::join_path(vetra::current_directory(), vetra::system_directory());
        if (vetra::parent_path(where).empty())
            throw vetra::win32_error("probe", ERROR_INVALID_PARAMETER);
        return 0;
    } catch (const std::exception& error) {
        ::MessageBoxW(nullptr, vetra::to_wide(error.what(), CP_ACP).c_str(), L"SFX", MB_ICONERROR);
        return 1;
    }
}
