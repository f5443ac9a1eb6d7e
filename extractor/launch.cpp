#include "launch.h"

#include "argument_quoting.h"
#include "stub_errors.h"
#include "trace_points.h"

#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

namespace unfurler {

std::wstring launch_command(const std::wstring& program_path, const std::wstring& arguments)
{
    const std::wstring command = L"\"" + program_path + L"\" " + arguments;
    if (!runs_through_command_interpreter(program_path))
        return command;
    if (!can_start_command_script(program_path))
        throw command_script_error("The command script " + vetra::to_narrow(program_path, CP_ACP) +
                                 " cannot be started: its path holds a percent sign.");
    // With /s cmd.exe drops exactly the outer pair of quotes and runs what
    // they enclose as it stands; without it, it would strip the first and the
    // last quote of the line as soon as the line holds more than two quotes
    // or a character such as & or (.
    return L"\"" + vetra::join_path(vetra::system_directory(), L"cmd.exe") + L"\" /s /c \"" + command + L"\"";
}

DWORD launch_program(const std::wstring& program_path, const std::wstring& arguments,
                     const std::wstring& working_folder, bool wait)
{
    trace_point(32, trace_level::verbose, {program_path, arguments, working_folder});
    std::wstring command = launch_command(program_path, arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(/* application */ nullptr, command.data(), /* process security */ nullptr,
                          /* thread security */ nullptr, /* inherit handles */ FALSE, /* flags */ 0,
                          /* environment */ nullptr, working_folder.c_str(), &startup, &process))
        throw vetra::win32_error("Could not create process " + vetra::to_narrow(command, CP_ACP), ::GetLastError());
    const vetra::unique_process process_handle(process.hProcess);
    const vetra::unique_kernel_handle thread_handle(process.hThread);
    if (!wait)
        return 0;

    trace_point(33, trace_level::verbose);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit_code = 0;
    if (!::GetExitCodeProcess(process.hProcess, &exit_code))
        exit_code = 0;
    trace_point(34, trace_level::verbose, {static_cast<std::uint32_t>(exit_code)});
    return exit_code;
}

namespace {

constexpr int removal_retries = 200;
constexpr DWORD removal_retry_pause_ms = 50;

BOOL remove_path(const std::wstring& path, bool is_file)
{
    return is_file ? ::DeleteFileW(path.c_str()) : ::RemoveDirectoryW(path.c_str());
}

bool path_is_gone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

void remove_extracted(std::vector<std::wstring>& created_paths)
{
    trace_point(35, trace_level::verbose);
    while (!created_paths.empty()) {
        const std::wstring& path = created_paths.back();
        if (!vetra::path_exists(path)) {
            trace_point(40, trace_level::verbose, {path});
            created_paths.pop_back();
            continue;
        }
        const bool is_file = vetra::is_file(path);
        trace_point(is_file ? 36 : 37, trace_level::verbose, {path});
        BOOL removed = remove_path(path, is_file);
        // A process of the launched program can outlive it for a moment and
        // hold the folder it ran in (the console host that Wine starts for a
        // script inherits that folder as its current one), so a refused
        // removal is tried again for a bounded time (ten seconds) before it is
        // left for the next restart.
        for (int retry = 0; !removed && retry < removal_retries && ::GetLastError() == ERROR_SHARING_VIOLATION;
             ++retry) {
            ::Sleep(removal_retry_pause_ms);
            removed = remove_path(path, is_file);
        }
        if (removed) {
            trace_point(38, trace_level::verbose);
        } else {
            if (!path_is_gone(::GetLastError())) {
                trace_point(39, trace_level::verbose);
                ::MoveFileExW(path.c_str(), /* new name */ nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            }
        }
        created_paths.pop_back();
    }
    trace_point(41, trace_level::verbose);
}

}  // namespace unfurler
