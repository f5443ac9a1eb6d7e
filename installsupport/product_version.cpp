#include "product_version.h"

#include <climits>

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi without its undefined behaviour on overflow: the value saturates at
// the int range, as the Windows C runtime's strtol-based atoi does.
int atoiClamped(const std::string& token)
{
    std::size_t i = 0;
    while (i < token.size() && isCSpace(token[i]))
        ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        value = value * 10 + (token[i] - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::array<int, 4> ParseProductVersion(const std::string& text)
{
    std::array<int, 4> components{};
    std::size_t count = 0;
    std::size_t position = 0;
    while (count < components.size()) {
        const std::size_t start = text.find_first_not_of('.', position);
        if (start == std::string::npos)
            break;
        std::size_t end = text.find('.', start);
        if (end == std::string::npos)
            end = text.size();
        components[count++] = atoiClamped(text.substr(start, end - start));
        position = end;
    }
    return components;
}

bool ProductVersionGatePasses(const std::string& versionText)
{
    if (versionText.empty())
        return true;
    const auto components = ParseProductVersion(versionText);
    const int major = components[0];
    const int build = components[2];
    return !(major < 12 || (major == 12 && build < 7000));
}
