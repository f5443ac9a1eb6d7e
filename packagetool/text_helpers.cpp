#include "text_helpers.h"

int lastBackslash(const std::string& text)
{
    const auto at = text.rfind('\\');
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void replaceChar(std::string& text, char from, char to)
{
    for (char& c : text)
        if (c == from)
            c = to;
}

namespace {
char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool equalsIgnoringAsciiCase(const char* a, const char* b, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    return true;
}
