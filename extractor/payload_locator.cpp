#include "payload_locator.h"

#include "stub_errors.h"
#include "trace_points.h"

#include <sfx/container_layout.h>
#include <vetra/errors.h>
#include <vetra/text_conversion.h>
#include <vetra/unique_handle.h>

#include <algorithm>

namespace unfurler {

located_payload locate_payload(HANDLE file)
{
    trace_point(25, trace_level::verbose);
    const DWORD file_size = ::GetFileSize(file, /* high part */ nullptr);
    const DWORD window = file_size == INVALID_FILE_SIZE ? 0 : std::min<DWORD>(file_size, sfx::search_window_size);
    // An empty file cannot be mapped; it holds no marker either.
    if (window < sfx::marker_size)
        throw corrupt_payload_error("Failed to locate self-extractor settings. The archive is corrupt.");

    vetra::unique_mapping mapping(::CreateFileMappingW(file, /* attributes */ nullptr, PAGE_READONLY,
                                                       /* size high */ 0, window, /* name */ nullptr));
    if (!mapping)
        throw vetra::win32_error("Could not create file mapping", ::GetLastError());
    vetra::unique_view view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, /* offset high */ 0,
                                            /* offset low */ 0, window));
    if (!view)
        throw vetra::win32_error("Could not map view of file", ::GetLastError());
    trace_point(26, trace_level::verbose);

    const auto* const bytes = static_cast<const unsigned char*>(view.get());
    sfx::payload_position position{};
    position.settings_offset = sfx::find_marker(bytes, window);
    if (position.settings_offset == window)
        throw corrupt_payload_error("Failed to locate self-extractor settings. The archive is corrupt.");
    trace_point(27, trace_level::verbose);

    position.archive_offset = sfx::find_local_file_signature(bytes, window, position.settings_offset);
    if (position.archive_offset == window)
        throw corrupt_payload_error("Failed to locate compressed data. The archive is corrupt.");

    const std::string settings(reinterpret_cast<const char*>(bytes + position.settings_offset),
                               sfx::settings_text_length(bytes, position));
    return {vetra::to_wide(settings, CP_UTF8), static_cast<std::uint32_t>(position.archive_offset)};
}

}  // namespace unfurler
