#!/usr/bin/env python3
"""make_mixed_tree.py FOLDER MIB [SMALL_FILES]: writes about MIB mebibytes of
files into FOLDER: large random files, large compressible text files and small
files in nested folders (a tenth of the bytes, or exactly SMALL_FILES of them
when given: MIB 0 then makes a kit-like folder of small files only). Same
content on every run."""
import os
import random
import sys

folder, mib = sys.argv[1], int(sys.argv[2])
small_files = int(sys.argv[3]) if len(sys.argv) > 3 else None
rng = random.Random(2026)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(3000)]
total = mib * 1024 * 1024
written = 0

def text(size):
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
    return bytes(out[:size])

def put(relative, data):
    global written
    path = os.path.join(folder, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    written += len(data)

# A tenth in small files, the rest in large ones, half random and half text.
small_budget = total // 10
i = 0
while (i < small_files) if small_files is not None else (written < small_budget):
    size = rng.randint(200, 20000)
    data = rng.randbytes(size) if i % 3 == 0 else text(size)
    put(f"small/d{i % 37}/e{i % 5}/f{i}.dat", data)
    i += 1
j = 0
while written < total:
    size = min(8 * 1024 * 1024, total - written)
    put(f"large/{'bin' if j % 2 else 'txt'}/part{j}.{'bin' if j % 2 else 'txt'}",
        rng.randbytes(size) if j % 2 else text(size))
    j += 1
print(f"{written / 1048576:.0f} MiB in {i + j} files")
