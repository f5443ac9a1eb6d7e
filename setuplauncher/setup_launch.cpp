#include "setup_launch.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <shellapi.h>

int launchSetup(const std::string& parameters)
{
    SHELLEXECUTEINFOA execution{};
    execution.cbSize = sizeof execution;
    // The process handle for the wait; no asynchronous start, so the program
    // is running (or has failed to start) when the call returns.
    execution.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    execution.lpFile = "\"Setup.exe\"";
    execution.lpParameters = parameters.c_str();
    execution.nShow = SW_SHOWNORMAL;
    const bool started = ::ShellExecuteExA(&execution) != FALSE;

    // A start through a document or a running instance may give no handle.
    vetra::unique_process process(execution.hProcess);
    if (process)
        ::WaitForSingleObject(process.get(), INFINITE);
    return started ? 0 : -1;
}
