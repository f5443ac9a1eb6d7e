#include "version_numbers.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using stubsmith::parse_version;
using stubsmith::version_numbers;

TEST(ParseVersion, FillsNumbersFromTheFirstAndZeroesTheRest)
{
    const struct {
        const wchar_t* text;
        version_numbers expected;
    } cases[] = {
        {L"14.3", {14, 3, 0, 0}},
        {L"1.2.3.4", {1, 2, 3, 4}},
        {L"7", {7, 0, 0, 0}},
        {L"+1.2", {1, 2, 0, 0}},
        {L"-1.0.65536.2147483647", {-1, 0, 65536, 2147483647}},
        {L"-2147483648", {-2147483647 - 1, 0, 0, 0}},
        {L"007.010", {7, 10, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_version(c.text), c.expected) << c.text;
}

TEST(ParseVersion, MoreThanFourPiecesIsInvalidArgumentVersion)
{
    for (const wchar_t* text : {L"1.2.3.4.5", L"1.2.3.4.", L"....."}) {
        try {
            parse_version(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "version");
        }
    }
}

TEST(ParseVersion, PiecesThatAreNoSigned32BitDecimalAreBadLexicalCasts)
{
    for (const wchar_t* text : {L"", L"1..2", L"1.2.", L".1", L"1.2a", L" 1", L"1 ", L"0x10", L"2147483648",
                                L"-2147483649", L"1.99999999999", L"+", L"-", L"1,2", L"\x0661"}) {
        try {
            parse_version(text);
            ADD_FAILURE() << "accepted piece text";
        } catch (const boost::bad_lexical_cast& error) {
            EXPECT_STREQ(error.what(), "bad lexical cast: source type value could not be interpreted as target");
        }
    }
}

}  // namespace
