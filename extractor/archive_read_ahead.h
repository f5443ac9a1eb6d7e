#pragma once
// The zip reader's file functions over a byte source: the archive starts at
// archive_offset and runs to the end of the source, and the reader's many
// small header reads are served from a read-ahead block. Needs no Windows
// header: the stub plugs in its own file, the native fuzz target a buffer.

#include <minizip/ioapi.h>

#include <cstdint>
#include <vector>

namespace unfurler {

// Where the bytes come from. Each function gets context back; none may throw.
struct archive_byte_source {
    void* context = nullptr;
    // Reads up to size bytes at an absolute position into buffer and stores
    // how many arrived in read (0 at the end). Returns false on a failure.
    bool (*read_at)(void* context, std::uint64_t position, void* buffer, std::uint32_t size,
                    std::uint32_t& read) = nullptr;
    // Stores the whole source's length in size. Returns false on a failure.
    bool (*total_size)(void* context, std::uint64_t& size) = nullptr;
    // The error code of the failure just reported by read_at or total_size.
    int (*last_error)(void* context) = nullptr;
    // Records that a seek aimed before the first byte; returns its error code.
    int (*fail_negative_seek)(void* context) = nullptr;
};

// The zip reader's position in the source and a read-ahead block, so that
// its many small reads of headers (a few bytes each) cost no call of source.
struct archive_read_state {
    archive_byte_source source;
    std::uint64_t archive_offset = 0;      // source position of the archive's first byte
    std::uint64_t position = 0;            // absolute source position of the next read
    std::uint64_t block_start = 0;         // absolute source position of block[0]
    std::vector<unsigned char> block;      // bytes read ahead from block_start
    int error = 0;                         // code of the last failed call, 0 while none failed
};

// A 32-bit file-function table for unzOpen2 under which the bytes from
// state.archive_offset to the end of state.source look like a stand-alone zip
// file. Opening ignores the path and succeeds only for reading an existing
// file; writing writes nothing; closing does nothing. The reader's error
// query answers with the code of the last failed call of source, taken when
// it failed, and 0 while none failed (a read that stops at the end of the
// source is no failure). state must outlive every use of the table.
zlib_filefunc_def read_ahead_file_functions(archive_read_state& state);

}  // namespace unfurler
