#pragma once
// Reads the access list of a security descriptor the way the system applies
// it, for the checks on the temporary folder of an elevated run.

#include <windows.h>

#include <string>
#include <vector>

namespace unfurler_test {

// Rights that change a folder, its files or their security.
inline constexpr DWORD write_rights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                      FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

// The rights that the allowed entries of descriptor's access list give the
// well-known group or account sid (generic rights mapped to file rights),
// less those its denying entries take. An absent access list gives everything.
DWORD granted_rights(PSECURITY_DESCRIPTOR descriptor, WELL_KNOWN_SID_TYPE sid);

// The bytes of a self-relative descriptor made from its SDDL text (as the
// probe logs it); empty on failure.
std::vector<unsigned char> descriptor_from_sddl(const std::wstring& sddl);

}  // namespace unfurler_test
