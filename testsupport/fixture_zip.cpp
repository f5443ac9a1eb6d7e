#include <testsupport/fixture_zip.h>

#include <minizip/unzip.h>
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
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
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

std::vector<PackageEntry> readPackage(const std::filesystem::path& path)
{
    unzFile reader = unzOpen64(path.string().c_str());
    if (!reader)
        throw std::runtime_error("cannot open " + path.string());
    std::vector<PackageEntry> entries;
    std::string failure;
    for (int status = unzGoToFirstFile(reader); status == UNZ_OK && failure.empty();
         status = unzGoToNextFile(reader)) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(reader, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            failure = "unreadable entry information";
            break;
        }
        PackageEntry entry;
        entry.name.resize(info.size_filename);
        unzGetCurrentFileInfo64(reader, &info, &entry.name[0], static_cast<uLong>(entry.name.size()), nullptr, 0,
                                nullptr, 0);
        entry.method = static_cast<int>(info.compression_method);
        entry.crc = static_cast<std::uint32_t>(info.crc);
        entry.dosDateTime = static_cast<std::uint32_t>(info.dosDate);
        entry.compressedSize = info.compressed_size;
        entry.externalAttributes = static_cast<std::uint32_t>(info.external_fa);
        if (unzOpenCurrentFile(reader) != UNZ_OK) {
            failure = "cannot decode " + entry.name;
            break;
        }
        char buffer[65536];
        int count;
        while ((count = unzReadCurrentFile(reader, buffer, sizeof buffer)) > 0)
            entry.data.append(buffer, static_cast<std::size_t>(count));
        entry.crcOk = unzCloseCurrentFile(reader) == UNZ_OK && count == 0;
        entries.push_back(std::move(entry));
    }
    unzClose(reader);
    if (!failure.empty())
        throw std::runtime_error(path.string() + ": " + failure);
    return entries;
}

std::vector<std::string> entryNames(const std::vector<PackageEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    return names;
}

}  // namespace testsupport
