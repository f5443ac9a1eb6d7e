#pragma once
// The mapped windows through which an extracted file is written. Plain 64-bit
// arithmetic with fixed-width types, so it is the same in the 32-bit and the
// 64-bit build. Needs no Windows header.

#include <cstdint>

namespace unfurler {

// Size of one mapped window of an output file: 100 MiB, a multiple of the
// 64 KiB mapping granularity.
inline constexpr std::uint32_t extraction_chunk_size = 104857600;

// A 64-bit value in the two 32-bit halves that the mapping calls take.
struct dword_halves {
    std::uint32_t high = 0;
    std::uint32_t low = 0;
};

dword_halves split_halves(std::uint64_t value);

// One window of a file: where it starts and how many bytes it maps.
struct file_window {
    dword_halves offset;  // index * extraction_chunk_size
    std::uint32_t length = 0;  // at most extraction_chunk_size, never 0
};

// The number of windows a file of size bytes is written through (0 for an
// empty file).
std::uint64_t window_count(std::uint64_t size);

// Window index (below window_count(size)) of a file of size bytes: the last
// one holds what remains, every other one is extraction_chunk_size long.
file_window extraction_window(std::uint64_t size, std::uint64_t index);

}  // namespace unfurler
