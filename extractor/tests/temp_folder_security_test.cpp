// The security of the fresh temporary folder of an elevated run, as the stub
// builds it, and what Wine lets a test see of it on a real folder.
#include "temp_folder_security.h"

#include "dacl_inspection.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

using unfurler_test::granted_rights;
using unfurler_test::write_rights;

constexpr DWORD read_rights = FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_EXECUTE | READ_CONTROL;

struct expected_grant {
    const char* who;
    WELL_KNOWN_SID_TYPE sid;
    bool full_control;
    bool may_read;
};

const std::vector<expected_grant> grants = {
    {"SYSTEM", WinLocalSystemSid, true, true},
    {"Administrators", WinBuiltinAdministratorsSid, true, true},
    {"Users", WinBuiltinUsersSid, false, true},
    {"OWNER RIGHTS", WinCreatorOwnerRightsSid, false, true},
    {"Authenticated Users", WinAuthenticatedUserSid, false, false},
    {"Everyone", WinWorldSid, false, false},
    {"INTERACTIVE", WinInteractiveSid, false, false},
    {"CREATOR OWNER", WinCreatorOwnerSid, false, false},
    {"Guests", WinBuiltinGuestsSid, false, false},
};

TEST(TempFolderSecurity, OnlySystemAndAdministratorsMayWriteAndUsersMayRead)
{
    unfurler::admin_only_security security;
    PSECURITY_DESCRIPTOR descriptor = security.descriptor();
    ASSERT_TRUE(::IsValidSecurityDescriptor(descriptor));
    for (const expected_grant& grant : grants) {
        const DWORD rights = granted_rights(descriptor, grant.sid);
        if (grant.full_control)
            EXPECT_EQ(rights & FILE_ALL_ACCESS, static_cast<DWORD>(FILE_ALL_ACCESS)) << grant.who;
        else
            EXPECT_EQ(rights & write_rights, 0u) << grant.who << " may change the folder";
        EXPECT_EQ((rights & read_rights) == read_rights, grant.may_read) << grant.who;
    }
}

TEST(TempFolderSecurity, EveryEntryIsInheritedAndTheTemporaryFoldersEntriesAreNot)
{
    unfurler::admin_only_security security;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(security.descriptor(), &control, &revision));
    // Without protection the user's full control over the temporary folder
    // would be inherited into this one.
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);
    EXPECT_NE(control & SE_DACL_PRESENT, 0);

    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(security.descriptor(), &present, &acl, &defaulted));
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AceCount, 4);
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* ace = nullptr;
        ASSERT_TRUE(::GetAce(acl, index, &ace));
        const auto* header = static_cast<ACE_HEADER*>(ace);
        EXPECT_EQ(header->AceType, ACCESS_ALLOWED_ACE_TYPE) << index;
        // Files and folders created inside get the same entries.
        EXPECT_EQ(header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE),
                  OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)
            << index;
    }
    SECURITY_ATTRIBUTES* attributes = security.attributes();
    EXPECT_EQ(attributes->lpSecurityDescriptor, security.descriptor());
    EXPECT_FALSE(attributes->bInheritHandle);
}

// Wine does not keep a folder's descriptor: it turns the access list into the
// folder's Unix permission bits and, asked for it, makes one up from those
// bits (SYSTEM and the user's account), whatever was given. What survives that
// is only whether "others" got any bits: Everyone reads back with no rights.
// On Windows the descriptor reads back as built.
TEST(TempFolderSecurity, AFolderCreatedWithItGrantsOthersNothingWhenReadBack)
{
    testsupport::ScratchFolder scratch;
    const std::wstring folder = (scratch / "guarded").wstring();
    std::vector<std::wstring> created;
    unfurler::secure_fresh_temp_folder(folder, created);
    if (!unfurler::process_is_elevated()) {
        EXPECT_TRUE(created.empty());
        GTEST_SKIP() << "only an elevated run creates the folder itself";
    }
    ASSERT_EQ(created, std::vector<std::wstring>{folder});

    DWORD size = 0;
    ::GetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<unsigned char> descriptor(size);
    ASSERT_TRUE(::GetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size));
    for (const expected_grant& grant : grants) {
        if (!grant.full_control) {
            EXPECT_EQ(granted_rights(descriptor.data(), grant.sid) & write_rights, 0u) << grant.who;
        }
    }
    EXPECT_EQ(granted_rights(descriptor.data(), WinWorldSid), 0u);

    // A second run never takes over a folder that exists already.
    try {
        unfurler::secure_fresh_temp_folder(folder, created);
        ADD_FAILURE() << "an existing folder was accepted";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("CreateDirectory failed", 0), 0u) << error.what();
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
