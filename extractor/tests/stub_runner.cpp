#include "stub_runner.h"

#include "stub_run.h"

#include <testsupport/program_run.h>

#include <stdexcept>

namespace unfurler_test {

namespace {

std::vector<std::wstring>* recorded = nullptr;

void record(const std::wstring& message)
{
    if (recorded)
        recorded->push_back(message);
}

}  // namespace

stub_outcome run_stub(const std::filesystem::path& container, const std::vector<std::wstring>& arguments,
                      const std::filesystem::path& working_folder)
{
    std::wstring line;
    for (const auto& argument : arguments)
        line += L" " + testsupport::quoteArgument(argument);
    return run_stub_line(container, line, working_folder);
}

stub_outcome run_stub_line(const std::filesystem::path& container, const std::wstring& arguments,
                           const std::filesystem::path& working_folder)
{
    const std::wstring line = testsupport::quoteArgument(container.wstring()) + arguments;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(working_folder);
    stub_outcome outcome;
    recorded = &outcome.shown;
    outcome.exit_code = unfurler::run_unfurler(line.c_str(), container.c_str(), record);
    recorded = nullptr;
    std::filesystem::current_path(previous);
    return outcome;
}

std::string narrow(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    return result;
}

}  // namespace unfurler_test
