#pragma once
// The endpoint product's version text ("PRODUCTVERSION") and the version
// below which the path-expansion map is left alone.

#include <array>
#include <string>

// The four numeric components of a version text such as "12.1.7000.0".
// Tokens are the runs of characters between dots (a run of dots is one split
// point; leading and trailing dots give no token); at most four are taken.
// Each token is read like the C atoi: leading white space and one sign are
// allowed, reading stops at the first non-digit, a token without digits gives
// 0, and a value beyond the int range is clamped to it. Missing components
// are 0. Never fails.
std::array<int, 4> ParseProductVersion(const std::string& text);

// The version gate of SetRegistryForZelQual: true when the product is recent
// enough for the path map to be written (major above 12, or major 12 with a
// build of 7000 or more), and also for an empty text, which stands for a
// version that could not be read.
bool ProductVersionGatePasses(const std::string& versionText);
