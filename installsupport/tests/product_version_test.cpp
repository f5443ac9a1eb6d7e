#include "product_version.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

TEST(ProductVersion, SplitsAtDotsLikeStrtokAndReadsTokensLikeAtoi)
{
    struct Case {
        std::string text;
        std::array<int, 4> components;
    };
    const std::vector<Case> cases = {
        {"12.1.7000.0", {12, 1, 7000, 0}},
        {"12.1", {12, 1, 0, 0}},
        {"12..7000", {12, 7000, 0, 0}},
        {"..12...1..7000.", {12, 1, 7000, 0}},
        {"1.2.3.4.5.6", {1, 2, 3, 4}},
        {"abc", {0, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
        {"...", {0, 0, 0, 0}},
        {" \t13x.+2.-7.4b", {13, 2, -7, 4}},
        {"12.1.7000abc.9", {12, 1, 7000, 9}},
        {"12. 7000.8000", {12, 7000, 8000, 0}},
        {"+-5.--3", {0, 0, 0, 0}},
        {"99999999999.1", {2147483647, 1, 0, 0}},
        {"-99999999999", {-2147483647 - 1, 0, 0, 0}},
        {"2147483647.-2147483648", {2147483647, -2147483647 - 1, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseProductVersion(c.text), c.components) << "[" << c.text << "]";
}

TEST(ProductVersion, GateOpensFromMajor12Build7000)
{
    struct Case {
        std::string text;
        bool passes;
    };
    const std::vector<Case> cases = {
        {"", true},  // unreadable or empty: the command goes on
        {"11.9.9999.9", false},
        {"12.1.6999.0", false},
        {"12.1.7000.0", true},
        {"12.0.7000", true},
        {"12.99.6999.99999", false},
        {"13.0.0.0", true},
        {"13", true},
        {"12.1", false},
        {"12..7000", false},
        {"version", false},
        {"-13.0.9000.0", false},
        {"99999999999", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProductVersionGatePasses(c.text), c.passes) << "[" << c.text << "]";
}

}  // namespace
