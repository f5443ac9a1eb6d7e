#pragma once
// What the builder writes into the stub's manifest and version resource.

#include <string>

namespace stubsmith {

// The version strings and the elevation request of one build, as typed on the
// command line (no trimming or expansion). Empty strings are stored as empty
// version strings.
struct version_info {
    std::wstring company_name;
    std::wstring file_description;
    std::wstring file_version;       // also parsed into the fixed file version
    std::wstring internal_name;
    std::wstring original_filename;
    std::wstring product_name;
    std::wstring product_version;    // also parsed into the fixed product version
    std::wstring legal_copyright;
    bool elevate = false;            // the manifest requests administrator rights
};

}  // namespace stubsmith
