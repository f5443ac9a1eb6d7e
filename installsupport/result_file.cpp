#include "result_file.h"

std::string EscapeBackslashes(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        escaped += c;
        if (c == '\\')
            escaped += '\\';
    }
    return escaped;
}

std::string FormatResultFile(int errorCode, const std::string& command, const std::string& outputFile,
                             const PropertyMap& props)
{
    std::string text = "ErrorCode=" + std::to_string(errorCode) + "\n";
    text += "Command=" + command + "\n";
    text += "File=" + EscapeBackslashes(outputFile) + "\n";
    for (const auto& [key, value] : props)
        text += key + "=" + EscapeBackslashes(value) + "\n";
    return text;
}
