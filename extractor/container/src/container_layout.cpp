#include <sfx/container_layout.h>

#include <algorithm>
#include <cstring>

namespace sfx {

namespace {

// The marker's bytes, each complemented. The mask is read through a volatile,
// so the compiler cannot fold the two into the plain 8 bytes at build time.
constexpr unsigned char masked_marker[marker_size] = {
    static_cast<unsigned char>(~'['), static_cast<unsigned char>(~'V'),
    static_cast<unsigned char>(~'E'), static_cast<unsigned char>(~'K'),
    static_cast<unsigned char>(~'S'), static_cast<unsigned char>(~'F'),
    static_cast<unsigned char>(~'X'), static_cast<unsigned char>(~']')};
volatile unsigned char marker_mask = 0xFF;

}  // namespace

std::array<char, marker_size> compose_marker()
{
    std::array<char, marker_size> marker{};
    const unsigned char mask = marker_mask;
    for (std::size_t i = 0; i < marker_size; ++i)
        marker[i] = static_cast<char>(masked_marker[i] ^ mask);
    return marker;
}

std::size_t find_marker(const unsigned char* data, std::size_t size)
{
    if (size < marker_size)
        return size;
    const std::array<char, marker_size> marker = compose_marker();
    const unsigned char* const last = data + (size - marker_size);
    // Only places that hold the marker's first byte are compared in full.
    const auto first = static_cast<unsigned char>(marker[0]);
    for (const unsigned char* at = data; at <= last; ++at) {
        at = static_cast<const unsigned char*>(std::memchr(at, first, static_cast<std::size_t>(last - at) + 1));
        if (at == nullptr)
            break;
        if (std::memcmp(at, marker.data(), marker_size) == 0)
            return static_cast<std::size_t>(at - data);
    }
    return size;
}

std::size_t find_local_file_signature(const unsigned char* data, std::size_t size, std::size_t from)
{
    const std::size_t signature_size = local_file_signature.size();
    if (from > size || size - from < signature_size)
        return size;
    for (std::size_t at = from; at + signature_size <= size; ++at) {
        if (std::equal(local_file_signature.begin(), local_file_signature.end(), data + at))
            return at;
    }
    return size;
}

std::size_t settings_text_length(const unsigned char* data, const payload_position& position)
{
    const unsigned char* const begin = data + position.settings_offset;
    const unsigned char* const end = data + position.archive_offset;
    return static_cast<std::size_t>(std::find(begin, end, 0) - begin);
}

}  // namespace sfx
