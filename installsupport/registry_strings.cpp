#include "registry_strings.h"

#include <vetra/unique_handle.h>

namespace {

// Hostaid ships as a 32-bit program, which on 64-bit Windows sees the 32-bit
// registry view; the 64-bit build asks for that view so that both builds
// read and write the same keys.
#if defined(_WIN64)
constexpr REGSAM kRegistryView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kRegistryView = 0;
#endif

}  // namespace

LONG ReadRegistryString(const char* subKey, const char* valueName, char* buffer, DWORD* size)
{
    vetra::unique_reg_key key;
    // Write rights are asked for as well: a caller that could not write the
    // map is treated as if the value were absent.
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0 /* options */,
                                  KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | kRegistryView, key.put());
    if (status != ERROR_SUCCESS)
        return status;
    return ::RegQueryValueExA(key.get(), valueName, nullptr /* reserved */, nullptr /* type */,
                              reinterpret_cast<BYTE*>(buffer), size);
}

LONG WriteRegistryString(const char* subKey, const char* valueName, const std::string& text)
{
    vetra::unique_reg_key key;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0 /* options */,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE | kRegistryView, key.put());
    if (status != ERROR_SUCCESS)
        return status;
    // The stored data includes the terminating NUL, as REG_SZ readers expect.
    return ::RegSetValueExA(key.get(), valueName, 0 /* reserved */, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}
