#pragma once
// The version resource of a self-extractor: the tree of version-information
// nodes and its serialised form (the RT_VERSION data). Needs no Windows header.

#include "version_info.h"
#include "version_numbers.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace stubsmith {

// One node of the version-information tree.
struct version_resource_node {
    std::uint16_t type = 0;                      // 0 binary data, 1 text
    std::wstring key;
    std::vector<std::uint8_t> value;             // may be empty
    std::vector<version_resource_node> children;
};

// A node whose serialised form would not fit its 16-bit length field.
class version_resource_too_long : public std::length_error {
public:
    using std::length_error::length_error;
};

// The 52 bytes of the fixed file information (VS_FIXEDFILEINFO) for these
// version numbers: each high part is first * 65536 + second, each low part
// third * 65536 + fourth, in plain 32-bit unsigned arithmetic.
std::vector<std::uint8_t> fixed_file_info(const version_numbers& file_version, const version_numbers& product_version);

// The whole tree: VS_VERSION_INFO with the fixed information, StringFileInfo
// with table "040904E4" holding the eight strings ordered by key, and
// VarFileInfo with the translation 0409/04E4. The caller has parsed the two
// version numbers from info's version strings.
version_resource_node make_version_tree(const version_info& info, const version_numbers& file_version,
                                        const version_numbers& product_version);

// The node's length as its serialised form records it: header, key with its
// terminator, the value after padding to 4, then each child after padding to
// 4; no padding after the last item.
std::size_t serialised_length(const version_resource_node& node);

// The node's bytes (little-endian, zero padding). Raises
// version_resource_too_long when the node or any node below it is longer
// than 65535 bytes or has a longer value.
std::vector<std::uint8_t> serialise(const version_resource_node& node);

}  // namespace stubsmith
