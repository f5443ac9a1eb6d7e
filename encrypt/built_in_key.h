#pragma once
// The program's built-in 128-bit key.

#include <cstdint>

// Writes the four key words: a fixed start value, then each word the one
// before it plus a fixed step (modulo 2^32). Key byte 0 is the low byte of
// word 0.
void FillBuiltInKeyWords(std::uint32_t (&words)[4]);
