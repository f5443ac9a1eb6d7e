// The silent switch is a plain, case-sensitive substring test.
#include "silent_switch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SilentSwitch, AddsTheSwitchOnlyWhenTheTextLacksIt)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "/s"},
        {"/qn LOG=x.txt", "/s /qn LOG=x.txt"},
        {"/S", "/s /S"},
        {"/silent", "/silent"},
        {"C:/setupfiles", "C:/setupfiles"},
        {"/", "/s /"},
        {"s", "/s s"},
        {"/s", "/s"},
        {"/qn /s", "/qn /s"},
        {"//s", "//s"},
        {"s/ S", "/s s/ S"},
        {"/qn /", "/s /qn /"},
        {"\"C:\\Program Files\\Kit\" /x", "/s \"C:\\Program Files\\Kit\" /x"},
    };
    for (const auto& [text, expected] : cases) {
        std::string changed = text;
        ensureSilentSwitch(changed);
        EXPECT_EQ(changed, expected) << "[" << text << "]";
    }
}

}  // namespace
