#pragma once
// The built-in key as its 16 cipher bytes, written out: four words, the first
// 0x5A17C3E9 and each next one 0x2F6B9D1D more, each stored least
// significant byte first. Tests and the nettle peer encipher with these
// literals, never with the production function, so a changed key fails them.

#include <cstdint>

inline constexpr std::uint8_t kPinnedKeyBytes[16] = {
    0xE9, 0xC3, 0x17, 0x5A,  // 0x5A17C3E9
    0x06, 0x61, 0x83, 0x89,  // 0x89836106
    0x23, 0xFE, 0xEE, 0xB8,  // 0xB8EEFE23
    0x40, 0x9B, 0x5A, 0xE8,  // 0xE85A9B40
};
