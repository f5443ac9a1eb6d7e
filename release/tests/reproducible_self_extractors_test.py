#!/usr/bin/env python3
"""Stubsmith given the same inputs twice writes byte-identical self-extractors:
two runs a few seconds apart, in different folders, with and without a version
resource and with --elevate. A difference is reported with its offset and the
PE header field or section it falls in."""
import os
import struct
import sys
import tempfile
import time

import kit_road

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def where(data, offset):
    """Names the part of a PE file that holds offset."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if offset in range(pe + 8, pe + 12):
        return "the header's TimeDateStamp"
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    if offset in range(pe + 24 + 64, pe + 24 + 68):
        return "the header's CheckSum"
    table = pe + 24 + optional_size
    for i in range(sections):
        name, _, _, raw_size, raw_at = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if raw_at <= offset < raw_at + raw_size:
            return "section " + name.rstrip(b"\0").decode(errors="replace")
    return "outside the sections"


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


stubsmith = os.path.join(kit_road.BIN, "Stubsmith.exe")
cases = [("plain", []),
         ("version resource", ["--file-version", "3.2.1.0", "--product-version", "3.2",
                               "--company-name", "Example Works", "--product-name", "Kit"]),
         ("elevated", ["--elevate"])]

with tempfile.TemporaryDirectory(prefix="reproducible.") as folder:
    runs = []
    for run_folder in ("first", "second-run-folder"):
        os.makedirs(os.path.join(folder, run_folder))
        kit_road.make_package(os.path.join(folder, run_folder, "pkg.zip"))
        outputs = {}
        for label, options in cases:
            run = kit_road.run_windows(stubsmith, ["--zip", "pkg.zip", "--sfx", "out.exe", "--launch-exe",
                                                   "setup.cmd", "--cleanup", *options],
                                       os.path.join(folder, run_folder))
            check(run.returncode == 0, f"{run_folder}, {label}: Stubsmith exit code {run.returncode}")
            outputs[label] = open(os.path.join(folder, run_folder, "out.exe"), "rb").read()
        runs.append(outputs)
        # A time stamp taken in the second run would differ from the first.
        time.sleep(2)

    for label, _ in cases:
        a, b = runs[0][label], runs[1][label]
        if a == b:
            check(True, f"{label}: both runs wrote the same {len(a)} bytes")
        else:
            at = first_difference(a, b)
            check(False, f"{label}: the runs differ from byte {at} on ({where(a, at)})")

print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
