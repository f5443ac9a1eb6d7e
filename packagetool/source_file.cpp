#include "source_file.h"

SourceFile::SourceFile(const std::string& path)
    : file_(::CreateFileA(path.c_str(), GENERIC_READ, 0 /* no sharing */, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
{
    if (!file_)
        throw SourceFileError(::GetLastError());
}

std::uint64_t SourceFile::size() const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file_.get(), &size))
        throw SourceFileError(::GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t SourceFile::read(void* buffer, std::size_t count)
{
    DWORD done = 0;
    if (!::ReadFile(file_.get(), buffer, static_cast<DWORD>(count), &done, nullptr))
        throw SourceFileError(::GetLastError());
    return done;
}

void SourceFile::close()
{
    if (file_ && !::CloseHandle(file_.release()))
        throw SourceFileError(::GetLastError());
}

void SourceFile::remove(const std::string& path)
{
    if (!::DeleteFileA(path.c_str()))
        throw SourceFileError(::GetLastError());
}
