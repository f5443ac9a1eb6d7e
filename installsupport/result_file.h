#pragma once
// The text of Hostaid's result file: "key=value" lines that installer
// scripts read after a run.

#include <map>
#include <string>

// Result properties and command parameters: keys in plain byte order, each
// key once.
using PropertyMap = std::map<std::string, std::string>;

// Returns text with every backslash doubled; nothing else is escaped (no
// quoting, no treatment of '=', line breaks or non-ASCII bytes).
std::string EscapeBackslashes(const std::string& text);

// The lines of a result file, each ending in "\n" (a text-mode stream stores
// it as CR LF): "ErrorCode=" with the code in plain decimal, "Command=" with
// the command name as given, "File=" with the escaped output path, then one
// "key=value" line per property in key order, the value escaped. Keys and the
// command name are written unescaped. Throws std::bad_alloc when memory runs
// out.
std::string FormatResultFile(int errorCode, const std::string& command, const std::string& outputFile,
                             const PropertyMap& props);
