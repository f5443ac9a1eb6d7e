#include <testsupport/test_data.h>

namespace testsupport {

std::string pseudoRandomBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (auto& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<char>(seed >> 16);
    }
    return bytes;
}

}  // namespace testsupport
