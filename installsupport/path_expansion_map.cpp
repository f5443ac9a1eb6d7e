#include "path_expansion_map.h"

#include "product_version.h"
#include "registry_strings.h"

#include <vetra/unique_handle.h>

#include <windows.h>

namespace {

constexpr char kVersionKey[] = "SOFTWARE\\Torvane\\Shieldhold\\CurrentVersion";
constexpr char kProductKey[] = "SOFTWARE\\Torvane\\Shieldhold";
constexpr char kMasterService[] = "VekMasterService";

// Text reads go into a zero-filled 64-byte buffer, but the query is offered
// only 62 bytes: a value that fits is always terminated, a longer one fails.
constexpr DWORD kReadBufferSize = 64;
constexpr DWORD kReadQuerySize = 62;

// The value's text, or an empty text when it cannot be read (missing, no
// rights, too long).
std::string readText(const char* subKey, const char* valueName)
{
    char buffer[kReadBufferSize] = {};
    DWORD size = kReadQuerySize;
    if (ReadRegistryString(subKey, valueName, buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

bool masterServiceInstalled(SC_HANDLE manager)
{
    vetra::unique_service service(::OpenServiceA(manager, kMasterService, GENERIC_READ));
    return service.valid();
}

}  // namespace

bool SetRegistryForZelQual(const std::string& installDir, const std::string& dataDir)
{
    if (!ProductVersionGatePasses(readText(kVersionKey, "PRODUCTVERSION")))
        return true;

    vetra::unique_service manager(
        ::OpenSCManagerA(nullptr /* local machine */, nullptr /* default database */, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    if (!masterServiceInstalled(manager.get()))
        return true;

    // An unreadable silo leaves an empty component in the path; the writes
    // are attempted there all the same.
    const std::string mapKey =
        std::string(kProductKey) + "\\" + readText(kProductKey, "silo") + "\\Common Client\\PathExpansionMap";
    WriteRegistryString(mapKey.c_str(), "VEKMINSTALLDIR", installDir);
    WriteRegistryString(mapKey.c_str(), "VEKMDATADIR", dataDir);
    return true;
}
