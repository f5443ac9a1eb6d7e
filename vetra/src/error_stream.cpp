#include <vetra/error_stream.h>

#include <vetra/errors.h>
#include <vetra/text_conversion.h>

#include <windows.h>

#include <ostream>

namespace vetra {

std::wostream& write_exception_text(std::wostream& stream, const std::exception& error, unsigned int code_page)
{
    std::wstring text;
    try {
        text = to_wide(error.what(), code_page);
    } catch (const win32_error&) {
        // The caller is already reporting a failure; an unconvertible text
        // must not replace it with another.
        return stream;
    }
    return stream << text;
}

std::wostream& operator<<(std::wostream& stream, const std::exception& error)
{
    return write_exception_text(stream, error, CP_ACP);
}

}  // namespace vetra
