#include "setup_launch.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <shellapi.h>

namespace {

// The current folder, however long; empty when the system cannot report it.
std::string currentFolder()
{
    std::string folder(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), &folder[0]);
        if (length == 0)
            return {};
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.assign(length, '\0');  // the size it needs, terminator included
    }
}

}  // namespace

std::string setupProgramPath()
{
    std::string path = currentFolder();
    if (path.empty())
        return path;
    if (path.back() != '\\')
        path += '\\';
    return path + "Setup.exe";
}

int launchSetup(const std::string& parameters)
{
    // The full path: a bare name would let the shell run whatever
    // "Setup.exe" it finds along the search path when the current folder
    // holds none.
    const std::string program = setupProgramPath();
    if (program.empty())
        return -1;
    const std::string file = "\"" + program + "\"";
    SHELLEXECUTEINFOA execution{};
    execution.cbSize = sizeof execution;
    // The process handle for the wait; no asynchronous start, so the program
    // is running (or has failed to start) when the call returns.
    execution.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    execution.lpFile = file.c_str();
    execution.lpParameters = parameters.c_str();
    execution.nShow = SW_SHOWNORMAL;
    const bool started = ::ShellExecuteExA(&execution) != FALSE;

    // A start through a document or a running instance may give no handle.
    vetra::unique_process process(execution.hProcess);
    if (process)
        ::WaitForSingleObject(process.get(), INFINITE);
    return started ? 0 : -1;
}
