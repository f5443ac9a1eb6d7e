#!/usr/bin/env python3
"""Packages that Parcelor's methods a, d and r write, judged by independent zip
readers (python's zipfile and Info-ZIP's unzip -t):
- d keeps every kept entry as it was in a package python wrote: method,
  compressed bytes, CRC-32, sizes, DOS time, attributes and UTF-8 name flag;
- every package a, d and r write is valid, with the expected entries;
- a file of 4 GiB or more is added with Zip64 records."""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

bin_folder = os.environ["TOOLSET_BIN"]
loader = os.environ.get("WINE_LOADER", "/usr/lib/wine/wine64")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def parcelor(work, *arguments):
    run = subprocess.run([loader, os.path.join(bin_folder, "Parcelor.exe"), *arguments], cwd=work,
                         capture_output=True, timeout=900)
    check(run.returncode == 0, f"{arguments[0]}: exit code {run.returncode}")
    check(run.stderr == b"" or b"fixme" in run.stderr, f"{arguments[0]}: wrote to standard error")
    return run.stdout.decode("latin-1")


def raw_bytes(path, info):
    """The stored (compressed) bytes of an entry, read through its local header."""
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        header = f.read(30)
        name_length, extra_length = struct.unpack("<HH", header[26:30])
        f.seek(info.header_offset + 30 + name_length + extra_length)
        return f.read(info.compress_size)


def valid_by_unzip(path):
    run = subprocess.run(["unzip", "-tq", path], capture_output=True, timeout=900)
    check(run.returncode == 0, f"unzip -t {os.path.basename(path)}: {run.stdout.decode(errors='replace').strip()}")


def names(path):
    with zipfile.ZipFile(path) as z:
        check(z.testzip() is None, f"{path}: zipfile finds a damaged entry")
        return [i.filename for i in z.infolist()]


rng = random.Random(99)
with tempfile.TemporaryDirectory() as work:
    # A package written by python: all three methods, attributes, times,
    # a UTF-8 name, an entry comment and an extra field (neither is kept).
    source = os.path.join(work, "src.zip")
    with zipfile.ZipFile(source, "w") as z:
        specs = [
            ("keep/stored.bin", rng.randbytes(5000), zipfile.ZIP_STORED, 0x20),
            ("keep/deflated.txt", b"deflate me " * 3000, zipfile.ZIP_DEFLATED, 0x01),
            ("keep/bzip2.txt", b"bzip2 me " * 3000, zipfile.ZIP_BZIP2, 0x02 << 0),
            ("keep/Gr\u00fc\u00dfe.txt", "utf-8 name".encode(), zipfile.ZIP_DEFLATED, 0),
            ("drop/one.txt", b"one", zipfile.ZIP_DEFLATED, 0),
            ("drop/two.txt", b"two", zipfile.ZIP_STORED, 0),
            ("keep/folder/", b"", zipfile.ZIP_STORED, 0x10),
        ]
        for i, (name, data, method, attributes) in enumerate(specs):
            info = zipfile.ZipInfo(name, date_time=(2000 + i, i + 1, i + 2, i, i * 2, i * 2))
            info.compress_type = method
            info.external_attr = attributes
            info.comment = b"entry comment"
            info.extra = struct.pack("<HH4s", 0xCAFE, 4, b"xtra")
            z.writestr(info, data)

    out = parcelor(work, "d!src.zip", "-o", "out", "-f", "drop\\*")
    copy = os.path.join(work, "out", "src.zip")
    check(os.path.isfile(os.path.join(work, "out", "drop", "one.txt")), "d did not extract drop/one.txt")
    with zipfile.ZipFile(source) as a, zipfile.ZipFile(copy) as b:
        kept = [i for i in a.infolist() if not i.filename.startswith("drop/")]
        check([i.filename for i in b.infolist()] == [i.filename for i in kept], "d: wrong entries or order")
        for old, new in zip(kept, b.infolist()):
            for field in ("compress_type", "CRC", "compress_size", "file_size", "date_time", "external_attr",
                          "internal_attr"):
                check(getattr(old, field) == getattr(new, field),
                      f"d: {old.filename}: {field} {getattr(old, field)} became {getattr(new, field)}")
            check(old.flag_bits & 0x800 == new.flag_bits & 0x800, f"d: {old.filename}: UTF-8 name flag lost")
            check(raw_bytes(source, old) == raw_bytes(copy, new), f"d: {old.filename}: compressed bytes differ")
            check(new.comment == b"", f"d: {old.filename}: entry comment kept")
    valid_by_unzip(copy)

    # a: a whole folder, then again (each name twice), then named files.
    tree = os.path.join(work, "w")
    for relative, size in [("a.txt", 100), ("sub/b.bin", 70000), ("sub/deep/c.txt", 0)]:
        os.makedirs(os.path.dirname(os.path.join(tree, relative)), exist_ok=True)
        with open(os.path.join(tree, relative), "wb") as f:
            f.write(rng.randbytes(size // 2) + b"t" * (size - size // 2))
    parcelor(work, "a!new.zip", "-w", "w")
    parcelor(work, "a!new.zip", "-w", "w")
    listed = names(os.path.join(work, "new.zip"))
    check(len(listed) == 6 and sorted(listed[:3]) == ["a.txt", "sub/b.bin", "sub/deep/c.txt"]
          and listed[3:] == listed[:3], f"a twice: entries {listed}")
    valid_by_unzip(os.path.join(work, "new.zip"))

    # r on the copy: drop and re-add sub/b.bin.
    shutil.copy(os.path.join(work, "new.zip"), os.path.join(work, "r.zip"))
    parcelor(work, "r!r.zip", "-w", "w", "-o", "rout", "-f", "sub\\b.bin")
    check(names(os.path.join(work, "rout", "r.zip")).count("sub/b.bin") == 0, "r: the copy still holds sub/b.bin")
    check(names(os.path.join(work, "r.zip"))[-1] == "sub/b.bin", "r: sub/b.bin was not appended")
    check(not os.path.exists(os.path.join(tree, "sub", "b.bin")), "r: sub/b.bin stayed in the working folder")
    for path in ("rout/r.zip", "r.zip"):
        valid_by_unzip(os.path.join(work, path))

    # A file of 4 GiB and some bytes (sparse, so it costs no disk), added by name.
    big = os.path.join(work, "big", "big.bin")
    os.makedirs(os.path.dirname(big))
    with open(big, "wb") as f:
        f.truncate(4 * 1024 ** 3 + 10)
        f.seek(4 * 1024 ** 3)
        f.write(b"0123456789")
    parcelor(work, "a!big.zip", "-w", "big", "-f", "big.bin")
    with zipfile.ZipFile(os.path.join(work, "big.zip")) as z:
        info = z.infolist()[0]
        check(info.file_size == 4 * 1024 ** 3 + 10, f"4 GiB entry: size {info.file_size}")
        with z.open(info) as entry:
            entry.seek(4 * 1024 ** 3)
            check(entry.read() == b"0123456789", "4 GiB entry: tail bytes differ")
    valid_by_unzip(os.path.join(work, "big.zip"))
    check(not os.path.exists(big), "4 GiB file was not removed after it was added")

for failure in failures:
    print("FAIL:", failure)
print("ok" if not failures else f"{len(failures)} failures")
sys.exit(1 if failures else 0)
