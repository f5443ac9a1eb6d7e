#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>
#include <vetra/scope_exit.h>
#include <vetra/temp_files.h>

#include <testsupport/scratch_folder.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Points TMP at another folder for one test.
class TmpVariable {
public:
    explicit TmpVariable(const std::wstring& value)
    {
        wchar_t saved[32768];
        const DWORD length = ::GetEnvironmentVariableW(L"TMP", saved, 32768);
        hadValue_ = length != 0;
        saved_.assign(saved, length);
        ::SetEnvironmentVariableW(L"TMP", value.c_str());
    }
    ~TmpVariable() { ::SetEnvironmentVariableW(L"TMP", hadValue_ ? saved_.c_str() : nullptr); }

private:
    std::wstring saved_;
    bool hadValue_ = false;
};

std::wstring fileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

TEST(TempFiles, TempDirectoryEndsWithABackslash)
{
    const std::wstring folder = vetra::temp_directory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_FALSE(vetra::is_file(folder));

    testsupport::ScratchFolder scratch;
    const std::wstring elsewhere = scratch.path().wstring() + L"\\" + std::wstring(200, L't');
    TmpVariable tmp(elsewhere);
    EXPECT_EQ(vetra::temp_directory(), elsewhere + L"\\");
}

TEST(TempFiles, TempFileNameCreatesTheFolderAndAnEmptyFile)
{
    testsupport::ScratchFolder scratch;
    const std::wstring folder = scratch.path().wstring() + L"\\missing\\deeper";

    const std::wstring first = vetra::temp_file_name(L"vekxyz", folder);
    const std::wstring second = vetra::temp_file_name(L"vekxyz", folder);
    EXPECT_NE(first, second);
    for (const std::wstring& name : {first, second}) {
        EXPECT_EQ(vetra::parent_path(name), folder);
        EXPECT_EQ(fileNameOf(name).rfind(L"vek", 0), 0u) << name;
        EXPECT_EQ(vetra::path_extension(name), L".tmp");
        ASSERT_TRUE(vetra::is_file(name)) << name;
        EXPECT_EQ(testsupport::readFile(name), "");
    }
}

TEST(TempFiles, TempFileNameInAFolderLongerThanTheUsualBuffer)
{
    testsupport::ScratchFolder scratch;
    std::wstring folder = std::wstring(vetra::long_path_prefix) + scratch.path().wstring();
    for (int level = 0; level < 3; ++level)
        folder += L"\\" + std::wstring(100, static_cast<wchar_t>(L'k' + level));
    // The scratch folder's own cleanup cannot reach this deep.
    std::wstring name;
    const std::vector<std::wstring> created = vetra::create_directories(folder);
    vetra::scope_exit removeAll([&] {
        if (!name.empty())
            ::DeleteFileW(name.c_str());
        for (auto it = created.rbegin(); it != created.rend(); ++it)
            ::RemoveDirectoryW(it->c_str());
    });
    ASSERT_EQ(created.size(), 3u);

    // The system may refuse a folder this long; what it must not do is write
    // past the buffer.
    try {
        name = vetra::temp_file_name(L"sfx", folder);
        EXPECT_EQ(vetra::parent_path(name), folder);
        EXPECT_EQ(fileNameOf(name).rfind(L"sfx", 0), 0u) << name;
        EXPECT_TRUE(vetra::is_file(name));
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("GetTempFileNameW. ", 0), 0u) << error.what();
    }
}

}  // namespace
