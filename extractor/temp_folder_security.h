#pragma once
// The fresh temporary folder of an elevated run. An elevated stub extracts a
// program and then starts it with administrator rights; if a process of the
// same user without those rights could add, replace or delete a file in the
// folder in between, it could have its own code run elevated. So the folder
// of an elevated run lets only SYSTEM and the Administrators group write.

#include <windows.h>

#include <string>
#include <vector>

namespace unfurler {

// A security descriptor for such a folder: full control for SYSTEM and the
// Administrators group, reading for the Users group, and for the folder's
// owner only reading as well (the owner may otherwise rewrite the access list
// and may be the user without elevation). Every entry is inherited by the
// files and folders created inside; the temporary folder's own entries (which
// let the user write) are not. Neither copyable nor movable: the descriptor
// points into the object.
class admin_only_security {
public:
    // Raises vetra::win32_error "Could not build the security of the temporary folder" when the system cannot build a
    // well-known group or the access list.
    admin_only_security();
    admin_only_security(const admin_only_security&) = delete;
    admin_only_security& operator=(const admin_only_security&) = delete;

    // The descriptor, for reading it back (tests) or handing it to the system.
    PSECURITY_DESCRIPTOR descriptor() { return &descriptor_; }
    // Security attributes that carry the descriptor, handles not inheritable.
    SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

private:
    std::vector<unsigned char> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

// True when the process runs with its administrator rights in force (an
// elevated token). Where the system cannot say (no elevation query), true
// when the token holds the Administrators group enabled. False when neither
// can be read.
bool process_is_elevated();

// For an elevated run, creates the fresh temporary target folder (its parent
// exists) at once with admin_only_security and appends it to created_paths,
// so cleanup removes it last; the extraction then only fills it. An
// unelevated run leaves the folder to the extraction, as before. Raises
// vetra::win32_error "CreateDirectory failed", also when the folder exists
// already (its security would be someone else's).
void secure_fresh_temp_folder(const std::wstring& folder, std::vector<std::wstring>& created_paths);

}  // namespace unfurler
