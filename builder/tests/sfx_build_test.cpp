// build_sfx inside a test program that carries a stand-in stub as its
// resource "SFX" 101.
#include "layout_checks.h"
#include "sfx_build.h"
#include "version_resource.h"
#include "zip_check.h"

#include <sfx/container_layout.h>

#include <testsupport/fixture_zip.h>
#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

#include <vetra/errors.h>
#include <vetra/temp_files.h>
#include <vetra/unique_handle.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

using namespace stubsmith;
using testsupport::readFile;
using testsupport::ScratchFolder;
using testsupport::writeFile;
namespace fs = std::filesystem;

std::string marker()
{
    const auto bytes = sfx::compose_marker();
    return std::string(bytes.begin(), bytes.end());
}

// A self-extractor split at its marker and the zip's first signature.
struct Container {
    std::string stub, settings, archive;
};

Container split(const std::string& file)
{
    const std::size_t s = file.find(marker());
    EXPECT_NE(s, std::string::npos);
    const std::size_t z = file.find("PK\x03\x04", s);
    if (s == std::string::npos || z == std::string::npos)
        return {file, {}, {}};
    return {file.substr(0, s), file.substr(s, z - s), file.substr(z)};
}

std::set<std::wstring> settingsTempFiles()
{
    std::set<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(vetra::temp_directory())) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.size() > 3 && _wcsnicmp(name.c_str(), L"sfx", 3) == 0)
            names.insert(name);
    }
    return names;
}

std::string sampleZip(const fs::path& path)
{
    using testsupport::ZipMethod;
    testsupport::writeFixtureZip(path, {{"setup.cmd", "@echo off\r\nexit /b 7\r\n", ZipMethod::stored},
                                        {"bin/", "", ZipMethod::stored},
                                        {"bin/payload.dat", std::string(5000, 'x'), ZipMethod::deflate},
                                        {"config/deep/agent.ini", "[agent]\r\nname=one\r\n", ZipMethod::bzip2}});
    return readFile(path);
}

class SfxBuild : public ::testing::Test {
protected:
    ScratchFolder folder;
    fs::path zip = folder / "pkg.zip";
    fs::path output = folder / "out.exe";

    void build(const sfx::sfx_settings& settings = {}, const version_info& version = {})
    {
        build_sfx(output.wstring(), zip.wstring(), settings, version);
    }

    // Runs the build and expects it to fail with an exception of type Error
    // whose text begins with prefix, leaving no output behind.
    template <typename Error>
    void expectFailure(const std::string& prefix, const sfx::sfx_settings& settings = {},
                       const version_info& version = {})
    {
        try {
            build(settings, version);
            ADD_FAILURE() << "no failure, expected " << prefix;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
        }
        EXPECT_FALSE(fs::exists(output));
    }
};

TEST_F(SfxBuild, OutputIsStubThenSettingsThenZipAndRuns)
{
    const std::string zipBytes = sampleZip(zip);
    writeFile(output, std::string(3 << 20, 'o'));  // an older, larger file is replaced
    const auto tempBefore = settingsTempFiles();

    sfx::sfx_settings settings;
    settings.AllowOverride = true;
    settings.ArgumentPrefix = L"-!";
    settings.TargetDirectory = L"Ziel \x00e4\x00f6\x00fc \x4e2d";
    settings.LaunchExe = L"setup.cmd";
    settings.LaunchArguments = L"/q \x00e9t\x00e9";
    settings.Cleanup = true;
    build(settings);

    const std::string file = readFile(output);
    const Container parts = split(file);
    EXPECT_EQ(parts.stub.substr(0, 2), "MZ");
    EXPECT_EQ(parts.settings,
              marker() +
                  "\r\nAllowOverride=1\r\nArgumentPrefix=-!\r\nLaunchArguments=/q \xc3\xa9t\xc3\xa9\r\nCleanup=1\r\n"
                  "LaunchExe=setup.cmd\r\nTargetDirectory=Ziel \xc3\xa4\xc3\xb6\xc3\xbc \xe4\xb8\xad\r\nShowErrors=0\r\n");
    EXPECT_EQ(parts.archive, zipBytes);
    EXPECT_EQ(file.size(), parts.stub.size() + parts.settings.size() + zipBytes.size());
    EXPECT_EQ(settingsTempFiles(), tempBefore);

    // The stand-in stub exits with its argument count: the image is still a
    // program after the resource update and the append.
    fs::copy_file(output, folder / "copy.exe");
    const auto run = testsupport::runProgram(folder / "copy.exe", std::vector<std::wstring>{L"a", L"b"}, folder.path());
    EXPECT_EQ(run.exitCode, 2u);
}

TEST_F(SfxBuild, DefaultSettingsWriteZerosAndEmptyTexts)
{
    sampleZip(zip);
    build();
    EXPECT_EQ(split(readFile(output)).settings,
              marker() + "\r\nAllowOverride=0\r\nArgumentPrefix=\r\nLaunchArguments=\r\nCleanup=0\r\nLaunchExe=\r\n"
                         "TargetDirectory=\r\nShowErrors=0\r\n");
}

// A zip of exactly size bytes: one stored entry filled up to that size.
std::string zipOfSize(const fs::path& path, std::size_t size)
{
    using testsupport::ZipMethod;
    testsupport::writeFixtureZip(path, {{"fill.bin", "", ZipMethod::stored}});
    const std::size_t overhead = static_cast<std::size_t>(fs::file_size(path));
    std::string fill(size - overhead, '\0');
    for (std::size_t i = 0; i < fill.size(); i += 4096)
        fill[i] = static_cast<char>(i / 4096 * 7 + 1);
    testsupport::writeFixtureZip(path, {{"fill.bin", fill, ZipMethod::stored}});
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.size(), size);
    return bytes;
}

