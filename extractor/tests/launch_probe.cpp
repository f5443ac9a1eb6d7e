// A program for the self-extractor's archive in tests: appends its command
// line and its current folder to the file that UNFURLER_PROBE_LOG names (UTF-8,
// one line each), writes the arguments that the C runtime split from its
// command line (argv[1] on, UTF-16, each ended by a zero character) to the
// file that UNFURLER_PROBE_ARGV names, replacing it, and exits with the
// number in UNFURLER_PROBE_EXIT (0 if unset).
//
// Two more log lines on request:
// - UNFURLER_PROBE_TAMPER names a file ("self" for the probe's own file) that
//   the probe tries to open for writing, to rename and to delete, as another
//   user's process would; the line reads "write=A rename=B delete=C", each the
//   error code of the attempt (0 when it succeeded).
// - UNFURLER_PROBE_FOLDER_SECURITY set: the line "dacl=" and the access list
//   of the current folder as the system reads it back, in SDDL.
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

std::wstring variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

DWORD outcome(BOOL succeeded)
{
    return succeeded ? 0 : ::GetLastError();
}

std::wstring tamper_with(std::wstring path)
{
    if (path == L"self") {
        wchar_t own[1024] = {};
        ::GetModuleFileNameW(nullptr, own, 1024);
        path = own;
    }
    const HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD write = outcome(writer != INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        ::CloseHandle(writer);
    const std::wstring moved = path + L".moved";
    const DWORD rename = outcome(::MoveFileW(path.c_str(), moved.c_str()));
    if (rename == 0)
        ::MoveFileW(moved.c_str(), path.c_str());
    const DWORD remove = outcome(::DeleteFileW(path.c_str()));
    return L"write=" + std::to_wstring(write) + L" rename=" + std::to_wstring(rename) + L" delete=" +
           std::to_wstring(remove) + L"\n";
}

std::wstring folder_security(const wchar_t* folder)
{
    DWORD size = 0;
    ::GetFileSecurityW(folder, DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::string descriptor(size, '\0');
    LPWSTR text = nullptr;
    if (size == 0 || !::GetFileSecurityW(folder, DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.data(), SDDL_REVISION_1,
                                                                DACL_SECURITY_INFORMATION, &text, nullptr))
        return L"dacl=unreadable " + std::to_wstring(::GetLastError()) + L"\n";
    std::wstring line = L"dacl=" + std::wstring(text) + L"\n";
    ::LocalFree(text);
    return line;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring log_path = variable(L"UNFURLER_PROBE_LOG");
    if (!log_path.empty()) {
        wchar_t folder[1024] = {};
        ::GetCurrentDirectoryW(1024, folder);
        std::wstring text = std::wstring(::GetCommandLineW()) + L"\n" + folder + L"\n";
        const std::wstring tamper = variable(L"UNFURLER_PROBE_TAMPER");
        if (!tamper.empty())
            text += tamper_with(tamper);
        if (!variable(L"UNFURLER_PROBE_FOLDER_SECURITY").empty())
            text += folder_security(folder);
        char narrow[16384] = {};
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        if (FILE* log = _wfopen(log_path.c_str(), L"ab")) {
            std::fwrite(narrow, 1, length > 0 ? static_cast<size_t>(length - 1) : 0, log);
            std::fclose(log);
        }
    }
    const std::wstring argv_path = variable(L"UNFURLER_PROBE_ARGV");
    if (!argv_path.empty()) {
        if (FILE* record = _wfopen(argv_path.c_str(), L"wb")) {
            for (int i = 1; i < argc; ++i)
                std::fwrite(argv[i], sizeof(wchar_t), std::wcslen(argv[i]) + 1, record);
            std::fclose(record);
        }
    }
    const std::wstring code = variable(L"UNFURLER_PROBE_EXIT");
    return code.empty() ? 0 : static_cast<int>(std::wcstoul(code.c_str(), nullptr, 10));
}
