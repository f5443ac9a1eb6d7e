#pragma once
// Carries out Hostaid's GetDiskSpace command for the ConfigManager that owns it.

#include <string>

class ConfigManager;

class CommandExecutor {
public:
    // owner must outlive the executor; it receives the result properties.
    explicit CommandExecutor(ConfigManager& owner) : m_configManager(&owner) {}

    // Queries the free and total bytes of the volume that holds path (passed
    // to the system unchanged), prints the "nFreeBytes" and "nTotalBytes"
    // lines and stores the properties Path, FreeBytes and TotalBytes. Returns
    // true, also when the system rejects the path: both counts are 0 then.
    // Throws std::bad_alloc when memory runs out.
    bool GetDiskSpace(const std::string& path);

private:
    ConfigManager* m_configManager;
};
