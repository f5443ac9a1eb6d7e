#!/usr/bin/env python3
"""Parcelor extracts a package written by python's zipfile, an independent
zip writer: stored, deflate and bzip2 entries, a folder entry and nested
folders give files identical to the originals, with the entries' times as
their last-write times."""
import calendar
import os
import random
import subprocess
import sys
import tempfile
import time
import zipfile

bin_folder = os.environ["TOOLSET_BIN"]
loader = os.environ.get("WINE_LOADER", "/usr/lib/wine/wine64")

rng = random.Random(1234)
entries = [
    # name, data, method, date_time
    ("readme.txt", b"plain text\r\n" * 50, zipfile.ZIP_STORED, (2020, 1, 2, 3, 4, 6)),
    ("bin/", None, zipfile.ZIP_STORED, (2021, 2, 3, 4, 5, 6)),
    ("bin/tool.dat", bytes(rng.getrandbits(8) for _ in range(100_000)), zipfile.ZIP_DEFLATED, (2022, 3, 4, 5, 6, 8)),
    ("bin/deep/er/still/config.ini", b"[a]\nkey=value\n" * 4000, zipfile.ZIP_BZIP2, (2023, 4, 5, 6, 7, 10)),
    ("bin/deep/empty.txt", b"", zipfile.ZIP_DEFLATED, (2019, 12, 31, 23, 59, 58)),
    ("mixed.bin", bytes(rng.getrandbits(8) for _ in range(3000)) + b"z" * 200_000, zipfile.ZIP_BZIP2,
     (2018, 6, 7, 8, 9, 10)),
]

def check(zone):
    """Extracts the package with TZ set to zone (None: as inherited) and
    compares files and times."""
    env = dict(os.environ)
    if zone:
        env["TZ"] = zone
        os.environ["TZ"] = zone
        time.tzset()
    failures = []
    with tempfile.TemporaryDirectory() as work:
        package = os.path.join(work, "pkg.zip")
        with zipfile.ZipFile(package, "w") as z:
            for name, data, method, when in entries:
                info = zipfile.ZipInfo(name, date_time=when)
                info.compress_type = method
                if data is None:
                    info.external_attr = 0x10
                    z.writestr(info, b"")
                else:
                    z.writestr(info, data)
        os.mkdir(os.path.join(work, "out"))
        run = subprocess.run([loader, os.path.join(bin_folder, "Parcelor.exe"), "e!pkg.zip", "-o", "out"],
                             cwd=work, env=env, capture_output=True, timeout=120)
        if run.returncode != 0:
            failures.append(f"exit code {run.returncode}")
        if run.stdout != b"Tool will use following filters: \r\n":
            failures.append(f"unexpected output {run.stdout!r}")
        for name, data, method, when in entries:
            path = os.path.join(work, "out", *name.rstrip("/").split("/"))
            if data is None:
                if not os.path.isdir(path):
                    failures.append(f"{name}: folder missing")
                continue
            if not os.path.isfile(path):
                failures.append(f"{name}: file missing")
                continue
            with open(path, "rb") as f:
                if f.read() != data:
                    failures.append(f"{name}: contents differ")
            # Entry times are local times; Windows turns them into UTC with the
            # bias in force now (LocalFileTimeToFileTime), not the one of the
            # entry's date, which differs by an hour across daylight saving.
            expected = calendar.timegm(when + (0, 0, 0)) - time.localtime().tm_gmtoff
            actual = os.stat(path).st_mtime
            if abs(actual - expected) > 1:
                failures.append(f"{name}: last-write time {time.ctime(actual)}, expected {time.ctime(expected)}")
    return [f"TZ={zone or 'inherited'}: {f}" for f in failures]


# The machine's own zone, and one with daylight saving whose summer and
# winter entries differ in their offset from UTC.
failures = check(None) + check("Europe/Berlin")
for failure in failures:
    print("FAIL:", failure)
print("checked", len(entries), "entries;", "ok" if not failures else f"{len(failures)} failures")
sys.exit(1 if failures else 0)
