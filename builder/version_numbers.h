#pragma once
// Dotted version text ("14.3.0.12") to the four numbers of a version resource.
// Needs no Windows header.

#include <array>
#include <cstdint>
#include <string>

namespace stubsmith {

using version_numbers = std::array<std::int32_t, 4>;

// Splits text at every full stop (empty pieces stay) and converts each piece
// to a 32-bit signed decimal with an optional sign; missing trailing numbers
// are 0 ("14.3" gives 14, 3, 0, 0). Raises std::invalid_argument "version" for
// more than four pieces, and boost::bad_lexical_cast for an empty piece, any
// other character or a value outside the 32-bit signed range.
version_numbers parse_version(const std::wstring& text);

}  // namespace stubsmith
