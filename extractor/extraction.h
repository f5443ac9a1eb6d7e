#pragma once
// Extracting the embedded archive into the target folder.

#include "launch_file_hold.h"
#include "sfx_archive.h"

#include <minizip/unzip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace unfurler {

// Extracts every entry of the archive in archive.file, in central-directory
// order, into archive.settings.TargetDirectory (absolute), appending every
// file and folder it creates to created_paths: for a file the folders made to
// hold it (outermost first), then the file; for a folder entry the folder
// itself. Stops at the first failure, leaving what was written on disk and in
// created_paths. Raises corrupt_payload_error for an unreadable archive
// directory, an entry name that leads outside the target folder, and entry
// data that is short or fails its checksum; vetra::win32_error for the other
// failures (see extract_entry). The entry that launch_hold names as the
// launch file is held by it from its extraction on.
void extract_archive(sfx_archive& archive, std::vector<std::wstring>& created_paths,
                     launch_file_hold* launch_hold = nullptr);

// Writes the zip reader's current entry to path (a folder entry when path
// ends in a backslash) through mapped views of at most 100 MiB, and records
// what it creates as extract_archive says. Raises vetra::win32_error "Could
// not create file ", "Could not create mapping for file ", "Could not open
// file ", "Could not map view of chunk k of file " or "Could not decompress
// chunk k of file " with the path, the errors of vetra::create_directories,
// and corrupt_payload_error when the data ends early or fails its checksum.
// When launch_hold names path as the launch file, the file is written shared
// only for reading and then handed to launch_hold (with its errors).
void extract_entry(std::vector<std::wstring>& created_paths, unzFile zip, const std::wstring& path,
                   std::uint32_t uncompressed_size, launch_file_hold* launch_hold = nullptr);

// Size of one mapped window of an output file: 100 MiB, a multiple of the
// 64 KiB mapping granularity.
inline constexpr std::uint32_t extraction_chunk_size = 104857600;

}  // namespace unfurler
