#pragma once
// The silent switch that Launchlet makes sure "Setup.exe" receives.

#include <string>

// Leaves text alone when it holds the two characters "/s" anywhere (a plain,
// case-sensitive substring test: "/silent" and "C:/setupfiles" hold it, "/S"
// does not); otherwise puts "/s" in front of it, with a space between when
// text is not empty.
void ensureSilentSwitch(std::string& text);
