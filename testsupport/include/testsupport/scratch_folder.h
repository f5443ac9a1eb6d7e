#pragma once
// A fresh folder under the temporary folder for one test, removed with
// everything in it (read-only files included) when the test ends.

#include <cstdint>
#include <filesystem>
#include <string>

namespace testsupport {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers; they throw std::runtime_error on failure. writeFile
// creates missing parent folders.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Last-write time of a file as a DOS date and time (local time), or 0.
std::uint32_t lastWriteDosTime(const std::filesystem::path& path);

}  // namespace testsupport
