#pragma once
// Test data that is the same on every run.

#include <cstddef>
#include <string>

namespace testsupport {

// size bytes that look random (a linear congruential sequence from seed):
// incompressible, and the same for the same seed.
std::string pseudoRandomBytes(std::size_t size, unsigned seed);

}  // namespace testsupport
