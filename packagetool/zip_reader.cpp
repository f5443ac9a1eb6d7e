#include "zip_reader.h"

#include "buffered_zip_io.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
unzFile openReader(const std::string& packagePath)
{
    zlib_filefunc64_def functions;
    fillBufferedZipFunctions(functions);
    return unzOpen2_64(packagePath.c_str(), &functions);
}
}  // namespace

ZipReader::ZipReader(const std::string& packagePath) : reader_(openReader(packagePath))
{
    if (!reader_)
        empty_ = isEmptyZipArchive(packagePath);
}

bool isEmptyZipArchive(const std::string& path)
{
    constexpr std::size_t kRecordSize = 22;
    constexpr std::size_t kLargest = kRecordSize + 0xFFFF;  // with the longest comment
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    unsigned char bytes[kLargest + 1];
    const std::size_t size = std::fread(bytes, 1, sizeof bytes, file.get());
    if (size < kRecordSize || size > kLargest || std::memcmp(bytes, "PK\x05\x06", 4) != 0)
        return false;
    auto field16 = [&](std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    auto field32 = [&](std::size_t at) {
        return static_cast<unsigned long>(field16(at)) | (static_cast<unsigned long>(field16(at + 2)) << 16);
    };
    // No disks, no entries, an empty central directory at offset 0, and the
    // comment runs to the end of the file.
    return field16(4) == 0 && field16(6) == 0 && field16(8) == 0 && field16(10) == 0 && field32(12) == 0 &&
           field32(16) == 0 && static_cast<std::size_t>(field16(20)) == size - kRecordSize;
}
