#pragma once
// The encrypted file: a fixed 144-byte header in the clear, then the padded
// plaintext enciphered block by block. Needs no Windows header.

#include "twofish.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kEncryptedFileHeaderSize = 144;

// The header bytes exactly as written: a 16-byte signature, the 32-bit
// little-endian values 0x00200000 and 2, then zero bytes. It is the same in
// every file.
struct EncryptedFileHeader {
    std::uint8_t bytes[kEncryptedFileHeaderSize];
};

// Fills header with the fixed header.
void FillEncryptedFileHeader(EncryptedFileHeader& header);

// Length of the padded plaintext (and of the ciphertext) for n content bytes:
// the next multiple of 16 above n, so padding is always 1 to 16 bytes.
std::size_t PaddedLength(std::size_t n);

// Pads the n bytes at plaintext (the last block gets the remaining n mod 16
// bytes, a byte of value 15 - n mod 16, then 0xFF bytes) and enciphers every
// block on its own into output. On success stores the ciphertext length L
// (PaddedLength(n)) in ciphertextLength, puts a 0x00 at output[L] (not part
// of the ciphertext) and returns 0. Returns -1, leaving ciphertextLength
// alone, when room is less than L + 1 or the cipher refuses a block (output
// may then hold part of the ciphertext).
int EncryptBuffer(const CipherState& state, const std::uint8_t* plaintext, std::size_t n, std::uint8_t* output,
                  std::size_t room, std::size_t& ciphertextLength);
