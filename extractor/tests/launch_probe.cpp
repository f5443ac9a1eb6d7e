// A program for the self-extractor's archive in tests: appends its command
// line and its current folder to the file that UNFURLER_PROBE_LOG names (UTF-8,
// one line each) and exits with the number in UNFURLER_PROBE_EXIT (0 if unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main()
{
    wchar_t log_path[1024] = {};
    if (::GetEnvironmentVariableW(L"UNFURLER_PROBE_LOG", log_path, 1024) > 0) {
        wchar_t folder[1024] = {};
        ::GetCurrentDirectoryW(1024, folder);
        const std::wstring text = std::wstring(::GetCommandLineW()) + L"\n" + folder + L"\n";
        char narrow[8192] = {};
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        if (FILE* log = _wfopen(log_path, L"ab")) {
            std::fwrite(narrow, 1, length > 0 ? static_cast<size_t>(length - 1) : 0, log);
            std::fclose(log);
        }
    }
    wchar_t code[32] = {};
    if (::GetEnvironmentVariableW(L"UNFURLER_PROBE_EXIT", code, 32) > 0)
        return static_cast<int>(std::wcstoul(code, nullptr, 10));
    return 0;
}
