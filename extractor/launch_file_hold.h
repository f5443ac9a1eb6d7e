#pragma once
// Keeps the program that the stub launches (LaunchExe) from being written,
// renamed or deleted by anyone else from its extraction until its process has
// been created, so that what runs is what the archive holds.
//
// Sharing modes do the work: while the extraction writes the file, no one else
// may open it for writing or deleting; before that handle closes, a second one
// that reads (sharing reading and writing, not deleting) keeps renames and
// deletion out; then the held handle opens, reading and sharing only reading,
// and the file's content is compared with the archive entry again, which
// catches a write slipped in between. Reading is shared, so CreateProcessW and
// cmd.exe can still open the file while it is held.

#include <vetra/unique_handle.h>

#include <minizip/unzip.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace unfurler {

// The moments at which a test observer is told where the hold stands.
enum class launch_hold_stage {
    extraction_handle_closed,  // the extraction's handle is closed, the held one not yet open
    before_process_creation,   // the file is held; its process is created next
};

// For tests only: called with the stage and the launch file's path; nullptr
// (the default) for none. Must not throw.
using launch_hold_observer = void (*)(launch_hold_stage stage, const std::wstring& path);
void set_launch_hold_observer(launch_hold_observer observer);

// Sharing mode of the extraction's own handle to the launch file: others may
// read it, not write, rename or delete it.
inline constexpr DWORD launch_file_extraction_sharing = FILE_SHARE_READ;

class launch_file_hold {
public:
    // launch_path is the path that will be started (target folder joined with
    // LaunchExe), or empty when nothing is launched.
    explicit launch_file_hold(const std::wstring& launch_path);

    // True when path (an absolute extraction path) names the launch file:
    // equal full paths, letter case ignored as the file system ignores it.
    bool is_launch_file(const std::wstring& path) const;

    // Takes over the extraction's handle of the launch file (opened with
    // launch_file_extraction_sharing, its data written and its mapping
    // closed) and holds the file: see the top of this file. zip is positioned
    // on the file's entry, whose data is read again for the comparison. A
    // hold from an earlier entry of the same name must have been released.
    // Raises vetra::win32_error "Could not open file " and the path when the
    // file cannot be opened (someone else holds it open for writing), and a
    // runtime error "The file PATH was changed after it was extracted." when
    // its content or length no longer matches the entry.
    void hold_extracted(vetra::unique_file extraction_handle, unzFile zip, const std::wstring& path,
                        std::uint64_t uncompressed_size);

    // Called right before the process is created. A launch file that did not
    // come from the archive is held from here on, as it is; if it cannot be
    // opened, process creation reports the failure as before.
    void hold_for_launch();

    // Lets go of the file (before cleanup removes it, or when the entry is
    // extracted a second time).
    void release() { held_.reset(); }

private:
    std::wstring launch_path_;
    std::wstring full_launch_path_;
    vetra::unique_file held_;
};

}  // namespace unfurler
