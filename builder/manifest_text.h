#pragma once
// The application manifest that the builder gives every self-extractor.
// Needs no Windows header.

#include <string>

namespace stubsmith {

// The manifest's bytes (7-bit ASCII, ten lines joined by CR LF, no line end
// after the last): 384 bytes requesting "asInvoker", or with elevate set 395
// bytes requesting "requireAdministrator".
std::string manifest_text(bool elevate);

}  // namespace stubsmith
