#pragma once
// The texts that Stubsmith prints about itself.

#include <string>

namespace stubsmith {

// The banner line (name, four-part version, " : ", legal notice), without a
// line end.
extern const wchar_t banner_text[];

// The usage text: 20 lines, each ended by a line feed.
extern const wchar_t usage_text[];

}  // namespace stubsmith
