#pragma once
// Writing an exception's text to a wide stream (the builder's console). Kept
// out of vetra::vetra so that the stub links no iostreams.

#include <exception>
#include <iosfwd>

namespace vetra {

// Writes error.what() converted from the ANSI code page to UTF-16, with no
// line end, and returns the stream. A text that cannot be converted is written
// as nothing. The operator lives in this namespace: bring it in with
// `using vetra::operator<<;` where a std::exception is written.
std::wostream& operator<<(std::wostream& stream, const std::exception& error);

// The same with the code page of what() named by the caller.
std::wostream& write_exception_text(std::wostream& stream, const std::exception& error, unsigned int code_page);

}  // namespace vetra
