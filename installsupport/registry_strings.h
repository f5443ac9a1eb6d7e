#pragma once
// Text values under HKEY_LOCAL_MACHINE, in the registry view that the
// shipped 32-bit build sees (the 64-bit build asks for it explicitly).

#include <windows.h>

#include <string>

// Opens HKLM\subKey for reading (with set-value and create-subkey rights as
// well), queries valueName into buffer (size in bytes in, data size out; the
// type is not checked), closes the key and returns the system status
// (ERROR_SUCCESS = 0). The data is terminated only if the stored value is or
// the buffer was zero-filled beyond size.
LONG ReadRegistryString(const char* subKey, const char* valueName, char* buffer, DWORD* size);

// Opens the existing HKLM\subKey with query-value and set-value rights (never
// creates it), stores text as a REG_SZ value together with its terminating
// NUL, closes the key and returns the system status.
LONG WriteRegistryString(const char* subKey, const char* valueName, const std::string& text);
