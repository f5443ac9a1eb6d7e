#!/usr/bin/env python3
"""Builds self-extractors with Stubsmith under Wine and reads their manifest
and version resource back with pefile: the manifest bytes with and without
--elevate, the fixed file information, the eight strings in key order and the
translation."""
import os
import subprocess
import sys
import tempfile

import pefile

RT_MANIFEST, RT_VERSION = 24, 16
WINE = os.environ["WINE_LOADER"]
STUBSMITH = os.path.join(os.environ["TOOLSET_BIN"], "Stubsmith.exe")

LINES = [
    "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>",
    "<assembly xmlns = 'urn:schemas-microsoft-com:asm.v1' manifestVersion = '1.0'>",
    "  <trustInfo xmlns = 'urn:schemas-microsoft-com:asm.v3'>",
    "    <security>",
    "      <requestedPrivileges>",
    "        <requestedExecutionLevel level='asInvoker' uiAccess='false'/>",
    "      </requestedPrivileges>",
    "    </security>",
    "  </trustInfo>",
    "</assembly>",
]
PLAIN = "\r\n".join(LINES).encode("ascii")
ELEVATED = PLAIN.replace(b"asInvoker", b"requireAdministrator", 1)

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def build(folder, name, *options):
    out = os.path.join(folder, name)
    run = subprocess.run([WINE, STUBSMITH, "--zip", "pkg.zip", "--sfx", name, *options], cwd=folder,
                         capture_output=True, timeout=120)
    check(run.returncode == 0, f"{name}: Stubsmith exit code {run.returncode}")
    return pefile.PE(out)


def resources(pe, kind):
    found = []
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for entry in root.entries if root else []:
        if entry.id != kind:
            continue
        for ident in entry.directory.entries:
            for lang in ident.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found.append((ident.id, lang.id, data))
    return found


with tempfile.TemporaryDirectory() as folder:
    # A small stored zip: end-of-central-directory record behind one entry.
    import zipfile
    with zipfile.ZipFile(os.path.join(folder, "pkg.zip"), "w") as z:
        z.writestr("a.txt", "a")

    plain = build(folder, "plain.exe")
    check(resources(plain, RT_MANIFEST) == [(1, 1033, PLAIN)] and len(PLAIN) == 384,
          "manifest without --elevate: the 384 bytes at 24/1/1033, nothing else")
    check(resources(plain, RT_VERSION) == [], "no version resource without both versions")

    only_file = build(folder, "onlyfile.exe", "--file-version", "1.2", "--company-name", "x")
    check(resources(only_file, RT_VERSION) == [], "no version resource with only --file-version")

    options = ["--elevate", "--file-version", "1.65536.3.4", "--product-version", "+14.3",
               "--product-name", "Kit \u00e9t\u00e9", "--legal-copyright", "(C) 2026", "--company-name", "Example Works",
               "--original-filename", "setup.exe", "--file-description", "Client setup", "--internal-name", ""]
    full = build(folder, "full.exe", *options)
    check(resources(full, RT_MANIFEST) == [(1, 1033, ELEVATED)] and len(ELEVATED) == 395,
          "manifest with --elevate: the 395 bytes requesting requireAdministrator")
    versions = resources(full, RT_VERSION)
    check([(i, l) for i, l, _ in versions] == [(1, 1033)], "one version resource at 16/1/1033")

    fixed = full.VS_FIXEDFILEINFO[0]
    check(fixed.Signature == 0xFEEF04BD and fixed.StrucVersion == 0x00010000, "fixed info signature and version")
    check(fixed.FileVersionMS == 131072 and fixed.FileVersionLS == 3 * 65536 + 4,
          f"file version halves added: {fixed.FileVersionMS:#x} {fixed.FileVersionLS:#x}")
    check(fixed.ProductVersionMS == 14 * 65536 + 3 and fixed.ProductVersionLS == 0, "product version 14.3.0.0")
    check((fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS, fixed.FileType, fixed.FileSubtype,
           fixed.FileDateMS, fixed.FileDateLS) == (0, 0, 0x00040004, 1, 0, 0, 0),
          "flags, OS, type, subtype and date")

    tables = [t for info in full.FileInfo[0] if info.Key == b"StringFileInfo" for t in info.StringTable]
    check([t.LangID for t in tables] == [b"040904E4"], "one string table 040904E4")
    entries = list(tables[0].entries.items()) if tables else []
    expected = [(b"CompanyName", "Example Works"), (b"FileDescription", "Client setup"),
                (b"FileVersion", "1.65536.3.4"), (b"InternalName", ""), (b"LegalCopyright", "(C) 2026"),
                (b"OriginalFilename", "setup.exe"), (b"ProductName", "Kit \u00e9t\u00e9"),
                (b"ProductVersion", "+14.3")]
    got = [(k, v.decode("utf-8") if isinstance(v, bytes) else v) for k, v in entries]
    check(got == expected, f"the eight strings in key order: {got}")

    var = [v for info in full.FileInfo[0] if info.Key == b"VarFileInfo" for v in info.Var]
    check([v.entry for v in var] == [{b"Translation": "0x0409 0x04e4"}], f"translation 0409/04E4: {[v.entry for v in var]}")

sys.exit(1 if failures else 0)
