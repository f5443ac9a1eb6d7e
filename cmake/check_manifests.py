#!/usr/bin/env python3
"""check_manifests.py EXE...: each program holds exactly one manifest, at
type 24, identifier 1, and it requests the execution level "asInvoker"."""
import re
import sys

import pefile

RT_MANIFEST = 24
failures = 0
for path in sys.argv[1:]:
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    manifests = []
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in resources.entries if resources else []:
        if kind.id != RT_MANIFEST:
            continue
        for ident in kind.directory.entries:
            for lang in ident.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                manifests.append((ident.id, lang.id, data.decode("utf-8", "replace")))
    levels = [re.findall(r'requestedExecutionLevel\s+level="([^"]+)"', text) for _, _, text in manifests]
    ok = len(manifests) == 1 and manifests[0][0] == 1 and levels[0] == ["asInvoker"]
    found = ", ".join(f"id {i} lang {l} level {lv}" for (i, l, _), lv in zip(manifests, levels))
    print(f"{'ok  ' if ok else 'FAIL'} {path}: {found or 'no manifest'}")
    failures += not ok
sys.exit(1 if failures else 0)
