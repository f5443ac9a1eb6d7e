#include "zip64_choice.h"

std::uint64_t deflateBound64(std::uint64_t size)
{
    // zlib's deflateBound for its default window and memory level, with the
    // six bytes of the zlib wrapper kept as a further margin.
    return size + (size >> 12) + (size >> 14) + (size >> 25) + 13;
}

bool needsZip64ForDeflate(std::uint64_t size)
{
    constexpr std::uint64_t kLimit = 0xFFFFFFFFu;  // minizip's threshold for Zip64 fields
    return size >= kLimit || deflateBound64(size) >= kLimit;
}
