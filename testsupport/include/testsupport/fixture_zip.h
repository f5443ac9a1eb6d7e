#pragma once
// Builds fixture packages with minizip's writer.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

enum class ZipMethod { stored = 0, deflate = 8, bzip2 = 12 };

struct FixtureEntry {
    std::string name;  // as stored; a name ending in '/' is a folder entry
    std::string data;
    ZipMethod method = ZipMethod::deflate;
    std::uint32_t dosDateTime = 0x5A8B6000;  // 2025-04-11 12:00:00
    std::uint32_t externalAttributes = 0;
};

// Writes a new package holding the entries in the given order; throws
// std::runtime_error when minizip reports a failure.
void writeFixtureZip(const std::filesystem::path& path, const std::vector<FixtureEntry>& entries);

// One entry as read back from a package.
struct PackageEntry {
    std::string name;
    std::string data;  // decoded bytes
    int method = 0;
    std::uint32_t crc = 0;
    std::uint32_t dosDateTime = 0;
    std::uint64_t compressedSize = 0;
    std::uint32_t externalAttributes = 0;
    bool crcOk = false;  // the decoded bytes matched the stored CRC
};

// Reads every entry of a package in central-directory order; throws
// std::runtime_error when it cannot be opened or an entry cannot be decoded.
std::vector<PackageEntry> readPackage(const std::filesystem::path& path);

// The entries' names, in order.
std::vector<std::string> entryNames(const std::vector<PackageEntry>& entries);

// A DOS date and time from its parts (local time, 2-second resolution).
std::uint32_t dosDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace testsupport
