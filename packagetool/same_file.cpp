#include "same_file.h"

#include <vetra/unique_handle.h>

#include <vector>

FileIdentity identityOf(HANDLE file)
{
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION info;
    if (file != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file, &info)) {
        identity.volume = info.dwVolumeSerialNumber;
        identity.indexHigh = info.nFileIndexHigh;
        identity.indexLow = info.nFileIndexLow;
        identity.known = true;
    }
    return identity;
}

namespace {

// NtQueryInformationFile and the two records it needs here; not every SDK
// declares them, so they are looked up at run time.
struct IoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
using QueryInformationFile = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);
constexpr int kFileInternalInformation = 6;

QueryInformationFile queryInformationFile()
{
    static const auto function = reinterpret_cast<QueryInformationFile>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    return function;
}

}  // namespace

bool fileIndexOf(HANDLE file, unsigned long long& index)
{
    const auto query = queryInformationFile();
    if (!query)
        return false;
    IoStatusBlock status{};
    LARGE_INTEGER internal{};  // FILE_INTERNAL_INFORMATION: the index only
    if (query(file, &status, &internal, sizeof internal, kFileInternalInformation) < 0)
        return false;
    index = static_cast<unsigned long long>(internal.QuadPart);
    return true;
}

FileIdentity identityOf(const std::string& path)
{
    // Backup semantics open folders too; no access right is needed to read
    // the identity, and every sharing mode is allowed.
    const vetra::unique_file file(::CreateFileA(path.c_str(), 0 /* attributes only */,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? identityOf(file.get()) : FileIdentity{};
}

std::string fullPathOf(const std::string& path)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return std::string();
        if (length < buffer.size()) {
            std::string full(buffer.data(), length);
            // "C:\" keeps its '\'; "C:\dir\" loses it.
            while (full.size() > 3 && full.back() == '\\')
                full.pop_back();
            return full;
        }
        buffer.resize(length);
    }
}

bool isSameFile(const std::string& first, const std::string& second)
{
    const std::string fullFirst = fullPathOf(first);
    const std::string fullSecond = fullPathOf(second);
    if (!fullFirst.empty() && ::lstrcmpiA(fullFirst.c_str(), fullSecond.c_str()) == 0)
        return true;
    return identityOf(first).sameAs(identityOf(second));
}
