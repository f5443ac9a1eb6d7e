#!/usr/bin/env python3
"""Writes samples/client-kit.zip from samples/client-kit/ with python's
zipfile: stored, deflate and bzip2 entries, folder entries, fixed times, so
the package is the same on every run."""
import os
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
source = os.path.join(here, "client-kit")
methods = {".cmd": zipfile.ZIP_STORED, ".ini": zipfile.ZIP_BZIP2}

with zipfile.ZipFile(os.path.join(here, "client-kit.zip"), "w") as package:
    for folder, subfolders, files in sorted(os.walk(source)):
        subfolders.sort()
        relative = os.path.relpath(folder, source).replace(os.sep, "/")
        if relative != ".":
            info = zipfile.ZipInfo(relative + "/", date_time=(2026, 1, 15, 9, 30, 0))
            info.external_attr = 0x10
            package.writestr(info, b"")
        for name in sorted(files):
            entry = name if relative == "." else relative + "/" + name
            info = zipfile.ZipInfo(entry, date_time=(2026, 1, 15, 9, 30, 0))
            info.compress_type = methods.get(os.path.splitext(name)[1], zipfile.ZIP_DEFLATED)
            with open(os.path.join(folder, name), "rb") as f:
                package.writestr(info, f.read())
