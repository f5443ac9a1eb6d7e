#include "raw_copy.h"

namespace {

constexpr std::size_t kTransferBufferSize = 4096;
constexpr uLong kEncryptedFlag = 0x0001;
constexpr uLong kUtf8NameFlag = 0x0800;
constexpr ZPOS64_T kZip64Threshold = 0xFFFFFFFFu;

}  // namespace

RawCopyOutcome copyEntryRaw(unzFile reader, zipFile writer, const std::string& name, const unz_file_info64& info)
{
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
    // so those two flags go along with the bytes.
    const uLong flags = info.flag & (kEncryptedFlag | kUtf8NameFlag);
    if (const int status = zipOpenNewFileInZip4_64(
            writer, name.c_str(), &record, nullptr, 0, nullptr, 0, nullptr /* comment */, method, -1 /* level */,
            1 /* raw */, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr /* password */, 0 /* crc */,
            0 /* version made by */, flags, zip64 ? 1 : 0);
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
        if (const int status = zipWriteInFileInZip(writer, buffer, static_cast<unsigned>(count)); status != ZIP_OK) {
            failure = status;
            break;
        }
    }
    const int closeStatus = zipCloseFileInZipRaw64(writer, info.uncompressed_size, info.crc);
    if (closeStatus != ZIP_OK)
        return {RawCopyResult::unfinished, closeStatus};
    if (failure != 0)
        return {RawCopyResult::damaged, failure};
    return {RawCopyResult::copied, 0};
}
