#pragma once
// The build of one self-extracting executable: stub image, settings text and
// zip bytes laid end to end.

#include "version_info.h"

#include <sfx/sfx_settings.h>

#include <cstdint>
#include <string>

namespace stubsmith {

// The zip is copied through mapped windows of this size (a multiple of the
// 64 KiB mapping granularity), so memory use stays flat whatever its size.
inline constexpr std::uint32_t zip_chunk_size = 104857600;

// Writes the self-extractor at sfx_path: the embedded stub with its manifest
// and version resource, the settings block, then the zip file's bytes.
// Raises vetra::win32_error for a failed Windows call, layout_error when the
// parts would not be readable by the stub (a zip of 2 GiB or more, settings
// beyond the first MiB, a marker in the stub, a zero byte or zip signature in
// the settings), unreadable_zip_error when the zip reader cannot read the zip
// (see check_zip_readable), and the errors of the resource update. A zip that
// cannot be opened, is too large or cannot be read fails before sfx_path is
// touched; after any later failure sfx_path does not exist.
void build_sfx(const std::wstring& sfx_path, const std::wstring& zip_path, const sfx::sfx_settings& settings,
               const version_info& version);

}  // namespace stubsmith
