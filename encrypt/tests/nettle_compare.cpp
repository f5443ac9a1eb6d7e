// Built natively with the portable cipher sources: compares the cipher and
// EncryptBuffer block for block with nettle's Twofish on random keys, blocks
// and buffer lengths. Prints the seed; pass it back as the argument to repeat
// a run.
#include "encrypted_format.h"
#include "twofish.h"

#include <nettle/twofish.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

int failures = 0;

void fail(const char* what, std::uint64_t detail)
{
    if (++failures <= 10)
        std::printf("MISMATCH %s (%" PRIu64 ")\n", what, detail);
}

void randomBytes(std::mt19937_64& random, std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
}

void keyBoth(const std::uint8_t (&keyBytes)[16], CipherKey& ours, twofish_ctx& theirs)
{
    LoadCipherKeyBytes(ours, keyBytes);
    if (!SetUpCipherKey(ours))
        fail("key setup refused", 0);
    twofish_set_key(&theirs, sizeof keyBytes, keyBytes);
}

void compareBlocks(std::mt19937_64& random, int keys, int blocksPerKey)
{
    const CipherMode mode;
    for (int k = 0; k < keys; ++k) {
        std::uint8_t keyBytes[16];
        randomBytes(random, keyBytes, sizeof keyBytes);
        CipherKey ours;
        twofish_ctx theirs;
        keyBoth(keyBytes, ours, theirs);
        for (int b = 0; b < blocksPerKey; ++b) {
            std::uint8_t plain[16], ourBlock[16], theirBlock[16];
            randomBytes(random, plain, sizeof plain);
            if (EncipherBlock(mode, ours, plain, ourBlock) != 128)
                fail("block refused", static_cast<std::uint64_t>(k));
            twofish_encrypt(&theirs, sizeof plain, theirBlock, plain);
            if (std::memcmp(ourBlock, theirBlock, 16) != 0)
                fail("block", static_cast<std::uint64_t>(k));
        }
    }
}

// The padding written out here on its own: a 0x0F - (n mod 16) byte after the
// content, then 0xFF up to the block end.
std::vector<std::uint8_t> padded(const std::vector<std::uint8_t>& content)
{
    std::vector<std::uint8_t> data = content;
    const std::size_t fill = 16 - data.size() % 16;
    data.push_back(static_cast<std::uint8_t>(fill - 1));
    data.insert(data.end(), fill - 1, 0xFF);
    return data;
}

void compareBuffers(std::mt19937_64& random, int count)
{
    for (int i = 0; i < count; ++i) {
        std::uint8_t keyBytes[16];
        randomBytes(random, keyBytes, sizeof keyBytes);
        CipherState state;
        twofish_ctx theirs;
        keyBoth(keyBytes, state.key, theirs);

        const std::size_t n = i < 64 ? static_cast<std::size_t>(i + 1) : 1 + random() % 5000;
        std::vector<std::uint8_t> content(n);
        randomBytes(random, content.data(), n);
        const std::vector<std::uint8_t> data = padded(content);
        std::vector<std::uint8_t> expected(data.size());
        twofish_encrypt(&theirs, data.size(), expected.data(), data.data());

        std::vector<std::uint8_t> output(data.size() + 1, 0xAA);
        std::size_t length = 0;
        if (EncryptBuffer(state, content.data(), n, output.data(), output.size(), length) != 0 ||
            length != data.size() || std::memcmp(output.data(), expected.data(), length) != 0 ||
            output[length] != 0x00)
            fail("buffer of length", n);
        if (EncryptBuffer(state, content.data(), n, output.data(), output.size() - 1, length) != -1)
            fail("buffer accepted too little room, length", n);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : std::random_device{}();
    std::printf("seed %" PRIu64 "\n", seed);
    std::mt19937_64 random(seed);
    compareBlocks(random, 10000, 32);
    compareBuffers(random, 2000);
    std::printf("%d mismatches\n", failures);
    return failures == 0 ? 0 : 1;
}
