#include "cluster_bytes.h"

std::uint64_t ClusterBytes(std::uint32_t clusters, std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector)
{
    const std::uint64_t bytesPerCluster = std::uint64_t{sectorsPerCluster} * bytesPerSector;
    return std::uint64_t{clusters} * bytesPerCluster;
}
