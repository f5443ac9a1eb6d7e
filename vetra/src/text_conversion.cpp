#include <vetra/text_conversion.h>

#include <vetra/errors.h>

#include <windows.h>

namespace vetra {

// Both directions pass the length -1, so the text ends at its first zero and
// the converter counts the terminator: the first call sizes the result
// exactly, the second fills it, and the converted terminator is dropped.
// Flags 0: invalid or unrepresentable characters are replaced, not refused.

std::wstring to_wide(const std::string& text, unsigned int code_page)
{
    const int needed = ::MultiByteToWideChar(code_page, 0 /* flags */, text.c_str(), -1, nullptr, 0);
    if (needed == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("MultiByteToWideChar failed", error);
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(code_page, 0 /* flags */, text.c_str(), -1, wide.data(), needed) == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("MultiByteToWideChar failed", error);
    }
    wide.pop_back();
    return wide;
}

std::string to_narrow(const std::wstring& text, unsigned int code_page)
{
    const int needed = ::WideCharToMultiByte(code_page, 0 /* flags */, text.c_str(), -1, nullptr, 0,
                                             nullptr /* defaultChar */, nullptr /* usedDefaultChar */);
    if (needed == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("WideCharToMultiByte failed", error);
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    if (::WideCharToMultiByte(code_page, 0 /* flags */, text.c_str(), -1, narrow.data(), needed,
                              nullptr /* defaultChar */, nullptr /* usedDefaultChar */) == 0) {
        const DWORD error = ::GetLastError();
        throw win32_error("WideCharToMultiByte failed", error);
    }
    narrow.pop_back();
    return narrow;
}

}  // namespace vetra
