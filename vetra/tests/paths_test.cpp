#include <vetra/paths.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring prefix(vetra::long_path_prefix);

TEST(Paths, StripsTrailingBackslashesOnly)
{
    const struct {
        std::wstring path, expected;
    } cases[] = {
        {L"C:\\", L"C:"},        {L"C:\\a\\\\\\", L"C:\\a"}, {L"\\\\\\", L""}, {L"", L""},
        {L"C:\\a/", L"C:\\a/"},  {L"\\a", L"\\a"},
    };
    for (const auto& c : cases) {
        std::wstring inPlace = c.path;
        vetra::strip_trailing_backslashes(inPlace);
        EXPECT_EQ(inPlace, c.expected) << c.path;
        EXPECT_EQ(vetra::without_trailing_backslashes(c.path), c.expected) << c.path;
    }
}

TEST(Paths, JoinPutsOneBackslashBetweenNonEmptySides)
{
    const struct {
        std::wstring left, right, expected;
    } cases[] = {
        {L"C:\\x\\", L"y", L"C:\\x\\y"}, {L"C:\\x", L"y", L"C:\\x\\y"},     {L"", L"y", L"y"},
        {L"C:\\x", L"", L"C:\\x"},       {L"C:\\x", L"\\y", L"C:\\x\\\\y"}, {L"C:\\x/", L"y", L"C:\\x/\\y"},
        {L"", L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vetra::join_path(c.left, c.right), c.expected) << c.left << L" + " << c.right;
}

TEST(Paths, SplitsAtTheLastBackslashOutsideTheLongPathPrefix)
{
    const struct {
        std::wstring path, parent, leaf;
    } cases[] = {
        {prefix + L"C:\\x", prefix + L"C:", L"x"},
        {prefix + L"C:", L"", L""},
        {prefix, L"", L""},
        {prefix + L"C:\\a\\\\b", prefix + L"C:\\a", L"b"},
        {prefix + L"\\x", prefix, L"x"},  // the prefix is never trimmed into
        {L"name.txt", L"", L""},          // a bare name has no leaf either
        {L"C:\\dir\\", L"C:\\dir", L""},
        {L"C:\\dir\\\\\\", L"C:\\dir", L""},
        {L"C:\\a\\b.txt", L"C:\\a", L"b.txt"},
        {L"C:\\", L"C:", L""},
        {L"\\\\server\\share", L"\\\\server", L"share"},
        {L"\\x", L"", L"x"},
        {L"C:\\a/b", L"C:", L"a/b"},  // a forward slash separates nothing
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring parent = L"stale", leaf = L"stale";
        vetra::split_path(c.path, parent, leaf);
        EXPECT_EQ(parent, c.parent) << c.path;
        EXPECT_EQ(leaf, c.leaf) << c.path;
        EXPECT_EQ(vetra::parent_path(c.path), c.parent) << c.path;
    }
}

TEST(Paths, SplitMayWriteIntoItsOwnInput)
{
    std::wstring path = L"C:\\a\\b", leaf;
    vetra::split_path(path, path, leaf);
    EXPECT_EQ(path, L"C:\\a");
    EXPECT_EQ(leaf, L"b");

    std::wstring parent;
    path = L"C:\\a\\b";
    vetra::split_path(path, parent, path);
    EXPECT_EQ(parent, L"C:\\a");
    EXPECT_EQ(path, L"b");
}

TEST(Paths, ExtensionStartsAtTheLastFullStopOfTheWholePath)
{
    const struct {
        std::wstring path, expected;
    } cases[] = {
        {L"C:\\x\\setup.exe", L".exe"}, {L"run.cmd", L".cmd"}, {L"a.tar.gz", L".gz"},
        {L"C:\\dir.old\\setup", L".old\\setup"}, {L"C:\\dir\\setup", L""}, {L"name.", L"."}, {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vetra::path_extension(c.path), c.expected) << c.path;
}

}  // namespace
