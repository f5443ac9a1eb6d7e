#pragma once
// Finding the settings block and the archive in a self-extractor file.

#include <windows.h>

#include <cstdint>
#include <string>

namespace unfurler {

struct located_payload {
    std::wstring settings_text;   // from the marker up to the archive (or a zero byte), as UTF-16
    std::uint32_t archive_offset; // file offset of the archive's local-file signature
};

// Maps the first MiB of file (or all of a shorter file) read-only, finds the
// settings marker and the first zip local-file signature behind it, and
// returns the settings text (converted from UTF-8) and the archive's offset.
// file must be open for reading. Raises vetra::win32_error "Could not create
// file mapping" or "Could not map view of file", and corrupt_payload_error
// "Failed to locate self-extractor settings. The archive is corrupt." or
// "Failed to locate compressed data. The archive is corrupt.".
located_payload locate_payload(HANDLE file);

}  // namespace unfurler
