#pragma once
// The Twofish block cipher with 128-bit keys, enciphering direction only:
// 128-bit blocks, 16 rounds, each block on its own (electronic codebook).
// Keying precomputes the four key-dependent tables, so one block costs eight
// table look-ups per round. Needs no Windows header.

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kCipherBlockSize = 16;
inline constexpr int kCipherBlockBits = 128;

// Values of CipherKey::direction.
inline constexpr std::uint8_t kCipherDirectionEncrypt = 0;
// Values of CipherMode::mode.
inline constexpr std::uint8_t kCipherModeElectronicCodebook = 1;

// The key state: what the caller fills in (direction, key length, rounds and
// the key words) and what SetUpCipherKey derives from it.
struct CipherKey {
    std::uint8_t direction = kCipherDirectionEncrypt;
    std::int32_t keyLength = 128;  // bits
    std::int32_t rounds = 16;
    std::uint32_t keyWords[8] = {};     // the key, word 0 first; key byte 0 is the low byte of word 0
    std::uint32_t sboxKeys[4] = {};     // derived: S-box key words, in the order g uses them
    std::uint32_t subkeys[40] = {};     // derived: 8 whitening words, then 2 words per round
    std::uint32_t keyTables[4][256] = {};  // derived: key-dependent S-box times MDS column, per byte position
};

// The mode record that travels with the key.
struct CipherMode {
    std::uint8_t mode = kCipherModeElectronicCodebook;
};

// Everything a caller needs to encipher blocks.
struct CipherState {
    CipherMode mode;
    CipherKey key;
};

// Fills keyWords from 16 key bytes (little-endian words, the form in which
// published test keys are written) and zeroes the other four words.
void LoadCipherKeyBytes(CipherKey& key, const std::uint8_t (&bytes)[16]);

// Derives the S-box key words, the 40 subkeys and the key-dependent tables
// from keyWords. Builds the tables shared by all keys on its first call in
// the process (not safe to call from two threads at once). Returns false,
// deriving nothing, when the key is not set up for enciphering with 128 bits
// and 16 rounds.
bool SetUpCipherKey(CipherKey& key);

// Enciphers the 16 bytes at input into the 16 bytes at output (the two may be
// the same buffer). key must have been through SetUpCipherKey. Returns 128,
// the number of bits processed, or -1 when mode or key do not describe
// enciphering in electronic-codebook use.
int EncipherBlock(const CipherMode& mode, const CipherKey& key, const std::uint8_t* input, std::uint8_t* output);
