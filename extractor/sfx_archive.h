#pragma once
// The opened self-extractor: the stub's own file, where its archive starts,
// and the settings read from it. Created once per run by the start-up and
// owned by the main flow until the run ends.

#include "archive_read_ahead.h"

#include <sfx/sfx_settings.h>
#include <vetra/unique_handle.h>

#include <cstdint>

namespace unfurler {

struct sfx_archive {
    vetra::unique_file file;           // own file, read access, shared for reading only
    std::uint32_t archive_offset = 0;  // file offset of the archive's first byte
    sfx::sfx_settings settings;
    archive_read_state reading;        // used only by archive_file_functions
};

}  // namespace unfurler
