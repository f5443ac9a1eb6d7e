#pragma once
// The zip file read back through the zip reader before a self-extractor is
// built around it, so that no build succeeds with a zip that fails on every
// client.

#include <windows.h>

#include <stdexcept>
#include <string>

namespace stubsmith {

// A zip file that the self-extractor's zip reader cannot read.
class unreadable_zip_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the zip file in zip (open for reading; its file position changes)
// the way the stub will: it must start with a local file header, its central
// directory must open and list at least one entry, and every entry's
// directory record and local header must be readable. Raises
// unreadable_zip_error naming zip_path (ANSI code page): "The zip file PATH
// does not start with a local file header.", "The zip file PATH holds no
// entries.", "The central directory of the zip file PATH cannot be read." or
// "The entry NAME of the zip file PATH cannot be read.".
void check_zip_readable(HANDLE zip, const std::wstring& zip_path);

}  // namespace stubsmith
