// Fuzz target for Stubsmith's version numbers and version-resource
// serialiser. parse_version is checked against a model of its description
// (split at every full stop, at most four pieces, each an optionally signed
// decimal in the 32-bit range); the serialised tree is read back by a reader
// written here from the layout (length, value length, type, key, padding to
// 4, value, children) and must give the same tree, with the recorded lengths
// of serialised_length, or be refused only when a node is over 65535 bytes.
//
// Input: 16-bit little-endian units; a line feed separates the eight version
// strings (file version and product version first); a copyright line that
// starts with '*' is stretched past 32,600 characters.

#include "fuzz_checks.h"

#include "version_info.h"
#include "version_numbers.h"
#include "version_resource.h"

#include <boost/lexical_cast.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using stubsmith::version_numbers;
using stubsmith::version_resource_node;

std::optional<std::int32_t> model_number(const std::wstring& piece)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == L'+' || piece[i] == L'-'))
        negative = piece[i++] == L'-';
    if (i == piece.size())
        return std::nullopt;
    long long value = 0;
    for (; i < piece.size(); ++i) {
        if (piece[i] < L'0' || piece[i] > L'9')
            return std::nullopt;
        value = value * 10 + (piece[i] - L'0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > 2147483647LL || value < -2147483648LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// nullopt: more than four pieces; a piece that is no number gives an empty
// result in its slot through valid = false.
struct model_version {
    bool too_many = false;
    bool valid = true;
    version_numbers numbers{};
};

model_version model_parse(const std::wstring& text)
{
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : text) {
        if (c == L'.')
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    model_version result;
    if (pieces.size() > 4) {
        result.too_many = true;
        return result;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto number = model_number(pieces[i]);
        if (!number) {
            result.valid = false;
            return result;
        }
        result.numbers[i] = *number;
    }
    return result;
}

void check_parse(const std::wstring& text)
{
    const model_version expected = model_parse(text);
    try {
        const version_numbers numbers = stubsmith::parse_version(text);
        require(!expected.too_many && expected.valid, "only a valid version is accepted");
        require(numbers == expected.numbers, "the four numbers follow the model");
    } catch (const std::invalid_argument&) {
        require(expected.too_many, "\"version\" only for more than four pieces");
    } catch (const boost::bad_lexical_cast&) {
        require(!expected.too_many && !expected.valid, "a bad number only for a piece that is none");
    }
}

struct reader {
    const std::vector<std::uint8_t>& bytes;
    std::size_t at = 0;

    std::uint16_t get16()
    {
        require(at + 2 <= bytes.size(), "the tree stays inside its bytes");
        const auto value = static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        return value;
    }
    void align(std::size_t start)
    {
        while ((at - start) % 4 != 0) {
            require(at < bytes.size() && bytes[at] == 0, "padding is zero bytes");
            ++at;
        }
    }
    version_resource_node node()
    {
        const std::size_t start = at;
        const std::size_t length = get16();
        const std::size_t value_length = get16();
        version_resource_node node;
        node.type = get16();
        for (std::uint16_t c = get16(); c != 0; c = get16())
            node.key += static_cast<wchar_t>(c);
        if (value_length > 0) {
            align(start);
            require(at + value_length <= bytes.size(), "the value stays inside its bytes");
            node.value.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                              bytes.begin() + static_cast<std::ptrdiff_t>(at + value_length));
            at += value_length;
        }
        while (at - start < length) {
            align(start);
            node.children.push_back(this->node());
        }
        require(at - start == length, "a node's length covers exactly its items");
        return node;
    }
};

bool same_tree(const version_resource_node& a, const version_resource_node& b)
{
    if (a.type != b.type || a.key != b.key || a.value != b.value || a.children.size() != b.children.size())
        return false;
    for (std::size_t i = 0; i < a.children.size(); ++i)
        if (!same_tree(a.children[i], b.children[i]))
            return false;
    return true;
}

bool any_too_long(const version_resource_node& node)
{
    if (stubsmith::serialised_length(node) > 0xFFFF || node.value.size() > 0xFFFF)
        return true;
    for (const version_resource_node& child : node.children)
        if (any_too_long(child))
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c == L'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    lines.resize(8);
    // A copyright line starting with '*' stands for one long enough to bring
    // the string table near and beyond its 65535-byte limit.
    if (!lines[7].empty() && lines[7][0] == L'*')
        lines[7] = std::wstring(32600 + 16 * lines[7].size(), L'x');
    for (std::size_t i = 0; i < 2; ++i)
        check_parse(lines[i]);

    stubsmith::version_info info;
    info.file_version = lines[0];
    info.product_version = lines[1];
    info.company_name = lines[2];
    info.file_description = lines[3];
    info.internal_name = lines[4];
    info.original_filename = lines[5];
    info.product_name = lines[6];
    info.legal_copyright = lines[7];
    const model_version file_version = model_parse(lines[0]);
    const model_version product_version = model_parse(lines[1]);
    const version_resource_node tree =
        stubsmith::make_version_tree(info, file_version.numbers, product_version.numbers);
    require(tree.value.size() == 52, "the fixed information takes 52 bytes");

    try {
        const std::vector<std::uint8_t> bytes = stubsmith::serialise(tree);
        require(!any_too_long(tree), "a tree with a node over 65535 bytes is refused");
        require(bytes.size() == stubsmith::serialised_length(tree), "the bytes are as long as recorded");
        reader read{bytes};
        require(same_tree(read.node(), tree), "the bytes read back to the same tree");
        require(read.at == bytes.size(), "nothing follows the tree");
    } catch (const stubsmith::version_resource_too_long&) {
        require(any_too_long(tree), "only a node over 65535 bytes is refused");
    }
    return 0;
}
