// Fuzz target for the stub's zip reader: the input is a self-extractor's
// payload (or any bytes), searched for the settings marker and the archive as
// the stub does, then opened, walked and read entry by entry through the
// stub's own read-ahead file functions over an in-memory source, as
// extract_archive drives them. Every entry name is judged by the shared
// safety rule, every entry's data read to its end and its checksum checked.
//
// The reader must never crash, hang or read outside the buffer; the read-ahead
// layer must hand out exactly the bytes at the position the reader asked for.

#include "archive_read_ahead.h"
#include "fuzz_checks.h"

#include <minizip/unzip.h>
#include <sfx/container_layout.h>
#include <vetra/entry_names.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct memory_source {
    const std::uint8_t* data;
    std::size_t size;
    int error = 0;
};

bool read_memory_at(void* context, std::uint64_t position, void* buffer, std::uint32_t size, std::uint32_t& read)
{
    auto& source = *static_cast<memory_source*>(context);
    read = 0;
    if (position > source.size)
        return true;  // like ReadFile beyond the end: success, nothing read
    read = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, source.size - position));
    std::memcpy(buffer, source.data + position, read);
    return true;
}

bool memory_size(void* context, std::uint64_t& size)
{
    size = static_cast<memory_source*>(context)->size;
    return true;
}

int memory_error(void* context)
{
    return static_cast<memory_source*>(context)->error;
}

int memory_negative_seek(void* context)
{
    return static_cast<memory_source*>(context)->error = 131;
}

// Where the stub would find the archive: behind the marker within the first
// MiB; inputs without a marker are taken as a bare zip from byte 0.
std::uint64_t archive_offset(const std::uint8_t* data, std::size_t size)
{
    const std::size_t window = std::min<std::size_t>(size, sfx::search_window_size);
    const std::size_t marker = sfx::find_marker(data, window);
    if (marker == window)
        return 0;
    const std::size_t archive = sfx::find_local_file_signature(data, window, marker);
    return archive == window ? 0 : archive;
}

// The entry's data, read the way the stub fills its views: until the reader
// reports the end or an error. Capped, so a lying size cannot make one input
// run for minutes; the cap is far above what a fuzz input inflates to.
void read_entry(unzFile zip)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return;
    static unsigned char buffer[65536];
    std::uint64_t total = 0;
    for (;;) {
        const int read = unzReadCurrentFile(zip, buffer, sizeof buffer);
        require(read <= static_cast<int>(sizeof buffer), "no read returns more than asked");
        if (read <= 0)
            break;
        total += static_cast<unsigned>(read);
        if (total > (64u << 20))
            break;
    }
    unzCloseCurrentFile(zip);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    memory_source memory{data, size};
    unfurler::archive_read_state state;
    state.source.context = &memory;
    state.source.read_at = read_memory_at;
    state.source.total_size = memory_size;
    state.source.last_error = memory_error;
    state.source.fail_negative_seek = memory_negative_seek;
    state.archive_offset = archive_offset(data, size);
    zlib_filefunc_def functions = unfurler::read_ahead_file_functions(state);

    // The read-ahead layer against the buffer itself, at a few positions the
    // input chooses, before the reader moves it around.
    if (size >= 4) {
        const uLong at = data[0] | (data[1] << 8);
        unsigned char probe[300];
        const uLong want = 1 + data[2] % sizeof probe;
        require(functions.zseek_file(functions.opaque, nullptr, at, ZLIB_FILEFUNC_SEEK_SET) == 0, "seek from start");
        const uLong got = functions.zread_file(functions.opaque, nullptr, probe, want);
        const std::uint64_t from = state.archive_offset + at;
        const std::uint64_t expected = from >= size ? 0 : std::min<std::uint64_t>(want, size - from);
        require(got == expected, "read-ahead returns what the source holds");
        require(got == 0 || std::memcmp(probe, data + from, got) == 0, "read-ahead returns the right bytes");
        require(functions.ztell_file(functions.opaque, nullptr) == static_cast<long>(at + got), "tell after read");
        state.block.clear();
    }

    unzFile zip = unzOpen2(nullptr, &functions);
    if (zip == nullptr)
        return 0;
    unz_global_info global{};
    if (unzGetGlobalInfo(zip, &global) == UNZ_OK) {
        // The stub walks number_entry entries; a lying count ends with a
        // failed step to the next entry, never with a read outside the buffer.
        for (uLong index = 0; index < global.number_entry; ++index) {
            char name[260 + 1] = {};
            unz_file_info info{};
            if (unzGetCurrentFileInfo(zip, &info, name, 260, nullptr, 0, nullptr, 0) != UNZ_OK)
                break;
            require(std::memchr(name, 0, sizeof name) != nullptr, "the name buffer stays terminated");
            if (vetra::check_entry_name(name) == vetra::entry_name_verdict::stays_inside)
                read_entry(zip);
            if (index + 1 == global.number_entry || unzGoToNextFile(zip) != UNZ_OK)
                break;
        }
    }
    unzClose(zip);
    return 0;
}
