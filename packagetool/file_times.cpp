#include "file_times.h"

#include <vetra/unique_handle.h>

#include <windows.h>

void setFileTimesOnHandle(void* file, std::uint32_t dosDateTime)
{
    FILETIME local, utc;
    if (!::DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime & 0xFFFF),
                                 &local) ||
        !::LocalFileTimeToFileTime(&local, &utc))
        return;
    // No last-access time: it stays as it is.
    ::SetFileTime(static_cast<HANDLE>(file), &utc /* creation */, nullptr /* last access */, &utc /* last write */);
}

void setFileTimes(const std::string& path, std::uint32_t dosDateTime)
{
    vetra::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        setFileTimesOnHandle(file.get(), dosDateTime);
}
