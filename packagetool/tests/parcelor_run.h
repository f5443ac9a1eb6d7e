#pragma once
// Running Parcelor from the end-to-end tests.

#include <testsupport/program_run.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// The line every run that passes the command-line check begins with.
constexpr char kFilterHeader[] = "Tool will use following filters: \n";

// Runs Parcelor.exe with the arguments in folder; Parcelor never writes to
// standard error.
inline testsupport::ProgramRun parcelor(const std::vector<std::string>& arguments,
                                        const std::filesystem::path& folder)
{
    auto run = testsupport::runProgram(testsupport::programBesideTests(L"Parcelor.exe"), arguments, folder);
    EXPECT_EQ(run.errors, "") << "Parcelor writes nothing to standard error";
    EXPECT_FALSE(run.timedOut);
    return run;
}

// Standard output as a text-mode stream writes the given lines.
inline std::string expectedOutput(const std::string& text)
{
    return testsupport::withCrLf(text);
}
