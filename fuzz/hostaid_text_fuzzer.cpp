// Fuzz target for Hostaid's product-version gate and result text. The version
// parser is checked against a model built from the C library's own strtok and
// strtol (the functions whose behaviour it reproduces), clamped to the int
// range; the gate against its rule; EscapeBackslashes and FormatResultFile
// against their descriptions (an escaped text unescapes to the original).
//
// Input: zero bytes separate the version text, the command, the output path,
// then key and value pairs of properties.

#include "fuzz_checks.h"

#include "product_version.h"
#include "result_file.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int modelAtoi(const char* token)
{
    errno = 0;
    const long long value = std::strtoll(token, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::array<int, 4> modelParse(std::string text)
{
    std::array<int, 4> components{};
    std::size_t count = 0;
    for (char* token = std::strtok(text.data(), "."); token != nullptr && count < 4; token = std::strtok(nullptr, "."))
        components[count++] = modelAtoi(token);
    return components;
}

std::string unescape(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        plain += text[i];
        if (text[i] == '\\') {
            require(i + 1 < text.size() && text[i + 1] == '\\', "every backslash is doubled");
            ++i;
        }
    }
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }

    const std::string& version = parts[0];
    const std::array<int, 4> components = ParseProductVersion(version);
    require(components == modelParse(version), "the version parser reads like strtok and atoi");
    const bool passes = ProductVersionGatePasses(version);
    const bool expected = version.empty() || components[0] > 12 || (components[0] == 12 && components[2] >= 7000);
    require(passes == expected, "the gate follows its rule");

    const std::string escaped = EscapeBackslashes(version);
    require(unescape(escaped) == version, "unescaping gives the text back");

    if (parts.size() < 3)
        return 0;
    PropertyMap properties;
    for (std::size_t i = 3; i + 1 < parts.size(); i += 2)
        properties[parts[i]] = parts[i + 1];
    const int code = static_cast<int>(size) - 100;
    std::string expectedText = "ErrorCode=" + std::to_string(code) + "\nCommand=" + parts[1] +
                               "\nFile=" + EscapeBackslashes(parts[2]) + "\n";
    for (const auto& [key, value] : properties)
        expectedText += key + "=" + EscapeBackslashes(value) + "\n";
    require(FormatResultFile(code, parts[1], parts[2], properties) == expectedText, "the result text's layout");
    return 0;
}
