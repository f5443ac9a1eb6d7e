#pragma once
// Byte counts from a volume's cluster geometry.

#include <cstdint>

// clusters x sectorsPerCluster x bytesPerSector, in unsigned 64-bit
// arithmetic throughout, so that volumes beyond 4 GiB are counted exactly.
std::uint64_t ClusterBytes(std::uint32_t clusters, std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector);
