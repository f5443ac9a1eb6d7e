#pragma once
// Writing the embedded stub to the output path and rewriting its manifest and
// version resource through the Windows resource-update functions.

#include "version_info.h"

#include <windows.h>

#include <string>

namespace stubsmith {

// Writes the stub image that this program carries as resource "SFX" 101 to
// output_path, replacing any existing file. Raises vetra::win32_error; the
// output may then exist with part of the image (the caller removes it).
void write_stub(const std::wstring& output_path);

// Replaces the manifest of the stub at output_path and, when both version
// strings are given, adds its version resource. Raises vetra::win32_error,
// std::invalid_argument / boost::bad_lexical_cast for bad version numbers and
// version_resource_too_long; any failure discards every resource change, and
// a failed commit is an error too.
void update_stub_resources(const std::wstring& output_path, const version_info& info);

// Stores the manifest (type 24, identifier 1, language 1033) through update.
// Raises vetra::win32_error "Failed to update UAC manifest".
void write_manifest(HANDLE update, bool elevate);

// Stores the version resource (type 16, identifier 1, language 1033) through
// update; does nothing when the file or the product version is empty. Raises
// the version-number errors, version_resource_too_long, or
// vetra::win32_error "Failed to update version information".
void write_version_info(HANDLE update, const version_info& info);

}  // namespace stubsmith