TEST_F(SfxBuild, ZipsOfOneChunkAndOfOneByteMoreAreCopiedWhole)
{
    for (const std::uint32_t size : {zip_chunk_size, zip_chunk_size + 1}) {
        const std::string bytes = zipOfSize(zip, size);
        build();
        const std::string file = readFile(output);
        ASSERT_GT(file.size(), bytes.size());
        EXPECT_TRUE(file.compare(file.size() - bytes.size(), bytes.size(), bytes) == 0) << size;
        const std::size_t settingsEnd = file.size() - bytes.size();
        EXPECT_TRUE(file.compare(settingsEnd - 14, 14, "ShowErrors=0\r\n") == 0) << size;
    }
}

TEST_F(SfxBuild, FailuresBeforeTheStubWriteLeaveAnExistingOutputAlone)
{
    writeFile(output, "older");
    try {
        build();
        ADD_FAILURE() << "missing zip accepted";
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(error.code(), 2u);
        EXPECT_EQ(std::string(error.what()).rfind("Failed to open zip file. Error code: 2: ", 0), 0u);
    }

    // A zip of 2 GiB (sparse) is refused before the output is touched.
    {
        vetra::unique_file big(::CreateFileW(zip.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(big);
        LARGE_INTEGER size;
        size.QuadPart = 0x80000000LL;
        ASSERT_TRUE(::SetFilePointerEx(big.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(big.get()));
    }
    EXPECT_THROW(build(), layout_error);
    EXPECT_EQ(readFile(output), "older");
}

TEST_F(SfxBuild, ZipsTheReaderCannotReadAreRefusedBeforeTheOutputIsTouched)
{
    const std::string valid = sampleZip(zip);
    const std::size_t central = valid.find("PK\x01\x02");
    const std::size_t second_local = valid.find("PK\x03\x04", 4);
    ASSERT_NE(central, std::string::npos);
    ASSERT_NE(second_local, std::string::npos);
    auto damaged = [&valid](std::size_t at) {
        std::string bytes = valid;
        bytes[at] = 'X';
        return bytes;
    };
    struct Refused {
        const char* what;
        std::string bytes;
        std::string message;
    };
    const std::string name = zip.string();
    const Refused cases[] = {
        {"empty file", "", "The zip file " + name + " does not start with a local file header."},
        {"text", "not a zip at all", "The zip file " + name + " does not start with a local file header."},
        {"stub in front", "MZ" + valid, "The zip file " + name + " does not start with a local file header."},
        {"no entries", std::string("PK\x05\x06", 4) + std::string(18, '\0'), "The zip file " + name + " holds no entries."},
        {"no end record", valid.substr(0, valid.size() - 22),
         "The central directory of the zip file " + name + " cannot be read."},
        {"damaged directory", damaged(central), "The central directory of the zip file " + name + " cannot be read."},
        {"damaged second header", damaged(second_local),
         "The entry bin/ of the zip file " + name + " cannot be read."},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(zip, c.bytes);
        fs::remove(output);
        expectFailure<unreadable_zip_error>(c.message);
        writeFile(output, "older");
        EXPECT_THROW(build(), unreadable_zip_error);
        EXPECT_EQ(readFile(output), "older");
    }
}

TEST_F(SfxBuild, FailuresAfterTheStubWriteRemoveTheOutput)
{
    writeFile(output, "older");
    sampleZip(zip);
    version_info version;
    version.file_version = L"1.2.3.4.5";
    version.product_version = L"1";
    expectFailure<std::invalid_argument>("version", {}, version);
    version.file_version = L"1..2";
    expectFailure<boost::bad_lexical_cast>("bad lexical cast", {}, version);
    version.file_version = L"1.2";
    version.company_name.assign(33000, L'c');
    expectFailure<version_resource_too_long>("Version information too long", {}, version);
    // Version strings whose UTF-16 bytes spell the settings marker would make
    // the stub find its settings inside itself.
    version.company_name = L"Firma \x565B\x4B45\x4653\x5D58";
    expectFailure<layout_error>("The SFX Stub holds the settings marker", {}, version);
    // Only one of the two versions: no version resource, so no marker either.
    version.product_version.clear();
    build({}, version);
    EXPECT_TRUE(fs::exists(output));
}

TEST_F(SfxBuild, StubAndSettingsMustFitTheFirstMiBLess4Bytes)
{
    const std::string zipBytes = sampleZip(zip);
    build();
    const std::size_t used = static_cast<std::size_t>(fs::file_size(output)) - zipBytes.size();

    sfx::sfx_settings settings;
    settings.LaunchArguments.assign(sfx::max_stub_and_settings_size - used, L'a');
    build(settings);
    EXPECT_EQ(fs::file_size(output), sfx::max_stub_and_settings_size + zipBytes.size());

    settings.LaunchArguments += L'a';
    expectFailure<layout_error>("The SFX Stub and its settings take 1048573 bytes", settings);
}

TEST_F(SfxBuild, SettingsThatHoldAZipSignatureAreRefused)
{
    sampleZip(zip);
    sfx::sfx_settings settings;
    settings.LaunchExe = L"PK\x03\x04.exe";
    expectFailure<layout_error>("The SFX settings hold a zip signature", settings);
}

TEST_F(SfxBuild, OutputNamingTheZipFailsAndKeepsTheZip)
{
    const std::string zipBytes = sampleZip(zip);
    try {
        build_sfx(zip.wstring(), zip.wstring(), {}, {});
        ADD_FAILURE() << "zip overwritten by its own self-extractor";
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Failed to create output file", 0), 0u) << error.what();
    }
    EXPECT_EQ(readFile(zip), zipBytes);
}

}  // namespace
