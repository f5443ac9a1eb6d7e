#include "manifest_text.h"
#include "version_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace stubsmith;

std::uint32_t read16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes.at(at) | (bytes.at(at + 1) << 8);
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return read16(bytes, at) | (read16(bytes, at + 2) << 16);
}

// One node read back from serialised bytes, by the layout rules alone.
struct ParsedNode {
    std::uint32_t length, valueLength, type;
    std::wstring key;
    std::size_t valueOffset;  // from the node's start
    std::vector<ParsedNode> children;
};

ParsedNode parseNode(const std::vector<std::uint8_t>& bytes, std::size_t start)
{
    ParsedNode node{read16(bytes, start), read16(bytes, start + 2), read16(bytes, start + 4), {}, 0, {}};
    std::size_t at = start + 6;
    while (const std::uint32_t c = read16(bytes, at)) {
        node.key += static_cast<wchar_t>(c);
        at += 2;
    }
    at += 2;
    if (node.valueLength != 0) {
        while ((at - start) % 4)
            EXPECT_EQ(bytes.at(at++), 0) << "padding before the value of " << std::string(node.key.begin(), node.key.end());
        node.valueOffset = at - start;
        at += node.valueLength;
    }
    while (at - start < node.length) {
        while ((at - start) % 4)
            EXPECT_EQ(bytes.at(at++), 0);
        node.children.push_back(parseNode(bytes, at));
        at += node.children.back().length;
    }
    EXPECT_EQ(at - start, node.length);
    return node;
}

std::wstring valueText(const std::vector<std::uint8_t>& bytes, std::size_t nodeStart, const ParsedNode& node)
{
    std::wstring text;
    for (std::size_t i = 0; i + 2 <= node.valueLength; i += 2)
        text += static_cast<wchar_t>(read16(bytes, nodeStart + node.valueOffset + i));
    return text;
}

version_info sampleInfo()
{
    version_info info;
    info.company_name = L"Example Works";
    info.file_description = L"Client setup";
    info.file_version = L"14.3.0.12";
    info.internal_name = L"";
    info.original_filename = L"setup.exe";
    info.product_name = L"Kit \x00e9t\x00e9";
    info.product_version = L"14.3";
    info.legal_copyright = L"(C) 2026";
    return info;
}

TEST(VersionResource, TreeSerialisesWithItsPaddingRulesAndStringsInKeyOrder)
{
    const version_info info = sampleInfo();
    const version_resource_node tree = make_version_tree(info, {14, 3, 0, 12}, {14, 3, 0, 0});
    const std::vector<std::uint8_t> bytes = serialise(tree);
    ASSERT_EQ(bytes.size(), serialised_length(tree));

    const ParsedNode root = parseNode(bytes, 0);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    EXPECT_EQ(root.type, 0u);
    EXPECT_EQ(root.valueLength, 52u);
    EXPECT_EQ(root.valueOffset, 40u);  // 6 + 32 = 38, padded to 40
    EXPECT_EQ(read32(bytes, 40), 0xFEEF04BDu);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].key, L"StringFileInfo");
    EXPECT_EQ(root.children[0].valueLength, 0u);
    EXPECT_EQ(root.children[1].key, L"VarFileInfo");
    EXPECT_EQ(root.children[1].length, 32u + 36u);  // 30 padded to 32, then Translation: 30 padded to 32 + 4
    ASSERT_EQ(root.children[0].children.size(), 1u);
    const ParsedNode& table = root.children[0].children[0];
    EXPECT_EQ(table.key, L"040904E4");
    EXPECT_EQ(table.type, 1u);

    const std::vector<std::wstring> keys = {L"CompanyName",      L"FileDescription", L"FileVersion",
                                            L"InternalName",     L"LegalCopyright",  L"OriginalFilename",
                                            L"ProductName",      L"ProductVersion"};
    const std::vector<std::wstring> values = {info.company_name,      info.file_description, info.file_version,
                                              info.internal_name,     info.legal_copyright,  info.original_filename,
                                              info.product_name,      info.product_version};
    ASSERT_EQ(table.children.size(), keys.size());
    // Offsets of the string nodes: root children start at 92, the table at
    // 92 + 36, its first child at 92 + 36 + 24.
    std::size_t at = 92 + 36 + 24;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const ParsedNode& entry = table.children[i];
        EXPECT_EQ(entry.key, keys[i]);
        EXPECT_EQ(entry.type, 1u);
        EXPECT_EQ(entry.valueLength, 2 * values[i].size() + 2) << "bytes, not characters";
        const std::size_t header = (6 + 2 * (keys[i].size() + 1) + 3) / 4 * 4;
        EXPECT_EQ(entry.length, header + 2 * values[i].size() + 2);
        EXPECT_EQ(valueText(bytes, at, entry), values[i] + L'\0');
        at += (entry.length + 3) / 4 * 4;
    }

    const ParsedNode& translation = root.children[1].children.at(0);
    EXPECT_EQ(translation.key, L"Translation");
    EXPECT_EQ(translation.valueLength, 4u);
    EXPECT_EQ(read32(bytes, bytes.size() - 4), 0x04E40409u);
}

TEST(VersionResource, FixedFileInformationAddsTheHalves)
{
    const std::vector<std::uint8_t> fixed = fixed_file_info({1, 65536, 3, 4}, {14, 3, 0, 0});
    ASSERT_EQ(fixed.size(), 52u);
    const std::uint32_t expected[13] = {0xFEEF04BD, 0x00010000, 131072, 3 * 65536 + 4, 14 * 65536 + 3, 0, 0, 0,
                                        0x00040004, 1, 0, 0, 0};
    for (std::size_t i = 0; i < 13; ++i)
        EXPECT_EQ(read32(fixed, 4 * i), expected[i]) << "field " << i;
    EXPECT_EQ(read32(fixed_file_info({-1, 0, 0, 0}, {0, -1, 0, 0}), 8), 0xFFFF0000u);
}

TEST(VersionResource, NodesBeyond65535BytesAreRefused)
{
    version_info info = sampleInfo();
    // One string that alone would overflow its own node.
    info.legal_copyright.assign(32760, L'x');
    EXPECT_THROW(serialise(make_version_tree(info, {}, {})), version_resource_too_long);

    // Strings that each fit, but not together in the root.
    info = sampleInfo();
    info.company_name.assign(16000, L'a');
    info.product_name.assign(16000, L'b');
    info.file_description.assign(1000, L'c');
    EXPECT_THROW(serialise(make_version_tree(info, {}, {})), version_resource_too_long);

    // The largest tree that fits is still written.
    info = sampleInfo();
    info.company_name.clear();
    const std::size_t base = serialised_length(make_version_tree(info, {}, {}));
    info.company_name.assign((65535 - base) / 2, L'a');
    const std::size_t length = serialised_length(make_version_tree(info, {}, {}));
    ASSERT_LE(length, 65535u);
    EXPECT_EQ(serialise(make_version_tree(info, {}, {})).size(), length);
}

TEST(Manifest, AsInvokerOr384And395BytesRequireAdministrator)
{
    const std::string plain = manifest_text(false);
    const std::string elevated = manifest_text(true);
    EXPECT_EQ(plain.size(), 384u);
    EXPECT_EQ(elevated.size(), 395u);
    EXPECT_NE(plain.find("level='asInvoker' uiAccess='false'/>\r\n"), std::string::npos);
    EXPECT_NE(elevated.find("level='requireAdministrator' uiAccess='false'/>"), std::string::npos);
    EXPECT_EQ(plain.substr(plain.size() - 13), "\r\n</assembly>");
}

}  // namespace
