#include <vetra/errors.h>
#include <vetra/text_conversion.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned int westernEuropean = 1252;

TEST(TextConversion, RoundTripsUtf8AndTheEmptyString)
{
    const struct {
        std::string narrow;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"plain", L"plain"},
        {"h\xC3\xA9llo \xE2\x82\xAC", L"h\u00E9llo \u20AC"},
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // outside the basic plane: a surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vetra::to_wide(c.narrow, CP_UTF8), c.wide) << c.narrow;
        EXPECT_EQ(vetra::to_narrow(c.wide, CP_UTF8), c.narrow) << c.narrow;
    }
    EXPECT_EQ(vetra::to_wide("caf\xE9", westernEuropean), L"caf\u00E9");
    EXPECT_EQ(vetra::to_narrow(L"caf\u00E9", westernEuropean), "caf\xE9");
}

TEST(TextConversion, StopsAtTheFirstZero)
{
    EXPECT_EQ(vetra::to_wide(std::string("ab\0cd", 5), CP_UTF8), L"ab");
    EXPECT_EQ(vetra::to_narrow(std::wstring(L"ab\0cd", 5), CP_UTF8), "ab");
    EXPECT_EQ(vetra::to_wide(std::string("\0cd", 3), CP_ACP), L"");
}

TEST(TextConversion, InvalidUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(vetra::to_wide("a\xFF" "b", CP_UTF8), L"a\uFFFDb");
    EXPECT_EQ(vetra::to_wide("\xC3(", CP_UTF8), L"\uFFFD(");  // a sequence cut short
    // A lone surrogate has no UTF-8 form either.
    EXPECT_EQ(vetra::to_narrow(std::wstring(L"a") + wchar_t(0xD800) + L"b", CP_UTF8), "a\xEF\xBF\xBD" "b");
}

TEST(TextConversion, UnrepresentableCharactersBecomeTheDefaultCharacter)
{
    EXPECT_EQ(vetra::to_narrow(L"a\u4E2Db", westernEuropean), "a?b");

    CPINFO ansi{};
    ASSERT_TRUE(::GetCPInfo(CP_ACP, &ansi));
    if (ansi.MaxCharSize == 1) {  // a CJK code page has this character
        EXPECT_EQ(vetra::to_narrow(L"\u4E2D", CP_ACP), std::string(1, static_cast<char>(ansi.DefaultChar[0])));
    }
}

TEST(TextConversion, UnknownCodePageRaises)
{
    const unsigned int noSuchCodePage = 12345;
    try {
        vetra::to_wide("a", noSuchCodePage);
        ADD_FAILURE() << "no error";
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(error.code(), static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(std::string(error.what()).rfind("MultiByteToWideChar failed. Error code: 87", 0), 0u);
    }
    try {
        vetra::to_narrow(L"a", noSuchCodePage);
        ADD_FAILURE() << "no error";
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("WideCharToMultiByte failed. Error code: 87", 0), 0u);
    }
}

}  // namespace
