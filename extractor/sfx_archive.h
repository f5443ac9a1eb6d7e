#pragma once
// The opened self-extractor: the stub's own file, where its archive starts,
// and the settings read from it. Created once per run by the start-up and
// owned by the main flow until the run ends.

#include <sfx/sfx_settings.h>
#include <vetra/unique_handle.h>

#include <cstdint>
#include <vector>

namespace unfurler {

// The zip reader's position in the own file and a read-ahead block, so that
// its many small reads of headers (a few bytes each) cost no system call.
struct archive_read_state {
    std::uint64_t position = 0;            // absolute file position of the next read
    std::uint64_t block_start = 0;         // absolute file position of block[0]
    std::vector<unsigned char> block;      // bytes read ahead from block_start
};

struct sfx_archive {
    vetra::unique_file file;           // own file, read access, shared for reading only
    std::uint32_t archive_offset = 0;  // file offset of the archive's first byte
    sfx::sfx_settings settings;
    archive_read_state reading;        // used only by archive_file_functions
};

}  // namespace unfurler
