#include <vetra/entry_names.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using vetra::entry_name_verdict;

// One table for narrow and wide text: every case is checked in both forms.
struct Case {
    const char* name;
    entry_name_verdict verdict;
};

const Case cases[] = {
    {"setup.exe", entry_name_verdict::stays_inside},
    {"a/b/c.txt", entry_name_verdict::stays_inside},
    {"a\\b\\c.txt", entry_name_verdict::stays_inside},
    {"folder/", entry_name_verdict::stays_inside},
    {"./x", entry_name_verdict::stays_inside},
    {".hidden", entry_name_verdict::stays_inside},
    {"a..b", entry_name_verdict::stays_inside},
    {"..a", entry_name_verdict::stays_inside},
    {"console.txt", entry_name_verdict::stays_inside},
    {"COM10", entry_name_verdict::stays_inside},
    {"LPT", entry_name_verdict::stays_inside},
    {"xcon", entry_name_verdict::stays_inside},
    {"con_x.txt", entry_name_verdict::stays_inside},
    {"", entry_name_verdict::stays_inside},
    {"..", entry_name_verdict::leads_outside},
    {"../x.txt", entry_name_verdict::leads_outside},
    {"..\\x.txt", entry_name_verdict::leads_outside},
    {"a/../../x", entry_name_verdict::leads_outside},
    {"a/..", entry_name_verdict::leads_outside},
    {"...", entry_name_verdict::leads_outside},
    {". ./x", entry_name_verdict::leads_outside},
    {"a/.. /x", entry_name_verdict::leads_outside},
    {"/etc/x", entry_name_verdict::leads_outside},
    {"\\x.txt", entry_name_verdict::leads_outside},
    {"\\\\server\\share\\x", entry_name_verdict::leads_outside},
    {"//server/share/x", entry_name_verdict::leads_outside},
    {"C:\\x.txt", entry_name_verdict::leads_outside},
    {"C:x.txt", entry_name_verdict::leads_outside},
    {"file.txt:stream", entry_name_verdict::leads_outside},
    {"a/b:$DATA", entry_name_verdict::leads_outside},
    {"con/../x", entry_name_verdict::leads_outside},
    {"CON", entry_name_verdict::names_device},
    {"con", entry_name_verdict::names_device},
    {"Nul.txt", entry_name_verdict::names_device},
    {"aux.tar.gz", entry_name_verdict::names_device},
    {"prn ", entry_name_verdict::names_device},
    {"COM1 .log", entry_name_verdict::names_device},
    {"com9", entry_name_verdict::names_device},
    {"LPT1", entry_name_verdict::names_device},
    {"lpt9.txt", entry_name_verdict::names_device},
    {"COM0", entry_name_verdict::names_device},
    {"CONIN$", entry_name_verdict::names_device},
    {"conout$.txt", entry_name_verdict::names_device},
    {"a/b/nul", entry_name_verdict::names_device},
    {"sub/CON/x.txt", entry_name_verdict::names_device},
    {"nul.", entry_name_verdict::names_device},
};

TEST(EntryNames, JudgesNarrowAndWideNamesAlike)
{
    for (const auto& c : cases) {
        const std::string narrow(c.name);
        const std::wstring wide(narrow.begin(), narrow.end());
        EXPECT_EQ(vetra::check_entry_name(narrow), c.verdict) << narrow;
        EXPECT_EQ(vetra::check_entry_name(wide), c.verdict) << narrow;
    }
}

TEST(EntryNames, SuperscriptPortDigitsNameDevices)
{
    EXPECT_TRUE(vetra::is_device_name(std::wstring_view(L"COM\u00B9")));
    EXPECT_TRUE(vetra::is_device_name(std::wstring_view(L"lpt\u00B2.txt")));
    EXPECT_TRUE(vetra::is_device_name(std::string_view("COM\xB3")));
    EXPECT_FALSE(vetra::is_device_name(std::wstring_view(L"COM\u00B4")));
}

}  // namespace
