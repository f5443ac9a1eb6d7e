#include "temp_folder_security.h"

#include <vetra/errors.h>
#include <vetra/unique_handle.h>

#include <array>

namespace unfurler {

namespace {

constexpr char build_failure[] = "Could not build the security of the temporary folder";

struct sid_buffer {
    std::array<unsigned char, SECURITY_MAX_SID_SIZE> bytes{};
    PSID get() { return bytes.data(); }
};

sid_buffer well_known_sid(WELL_KNOWN_SID_TYPE type)
{
    sid_buffer sid;
    DWORD size = static_cast<DWORD>(sid.bytes.size());
    if (!::CreateWellKnownSid(type, /* domain */ nullptr, sid.get(), &size))
        throw vetra::win32_error(build_failure, ::GetLastError());
    return sid;
}

// Reading, listing and running, without any right to change the folder, its
// files or their security.
constexpr DWORD read_only_access = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

}  // namespace

admin_only_security::admin_only_security()
{
    struct grant {
        sid_buffer sid;
        DWORD access;
    };
    std::array<grant, 4> grants = {{
        {well_known_sid(WinLocalSystemSid), FILE_ALL_ACCESS},
        {well_known_sid(WinBuiltinAdministratorsSid), FILE_ALL_ACCESS},
        {well_known_sid(WinBuiltinUsersSid), read_only_access},
        // OWNER RIGHTS replaces the owner's implicit right to rewrite the
        // access list: the owner of a folder an elevated process creates may
        // be the user's own account, which also runs unelevated processes.
        {well_known_sid(WinCreatorOwnerRightsSid), read_only_access},
    }};

    DWORD acl_size = sizeof(ACL);
    for (grant& g : grants)
        acl_size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(g.sid.get());
    acl_.assign(acl_size, 0);
    auto* acl = reinterpret_cast<PACL>(acl_.data());
    if (!::InitializeAcl(acl, acl_size, ACL_REVISION))
        throw vetra::win32_error(build_failure, ::GetLastError());
    for (grant& g : grants) {
        if (!::AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, g.access,
                                     g.sid.get()))
            throw vetra::win32_error(build_failure, ::GetLastError());
    }

    // Protected: the user's write access inherited from the temporary folder
    // would otherwise be merged in.
    if (!::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor_, /* present */ TRUE, acl, /* defaulted */ FALSE) ||
        !::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        throw vetra::win32_error(build_failure, ::GetLastError());

    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
}

bool process_is_elevated()
{
    HANDLE raw_token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw_token))
        return false;
    const vetra::unique_kernel_handle token(raw_token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return elevation.TokenIsElevated != 0;

    sid_buffer administrators;
    DWORD sid_size = static_cast<DWORD>(administrators.bytes.size());
    BOOL member = FALSE;
    return ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators.get(), &sid_size) &&
           ::CheckTokenMembership(/* the calling thread's token */ nullptr, administrators.get(), &member) &&
           member;
}

void secure_fresh_temp_folder(const std::wstring& folder, std::vector<std::wstring>& created_paths)
{
    if (!process_is_elevated())
        return;
    admin_only_security security;
    // A folder of that name that exists already was not made by this run and
    // may let others write; the run does not use it.
    if (!::CreateDirectoryW(folder.c_str(), security.attributes()))
        throw vetra::win32_error("CreateDirectory failed", ::GetLastError());
    created_paths.push_back(folder);
}

}  // namespace unfurler
