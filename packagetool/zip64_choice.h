#pragma once
// When a new deflated entry needs Zip64 records. minizip must be told before
// the entry's data are written; a 32-bit entry whose compressed data pass
// 4 GiB cannot be finished.

#include <cstdint>

// The most bytes that zlib's deflate (window bits 15, memory level 8, as
// minizip uses it) can make of size input bytes: stored blocks and their
// headers for data that do not compress.
std::uint64_t deflateBound64(std::uint64_t size);

// True when an entry of size uncompressed bytes, deflated, might reach the
// 32-bit limit of a zip entry (0xFFFFFFFF) in either of its sizes.
bool needsZip64ForDeflate(std::uint64_t size);
