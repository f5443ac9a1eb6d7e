#include <vetra/error_stream.h>
#include <vetra/errors.h>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

using vetra::operator<<;

TEST(ErrorStream, WritesTheTextWithoutALineEnd)
{
    std::wostringstream out;
    out << L"Error: " << std::runtime_error("Missing required argument: '--zip'");
    EXPECT_EQ(out.str(), L"Error: Missing required argument: '--zip'");

    // A Windows error's text ends with the system's line end already.
    std::wostringstream windows;
    const std::exception& error = vetra::win32_error("Failed to create output file", 2);
    windows << error;
    const std::wstring text = windows.str();
    EXPECT_EQ(text.rfind(L"Failed to create output file. Error code: 2: ", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");

    std::wostringstream empty;
    empty << vetra::cmdline_logic_error(vetra::duplicate_argument, L"--zip");
    EXPECT_EQ(empty.str(), L"");
}

TEST(ErrorStream, ConvertsFromTheCodePage)
{
    std::wostringstream out;
    vetra::write_exception_text(out, std::runtime_error("caf\xE9"), 1252);
    EXPECT_EQ(out.str(), L"caf\u00E9");
}

TEST(ErrorStream, UnconvertibleTextIsWrittenAsNothing)
{
    std::wostringstream out;
    out << L"Error: ";
    vetra::write_exception_text(out, std::runtime_error("text"), 12345 /* no such code page */) << L"\n";
    EXPECT_TRUE(out.good());
    EXPECT_EQ(out.str(), L"Error: \n");
}

}  // namespace
