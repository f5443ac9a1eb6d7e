#include "command_executor.h"

#include "config_manager.h"
#include "disk_space.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace {

std::string decimal(std::uint64_t value)
{
    char text[100];
    std::snprintf(text, sizeof text, "%" PRIu64, value);
    return text;
}

}  // namespace

bool CommandExecutor::GetDiskSpace(const std::string& path)
{
    std::uint64_t freeBytes = 0;
    std::uint64_t totalBytes = 0;
    // A path the system rejects is not an error of this command: its counts
    // are reported as 0.
    QueryDiskFreeSpace(path, totalBytes, freeBytes);

    std::printf("nFreeBytes = %" PRId64 " bytes\n", static_cast<std::int64_t>(freeBytes));
    std::printf("nTotalBytes = %" PRId64 " bytes\n", static_cast<std::int64_t>(totalBytes));

    m_configManager->SetProp("Path", path);
    m_configManager->SetProp("FreeBytes", decimal(freeBytes));
    m_configManager->SetProp("TotalBytes", decimal(totalBytes));
    return true;
}
