#include "container_kit.h"

#include <sfx/container_layout.h>
#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>

namespace unfurler_test {

const std::string& stub_image()
{
    static const std::string image = testsupport::readFile(testsupport::programBesideTests(L"Unfurler.exe"));
    return image;
}

const std::string& probe_image()
{
    static const std::string image = testsupport::readFile(testsupport::programBesideTests(L"unfurler_probe.exe"));
    return image;
}

std::string marker()
{
    const auto bytes = sfx::compose_marker();
    return std::string(bytes.data(), bytes.size());
}

std::string settings_block(const std::vector<std::pair<std::string, std::string>>& keys)
{
    std::string text = marker() + "\r\n";
    for (const auto& [key, value] : keys)
        text += key + "=" + value + "\r\n";
    return text;
}

std::string zip_bytes(const std::vector<testsupport::FixtureEntry>& entries)
{
    testsupport::ScratchFolder scratch;
    const auto path = scratch / "archive.zip";
    testsupport::writeFixtureZip(path, entries);
    return testsupport::readFile(path);
}

void write_container(const std::filesystem::path& path, const container_parts& parts)
{
    testsupport::writeFile(path, parts.stub + parts.settings + parts.gap + parts.archive);
}

void write_container(const std::filesystem::path& path, const std::string& settings,
                     const std::vector<testsupport::FixtureEntry>& entries)
{
    container_parts parts;
    parts.settings = settings;
    parts.archive = zip_bytes(entries);
    write_container(path, parts);
}

}  // namespace unfurler_test
