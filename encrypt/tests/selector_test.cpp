// The selector is read like the C atoi.
#include "selector.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(Selector, ReadsLikeAtoi)
{
    const std::vector<std::pair<std::wstring, int>> cases = {
        {L"1", 1}, {L"01", 1}, {L"+1", 1}, {L" 1", 1}, {L"\t\n 1", 1}, {L"1x", 1}, {L"1 2", 1},
        {L"2", 2}, {L"0", 0}, {L"abc", 0}, {L"", 0}, {L"-1", -1}, {L"+-1", 0}, {L"x1", 0},
        {L"2147483647", INT_MAX}, {L"-2147483648", INT_MIN},
        // Too large for int: clamped, never wrapped round to 1.
        {L"4294967297", INT_MAX}, {L"18446744073709551617", INT_MAX}, {L"-4294967295", INT_MIN},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(SelectorValue(text.c_str()), value) << "[" << std::string(text.begin(), text.end()) << "]";
}

}  // namespace
