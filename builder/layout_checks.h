#pragma once
// Checks that a self-extractor's parts fit what the stub can read back: the
// stub finds its settings and archive only within the first MiB of its file,
// stops the settings text at a zero byte or a zip signature, and reads the
// archive through 32-bit positions. Needs no Windows header.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace stubsmith {

// Parts that the stub could not read back from the container.
class layout_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest zip file the stub can read: positions inside it must stay
// below 2 GiB.
inline constexpr std::uint64_t max_archive_size = 0x7FFFFFFF;

// Raises layout_error when a zip of size bytes is 2 GiB or larger.
void check_archive_size(std::uint64_t size);

// Raises layout_error when a stub image of size bytes is so large that not
// even empty settings would fit the stub's search window.
void check_stub_size(std::uint64_t size);

// Raises layout_error when the stub image (as the resource update left it)
// holds the settings marker anywhere, or is so large that not even empty
// settings would fit the stub's search window.
void check_stub_image(const unsigned char* image, std::size_t size);

// Raises layout_error when the settings text holds a zero byte or a zip
// local-file signature, or when stub image and settings text together exceed
// the first MiB less 4 bytes.
void check_settings_text(const std::string& text, std::uint64_t stub_size);

}  // namespace stubsmith
