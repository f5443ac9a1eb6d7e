#pragma once
// Runs a built program the way a script would: command line in; exit code,
// standard output and standard error out.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
    DWORD exitCode = 0;    // the full 32-bit code, as a Windows parent sees it
    std::string output;    // standard output, bytes as written (CR LF in text mode)
    std::string errors;    // standard error
    bool timedOut = false; // the program was ended after the time limit
};

// Path of a program that the build placed beside the test executable.
std::filesystem::path programBesideTests(const std::wstring& fileName);

// Quotes one argument so that the C runtime's argument splitter gives it back
// unchanged.
std::wstring quoteArgument(const std::wstring& argument);

// Starts program with the arguments (each quoted as needed) in
// workingFolder, waits up to timeoutMs and captures both output streams.
ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::wstring>& arguments,
                      const std::filesystem::path& workingFolder, DWORD timeoutMs = 120000);

// Starts a process from commandLine exactly as given, otherwise like
// runProgram. With an empty application the system finds the program from the
// line's first word, as a parent that names no application does; with one,
// the first word can be anything the parent likes.
ProgramRun runCommandLine(const std::filesystem::path& application, const std::wstring& commandLine,
                          const std::filesystem::path& workingFolder, DWORD timeoutMs = 120000);

// The same with arguments in the ANSI code page.
ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder, DWORD timeoutMs = 120000);

// Turns "\n" into "\r\n", as a text-mode stream writes it.
std::string withCrLf(const std::string& text);

}  // namespace testsupport
