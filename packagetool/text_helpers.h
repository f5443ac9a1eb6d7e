#pragma once
// Small text helpers shared by the package methods.

#include <string>

// Index of the last '\' in text, or -1 when there is none or text is empty.
int lastBackslash(const std::string& text);

// Replaces every occurrence of from by to, in place.
void replaceChar(std::string& text, char from, char to);

// Compares the first count bytes of a and b, ASCII letters without regard to
// case and every other byte exactly; true when they are equal.
bool equalsIgnoringAsciiCase(const char* a, const char* b, std::size_t count);
