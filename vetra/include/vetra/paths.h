#pragma once
// Trimming, splitting and joining Windows paths as plain strings: nothing here
// asks the file system, and no Windows header is needed, so these also build
// natively.
//
// Only the backslash separates components (a forward slash is an ordinary
// character), comparisons are exact, and no function normalises a path beyond
// what it says.

#include <string>
#include <string_view>

namespace vetra {

// "\\?\": the prefix of a path that bypasses the system's path parsing.
// split_path never splits inside it; no function adds it.
inline constexpr std::wstring_view long_path_prefix = L"\\\\?\\";

// Removes every backslash at the end of path, in place: C:\ becomes C:, and a
// path made only of backslashes becomes empty.
void strip_trailing_backslashes(std::wstring& path);

// A copy of path without its trailing backslashes.
std::wstring without_trailing_backslashes(const std::wstring& path);

// left, one backslash unless left is empty or already ends with one, then
// right. An empty side yields the other side unchanged; a leading backslash of
// right is kept.
std::wstring join_path(const std::wstring& left, const std::wstring& right);

// Splits path at its last backslash (looking only behind a long_path_prefix):
// parent gets what comes before it, without trailing backslashes (the prefix
// itself is never trimmed); leaf gets what comes after it, possibly empty.
// Without such a backslash both are set to empty, so a bare name yields an
// empty leaf, not the name.
void split_path(const std::wstring& path, std::wstring& parent, std::wstring& leaf);

// The parent that split_path yields.
std::wstring parent_path(const std::wstring& path);

// The last full stop anywhere in path (folder names included) and all that
// follows it, or empty when there is none: C:\dir.old\setup gives .old\setup.
std::wstring path_extension(const std::wstring& path);

}  // namespace vetra
