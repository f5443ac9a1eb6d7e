#include "interactive_session.h"

#include "trace_points.h"

#include <vetra/unique_handle.h>

#include <windows.h>

#include <vector>

namespace unfurler {

namespace {

std::uint32_t last_error()
{
    return static_cast<std::uint32_t>(::GetLastError());
}

}  // namespace

bool is_interactive_session()
{
    vetra::unique_kernel_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        trace_point(42, trace_level::error, {last_error()});
        return false;
    }
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenGroups, /* buffer */ nullptr, 0, &size) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        trace_point(43, trace_level::error, {last_error()});
        return false;
    }
    // DWORD elements keep the group list suitably aligned.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    if (!::GetTokenInformation(token.get(), TokenGroups, buffer.data(), size, &size)) {
        trace_point(44, trace_level::error, {last_error()});
        return false;
    }
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    PSID interactive = nullptr;
    if (!::AllocateAndInitializeSid(&nt_authority, /* sub-authorities */ 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0,
                                    0, 0, &interactive)) {
        trace_point(45, trace_level::error, {last_error()});
        return false;
    }
    const auto* const groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    bool found = false;
    for (DWORD index = 0; index < groups->GroupCount && !found; ++index)
        found = ::EqualSid(groups->Groups[index].Sid, interactive) != FALSE;
    ::FreeSid(interactive);
    return found;
}

}  // namespace unfurler
