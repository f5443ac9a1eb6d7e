#include <vetra/errors.h>

#include <vetra/unique_handle.h>

#include <windows.h>

namespace vetra {

std::string format_win32_message(const std::string& message, std::uint32_t code)
{
    std::string text = message;
    if (!text.empty())
        text += ". ";
    text += "Error code: ";
    text += std::to_string(code);

    // Inserts are left as they stand ("%1"): the system texts that have them
    // expect arguments we do not have, and formatting them without arguments
    // is undefined.
    unique_local_memory systemText;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr /* source */, code, 0 /* languageId: the system's search order */,
        reinterpret_cast<LPSTR>(systemText.put()), 1024 /* minimum size */, nullptr /* arguments */);
    if (length != 0) {
        text += ": ";
        text.append(static_cast<const char*>(systemText.get()), length);
    }
    return text;
}

win32_error::win32_error(const std::string& message, std::uint32_t code)
    : std::runtime_error(format_win32_message(message, code)), code_(code)
{
}

}  // namespace vetra
