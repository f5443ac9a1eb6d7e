#include "version_resource.h"

#include <map>

namespace stubsmith {

namespace {

constexpr std::size_t max_field = 0xFFFF;

std::size_t aligned4(std::size_t offset)
{
    return (offset + 3) & ~static_cast<std::size_t>(3);
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void pad_to4(std::vector<std::uint8_t>& out, std::size_t node_start)
{
    while ((out.size() - node_start) % 4 != 0)
        out.push_back(0);
}

// The string's UTF-16 code units and one zero code unit.
std::vector<std::uint8_t> terminated_utf16(const std::wstring& text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (wchar_t c : text)
        put16(bytes, static_cast<std::uint16_t>(c));
    put16(bytes, 0);
    return bytes;
}

version_resource_node text_node(const std::wstring& key)
{
    version_resource_node node;
    node.type = 1;
    node.key = key;
    return node;
}

std::uint32_t high_part(const version_numbers& n)
{
    return static_cast<std::uint32_t>(n[0]) * 65536u + static_cast<std::uint32_t>(n[1]);
}

std::uint32_t low_part(const version_numbers& n)
{
    return static_cast<std::uint32_t>(n[2]) * 65536u + static_cast<std::uint32_t>(n[3]);
}

void write_node(std::vector<std::uint8_t>& out, const version_resource_node& node)
{
    const std::size_t length = serialised_length(node);
    if (length > max_field || node.value.size() > max_field)
        throw version_resource_too_long("Version information too long: the entry \"" +
                                        std::string(node.key.begin(), node.key.end()) + "\" would take " +
                                        std::to_string(length) + " bytes, at most 65535 fit");
    const std::size_t start = out.size();
    put16(out, static_cast<std::uint32_t>(length));
    put16(out, static_cast<std::uint32_t>(node.value.size()));
    put16(out, node.type);
    const std::vector<std::uint8_t> key = terminated_utf16(node.key);
    out.insert(out.end(), key.begin(), key.end());
    if (!node.value.empty()) {
        pad_to4(out, start);
        out.insert(out.end(), node.value.begin(), node.value.end());
    }
    for (const version_resource_node& child : node.children) {
        pad_to4(out, start);
        write_node(out, child);
    }
}

}  // namespace

std::vector<std::uint8_t> fixed_file_info(const version_numbers& file_version, const version_numbers& product_version)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(52);
    put32(bytes, 0xFEEF04BD);               // signature
    put32(bytes, 0x00010000);               // structure version
    put32(bytes, high_part(file_version));
    put32(bytes, low_part(file_version));
    put32(bytes, high_part(product_version));
    put32(bytes, low_part(product_version));
    put32(bytes, 0);                        // flags mask
    put32(bytes, 0);                        // flags
    put32(bytes, 0x00040004);               // 32-bit Windows on the NT family
    put32(bytes, 1);                        // application
    put32(bytes, 0);                        // subtype
    put32(bytes, 0);                        // date, high part
    put32(bytes, 0);                        // date, low part
    return bytes;
}

version_resource_node make_version_tree(const version_info& info, const version_numbers& file_version,
                                        const version_numbers& product_version)
{
    // Ordered by key as UTF-16 code units, empty strings included.
    const std::map<std::wstring, std::wstring> strings = {
        {L"CompanyName", info.company_name},
        {L"FileDescription", info.file_description},
        {L"FileVersion", info.file_version},
        {L"InternalName", info.internal_name},
        {L"OriginalFilename", info.original_filename},
        {L"ProductName", info.product_name},
        {L"ProductVersion", info.product_version},
        {L"LegalCopyright", info.legal_copyright},
    };

    version_resource_node table = text_node(L"040904E4");
    for (const auto& [key, text] : strings) {
        version_resource_node entry = text_node(key);
        entry.value = terminated_utf16(text);
        table.children.push_back(std::move(entry));
    }
    version_resource_node string_info = text_node(L"StringFileInfo");
    string_info.children.push_back(std::move(table));

    version_resource_node translation = text_node(L"Translation");
    translation.value = {0x09, 0x04, 0xE4, 0x04};  // language 0x0409, code page 1252
    version_resource_node var_info = text_node(L"VarFileInfo");
    var_info.children.push_back(std::move(translation));

    version_resource_node root;
    root.type = 0;
    root.key = L"VS_VERSION_INFO";
    root.value = fixed_file_info(file_version, product_version);
    root.children.push_back(std::move(string_info));
    root.children.push_back(std::move(var_info));
    return root;
}

std::size_t serialised_length(const version_resource_node& node)
{
    std::size_t offset = 6 + 2 * (node.key.size() + 1);
    if (!node.value.empty())
        offset = aligned4(offset) + node.value.size();
    for (const version_resource_node& child : node.children)
        offset = aligned4(offset) + serialised_length(child);
    return offset;
}

std::vector<std::uint8_t> serialise(const version_resource_node& node)
{
    std::vector<std::uint8_t> out;
    out.reserve(serialised_length(node));
    write_node(out, node);
    return out;
}

}  // namespace stubsmith
