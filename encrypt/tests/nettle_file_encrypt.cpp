// A native peer of encrypt built on nettle's Twofish: reads a file, pads it,
// enciphers it in electronic-codebook use under encrypt's built-in key (the
// pinned literal bytes, not the program's own function) and writes header and
// ciphertext, all in its own code. Used
// by nettle_check.sh to judge encrypt's output and by the benchmark.
//   nettle_file_encrypt <inputFile> <outputFile>
#include "pinned_key.h"

#include <nettle/twofish.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: nettle_file_encrypt <inputFile> <outputFile>\n");
        return 1;
    }
    std::FILE* input = std::fopen(argv[1], "rb");
    if (!input) {
        std::perror(argv[1]);
        return 1;
    }
    std::fseek(input, 0, SEEK_END);
    const long size = std::ftell(input);
    std::fseek(input, 0, SEEK_SET);
    if (size < 0) {
        std::perror(argv[1]);
        return 1;
    }
    // One 0x00 after the content, then a byte counting the 0xFF bytes that
    // fill the block after it; always at least that one byte.
    const std::size_t content = static_cast<std::size_t>(size) + 1;
    const std::size_t fill = 16 - content % 16;
    const std::size_t padded = content + fill;
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[padded]);
    const bool read = std::fread(data.get(), 1, content - 1, input) == content - 1;
    std::fclose(input);
    if (!read) {
        std::fprintf(stderr, "%s: short read\n", argv[1]);
        return 1;
    }
    data[content - 1] = 0x00;
    data[content] = static_cast<std::uint8_t>(fill - 1);
    std::memset(&data[content + 1], 0xFF, fill - 1);

    twofish_ctx context;
    twofish_set_key(&context, sizeof kPinnedKeyBytes, kPinnedKeyBytes);
    std::unique_ptr<std::uint8_t[]> ciphertext(new std::uint8_t[padded]);
    twofish_encrypt(&context, padded, ciphertext.get(), data.get());

    std::uint8_t header[144] = {0x2D, 0x5C, 0x3E, 0x05, 0xA8, 0x5C, 0x2C, 0x4B,
                                0xAC, 0x95, 0x3B, 0xF4, 0xF2, 0xE1, 0xBB, 0xB5,
                                0x00, 0x00, 0x20, 0x00, 0x02, 0x00, 0x00, 0x00};
    std::FILE* output = std::fopen(argv[2], "wb");
    if (!output) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(header, 1, sizeof header, output) == sizeof header &&
                         std::fwrite(ciphertext.get(), 1, padded, output) == padded;
    if (std::fclose(output) != 0 || !written) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
