// The header, the padding and the block-by-block enciphering of the buffer.
#include "built_in_key.h"
#include "encrypted_format.h"
#include "pinned_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

CipherState builtInCipher()
{
    CipherState state;
    LoadCipherKeyBytes(state.key, kPinnedKeyBytes);
    EXPECT_TRUE(SetUpCipherKey(state.key));
    return state;
}

Bytes encipher(const CipherState& state, const Bytes& block)
{
    Bytes out(16);
    EXPECT_EQ(EncipherBlock(state.mode, state.key, block.data(), out.data()), 128);
    return out;
}

Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t size)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

// The program's key words, taken as cipher bytes (word 0 first, each least
// significant byte first), are exactly the pinned key.
TEST(EncryptedFormat, BuiltInKeyIsThePinnedKey)
{
    std::uint32_t words[4];
    FillBuiltInKeyWords(words);
    Bytes bytes;
    for (std::uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    EXPECT_EQ(bytes, Bytes(std::begin(kPinnedKeyBytes), std::end(kPinnedKeyBytes)));
}

TEST(EncryptedFormat, HeaderIsTheFixedSignatureAndValues)
{
    EncryptedFileHeader header;
    std::memset(header.bytes, 0xAA, sizeof header.bytes);
    FillEncryptedFileHeader(header);
    Bytes expected = {0x2D, 0x5C, 0x3E, 0x05, 0xA8, 0x5C, 0x2C, 0x4B, 0xAC, 0x95, 0x3B, 0xF4,
                      0xF2, 0xE1, 0xBB, 0xB5, 0x00, 0x00, 0x20, 0x00, 0x02, 0x00, 0x00, 0x00};
    expected.resize(144, 0x00);
    EXPECT_EQ(Bytes(header.bytes, header.bytes + 144), expected);
}

// Content of n bytes (the file's bytes and the added 0x00): full blocks
// enciphered as they are, then the last block padded.
TEST(EncryptedFormat, PadsTheLastBlockAndEnciphersEveryBlock)
{
    struct Case {
        std::size_t n;
        std::size_t length;
        Bytes lastBlockTail;  // what follows the remaining content bytes in the last block
    };
    const std::vector<Case> cases = {
        {1, 16, {0x0E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {15, 16, {0x00}},
        {16, 32, {0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {17, 32, {0x0E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {30, 32, {0x01, 0xFF}},
        {47, 48, {0x00}},
    };
    const CipherState state = builtInCipher();
    for (const auto& c : cases) {
        Bytes content(c.n);
        for (std::size_t i = 0; i < c.n; ++i)
            content[i] = static_cast<std::uint8_t>(0x30 + i);
        content.back() = 0x00;
        EXPECT_EQ(PaddedLength(c.n), c.length) << "n " << c.n;

        Bytes output(c.length + 1, 0xAA);
        std::size_t length = 0;
        ASSERT_EQ(EncryptBuffer(state, content.data(), c.n, output.data(), output.size(), length), 0) << c.n;
        ASSERT_EQ(length, c.length);
        EXPECT_EQ(output[c.length], 0x00) << "the terminator after the ciphertext";

        const std::size_t lastOffset = c.length - 16;
        for (std::size_t offset = 0; offset < lastOffset; offset += 16)
            EXPECT_EQ(slice(output, offset, 16), encipher(state, slice(content, offset, 16))) << c.n;
        Bytes lastBlock = slice(content, lastOffset, c.n - lastOffset);
        lastBlock.insert(lastBlock.end(), c.lastBlockTail.begin(), c.lastBlockTail.end());
        ASSERT_EQ(lastBlock.size(), 16u) << c.n;
        EXPECT_EQ(slice(output, lastOffset, 16), encipher(state, lastBlock)) << "n " << c.n;
    }
}

TEST(EncryptedFormat, NeedsRoomForTheCiphertextAndTheTerminator)
{
    const CipherState state = builtInCipher();
    const Bytes content(20, 0x41);
    Bytes output(33, 0xAA);
    std::size_t length = 99;
    EXPECT_EQ(EncryptBuffer(state, content.data(), content.size(), output.data(), 32, length), -1);
    EXPECT_EQ(length, 99u);
    EXPECT_EQ(output, Bytes(33, 0xAA)) << "nothing written when the room is too small";
    EXPECT_EQ(EncryptBuffer(state, content.data(), content.size(), output.data(), 33, length), 0);
    EXPECT_EQ(length, 32u);
}

TEST(EncryptedFormat, EqualAlignedBlocksGiveEqualCiphertext)
{
    const CipherState state = builtInCipher();
    Bytes content;
    const std::string blockA = "sixteen bytes A!", blockB = "sixteen bytes B!";
    for (const auto* block : {&blockA, &blockB, &blockA, &blockA})
        content.insert(content.end(), block->begin(), block->end());
    content.push_back(0x00);
    Bytes output(PaddedLength(content.size()) + 1);
    std::size_t length = 0;
    ASSERT_EQ(EncryptBuffer(state, content.data(), content.size(), output.data(), output.size(), length), 0);
    EXPECT_EQ(slice(output, 0, 16), slice(output, 32, 16));
    EXPECT_EQ(slice(output, 0, 16), slice(output, 48, 16));
    EXPECT_NE(slice(output, 0, 16), slice(output, 16, 16));
}

}  // namespace
