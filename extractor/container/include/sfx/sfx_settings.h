#pragma once
// The seven self-extractor settings, as the builder writes them into a
// self-extracting file and the stub reads them back. Needs no Windows header.

#include <string>

namespace sfx {

// The in-memory settings of one self-extractor. A fresh record holds false
// and empty texts; the defaults for keys missing from a settings block come
// from the stub's reader (see default_* in container_layout.h), not from here.
struct sfx_settings {
    bool AllowOverride = false;       // the stub honours its own command-line options
    std::wstring ArgumentPrefix;      // marks an argument of the stub as a stub option
    std::wstring TargetDirectory;     // "" current folder, "<temp>" fresh UUID folder, else a path
    std::wstring LaunchExe;           // program to start, relative to the target folder; "" none
    std::wstring LaunchArguments;     // its argument text; "<pass>" passes the stub's own arguments on
    bool ShowErrors = false;          // failures are shown in a message box
    bool Cleanup = false;             // wait for LaunchExe, then remove what was extracted
};

}  // namespace sfx
