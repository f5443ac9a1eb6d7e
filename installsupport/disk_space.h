#pragma once
// The free and total bytes of a volume, as the system reports them to the
// calling user.

#include <cstdint>
#include <string>

// Fills total and free (bytes available to the caller, quotas applied) for
// the volume that holds path, passed to the system unchanged. Uses
// GetDiskFreeSpaceExA when kernel32 exports it, and the cluster counts of
// GetDiskFreeSpaceA when it is missing or fails. Returns false when both
// fail; total and free are then left untouched.
bool QueryDiskFreeSpace(const std::string& path, std::uint64_t& total, std::uint64_t& free);
