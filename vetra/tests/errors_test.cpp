#include <vetra/errors.h>

#include <vetra/unique_handle.h>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The system's own text for a code, or "" when it has none.
std::string systemText(DWORD code)
{
    vetra::unique_local_memory buffer;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<LPSTR>(buffer.put()), 0, nullptr);
    return length == 0 ? std::string() : std::string(static_cast<const char*>(buffer.get()), length);
}

TEST(Win32Message, JoinsMessageCodeAndSystemTextAsReturned)
{
    const std::string notFound = systemText(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(notFound.size(), 2u);
    EXPECT_EQ(notFound.substr(notFound.size() - 2), "\r\n");  // kept, not trimmed

    EXPECT_EQ(vetra::format_win32_message("Failed to open zip file", 2),
              "Failed to open zip file. Error code: 2: " + notFound);
    // No full stop before the code when there is no message.
    EXPECT_EQ(vetra::format_win32_message("", 87), "Error code: 87: " + systemText(87));
    EXPECT_EQ(vetra::format_win32_message("", 0), "Error code: 0: " + systemText(0));
}

TEST(Win32Message, CodesWithoutSystemTextEndWithTheirDigits)
{
    const struct {
        const char* message;
        DWORD code;
        const char* expected;
    } cases[] = {
        {"", 0xFFFFFFFF, "Error code: 4294967295"},
        {"GetTempPathW", 0xE0000001, "GetTempPathW. Error code: 3758096385"},
        {"Step", 12345678, "Step. Error code: 12345678"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(systemText(c.code), "") << c.code;
        EXPECT_EQ(vetra::format_win32_message(c.message, c.code), c.expected);
    }
}

TEST(Win32Message, TopBitCodeWithSystemTextPrintsUnsigned)
{
    const DWORD accessDeniedResult = 0x80070005;
    EXPECT_EQ(vetra::format_win32_message("x", accessDeniedResult),
              "x. Error code: 2147942405" + (systemText(accessDeniedResult).empty()
                                                 ? std::string()
                                                 : ": " + systemText(accessDeniedResult)));
}

TEST(Win32Message, SystemTextWithInsertsIsKeptAsItStands)
{
    // "...%1..." needs an argument nobody has; the text still belongs in the
    // message, and formatting it must not read arguments that do not exist.
    const std::string badFormat = systemText(ERROR_BAD_EXE_FORMAT);
    ASSERT_NE(badFormat.find("%1"), std::string::npos);
    EXPECT_EQ(vetra::format_win32_message("Could not create process x.exe", ERROR_BAD_EXE_FORMAT),
              "Could not create process x.exe. Error code: 193: " + badFormat);
}

TEST(Win32Error, CarriesItsCodeAndTheFormattedText)
{
    try {
        throw vetra::win32_error("CreateDirectory failed", ERROR_ACCESS_DENIED);
    } catch (const std::runtime_error& caught) {
        const auto* error = dynamic_cast<const vetra::win32_error*>(&caught);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), 5u);
        EXPECT_STREQ(caught.what(), vetra::format_win32_message("CreateDirectory failed", 5).c_str());

        const vetra::win32_error copy = *error;
        EXPECT_EQ(copy.code(), 5u);
        EXPECT_STREQ(copy.what(), caught.what());
    }
}

TEST(CmdlineErrors, CarryKindAndArgumentButNoText)
{
    try {
        throw vetra::cmdline_runtime_error(vetra::missing_parameter, L"--sfx");
    } catch (const std::runtime_error& caught) {
        EXPECT_STREQ(caught.what(), "");
        const auto& info = dynamic_cast<const vetra::cmdline_error&>(caught);
        EXPECT_EQ(info.kind, 3);
        EXPECT_EQ(info.argument, L"--sfx");
    }
    try {
        throw vetra::cmdline_logic_error(vetra::duplicate_short_name, L"--zip");
    } catch (const std::logic_error& caught) {
        EXPECT_STREQ(caught.what(), "");
        const auto& info = dynamic_cast<const vetra::cmdline_error&>(caught);
        EXPECT_EQ(info.kind, 2);
        EXPECT_EQ(info.argument, L"--zip");
    }
}

}  // namespace
