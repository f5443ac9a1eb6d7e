#include "layout_checks.h"

#include <sfx/container_layout.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace stubsmith;

std::string marker()
{
    const auto bytes = sfx::compose_marker();
    return std::string(bytes.begin(), bytes.end());
}

TEST(LayoutChecks, ZipFilesFrom2GiBOnAreRefused)
{
    EXPECT_NO_THROW(check_archive_size(0));
    EXPECT_NO_THROW(check_archive_size(0x7FFFFFFF));
    EXPECT_THROW(check_archive_size(0x80000000), layout_error);
    EXPECT_THROW(check_archive_size(0x100000001ull), layout_error);
}

TEST(LayoutChecks, StubImageMustHoldNoMarkerAndLeaveRoom)
{
    std::string image(4096, '\0');
    image.replace(100, 4, "PK\x03\x04");  // a signature in the stub is harmless
    EXPECT_NO_THROW(check_stub_image(reinterpret_cast<const unsigned char*>(image.data()), image.size()));
    image.replace(4000, 8, marker());
    EXPECT_THROW(check_stub_image(reinterpret_cast<const unsigned char*>(image.data()), image.size()), layout_error);
    EXPECT_NO_THROW(check_stub_size(sfx::max_stub_and_settings_size));
    EXPECT_THROW(check_stub_size(sfx::max_stub_and_settings_size + 1), layout_error);
}

TEST(LayoutChecks, SettingsMustFitTheFirstMiBLess4AndHoldNoZeroOrSignature)
{
    const std::string settings = marker() + "\r\nAllowOverride=0\r\n";
    EXPECT_NO_THROW(check_settings_text(settings, 1048572 - settings.size()));
    EXPECT_THROW(check_settings_text(settings, 1048572 - settings.size() + 1), layout_error);
    EXPECT_THROW(check_settings_text(settings + std::string(1, '\0'), 1000), layout_error);
    EXPECT_THROW(check_settings_text(settings + "LaunchExe=PK\x03\x04.exe\r\n", 1000), layout_error);
    EXPECT_NO_THROW(check_settings_text(settings + "LaunchExe=PK\x03.exe\r\n", 1000));
}

}  // namespace
