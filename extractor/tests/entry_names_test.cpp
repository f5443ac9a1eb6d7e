#include "entry_names.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryNames, BecomePathsBelowTheTargetWithoutDotOrEmptyLevels)
{
    struct named {
        const wchar_t* name;
        const wchar_t* relative;
        bool folder;
    };
    const named cases[] = {
        {L"file.txt", L"file.txt", false},
        {L"dir/sub/file.txt", L"dir\\sub\\file.txt", false},
        {L"dir/sub/", L"dir\\sub", true},
        {L"dir\\sub\\", L"dir\\sub", true},
        {L"./setup.cmd", L"setup.cmd", false},
        {L"./", L"", true},
        {L".", L"", false},
        {L"", L"", false},
        {L"a/./b//c", L"a\\b\\c", false},
        {L"a//", L"a", true},
        {L".hidden/.x", L".hidden\\.x", false},
        {L"a..b/c", L"a..b\\c", false},
    };
    for (const named& entry : cases) {
        const unfurler::entry_path path = unfurler::entry_relative_path(entry.name);
        EXPECT_EQ(path.relative, entry.relative) << testing::PrintToString(std::wstring(entry.name));
        EXPECT_EQ(path.folder, entry.folder) << testing::PrintToString(std::wstring(entry.name));
    }
}

}  // namespace
