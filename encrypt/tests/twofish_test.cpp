// The cipher against the designers' published 128-bit known-answer values.
#include "twofish.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

std::string hex(const std::uint8_t* bytes, std::size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

CipherKey keyFromBytes(const std::uint8_t (&bytes)[16])
{
    CipherKey key;
    LoadCipherKeyBytes(key, bytes);
    EXPECT_TRUE(SetUpCipherKey(key));
    return key;
}

// The designers' chained table for 128-bit keys: step i enciphers the
// previous ciphertext under a key made of the plaintext before it, starting
// from key and plaintext zero.
TEST(Twofish, ReproducesThePublishedChainedKnownAnswers)
{
    const std::map<int, std::string> published = {
        {1, "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
        {2, "D491DB16E7B1C39E86CB086B789F5419"},
        {3, "019F9809DE1711858FAAC3A3BA20FBC3"},
        {4, "6363977DE839486297E661C6C9D668EB"},
        {5, "816D5BD0FAE35342BF2A7412C246F752"},
        {49, "5D9D4EEFFA9151575524F115815A12E0"},
    };
    std::uint8_t keyBytes[16] = {};
    std::uint8_t plaintext[16] = {};
    std::uint8_t ciphertext[16];
    const CipherMode mode;
    for (int step = 1; step <= 49; ++step) {
        const CipherKey key = keyFromBytes(keyBytes);
        ASSERT_EQ(EncipherBlock(mode, key, plaintext, ciphertext), 128);
        if (auto it = published.find(step); it != published.end()) {
            EXPECT_EQ(hex(ciphertext, 16), it->second) << "step " << step;
        }
        std::memcpy(keyBytes, plaintext, 16);
        std::memcpy(plaintext, ciphertext, 16);
    }
}

TEST(Twofish, LoadsTheKeyBytesAsLittleEndianWords)
{
    const std::uint8_t bytes[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                    0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xFF};
    CipherKey key;
    for (auto& word : key.keyWords)
        word = 0xDEADBEEF;
    LoadCipherKeyBytes(key, bytes);
    const std::uint32_t expected[8] = {0x03020100, 0x07060504, 0x0B0A0908, 0xFF0E0D0C, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(key.keyWords[i], expected[i]) << "word " << i;
}

TEST(Twofish, EnciphersEachBlockOnItsOwnAndInPlace)
{
    const std::uint8_t keyBytes[16] = {0x9F, 0x58, 0x9F, 0x5C, 0xF6, 0x12, 0x2C, 0x32,
                                       0xB6, 0xBF, 0xEC, 0x2F, 0x2A, 0xE8, 0xC3, 0x5A};
    const CipherKey key = keyFromBytes(keyBytes);
    const CipherMode mode;
    const std::uint8_t block[16] = {0xD4, 0x91, 0xDB, 0x16, 0xE7, 0xB1, 0xC3, 0x9E,
                                    0x86, 0xCB, 0x08, 0x6B, 0x78, 0x9F, 0x54, 0x19};
    std::uint8_t first[16], second[16], inPlace[16];
    ASSERT_EQ(EncipherBlock(mode, key, block, first), 128);
    ASSERT_EQ(EncipherBlock(mode, key, first, second), 128);
    ASSERT_EQ(EncipherBlock(mode, key, block, second), 128);
    EXPECT_EQ(hex(first, 16), hex(second, 16)) << "no state carried from one block to the next";
    EXPECT_EQ(hex(first, 16), "019F9809DE1711858FAAC3A3BA20FBC3");
    std::memcpy(inPlace, block, 16);
    ASSERT_EQ(EncipherBlock(mode, key, inPlace, inPlace), 128);
    EXPECT_EQ(hex(inPlace, 16), hex(first, 16));
}

TEST(Twofish, RefusesStatesItCannotServe)
{
    const std::uint8_t keyBytes[16] = {};
    for (auto change : {+[](CipherKey& k) { k.keyLength = 192; }, +[](CipherKey& k) { k.rounds = 12; },
                        +[](CipherKey& k) { k.direction = 1; }}) {
        CipherKey key;
        LoadCipherKeyBytes(key, keyBytes);
        change(key);
        EXPECT_FALSE(SetUpCipherKey(key));
        EXPECT_EQ(key.subkeys[0], 0u) << "nothing derived";
    }

    const CipherKey key = keyFromBytes(keyBytes);
    CipherMode chained;
    chained.mode = 2;
    std::uint8_t block[16] = {};
    EXPECT_EQ(EncipherBlock(chained, key, block, block), -1);
}

}  // namespace
