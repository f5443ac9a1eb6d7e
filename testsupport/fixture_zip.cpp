#include <testsupport/fixture_zip.h>

#include <minizip/zip.h>

#include <stdexcept>

namespace testsupport {

std::uint32_t dosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const auto time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | time;
}

void writeFixtureZip(const std::filesystem::path& path, const std::vector<FixtureEntry>& entries)
{
    zipFile writer = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
    if (!writer)
        throw std::runtime_error("cannot create " + path.string());
    int status = ZIP_OK;
    for (const auto& entry : entries) {
        zip_fileinfo info{};
        info.dosDate = entry.dosDateTime;
        info.external_fa = entry.externalAttributes;
        const int method = static_cast<int>(entry.method);
        // bzip2 takes its block size (1 to 9) where deflate takes a level.
        const int level = entry.method == ZipMethod::bzip2 ? 9 : Z_DEFAULT_COMPRESSION;
        status = zipOpenNewFileInZip64(writer, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                       level, entry.data.size() >= 0xFFFFFFFFu);
        if (status == ZIP_OK && !entry.data.empty())
            status = zipWriteInFileInZip(writer, entry.data.data(), static_cast<unsigned>(entry.data.size()));
        if (status == ZIP_OK)
            status = zipCloseFileInZip(writer);
        if (status != ZIP_OK)
            break;
    }
    const int closeStatus = zipClose(writer, nullptr);
    if (status != ZIP_OK || closeStatus != ZIP_OK)
        throw std::runtime_error("minizip failed writing " + path.string());
}

}  // namespace testsupport
