#pragma once
// Conversion between 8-bit text in a Windows code page and UTF-16, through the
// system's converters. The caller names the code page (CP_ACP, CP_UTF8, ...).

#include <string>

namespace vetra {

// text converted from code_page to UTF-16. The text ends at its first zero
// byte; bytes invalid in the code page become the system's replacement
// characters instead of failing. Raises vetra::win32_error
// "MultiByteToWideChar failed" (an unknown code page, say).
std::wstring to_wide(const std::string& text, unsigned int code_page);

// text converted from UTF-16 to code_page. The text ends at its first zero
// character; characters the code page lacks become its default character
// instead of failing. Raises vetra::win32_error "WideCharToMultiByte failed".
std::string to_narrow(const std::wstring& text, unsigned int code_page);

}  // namespace vetra
