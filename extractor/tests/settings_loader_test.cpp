#include "settings_loader.h"

#include "container_kit.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

sfx::sfx_settings load(const std::wstring& text)
{
    sfx::sfx_settings settings;
    unfurler::load_sfx_settings(text, settings);
    return settings;
}

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

TEST(SettingsLoader, MissingKeysTakeTheirDefaults)
{
    const sfx::sfx_settings settings = load(wide(unfurler_test::settings_block({})));
    EXPECT_TRUE(settings.AllowOverride);
    EXPECT_EQ(settings.ArgumentPrefix, L"-!");
    EXPECT_EQ(settings.TargetDirectory, L"");
    EXPECT_EQ(settings.LaunchExe, L"");
    EXPECT_EQ(settings.LaunchArguments, L"<pass>");
    EXPECT_TRUE(settings.ShowErrors);
    EXPECT_FALSE(settings.Cleanup);
}

TEST(SettingsLoader, EmptyValuesAreEmptyNotDefaults)
{
    const sfx::sfx_settings settings = load(wide(unfurler_test::settings_block(
        {{"ArgumentPrefix", ""}, {"LaunchArguments", ""}, {"AllowOverride", "0"}, {"ShowErrors", "0"}})));
    EXPECT_EQ(settings.ArgumentPrefix, L"");
    EXPECT_EQ(settings.LaunchArguments, L"");
    EXPECT_FALSE(settings.AllowOverride);
    EXPECT_FALSE(settings.ShowErrors);
}

TEST(SettingsLoader, ValuesAsTheProfileReaderReadsThem)
{
    const std::string long_value(300, 'x');
    const std::string exactly_254(254, 'y');
    const sfx::sfx_settings settings = load(wide(unfurler_test::settings_block({{"AllowOverride", "1"},
                                                                                {"ArgumentPrefix", "/"},
                                                                                {"LaunchArguments", long_value},
                                                                                {"Cleanup", "2"},
                                                                                {"LaunchExe", "\"setup.cmd\""},
                                                                                {"TargetDirectory", exactly_254},
                                                                                {"ShowErrors", "yes"}})));
    EXPECT_EQ(settings.ArgumentPrefix, L"/");
    EXPECT_EQ(settings.LaunchArguments, wide(long_value));
    EXPECT_TRUE(settings.Cleanup);
    EXPECT_EQ(settings.LaunchExe, L"setup.cmd");
    EXPECT_EQ(settings.TargetDirectory, wide(exactly_254));
    EXPECT_FALSE(settings.ShowErrors);
}

TEST(SettingsLoader, LeavesNoTemporaryFileBehind)
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    auto count = [&temp] {
        WIN32_FIND_DATAW data;
        int found = 0;
        HANDLE find = ::FindFirstFileW((std::wstring(temp) + L"vek*.tmp").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                ++found;
            while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
        return found;
    };
    const int before = count();
    load(wide(unfurler_test::settings_block({{"LaunchExe", "a.exe"}})));
    EXPECT_EQ(count(), before);
}

}  // namespace
