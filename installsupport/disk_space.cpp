#include "disk_space.h"

#include "cluster_bytes.h"

#include <windows.h>

bool QueryDiskFreeSpace(const std::string& path, std::uint64_t& total, std::uint64_t& free)
{
    using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    // Looked up at run time: the extended query is missing from the oldest
    // systems, where only the cluster counts are available.
    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    const auto getDiskFreeSpaceEx = kernel32 == nullptr
        ? nullptr
        : reinterpret_cast<GetDiskFreeSpaceExAFn>(
              reinterpret_cast<void*>(::GetProcAddress(kernel32, "GetDiskFreeSpaceExA")));
    if (getDiskFreeSpaceEx != nullptr) {
        ULARGE_INTEGER availableToCaller{};
        ULARGE_INTEGER totalForCaller{};
        ULARGE_INTEGER freeOnVolume{};
        if (getDiskFreeSpaceEx(path.c_str(), &availableToCaller, &totalForCaller, &freeOnVolume)) {
            free = availableToCaller.QuadPart;
            total = totalForCaller.QuadPart;
            return true;
        }
    }

    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!::GetDiskFreeSpaceA(path.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return false;
    free = ClusterBytes(freeClusters, sectorsPerCluster, bytesPerSector);
    total = ClusterBytes(totalClusters, sectorsPerCluster, bytesPerSector);
    return true;
}
