#pragma once
// Runs the stub's whole flow inside the test process on a container file, as
// if that file had been started with the given arguments.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace unfurler_test {

struct stub_outcome {
    DWORD exit_code = 0;
    std::vector<std::wstring> shown;  // failure texts that would have gone to a message box
};

// Runs unfurler::run_unfurler with the quoted container path and arguments as
// its command line, in working_folder (the test's current folder is restored
// afterwards).
stub_outcome run_stub(const std::filesystem::path& container, const std::vector<std::wstring>& arguments,
                      const std::filesystem::path& working_folder);

// The same with the arguments written out as they stand on the command line.
stub_outcome run_stub_line(const std::filesystem::path& container, const std::wstring& arguments,
                           const std::filesystem::path& working_folder);

// Narrow form of a wide text (ANSI code page), for comparing messages.
std::string narrow(const std::wstring& text);

}  // namespace unfurler_test
