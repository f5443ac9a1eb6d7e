#include "encrypted_format.h"

#include <cstring>
#include <limits>

namespace {

constexpr std::uint8_t kSignature[16] = {0x2D, 0x5C, 0x3E, 0x05, 0xA8, 0x5C, 0x2C, 0x4B,
                                         0xAC, 0x95, 0x3B, 0xF4, 0xF2, 0xE1, 0xBB, 0xB5};
constexpr std::uint32_t kHeaderValueAt16 = 0x00200000;
constexpr std::uint32_t kHeaderValueAt20 = 2;

void storeLittleEndian(std::uint32_t value, std::uint8_t* bytes)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

void FillEncryptedFileHeader(EncryptedFileHeader& header)
{
    std::memset(header.bytes, 0, sizeof header.bytes);
    std::memcpy(header.bytes, kSignature, sizeof kSignature);
    storeLittleEndian(kHeaderValueAt16, header.bytes + 16);
    storeLittleEndian(kHeaderValueAt20, header.bytes + 20);
}

std::size_t PaddedLength(std::size_t n)
{
    return kCipherBlockSize * (n / kCipherBlockSize + 1);
}

int EncryptBuffer(const CipherState& state, const std::uint8_t* plaintext, std::size_t n, std::uint8_t* output,
                  std::size_t room, std::size_t& ciphertextLength)
{
    // L + 1 must not wrap around.
    if (n > std::numeric_limits<std::size_t>::max() - 2 * kCipherBlockSize)
        return -1;
    const std::size_t length = PaddedLength(n);
    if (room < length + 1)
        return -1;

    const std::size_t fullBlocksEnd = n - n % kCipherBlockSize;
    for (std::size_t offset = 0; offset < fullBlocksEnd; offset += kCipherBlockSize) {
        if (EncipherBlock(state.mode, state.key, plaintext + offset, output + offset) != kCipherBlockBits)
            return -1;
    }

    const std::size_t remaining = n % kCipherBlockSize;
    std::uint8_t lastBlock[kCipherBlockSize];
    std::memset(lastBlock, 0xFF, sizeof lastBlock);
    if (remaining != 0)
        std::memcpy(lastBlock, plaintext + fullBlocksEnd, remaining);
    lastBlock[remaining] = static_cast<std::uint8_t>(kCipherBlockSize - 1 - remaining);
    if (EncipherBlock(state.mode, state.key, lastBlock, output + fullBlocksEnd) != kCipherBlockBits)
        return -1;

    ciphertextLength = length;
    output[length] = 0x00;
    return 0;
}
