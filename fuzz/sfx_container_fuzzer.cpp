// Fuzz target for the container search and the settings text, both sides:
//
// - the stub's search over any file: the marker is the first occurrence of
//   its 8 bytes within the first MiB, the archive the first local-file
//   signature behind it, and the settings text runs from the marker up to the
//   archive or a zero byte, checked against a plain search written here;
// - the builder's promise: whenever its layout checks accept a stub image and
//   a settings text, a container of stub, settings and zip gives the stub back
//   exactly those settings and the zip's offset.
//
// Input: byte 0 chooses a run of filler bytes put in front (up to a little
// over 1 MiB, so the window's edge is reached); byte 1 splits the rest into
// the stub image and the text that follows the marker.

#include "fuzz_checks.h"

#include "layout_checks.h"

#include <sfx/container_layout.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::size_t plain_search(const std::vector<unsigned char>& data, std::size_t from, std::size_t end,
                         const unsigned char* what, std::size_t length)
{
    if (from > end)
        return end;
    const auto found = std::search(data.begin() + static_cast<std::ptrdiff_t>(from),
                                   data.begin() + static_cast<std::ptrdiff_t>(end), what, what + length);
    return static_cast<std::size_t>(found - data.begin());
}

std::size_t filler_size(std::uint8_t choice)
{
    // Sizes around the window's edge are the interesting ones, but a search
    // through a whole MiB is slow, so only a few choices reach it.
    if (choice < 250)
        return choice;
    return sfx::search_window_size - 160 + (choice - 250) * 32;
}

// The stub's view of a whole file, as locate_payload reads it. The plain
// search starts shortly before the end of the filler, which holds neither
// marker nor signature bytes.
void check_search(const std::vector<unsigned char>& file, std::size_t filler)
{
    const std::size_t skip = filler > 8 ? filler - 8 : 0;
    const std::size_t window = std::min<std::size_t>(file.size(), sfx::search_window_size);
    const auto marker = sfx::compose_marker();
    const auto* marker_bytes = reinterpret_cast<const unsigned char*>(marker.data());
    const std::size_t found = sfx::find_marker(file.data(), window);
    require(found == plain_search(file, skip, window, marker_bytes, marker.size()), "the marker is its first occurrence");
    if (found == window)
        return;
    const std::size_t archive = sfx::find_local_file_signature(file.data(), window, found);
    require(archive == plain_search(file, found, window, sfx::local_file_signature.data(), 4),
            "the archive is the first signature behind the marker");
    if (archive == window)
        return;
    require(archive + 4 <= window, "the signature lies wholly in the window");
    const std::size_t length = sfx::settings_text_length(file.data(), {found, archive});
    require(length <= archive - found, "the settings end at the archive");
    require(std::find(file.begin() + static_cast<std::ptrdiff_t>(found),
                      file.begin() + static_cast<std::ptrdiff_t>(found + length), 0) ==
                file.begin() + static_cast<std::ptrdiff_t>(found + length),
            "the settings hold no zero byte");
    require(found + length == archive || file[found + length] == 0, "the settings end at a zero byte or the archive");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t filler = filler_size(data[0]);
    const std::size_t split = std::min<std::size_t>(data[1], size - 2);
    const std::uint8_t* rest = data + 2;
    const std::size_t rest_size = size - 2;

    // Any bytes as a whole file.
    std::vector<unsigned char> file(filler, 0x90);
    file.insert(file.end(), rest, rest + rest_size);
    check_search(file, filler);

    // What the builder would write: stub, marker and text, a zip signature and
    // a little more.
    std::vector<unsigned char> stub(filler, 0x90);
    stub.insert(stub.end(), rest, rest + split);
    const auto marker = sfx::compose_marker();
    std::string settings(marker.begin(), marker.end());
    settings.append(reinterpret_cast<const char*>(rest + split), rest_size - split);
    try {
        stubsmith::check_stub_image(stub.data(), stub.size());
        stubsmith::check_settings_text(settings, stub.size());
    } catch (const stubsmith::layout_error&) {
        return 0;
    }
    std::vector<unsigned char> container = stub;
    container.insert(container.end(), settings.begin(), settings.end());
    const std::size_t archive_offset = container.size();
    container.insert(container.end(), sfx::local_file_signature.begin(), sfx::local_file_signature.end());
    container.insert(container.end(), 26, 0);

    const std::size_t window = std::min<std::size_t>(container.size(), sfx::search_window_size);
    const std::size_t found = sfx::find_marker(container.data(), window);
    require(found == stub.size(), "the stub finds the settings where the builder put them");
    const std::size_t archive = sfx::find_local_file_signature(container.data(), window, found);
    require(archive == archive_offset, "the stub finds the zip where the builder put it");
    require(sfx::settings_text_length(container.data(), {found, archive}) == settings.size(),
            "the stub reads the whole settings text back");
    return 0;
}
