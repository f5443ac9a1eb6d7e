#include "product_registry.h"

#include <vetra/unique_handle.h>

#include <stdexcept>
#include <vector>

namespace hostaid_test {

namespace {

constexpr char kMasterService[] = "VekMasterService";

[[noreturn]] void fail(const std::string& what, LONG status)
{
    throw std::runtime_error(what + " failed with error " + std::to_string(status));
}

}  // namespace

std::string mapKey(const std::string& silo)
{
    return std::string(kProductKey) + "\\" + silo + "\\Common Client\\PathExpansionMap";
}

void createKey(REGSAM view, const std::string& subKey)
{
    vetra::unique_reg_key key;
    const LONG status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0 /* reserved */, nullptr /* class */,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view,
                                          nullptr /* security */, key.put(), nullptr /* disposition */);
    if (status != ERROR_SUCCESS)
        fail("creating " + subKey, status);
}

void setText(REGSAM view, const std::string& subKey, const char* valueName, const std::string& text)
{
    createKey(view, subKey);
    vetra::unique_reg_key key;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_SET_VALUE | view, key.put());
    if (status == ERROR_SUCCESS)
        status = ::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1));
    if (status != ERROR_SUCCESS)
        fail(std::string("setting ") + valueName, status);
}

void deleteValue(REGSAM view, const std::string& subKey, const char* valueName)
{
    vetra::unique_reg_key key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_SET_VALUE | view, key.put()) == ERROR_SUCCESS)
        ::RegDeleteValueA(key.get(), valueName);
}

std::optional<RegistryValue> readValue(REGSAM view, const std::string& subKey, const char* valueName)
{
    vetra::unique_reg_key key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), valueName, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> data(size + 1);
    if (::RegQueryValueExA(key.get(), valueName, nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()),
                           &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.assign(data.data(), size);
    return value;
}

bool keyExists(REGSAM view, const std::string& subKey)
{
    vetra::unique_reg_key key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) ==
           ERROR_SUCCESS;
}

void removeTorvaneKeys(REGSAM view)
{
    vetra::unique_reg_key software;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, software.put());
    if (status == ERROR_SUCCESS)
        status = ::RegDeleteTreeA(software.get(), "Torvane");
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        fail("removing SOFTWARE\\Torvane", status);
}

void createMasterService()
{
    vetra::unique_service manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager)
        fail("opening the service manager", static_cast<LONG>(::GetLastError()));
    char systemFolder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        fail("finding the system folder", static_cast<LONG>(::GetLastError()));
    const std::string binary = std::string(systemFolder) + "\\cmd.exe";
    vetra::unique_service service(::CreateServiceA(
        manager.get(), kMasterService, kMasterService /* display name */, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary.c_str(),
        nullptr /* load order group */, nullptr /* tag */, nullptr /* dependencies */, nullptr /* account */,
        nullptr /* password */));
    if (!service)
        fail("creating VekMasterService", static_cast<LONG>(::GetLastError()));
}

void removeMasterService()
{
    vetra::unique_service manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        fail("opening the service manager", static_cast<LONG>(::GetLastError()));
    {
        vetra::unique_service service(::OpenServiceA(manager.get(), kMasterService, DELETE));
        if (!service) {
            if (::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
                return;
            fail("opening VekMasterService", static_cast<LONG>(::GetLastError()));
        }
        if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
            fail("deleting VekMasterService", static_cast<LONG>(::GetLastError()));
    }
    // The service manager removes a deleted service only once every handle
    // to it is closed, some time after the call; a service of the same name
    // created before then would be removed with it.
    for (int attempt = 0; attempt < 200; ++attempt) {
        vetra::unique_service service(::OpenServiceA(manager.get(), kMasterService, SERVICE_QUERY_STATUS));
        if (!service && ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
            return;
        service.reset();
        ::Sleep(50);
    }
    fail("waiting for VekMasterService to go", ERROR_TIMEOUT);
}

}  // namespace hostaid_test
