#include <testsupport/scratch_folder.h>

#include <vetra/unique_handle.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    static unsigned folderNumber = 0;
    path_ = fs::temp_directory_path() /
            (L"scratch-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++folderNumber));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    // Read-only files would stop remove_all.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::uint32_t lastWriteDosTime(const fs::path& path)
{
    vetra::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME written, local;
    WORD date = 0, time = 0;
    if (!file || !::GetFileTime(file.get(), nullptr, nullptr, &written) ||
        !::FileTimeToLocalFileTime(&written, &local) || !::FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

}  // namespace testsupport
