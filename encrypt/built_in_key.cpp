#include "built_in_key.h"

namespace {

constexpr std::uint32_t kKeyStart = 0x5A17C3E9;
constexpr std::uint32_t kKeyStep = 0x2F6B9D1D;

}  // namespace

void FillBuiltInKeyWords(std::uint32_t (&words)[4])
{
    std::uint32_t word = kKeyStart;
    for (auto& w : words) {
        w = word;
        word += kKeyStep;
    }
}
