#include "raw_copy.h"

#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t kTransferBufferSize = 4096;
constexpr uLong kEncryptedFlag = 0x0001;
constexpr uLong kDataDescriptorFlag = 0x0008;
constexpr uLong kStrongEncryptionFlag = 0x0040;
constexpr uLong kUtf8NameFlag = 0x0800;
constexpr ZPOS64_T kZip64Threshold = 0xFFFFFFFFu;

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The data descriptor behind an entry's data: signature, CRC-32 and the two
// sizes (8 bytes each for a Zip64 entry).
std::vector<unsigned char> dataDescriptor(const unz_file_info64& info, bool zip64)
{
    std::vector<unsigned char> bytes = {'P', 'K', 7, 8};
    putLittleEndian(bytes, info.crc, 4);
    putLittleEndian(bytes, info.compressed_size, zip64 ? 8 : 4);
    putLittleEndian(bytes, info.uncompressed_size, zip64 ? 8 : 4);
    return bytes;
}

}  // namespace

RawCopyOutcome copyEntryRaw(unzFile reader, ZipWriter& writer, const std::string& name, const unz_file_info64& info)
{
    // Strong encryption keeps its decryption data in an extra field, which a
    // copy does not carry.
    if (info.flag & kStrongEncryptionFlag)
        return {RawCopyResult::notIntact, 0};

    int method = static_cast<int>(info.compression_method);
    int level = 0;
    if (const int status = unzOpenCurrentFile2(reader, &method, &level, 1 /* raw */); status != UNZ_OK)
        return {RawCopyResult::notOpened, status};

    zip_fileinfo record{};
    record.dosDate = info.dosDate;
    record.internal_fa = info.internal_fa;
    record.external_fa = info.external_fa;
    const bool zip64 = info.uncompressed_size >= kZip64Threshold || info.compressed_size >= kZip64Threshold;
    // Encrypted data stay encrypted in the copy, and UTF-8 names stay UTF-8,
    // so those two flags go along with the bytes. The password check of an
    // encrypted entry with a data descriptor compares against the entry's
    // time instead of its CRC, so that entry keeps its descriptor too.
    const bool encrypted = (info.flag & kEncryptedFlag) != 0;
    const bool descriptor = encrypted && (info.flag & kDataDescriptorFlag) != 0;
    const uLong flags = info.flag & (kEncryptedFlag | kUtf8NameFlag | (descriptor ? kDataDescriptorFlag : 0));
    if (const int status = zipOpenNewFileInZip4_64(
            writer.get(), name.c_str(), &record, nullptr, 0, nullptr, 0, nullptr /* comment */, method,
            -1 /* level */, 1 /* raw */, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr /* password */,
            0 /* crc */, 0 /* version made by */, flags, zip64 ? 1 : 0);
        status != ZIP_OK)
        return {RawCopyResult::notOpened, status};

    char buffer[kTransferBufferSize];
    int failure = 0;
    for (;;) {
        const int count = unzReadCurrentFile(reader, buffer, sizeof buffer);
        if (count <= 0) {
            failure = count;
            break;
        }
        if (const int status = zipWriteInFileInZip(writer.get(), buffer, static_cast<unsigned>(count));
            status != ZIP_OK) {
            failure = status;
            break;
        }
    }
    const int closeStatus = zipCloseFileInZipRaw64(writer.get(), info.uncompressed_size, info.crc);
    if (closeStatus != ZIP_OK)
        return {RawCopyResult::unfinished, closeStatus};
    // minizip writes no descriptor itself; the local header already holds the
    // sizes, and the descriptor repeats them where readers look for it.
    if (descriptor && failure == 0) {
        const auto bytes = dataDescriptor(info, zip64);
        if (!writer.writeBetweenEntries(bytes.data(), bytes.size()))
            return {RawCopyResult::unfinished, ZIP_ERRNO};
    }
    if (failure != 0)
        return {RawCopyResult::damaged, failure};
    return {RawCopyResult::copied, 0};
}
