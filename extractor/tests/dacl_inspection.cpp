#include "dacl_inspection.h"

#include <sddl.h>

#include <array>

namespace unfurler_test {

DWORD granted_rights(PSECURITY_DESCRIPTOR descriptor, WELL_KNOWN_SID_TYPE type)
{
    std::array<unsigned char, SECURITY_MAX_SID_SIZE> sid{};
    DWORD sid_size = static_cast<DWORD>(sid.size());
    if (!::CreateWellKnownSid(type, nullptr, sid.data(), &sid_size))
        return 0;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL acl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted))
        return 0;
    if (!present || acl == nullptr)
        return FILE_ALL_ACCESS;
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD allowed = 0;
    DWORD denied = 0;
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* ace = nullptr;
        if (!::GetAce(acl, index, &ace))
            continue;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0)
            continue;
        // Allowed and denied entries share their layout up to the SID.
        const auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (!::EqualSid(const_cast<DWORD*>(&entry->SidStart), sid.data()))
            continue;
        DWORD mask = entry->Mask;
        ::MapGenericMask(&mask, &mapping);
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE)
            allowed |= mask;
        else if (header->AceType == ACCESS_DENIED_ACE_TYPE)
            denied |= mask;
    }
    return allowed & ~denied;
}

std::vector<unsigned char> descriptor_from_sddl(const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ULONG size = 0;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, &size))
        return {};
    const auto* first = static_cast<const unsigned char*>(descriptor);
    std::vector<unsigned char> bytes(first, first + size);
    ::LocalFree(descriptor);
    return bytes;
}

}  // namespace unfurler_test
