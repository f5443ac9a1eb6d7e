#include "selector.h"

#include <climits>

int SelectorValue(const wchar_t* text)
{
    while (*text == L' ' || (*text >= L'\t' && *text <= L'\r'))
        ++text;
    const bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+')
        ++text;
    long long magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (magnitude <= INT_MAX)
            magnitude = magnitude * 10 + (*text - L'0');
    }
    if (negative)
        return magnitude > INT_MAX ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
