#pragma once
// Layout of a self-extracting file: the stub image, then the settings block
// (UTF-8 INI text that begins with the 8-byte marker "[" "VEKSFX" "]"), then a
// zip archive that runs to the end of the file. There is no header and no
// length field: a reader finds the settings by the marker within the first MiB
// and the archive by the first zip local-file signature behind the marker.
//
// The stub's image must never hold the 8 marker bytes in one piece, so the
// marker is never a literal: compose_marker builds it at run time. Needs no
// Windows header.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sfx {

// Both the marker and the archive's first local-file signature must lie wholly
// within this many bytes from the start of the file.
inline constexpr std::uint32_t search_window_size = 1048576;

// Stub image plus settings text may take at most this many bytes, so that the
// 4 signature bytes still fit the search window.
inline constexpr std::uint32_t max_stub_and_settings_size = search_window_size - 4;

// The marker's length in bytes.
inline constexpr std::size_t marker_size = 8;

// The zip local-file-header signature "PK" 3 4 that starts the archive.
inline constexpr std::array<unsigned char, 4> local_file_signature = {0x50, 0x4B, 0x03, 0x04};

// The marker's 8 bytes, composed at run time from a masked form (no image that
// links this holds the plain bytes, not even as an instruction operand).
std::array<char, marker_size> compose_marker();

// Section of the settings and its seven keys (UTF-16, as the private-profile
// functions take them; the wide section name cannot match the 8-byte marker).
inline constexpr wchar_t settings_section[] = L"VEKSFX";
inline constexpr wchar_t key_allow_override[] = L"AllowOverride";
inline constexpr wchar_t key_argument_prefix[] = L"ArgumentPrefix";
inline constexpr wchar_t key_launch_arguments[] = L"LaunchArguments";
inline constexpr wchar_t key_cleanup[] = L"Cleanup";
inline constexpr wchar_t key_launch_exe[] = L"LaunchExe";
inline constexpr wchar_t key_target_directory[] = L"TargetDirectory";
inline constexpr wchar_t key_show_errors[] = L"ShowErrors";

// What the stub uses for a key that a settings block lacks.
inline constexpr int default_allow_override = 1;
inline constexpr wchar_t default_argument_prefix[] = L"-!";
inline constexpr wchar_t default_launch_arguments[] = L"<pass>";
inline constexpr int default_cleanup = 0;
inline constexpr wchar_t default_launch_exe[] = L"";
inline constexpr wchar_t default_target_directory[] = L"";
inline constexpr int default_show_errors = 1;

// Special values of LaunchArguments and TargetDirectory.
inline constexpr wchar_t pass_through_value[] = L"<pass>";
inline constexpr wchar_t temp_folder_value[] = L"<temp>";

// Where the two regions behind the stub start within a search window.
struct payload_position {
    std::size_t settings_offset;  // first byte of the marker
    std::size_t archive_offset;   // first byte of the archive's local-file signature
};

// Offset of the first marker in data[0, size), or size when there is none
// (also when size is below marker_size). Forward byte-by-byte search, no
// alignment.
std::size_t find_marker(const unsigned char* data, std::size_t size);

// Offset of the first local-file signature in data[from, size), or size when
// there is none (also when fewer than 4 bytes remain after from).
std::size_t find_local_file_signature(const unsigned char* data, std::size_t size, std::size_t from);

// The settings text of a found payload: the bytes from the marker up to the
// archive, cut at the first zero byte. Returns its length in bytes.
std::size_t settings_text_length(const unsigned char* data, const payload_position& position);

}  // namespace sfx
