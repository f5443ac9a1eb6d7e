#pragma once
// Extracting the embedded archive into the target folder.

#include "extraction_windows.h"
#include "launch_file_hold.h"
#include "sfx_archive.h"

#include <minizip/unzip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace unfurler {

// Extracts every entry of the archive in archive.file, in central-directory
// order, into archive.settings.TargetDirectory (absolute), appending to
// created_paths every folder that extraction creates (outermost first, for
// file and folder entries alike; a folder that existed before, the target
// folder included, is never recorded) and every file it writes (also one that
// existed and was overwritten). All entry names are checked before anything
// is written: one that leads outside the target folder, names a device or
// names no file fails the run. Stops at the first failure, leaving what was
// written on disk and in created_paths. Raises corrupt_payload_error for an
// unreadable archive directory, an unsafe entry name, and entry data that is
// short or fails its checksum; vetra::win32_error for the other failures (see
// extract_entry). The entry that launch_hold names as the launch file is held
// by it from its extraction on.
void extract_archive(sfx_archive& archive, std::vector<std::wstring>& created_paths,
                     launch_file_hold* launch_hold = nullptr);

// Writes the zip reader's current entry to path (a folder entry when path
// ends in a backslash) through mapped views of at most 100 MiB at 64-bit
// offsets, and records what it creates as extract_archive says. Raises
// vetra::win32_error "Could not create file ", "Could not create mapping for
// file ", "Could not open file ", "Could not map view of chunk k of file " or
// "Could not decompress chunk k of file " with the path, the errors of
// vetra::create_directories, and corrupt_payload_error when the data ends
// early or fails its checksum. When launch_hold names path as the launch file,
// the file is written shared only for reading and then handed to launch_hold
// (with its errors).
void extract_entry(std::vector<std::wstring>& created_paths, unzFile zip, const std::wstring& path,
                   std::uint64_t uncompressed_size, launch_file_hold* launch_hold = nullptr);

}  // namespace unfurler
