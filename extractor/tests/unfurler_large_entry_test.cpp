// Unfurler.exe extracting an entry of 4 GiB + 10 bytes from a small archive:
// the entry is mostly zeros, so its deflated data takes a few MiB. Writes
// 4 GiB to disk and reads them back, so it takes a while.
#include "container_kit.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>
#include <vetra/unique_handle.h>

#include <gtest/gtest.h>

#include <minizip/zip.h>
#include <zlib.h>

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t block_size = 1 << 20;
constexpr std::uint32_t block_count = 4096;  // 4 GiB in whole blocks
const std::string tail = "tail bytes";        // then 10 more
constexpr std::uint64_t entry_size = std::uint64_t{block_size} * block_count + 10;

// Block i of the entry: its index in its first 8 bytes (little-endian), then
// zeros; the last 10 bytes are the tail.
std::array<unsigned char, 8> block_header(std::uint32_t index)
{
    std::array<unsigned char, 8> header{};
    for (int i = 0; i < 4; ++i)
        header[i] = static_cast<unsigned char>(index >> (8 * i));
    return header;
}

// Deflates input into out; with Z_FULL_FLUSH the output ends on a byte
// boundary and the next piece is compressed without reference to this one,
// so identical pieces compress to identical bytes.
void deflate_piece(z_stream& stream, const unsigned char* input, std::size_t size, int flush, std::string& out)
{
    stream.next_in = const_cast<unsigned char*>(input);
    stream.avail_in = static_cast<uInt>(size);
    std::vector<unsigned char> buffer(1 << 16);
    do {
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        const int status = deflate(&stream, flush);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            throw std::runtime_error("deflate failed");
        out.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
}

struct streamed_entry {
    std::string archive;  // the zip bytes
    uLong crc = 0;        // CRC-32 of the entry's data
};

// The zip holding the entry, written by minizip as a raw (already deflated)
// Zip64 entry whose data is streamed piece by piece.
streamed_entry write_large_entry_zip(const fs::path& path)
{
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    const std::vector<unsigned char> zeros(block_size - 8, 0);
    std::string zeros_deflated;
    const uLong zeros_crc = crc32(0, zeros.data(), static_cast<uInt>(zeros.size()));

    zipFile writer = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
    if (!writer)
        throw std::runtime_error("cannot create " + path.string());
    zip_fileinfo info{};
    if (zipOpenNewFileInZip4_64(writer, "big.bin", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9,
                                /* raw */ 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 0, 0,
                                /* zip64 */ 1) != ZIP_OK)
        throw std::runtime_error("cannot open the entry");
    streamed_entry result;
    std::string piece;
    for (std::uint32_t index = 0; index < block_count; ++index) {
        const auto header = block_header(index);
        piece.clear();
        deflate_piece(stream, header.data(), header.size(), Z_FULL_FLUSH, piece);
        if (zeros_deflated.empty())
            deflate_piece(stream, zeros.data(), zeros.size(), Z_FULL_FLUSH, zeros_deflated);
        piece += zeros_deflated;
        if (zipWriteInFileInZip(writer, piece.data(), static_cast<unsigned>(piece.size())) != ZIP_OK)
            throw std::runtime_error("cannot write the entry");
        result.crc = crc32(result.crc, header.data(), static_cast<uInt>(header.size()));
        result.crc = crc32_combine(result.crc, zeros_crc, static_cast<z_off_t>(zeros.size()));
    }
    piece.clear();
    deflate_piece(stream, reinterpret_cast<const unsigned char*>(tail.data()), tail.size(), Z_FINISH, piece);
    deflateEnd(&stream);
    result.crc = crc32(result.crc, reinterpret_cast<const unsigned char*>(tail.data()), static_cast<uInt>(tail.size()));
    if (zipWriteInFileInZip(writer, piece.data(), static_cast<unsigned>(piece.size())) != ZIP_OK ||
        zipCloseFileInZipRaw64(writer, entry_size, result.crc) != ZIP_OK || zipClose(writer, nullptr) != ZIP_OK)
        throw std::runtime_error("cannot finish " + path.string());
    result.archive = testsupport::readFile(path);
    return result;
}

// CRC-32 of a whole file, read in large pieces.
uLong file_crc(const fs::path& path)
{
    vetra::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw std::runtime_error("cannot open " + path.string());
    std::vector<unsigned char> buffer(64 << 20);
    uLong crc = 0;
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
        crc = crc32(crc, buffer.data(), read);
    return crc;
}

// The bytes of a file at offset.
std::string bytes_at(const fs::path& path, std::uint64_t offset, DWORD size)
{
    vetra::unique_file file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!file || !::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) ||
        !::ReadFile(file.get(), bytes.data(), size, &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

TEST(LargeEntry, FourGibAndTenBytesAreExtractedWholeWithTheRightChecksum)
{
    testsupport::ScratchFolder scratch;
    const streamed_entry entry = write_large_entry_zip(scratch / "big.zip");
    EXPECT_LT(entry.archive.size(), 16u << 20) << "the archive stays small";
    fs::remove(scratch / "big.zip");

    unfurler_test::container_parts parts;
    parts.settings = unfurler_test::settings_block({{"TargetDirectory", "out"}, {"LaunchExe", ""}});
    parts.archive = entry.archive;
    unfurler_test::write_container(scratch / "big.exe", parts);

    const auto started = std::chrono::steady_clock::now();
    const auto run =
        testsupport::runProgram(scratch / "big.exe", std::vector<std::wstring>{}, scratch.path(), 30 * 60 * 1000);
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.exitCode, 0u);
    std::printf("extraction of %llu bytes: %.1f s\n", static_cast<unsigned long long>(entry_size),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    const fs::path big = scratch / "out" / "big.bin";
    ASSERT_EQ(fs::file_size(big), entry_size);
    // The last window (from 4000 MiB) runs past 4 GiB; block 4000 starts it.
    const auto header = block_header(4000);
    EXPECT_EQ(bytes_at(big, std::uint64_t{block_size} * 4000, 8), std::string(header.begin(), header.end()));
    const auto last = block_header(block_count - 1);
    EXPECT_EQ(bytes_at(big, std::uint64_t{block_size} * (block_count - 1), 8), std::string(last.begin(), last.end()));
    EXPECT_EQ(bytes_at(big, entry_size - 10, 10), tail);
    EXPECT_EQ(file_crc(big), entry.crc);
    fs::remove(big);
}

}  // namespace
