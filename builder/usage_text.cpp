#include "usage_text.h"

namespace stubsmith {

const wchar_t banner_text[] = L"Stubsmith 1.0.0.0 : Copyright (C) install-kit toolset authors. All rights reserved.";

// The two misspelt option names of lines 9 and 10 are part of the text users
// know; the parser accepts only --launch-arguments and --target-dir.
const wchar_t usage_text[] =
    L"Usage: Stubsmith.exe --zip <zip file> --sfx <exe file> [self-extractor options]\n"
    L"  --zip <file.zip>          Source zip file (required)\n"
    L"  --sfx <file.exe>          Output self-extracting archive (required)\n"
    L"\n"
    L"  --allow-override          Allow overriding self-extractor settings using command line switches.\n"
    L"  --argument-prefix         Prefix used to determine arguments to be passed to the program launched after "
    L"extraction.\n"
    L"  --cleanup                 Delete extracted files after program specified with launch-exe exits.\n"
    L"  --launch-exe <file.exe>   Executable to launch after extraction.\n"
    L"  --launch-arugments <args> Arguments passed to the executable. Use <pass> to pass SFX arguments.\n"
    L"  --target-directory <path> Extraction directory. Use '<temp>' for temp directory. Default: current "
    L"directory.\n"
    L"  --show-errors             Show prompt when extraction error occurs\n"
    L"  --company-name            Version information: company name\n"
    L"  --file-description        Version information: file description\n"
    L"  --file-version            Version information: file version\n"
    L"  --internal-name           Version information: internal name\n"
    L"  --original-filename       Version information: original filename\n"
    L"  --product-name            Version information: product name\n"
    L"  --product-version         Version information: product version\n"
    L"  --legal-copyright         Version information: legal copyright\n"
    L"  --elevate                 User Account Control: require elevation\n";

}  // namespace stubsmith
