#include "layout_checks.h"

#include <sfx/container_layout.h>

#include <algorithm>

namespace stubsmith {

void check_archive_size(std::uint64_t size)
{
    if (size > max_archive_size)
        throw layout_error("The zip file is " + std::to_string(size) +
                           " bytes long; the self-extractor reads only zip files below 2 GiB (2147483648 bytes)");
}

void check_stub_size(std::uint64_t size)
{
    if (size > sfx::max_stub_and_settings_size)
        throw layout_error("The SFX Stub takes " + std::to_string(size) + " bytes; with its settings it must fit in " +
                           std::to_string(sfx::max_stub_and_settings_size) + " bytes");
}

void check_stub_image(const unsigned char* image, std::size_t size)
{
    check_stub_size(size);
    if (sfx::find_marker(image, size) != size)
        throw layout_error("The SFX Stub holds the settings marker, so the self-extractor would not find its settings "
                           "(check the version strings)");
}

void check_settings_text(const std::string& text, std::uint64_t stub_size)
{
    if (text.find('\0') != std::string::npos)
        throw layout_error("The SFX settings hold a zero byte, which would end them early");
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    if (sfx::find_local_file_signature(bytes, text.size(), 0) != text.size())
        throw layout_error("The SFX settings hold a zip signature (50 4B 03 04), where the self-extractor would look "
                           "for its archive");
    const std::uint64_t total = stub_size + text.size();
    if (total > sfx::max_stub_and_settings_size)
        throw layout_error("The SFX Stub and its settings take " + std::to_string(total) +
                           " bytes; the self-extractor finds them only within the first " +
                           std::to_string(sfx::max_stub_and_settings_size) + " bytes");
}

}  // namespace stubsmith
