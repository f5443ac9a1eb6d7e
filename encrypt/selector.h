#pragma once
// The selector argument of the command line.

// The selector's value, read as the C atoi reads a number: leading white
// space, an optional sign, then the digits up to the first non-digit; 0 when
// there are none. Values beyond the range of int are clamped to it, so no
// long digit string wraps around to a small value.
int SelectorValue(const wchar_t* text);
