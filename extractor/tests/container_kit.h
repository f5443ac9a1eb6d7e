#pragma once
// Builds self-extractor files for the tests, the way the builder lays them
// out (stub image, settings text, zip archive), and damaged ones on purpose.

#include <testsupport/fixture_zip.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace unfurler_test {

// The bytes of the Unfurler.exe that the build placed beside the tests.
const std::string& stub_image();

// The settings marker, composed at run time like the stub does.
std::string marker();

// A settings block: the section line, then "key=value" per pair, CR LF line ends.
std::string settings_block(const std::vector<std::pair<std::string, std::string>>& keys);

// The bytes of a zip archive holding entries (written by minizip).
std::string zip_bytes(const std::vector<testsupport::FixtureEntry>& entries);

// One self-extractor file: its regions in file order. gap goes between the
// settings text and the archive (the builder writes none).
struct container_parts {
    std::string stub = stub_image();
    std::string settings;
    std::string gap;
    std::string archive;
};

// Writes stub, settings, gap and archive end to end to path.
void write_container(const std::filesystem::path& path, const container_parts& parts);

// Writes a container that runs as a program (path should end in ".exe").
void write_container(const std::filesystem::path& path, const std::string& settings,
                     const std::vector<testsupport::FixtureEntry>& entries);

// The bytes of the launch probe program, for putting it into an archive.
const std::string& probe_image();

}  // namespace unfurler_test
