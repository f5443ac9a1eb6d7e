#include "file_times.h"

#include <vetra/unique_handle.h>

#include <windows.h>

void setFileTimes(const std::string& path, std::uint32_t dosDateTime)
{
    vetra::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    FILETIME created, accessed, written;
    if (!::GetFileTime(file.get(), &created, &accessed, &written))
        return;
    FILETIME local, utc;
    if (!::DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime & 0xFFFF),
                                 &local) ||
        !::LocalFileTimeToFileTime(&local, &utc))
        return;
    ::SetFileTime(file.get(), &utc, &accessed, &utc);
}
