// Fuzz target for encrypt's padding (EncryptBuffer): for any content length
// and any room, it either refuses (room below the padded length plus one) or
// writes the padded length, a zero byte behind it and not one byte more, with
// every whole block enciphered on its own and the last block holding the
// remaining bytes, the value 15 - n mod 16 and 0xFF bytes.
//
// Input: byte 0 chooses how much room is missing or spare, byte 1 whether the
// built-in key or 16 input bytes are the key; the rest is the content.

#include "fuzz_checks.h"

#include "built_in_key.h"
#include "encrypted_format.h"
#include "twofish.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t kGuard = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int roomShift = static_cast<int>(data[0] % 40) - 20;  // -20 .. +19 bytes around L + 1
    const bool ownKey = (data[1] & 1) != 0 && size >= 18;
    data += 2;
    size -= 2;

    CipherState state;
    if (ownKey) {
        std::uint8_t keyBytes[16];
        std::memcpy(keyBytes, data, 16);
        LoadCipherKeyBytes(state.key, keyBytes);
        data += 16;
        size -= 16;
    } else {
        std::uint32_t words[4];
        FillBuiltInKeyWords(words);
        for (int i = 0; i < 4; ++i)
            state.key.keyWords[i] = words[i];
    }
    require(SetUpCipherKey(state.key), "a 128-bit key is accepted");

    const std::size_t n = size;
    const std::size_t length = PaddedLength(n);
    require(length % kCipherBlockSize == 0 && length > n && length - n <= kCipherBlockSize,
            "padding adds 1 to 16 bytes up to a whole block");
    const long long wanted = static_cast<long long>(length) + 1 + roomShift;
    const std::size_t room = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);

    // The output buffer is exactly room bytes long plus guard bytes, so a
    // write past room shows as a changed guard (or an AddressSanitizer report).
    std::vector<std::uint8_t> output(room + 32, kGuard);
    std::size_t ciphertextLength = 12345;
    const int result = EncryptBuffer(state, data, n, output.data(), room, ciphertextLength);
    if (room < length + 1) {
        require(result == -1, "too little room is refused");
        require(ciphertextLength == 12345, "a refusal leaves the length alone");
        for (std::size_t i = 0; i < output.size(); ++i)
            require(output[i] == kGuard, "a refusal writes nothing");
        return 0;
    }
    require(result == 0, "enough room is accepted");
    require(ciphertextLength == length, "the ciphertext length is the padded length");
    require(output[length] == 0, "a zero byte follows the ciphertext");
    for (std::size_t i = length + 1; i < output.size(); ++i)
        require(output[i] == kGuard, "nothing is written beyond the zero byte");

    std::uint8_t expected[kCipherBlockSize];
    const std::size_t whole = n - n % kCipherBlockSize;
    for (std::size_t offset = 0; offset < whole; offset += kCipherBlockSize) {
        require(EncipherBlock(state.mode, state.key, data + offset, expected) == kCipherBlockBits, "block");
        require(std::memcmp(expected, output.data() + offset, kCipherBlockSize) == 0, "whole blocks on their own");
    }
    std::uint8_t last[kCipherBlockSize];
    std::memset(last, 0xFF, sizeof last);
    std::memcpy(last, data + whole, n - whole);
    last[n - whole] = static_cast<std::uint8_t>(15 - n % 16);
    require(EncipherBlock(state.mode, state.key, last, expected) == kCipherBlockBits, "last block");
    require(std::memcmp(expected, output.data() + whole, kCipherBlockSize) == 0, "the last block is padded by the rule");
    return 0;
}
