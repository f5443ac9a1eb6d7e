#include "entry_names.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryNames, ForwardSlashesBecomeBackslashes)
{
    EXPECT_EQ(unfurler::entry_relative_path(L"dir/sub/file.txt"), L"dir\\sub\\file.txt");
    EXPECT_EQ(unfurler::entry_relative_path(L"dir/sub/"), L"dir\\sub\\");
}

TEST(EntryNames, NamesThatLeaveTheTargetFolderAreRecognised)
{
    struct named {
        const wchar_t* path;
        bool leaves;
    };
    const named cases[] = {
        {L"file.txt", false},          {L"dir\\sub\\", false},      {L"..file", false},
        {L"a..b\\c", false},           {L".hidden\\x", false},      {L".\\x", false},
        {L"..\\evil.txt", true},       {L"dir\\..\\..\\x", true},   {L"dir\\..", true},
        {L"\\windows\\x", true},       {L"\\\\server\\share\\x", true}, {L"C:\\x", true},
        {L"C:x", true},                {L"...\\x", true},           {L"dir\\. .\\x", true},
    };
    for (const named& entry : cases)
        EXPECT_EQ(unfurler::leaves_target_folder(entry.path), entry.leaves) << testing::PrintToString(std::wstring(entry.path));
}

}  // namespace
