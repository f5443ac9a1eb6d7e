#pragma once
// Sets up the endpoint product's registry keys and the master service in the
// test prefix, and reads back what Hostaid wrote.

#include <windows.h>

#include <optional>
#include <string>

namespace hostaid_test {

constexpr char kProductKey[] = "SOFTWARE\\Torvane\\Shieldhold";
constexpr char kVersionKey[] = "SOFTWARE\\Torvane\\Shieldhold\\CurrentVersion";

// The two registry views of a 64-bit process: the one a 32-bit program sees
// (where Hostaid works) and the native one.
constexpr REGSAM kView32 = KEY_WOW64_32KEY;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;

// HKLM\SOFTWARE\Torvane\Shieldhold\<silo>\Common Client\PathExpansionMap
std::string mapKey(const std::string& silo);

// Creates HKLM\subKey (and the keys above it) in view; throws
// std::runtime_error on failure.
void createKey(REGSAM view, const std::string& subKey);

// Stores text (with its NUL) as a REG_SZ value, creating the key as needed;
// throws std::runtime_error on failure.
void setText(REGSAM view, const std::string& subKey, const char* valueName, const std::string& text);

// Removes a value if it is there.
void deleteValue(REGSAM view, const std::string& subKey, const char* valueName);

// The raw data of a value and its type, or nothing when the key or the value
// is missing.
struct RegistryValue {
    DWORD type = 0;
    std::string data;
};
std::optional<RegistryValue> readValue(REGSAM view, const std::string& subKey, const char* valueName);

bool keyExists(REGSAM view, const std::string& subKey);

// Removes HKLM\SOFTWARE\Torvane with everything below it, in view.
void removeTorvaneKeys(REGSAM view);

// Registers "VekMasterService" (never started), or removes it when present.
void createMasterService();
void removeMasterService();

}  // namespace hostaid_test
