#include <testsupport/program_run.h>

#include <vetra/unique_handle.h>

#include <stdexcept>

namespace testsupport {

namespace {

std::wstring widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// An inheritable file that captures one output stream.
vetra::unique_file createCaptureFile(const std::filesystem::path& path)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    vetra::unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file)
        throw std::runtime_error("cannot create a capture file");
    return file;
}

std::string readAndRemove(const std::filesystem::path& path)
{
    std::string bytes;
    {
        vetra::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) {
            char buffer[65536];
            DWORD count = 0;
            while (::ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr) && count > 0)
                bytes.append(buffer, count);
        }
    }
    ::DeleteFileW(path.c_str());
    return bytes;
}

}  // namespace

std::filesystem::path programBesideTests(const std::wstring& fileName)
{
    wchar_t self[MAX_PATH * 4];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    if (length == 0 || length >= std::size(self))
        throw std::runtime_error("cannot find the test executable's folder");
    return std::filesystem::path(self).parent_path() / fileName;
}

std::wstring quoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (auto it = argument.begin();; ++it) {
        std::size_t backslashes = 0;
        while (it != argument.end() && *it == L'\\') {
            ++it;
            ++backslashes;
        }
        if (it == argument.end()) {
            quoted.append(backslashes * 2, L'\\');  // before the closing quote
            break;
        }
        if (*it == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        quoted.push_back(*it);
    }
    quoted.push_back(L'"');
    return quoted;
}

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::wstring>& arguments,
                      const std::filesystem::path& workingFolder, DWORD timeoutMs)
{
    std::wstring commandLine = quoteArgument(program.wstring());
    for (const auto& argument : arguments)
        commandLine += L" " + quoteArgument(argument);
    return runCommandLine(program, commandLine, workingFolder, timeoutMs);
}

ProgramRun runCommandLine(const std::filesystem::path& application, const std::wstring& commandLine,
                          const std::filesystem::path& workingFolder, DWORD timeoutMs)
{
    static unsigned runNumber = 0;
    const auto stem = std::filesystem::temp_directory_path() /
                      (L"run-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++runNumber));
    const auto outputPath = stem.wstring() + L".out";
    const auto errorPath = stem.wstring() + L".err";

    std::wstring line = commandLine;
    ProgramRun run;
    {
        auto output = createCaptureFile(outputPath);
        auto errors = createCaptureFile(errorPath);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output.get();
        startup.hStdError = errors.get();
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(application.empty() ? nullptr : application.c_str(), &line[0], nullptr, nullptr,
                              TRUE /* inherit handles */, 0, nullptr, workingFolder.c_str(), &startup, &process))
            throw std::runtime_error("cannot start " + (application.empty() ? "a command line" : application.string()) +
                                     ", error " + std::to_string(::GetLastError()));
        vetra::unique_process processHandle(process.hProcess);
        vetra::unique_kernel_handle threadHandle(process.hThread);
        if (::WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            run.timedOut = true;
        }
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    }
    run.output = readAndRemove(outputPath);
    run.errors = readAndRemove(errorPath);
    return run;
}

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder, DWORD timeoutMs)
{
    std::vector<std::wstring> wide;
    for (const auto& argument : arguments)
        wide.push_back(widen(argument));
    return runProgram(program, wide, workingFolder, timeoutMs);
}

std::string withCrLf(const std::string& text)
{
    std::string converted;
    for (char c : text) {
        if (c == '\n')
            converted += '\r';
        converted += c;
    }
    return converted;
}

}  // namespace testsupport
