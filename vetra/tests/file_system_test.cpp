#include <vetra/errors.h>
#include <vetra/file_system.h>
#include <vetra/paths.h>

#include <testsupport/scratch_folder.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Folders = std::vector<std::wstring>;

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A scratch folder with a file and a folder in it, made the current folder for
// the test.
class FileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedCurrent_ = vetra::current_directory();
        testsupport::writeFile(scratch_ / L"file.txt", "data");
        ASSERT_TRUE(::CreateDirectoryW(folder().c_str(), nullptr));
        ASSERT_TRUE(::SetCurrentDirectoryW(root().c_str()));
    }
    void TearDown() override { ::SetCurrentDirectoryW(savedCurrent_.c_str()); }

    std::wstring root() const { return scratch_.path().wstring(); }
    std::wstring file() const { return root() + L"\\file.txt"; }
    std::wstring folder() const { return root() + L"\\a"; }

    testsupport::ScratchFolder scratch_;
    std::wstring savedCurrent_;
};

// Runs f, which must raise win32_error with the given message; returns its code.
template <typename F>
DWORD win32ErrorCode(F f, const std::string& message)
{
    try {
        f();
    } catch (const vetra::win32_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind(message + ". Error code: ", 0), 0u) << error.what();
        return error.code();
    }
    ADD_FAILURE() << "no win32_error";
    return 0;
}

TEST_F(FileSystem, PathExistsAnswersForFilesFoldersAndNotFound)
{
    EXPECT_TRUE(vetra::path_exists(file()));
    EXPECT_TRUE(vetra::path_exists(folder()));
    EXPECT_TRUE(vetra::path_exists(folder() + L"\\"));
    EXPECT_FALSE(vetra::path_exists(root() + L"\\missing"));            // error 2
    EXPECT_FALSE(vetra::path_exists(root() + L"\\missing\\deeper"));    // error 3
    EXPECT_FALSE(vetra::path_exists(file() + L"\\below"));
    EXPECT_FALSE(vetra::path_exists(L""));
}

TEST_F(FileSystem, PathExistsRaisesForErrorsOtherThanNotFound)
{
    for (const std::wstring path : {L"\\\\nosuchserver\\share\\x", L"C:\\bad<name"}) {
        const DWORD code = win32ErrorCode([&] { vetra::path_exists(path); }, "GetFileAttributes");
        EXPECT_NE(code, 0u) << path;
        EXPECT_NE(code, 2u) << path;
        EXPECT_NE(code, 3u) << path;
    }
}

TEST_F(FileSystem, IsFileTellsFilesFromFoldersAndRaisesForMissing)
{
    EXPECT_TRUE(vetra::is_file(file()));
    EXPECT_FALSE(vetra::is_file(folder()));
    EXPECT_EQ(win32ErrorCode([&] { vetra::is_file(root() + L"\\missing"); }, "GetFileAttributes"), 2u);
}

TEST_F(FileSystem, CreateDirectoriesLeavesExistingPathsAlone)
{
    for (const std::wstring& path : {folder(), folder() + L"\\\\", file(), std::wstring(L"C:\\"), std::wstring(L"C:"),
                                     std::wstring()})
        EXPECT_EQ(vetra::create_directories(path), Folders{}) << path;
    EXPECT_TRUE(vetra::is_file(file()));
}

TEST_F(FileSystem, CreateDirectoriesReturnsWhatItMadeOutermostFirst)
{
    const std::wstring b = folder() + L"\\b", c = b + L"\\c";
    EXPECT_EQ(vetra::create_directories(c + L"\\\\"), (Folders{b, c}));
    EXPECT_TRUE(isFolder(b));
    EXPECT_TRUE(isFolder(c));

    // Only the new part is reported the second time.
    EXPECT_EQ(vetra::create_directories(c + L"\\d"), (Folders{c + L"\\d"}));
}

TEST_F(FileSystem, CreateDirectoriesKeepsTheLongPathPrefix)
{
    const std::wstring p = std::wstring(vetra::long_path_prefix) + root() + L"\\p", q = p + L"\\q";
    EXPECT_EQ(vetra::create_directories(q), (Folders{p, q}));
    EXPECT_TRUE(isFolder(root() + L"\\p\\q"));
}

TEST_F(FileSystem, CreateDirectoriesRightBelowAPrefixedDriveRoot)
{
    const std::wstring top = L"C:\\vetra-test-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring prefixed = std::wstring(vetra::long_path_prefix) + top;
    EXPECT_EQ(vetra::create_directories(prefixed + L"\\sub"), (Folders{prefixed, prefixed + L"\\sub"}));
    EXPECT_TRUE(isFolder(top + L"\\sub"));
    ::RemoveDirectoryW((top + L"\\sub").c_str());
    ::RemoveDirectoryW(top.c_str());
}

TEST_F(FileSystem, CreateDirectoriesOfARelativeNameStopsAtTheEmptyParent)
{
    EXPECT_EQ(vetra::create_directories(L"fresh"), Folders{L"fresh"});
    EXPECT_EQ(vetra::create_directories(L"rel\\sub"), (Folders{L"rel", L"rel\\sub"}));
    EXPECT_TRUE(isFolder(root() + L"\\fresh"));
    EXPECT_TRUE(isFolder(root() + L"\\rel\\sub"));
}

TEST_F(FileSystem, CreateDirectoriesRaisesWhenAFolderCannotBeMade)
{
    win32ErrorCode([&] { vetra::create_directories(file() + L"\\sub"); }, "CreateDirectory failed");
    win32ErrorCode([&] { vetra::create_directories(L"\\\\nosuchserver\\share\\x"); }, "GetFileAttributes");
}

TEST_F(FileSystem, FullPathResolvesAgainstTheCurrentFolder)
{
    EXPECT_EQ(vetra::full_path(L"x\\y"), root() + L"\\x\\y");
    EXPECT_EQ(vetra::full_path(L""), L"");
    // Longer than the first buffer: the result is asked for again, whole.
    const std::wstring longName(300, L'n');
    EXPECT_EQ(vetra::full_path(longName), root() + L"\\" + longName);
}

TEST_F(FileSystem, CurrentAndSystemFolders)
{
    EXPECT_EQ(vetra::current_directory(), root());

    const std::wstring system = vetra::system_directory();
    ASSERT_FALSE(system.empty());
    EXPECT_NE(system.back(), L'\\');
    EXPECT_TRUE(vetra::is_file(vetra::join_path(system, L"kernel32.dll")));
}

}  // namespace
