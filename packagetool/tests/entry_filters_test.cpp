#include "entry_filters.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct FilterCase {
    const char* text;
    const char* str;
    bool isExtract;
    bool isWildCard;
};

TEST(Filter, ParsesSuffixesInOrderAtTheEndOnly)
{
    const FilterCase cases[] = {
        {"com\\torvane\\*:NOEXTRACT", "com\\torvane\\", false, true},
        {"com/torvane/*", "com\\torvane\\", true, true},
        {"x.txt:NOEXTRACT", "x.txt", false, false},
        {"x.txt:noextract", "x.txt:noextract", true, false},
        {"dir:NOEXTRACT*", "dir:NOEXTRACT", true, true},
        {":NOEXTRACT", "", false, false},
        {"NOEXTRACT", "NOEXTRACT", true, false},
        {"*", "", true, true},
        {"**", "*", true, true},
        {"a*b?", "a*b?", true, false},
        {"", "", true, false},
    };
    for (const auto& c : cases) {
        const Filter filter(c.text);
        EXPECT_EQ(filter.str, c.str) << c.text;
        EXPECT_EQ(filter.isExtract, c.isExtract) << c.text;
        EXPECT_EQ(filter.isWildCard, c.isWildCard) << c.text;
    }
    const Filter absent(nullptr);
    EXPECT_EQ(absent.str, "");
    EXPECT_TRUE(absent.isExtract);
}

TEST(FilterList, EmptyWhenGivenNoTexts)
{
    EXPECT_EQ(FilterList(nullptr, 3).count(), 0);
    const char* texts[] = {"a"};
    EXPECT_EQ(FilterList(texts, 0).count(), 0);
    EXPECT_EQ(FilterList(texts, -1).count(), 0);
    EXPECT_EQ(FilterList(texts, 1).count(), 1);
}

// Runs match and returns what it printed.
std::string matchPrinting(const FilterList& list, const char* name, bool& matched, Filter& result)
{
    testing::internal::CaptureStdout();
    matched = list.match(name, result);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(FilterList, MatchesPrefixesAndWholeNames)
{
    struct MatchCase {
        const char* filterText;
        const char* entryName;
        bool matches;
    };
    const MatchCase cases[] = {
        {"com\\torvane\\*", "com/torvane/a.txt", true},
        {"com\\torvane\\*", "COM/Torvane/sub/b.txt", true},
        {"com\\torvane\\*", "com/torvane/", true},
        {"com\\torvane\\*", "com/torvanex.txt", false},
        {"com\\torvane\\*", "com/a.txt", false},
        {"com\\torvane\\*", "com/torvane", false},
        {"com*", "common.txt", true},
        {"*", "anything/at/all.bin", true},
        {"a.txt", "A.TXT", true},
        {"a.txt", "sub/a.txt", false},
        {"a.txt", "a.txt2", false},
        {"sub/a.txt", "sub/a.txt", true},
        {"sub\\a.txt", "sub/a.txt", true},
        {"sub\\", "sub/", true},
        {"sub\\", "sub", false},
        {"sub", "sub", true},
        {"sub", "sub/", false},
        {"x.txt:noextract", "x.txt", false},
        {"x.txt:noextract", "X.TXT:noextract", true},
        {"\xC4.txt", "\xE4.txt", false},  // only ASCII letters fold
    };
    for (const auto& c : cases) {
        const FilterList list(std::vector<std::string>{c.filterText});
        Filter result;
        bool matched = false;
        const auto printed = matchPrinting(list, c.entryName, matched, result);
        EXPECT_EQ(matched, c.matches) << c.filterText << " on " << c.entryName;
        EXPECT_EQ(printed.empty(), !c.matches) << c.filterText << " on " << c.entryName;
    }
}

TEST(FilterList, FirstMatchDecidesAndPrintsOneLine)
{
    const FilterList list(std::vector<std::string>{"com\\torvane\\*:NOEXTRACT", "com\\*", "*"});
    Filter result;
    bool matched = false;
    const auto printed = matchPrinting(list, "com/torvane/a.txt", matched, result);
    ASSERT_TRUE(matched);
    EXPECT_EQ(printed,
              "Match found: Filter=Filter(str=com\\torvane\\,isExtract=0,isWildCard=1) file=com/torvane/a.txt\n");
    EXPECT_EQ(result.str, "com\\torvane\\");
    EXPECT_FALSE(result.isExtract);
    EXPECT_TRUE(result.isWildCard);

    const auto second = matchPrinting(list, "com/b.txt", matched, result);
    EXPECT_EQ(second, "Match found: Filter=Filter(str=com\\,isExtract=1,isWildCard=1) file=com/b.txt\n");
}

TEST(FilterList, NoMatchLeavesTheResultAlone)
{
    const FilterList list(std::vector<std::string>{"a.txt"});
    Filter result;
    result.str = "untouched";
    result.isExtract = false;
    bool matched = true;
    const auto printed = matchPrinting(list, "b.txt", matched, result);
    EXPECT_FALSE(matched);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(result.str, "untouched");
    EXPECT_FALSE(result.isExtract);
}

TEST(FilterList, LongFilterTextIsCutInTheLineNotInTheMatch)
{
    const std::string longName(600, 'n');
    const FilterList list(std::vector<std::string>{longName});
    Filter result;
    bool matched = false;
    const auto printed = matchPrinting(list, longName.c_str(), matched, result);
    EXPECT_TRUE(matched);
    EXPECT_EQ(result.str, longName);
    // The filter's description is held in 512 characters.
    const std::string expectedStart = "Match found: Filter=Filter(str=" + std::string(511 - 11, 'n') + " file=";
    EXPECT_EQ(printed.substr(0, expectedStart.size()), expectedStart);
}

}  // namespace
