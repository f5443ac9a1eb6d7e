#!/usr/bin/env python3
"""check_imports.py EXE...: nothing that a program imports can be taken from
the program's own folder.

Every program limits its DLL search to the system folder as the first thing it
does (vetra::restrict_dll_search, which looks up SetDefaultDllDirectories at
run time). The DLLs a program imports are loaded before that, when the system
starts it, so each must be one of the system's known DLLs, which Windows always
takes from the system folder; anything else must be delay-loaded (bound when
first called, after the start). Wine keeps no list of known DLLs and loads a
DLL planted under such a name beside a program, so this cannot be shown by a
run under Wine and is checked on the import tables (read with pefile).

The known DLLs are those that both Windows 7 and Windows 10/11 list under
HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs.
"""
import sys

import pefile

KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll",
    "ws2_32.dll",
}

failures = 0
for path in sys.argv[1:]:
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
                                           pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]])
    imported = sorted(entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []))
    delayed = sorted(entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []))
    unknown = [dll for dll in imported if dll not in KNOWN_DLLS]
    # The start-up call looks the function up by name, so its name is in the image.
    with open(path, "rb") as image:
        looks_up = b"SetDefaultDllDirectories\0" in image.read()
    ok = not unknown and looks_up
    print(f"{'ok  ' if ok else 'FAIL'} {path}: imports {', '.join(imported)}"
          f"{'; delay-loads ' + ', '.join(delayed) if delayed else ''}"
          f"{'; not known DLLs: ' + ', '.join(unknown) if unknown else ''}"
          f"{'' if looks_up else '; never looks up SetDefaultDllDirectories'}")
    failures += not ok
sys.exit(1 if failures else 0)
