// A program for the self-extractor's archive in tests: appends its command
// line and its current folder to the file that UNFURLER_PROBE_LOG names (UTF-8,
// one line each), writes the arguments that the C runtime split from its
// command line (argv[1] on, UTF-16, each ended by a zero character) to the
// file that UNFURLER_PROBE_ARGV names, replacing it, and exits with the
// number in UNFURLER_PROBE_EXIT (0 if unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring environment(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring log_path = environment(L"UNFURLER_PROBE_LOG");
    if (!log_path.empty()) {
        wchar_t folder[1024] = {};
        ::GetCurrentDirectoryW(1024, folder);
        const std::wstring text = std::wstring(::GetCommandLineW()) + L"\n" + folder + L"\n";
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(length > 0 ? static_cast<std::size_t>(length) : 1, '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
        if (FILE* log = _wfopen(log_path.c_str(), L"ab")) {
            std::fwrite(narrow.data(), 1, narrow.size() - 1, log);
            std::fclose(log);
        }
    }
    const std::wstring argv_path = environment(L"UNFURLER_PROBE_ARGV");
    if (!argv_path.empty()) {
        if (FILE* record = _wfopen(argv_path.c_str(), L"wb")) {
            for (int i = 1; i < argc; ++i)
                std::fwrite(argv[i], sizeof(wchar_t), std::wcslen(argv[i]) + 1, record);
            std::fclose(record);
        }
    }
    const std::wstring code = environment(L"UNFURLER_PROBE_EXIT");
    return code.empty() ? 0 : static_cast<int>(std::wcstoul(code.c_str(), nullptr, 10));
}
