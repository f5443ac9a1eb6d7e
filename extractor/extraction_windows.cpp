#include "extraction_windows.h"

namespace unfurler {

dword_halves split_halves(std::uint64_t value)
{
    return {static_cast<std::uint32_t>(value >> 32), static_cast<std::uint32_t>(value & 0xFFFFFFFFu)};
}

std::uint64_t window_count(std::uint64_t size)
{
    return size / extraction_chunk_size + (size % extraction_chunk_size != 0 ? 1 : 0);
}

file_window extraction_window(std::uint64_t size, std::uint64_t index)
{
    // The product is formed in 64 bits: in 32 bits it would wrap from the
    // 41st window on, past 4 GiB.
    const std::uint64_t offset = index * std::uint64_t{extraction_chunk_size};
    const std::uint64_t remaining = size - offset;
    file_window window;
    window.offset = split_halves(offset);
    window.length = remaining < extraction_chunk_size ? static_cast<std::uint32_t>(remaining) : extraction_chunk_size;
    return window;
}

}  // namespace unfurler
