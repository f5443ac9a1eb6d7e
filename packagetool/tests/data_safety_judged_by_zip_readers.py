#!/usr/bin/env python3
"""Parcelor loses no data, run under Wine as a build script runs it and judged
from outside: the package's bytes and the files on disk are compared before
and after each run, and every package that a, d and r write is read back by
python's zipfile and Info-ZIP's unzip -t.

- r refuses an output folder that is the working folder (in any spelling);
- an append that fails part-way (a file-size limit on the Wine process makes
  writes fail, anywhere from the first new entry to the end record) leaves the
  package byte for byte as it was and the named files where they were, with a
  warning naming the package; a new package that fails is removed;
- empty -w and -o values get the usage text; filter texts of a that lead
  outside the working folder or name a device are refused;
- e and d skip an entry whose target is the package being read or the copy
  being written, and entries named after devices;
- d names every entry it cannot carry into the copy intact, and an encrypted
  entry with a data descriptor still decrypts in the copy;
- a file named twice by the filter texts of a is added and removed once.
With PARCELOR_LARGE_TESTS=1 it also adds an incompressible file just under
4 GiB, whose deflated form passes 4 GiB (several minutes)."""
import os
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import zipfile

bin_folder = os.environ["TOOLSET_BIN"]
loader = os.environ.get("WINE_LOADER", "/usr/lib/wine/wine64")
failures = []
HEADER = "Tool will use following filters: \n"


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def parcelor(work, *arguments, file_size_limit=None, timeout=300):
    """Runs Parcelor.exe in work; returns its standard output with plain line ends."""
    def limit_file_size():
        # Writes past the limit then fail with an error instead of a signal.
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))

    run = subprocess.run([loader, os.path.join(bin_folder, "Parcelor.exe"), *arguments], cwd=work,
                         capture_output=True, timeout=timeout,
                         preexec_fn=limit_file_size if file_size_limit else None)
    check(run.returncode == 0, f"{arguments}: exit code {run.returncode}")
    check(run.stderr == b"" or b"fixme" in run.stderr, f"{arguments}: wrote to standard error: {run.stderr[:200]}")
    return run.stdout.decode("latin-1").replace("\r\n", "\n")


def snapshot(folder):
    """Every file below folder, by relative path, with its bytes."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def valid_by_unzip(path, password=None):
    command = ["unzip", "-tq"] + (["-P", password] if password else []) + [path]
    run = subprocess.run(command, capture_output=True, timeout=1800)
    return check(run.returncode == 0,
                 f"unzip -t {os.path.basename(path)}: {run.stdout.decode(errors='replace').strip()}")


def entries(path, password=None):
    """Name to decoded bytes, read by zipfile, which also checks every CRC;
    None (and a failure) when zipfile cannot read the package."""
    try:
        with zipfile.ZipFile(path) as z:
            if password:
                z.setpassword(password.encode())
            check(z.testzip() is None, f"{path}: zipfile finds a damaged entry")
            return [(i.filename, z.read(i)) for i in z.infolist()]
    except (OSError, RuntimeError, zipfile.BadZipFile) as error:
        check(False, f"{os.path.relpath(path, os.path.dirname(os.path.dirname(path)))}: zipfile: {error}")
        return None


def judged(path, password=None):
    """The entries of a package written by Parcelor, after unzip -t passed it."""
    valid_by_unzip(path, password)
    return entries(path, password)


def names(listed):
    return [name for name, _ in listed] if listed is not None else None


def usage_expected(output):
    return output.startswith(HEADER) is False and output.startswith(
        "Incorrect command line, see the syntax below: \n\nUsage: Parcelor <method>")


def random_bytes(size, seed):
    import random
    return random.Random(seed).randbytes(size)


def write(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_zip(path, specs):
    """specs: (name, bytes, method) in order; python's zipfile writes them."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with zipfile.ZipFile(path, "w") as z:
        for name, data, method in specs:
            info = zipfile.ZipInfo(name, date_time=(2020, 5, 6, 7, 8, 10))
            info.compress_type = method
            z.writestr(info, data)


def fresh(work, name):
    folder = os.path.join(work, name)
    os.makedirs(folder)
    return folder


def replace_into_the_working_folder(work):
    folder = fresh(work, "same")
    make_zip(os.path.join(folder, "pkg.zip"), [("a.txt", b"a", zipfile.ZIP_DEFLATED),
                                               ("sub/b.txt", b"old b", zipfile.ZIP_DEFLATED)])
    write(os.path.join(folder, "w", "sub", "b.txt"), b"new b")
    before = snapshot(folder)
    for spelling in ["w", "w\\", ".\\w", "W", "sub\\..\\w"]:
        out = parcelor(folder, "r!pkg.zip", "-w", "w", "-o", spelling, "-f", "sub\\b.txt")
        check(out == HEADER + "0: sub\\b.txt\n" + f"the output folder {spelling} is the working folder itself,\n"
              "please choose another output folder.\n", f"r -o {spelling}: output {out!r}")
        check(snapshot(folder) == before, f"r -o {spelling}: files changed")
    # The same folder through a link is recognised by its identity.
    os.symlink("w", os.path.join(folder, "link"))
    out = parcelor(folder, "r!pkg.zip", "-w", "w", "-o", "link", "-f", "sub\\b.txt")
    check(out.endswith("the output folder link is the working folder itself,\nplease choose another output folder.\n"),
          f"r -o link: output {out!r}")
    os.remove(os.path.join(folder, "link"))
    check(snapshot(folder) == before, "r -o link: files changed")
    # Another output folder still works, and its packages are valid.
    parcelor(folder, "r!pkg.zip", "-w", "w", "-o", "out", "-f", "sub\\b.txt")
    check(names(judged(os.path.join(folder, "out", "pkg.zip"))) == ["a.txt"], "r: copy entries")
    check(judged(os.path.join(folder, "pkg.zip"))[-1] == ("sub/b.txt", b"new b"), "r: new b not appended")


def failed_appends(work):
    folder = fresh(work, "append")
    package = os.path.join(folder, "pkg.zip")
    old_specs = [(f"old/{i}.bin", random_bytes(200_000, i), zipfile.ZIP_DEFLATED if i % 2 else zipfile.ZIP_STORED)
                 for i in range(5)]
    make_zip(package, old_specs)
    old_bytes = read_bytes(package)
    old_entries = entries(package)
    # The first file is larger than the 1 MiB write buffer, so a limit can
    # stop the run before any new entry is finished.
    named = {"new1.bin": random_bytes(1_200_000, 11), "sub\\new2.bin": random_bytes(700_000, 12)}

    def fill_working_folder():
        for name, data in named.items():
            write(os.path.join(folder, "w", *name.split("\\")), data)
    fill_working_folder()
    working_before = snapshot(os.path.join(folder, "w"))

    # Without a limit, the append's final size, and a valid package.
    shutil.copy(package, os.path.join(folder, "probe.zip"))
    parcelor(folder, "a!probe.zip", "-w", "w", "-f", *named)
    final_size = os.path.getsize(os.path.join(folder, "probe.zip"))
    check(names(judged(os.path.join(folder, "probe.zip"))) ==
          [n for n, _ in old_entries] + ["new1.bin", "sub/new2.bin"], "append without a limit")
    fill_working_folder()

    # Limits from the first new byte to the last byte of the end record.
    old_size = len(old_bytes)
    limits = [old_size + 1, old_size + 5000, 2_000_000, final_size - 5000, final_size - 200, final_size - 22,
              final_size - 1]
    for limit in limits:
        out = parcelor(folder, "a!pkg.zip", "-w", "w", "-f", *named, file_size_limit=limit)
        check("Warning: the package pkg.zip could not be completed (status " in out and
              "; the named files stay in the working folder.\n" in out and
              out.endswith("Warning: the package pkg.zip is left as it was before this run.\n"),
              f"append limited to {limit}: output {out!r}")
        check(read_bytes(package) == old_bytes, f"append limited to {limit}: the package changed")
        check(snapshot(os.path.join(folder, "w")) == working_before,
              f"append limited to {limit}: the named files did not stay")
        check(judged(package) == old_entries, f"append limited to {limit}: old entries differ")

    # The whole working folder, without filter texts: the same, and a warning.
    out = parcelor(folder, "a!pkg.zip", "-w", "w", file_size_limit=2_000_000)
    check(out == HEADER + "Warning: the package pkg.zip could not be completed (status -1).\n"
          "Warning: the package pkg.zip is left as it was before this run.\n", f"whole folder: output {out!r}")
    check(read_bytes(package) == old_bytes, "whole folder: the package changed")

    # Method r: its copy is written, and the failed append on the source is undone.
    out = parcelor(folder, "r!pkg.zip", "-w", "w", "-o", "rout", "-f", "new1.bin", "sub\\new2.bin",
                   file_size_limit=2_000_000)
    check("Warning: the package pkg.zip is left as it was before this run.\n" in out, f"r: output {out!r}")
    check(read_bytes(package) == old_bytes, "r: the source package changed")
    check(snapshot(os.path.join(folder, "w")) == working_before, "r: the named files did not stay")
    check(judged(os.path.join(folder, "rout", "pkg.zip")) == old_entries, "r: the copy differs")

    # A copy of d that fails is removed with a message; the removed entry is
    # still extracted, and the source is only read.
    out = parcelor(folder, "d!pkg.zip", "-o", "dlimit", "-f", "old/0.bin", file_size_limit=500_000)
    check(out.endswith("the package file dlimit\\pkg.zip could not be written completely and was removed.\n"),
          f"d limited: output {out!r}")
    check(snapshot(os.path.join(folder, "dlimit")) == {os.path.join("old", "0.bin"): old_specs[0][1]},
          "d limited: files")
    check(read_bytes(package) == old_bytes, "d limited: the source changed")

    # A new package that fails is not left behind half-written.
    out = parcelor(folder, "a!new.zip", "-w", "w", "-f", *named, file_size_limit=1_000_000)
    check(out.endswith("Warning: the unfinished package new.zip was removed.\n"), f"new package: output {out!r}")
    check(not os.path.exists(os.path.join(folder, "new.zip")), "new package: a half-written file stayed")
    check(snapshot(os.path.join(folder, "w")) == working_before, "new package: the named files did not stay")


def refused_paths(work):
    folder = fresh(work, "paths")
    make_zip(os.path.join(folder, "pkg.zip"), [("a.txt", b"a", zipfile.ZIP_DEFLATED)])
    write(os.path.join(folder, "x.txt"), b"outside the working folder")
    write(os.path.join(folder, "w", "in.txt"), b"inside")
    before = snapshot(folder)
    texts = ["..\\x.txt", "\\x.txt", "C:\\x.txt", "sub\\..\\..\\x.txt", ".. \\x.txt"]
    devices = ["CON", "nul.txt", "sub\\com1"]
    out = parcelor(folder, "a!pkg.zip", "-w", "w", "-f", *texts, *devices)
    expected = HEADER + "".join(f"{i}: {t}\n" for i, t in enumerate(texts + devices))
    expected += "".join(f"Warning: skipped {t}: it names a file outside the working folder.\n" for t in texts)
    expected += "".join(f"Warning: skipped {t}: it names a device, not a file.\n" for t in devices)
    check(out == expected, f"outside texts: output {out!r}")
    after = snapshot(folder)
    check({k: v for k, v in after.items() if k != "pkg.zip"} == {k: v for k, v in before.items() if k != "pkg.zip"},
          "outside texts: files changed")
    check(judged(os.path.join(folder, "pkg.zip")) == [("a.txt", b"a")], "outside texts: the package changed")

    # Empty folder values are rejected as missing ones: nothing is touched.
    for arguments in (["d!pkg.zip", "-o", "", "-f", "a.txt"], ["e!pkg.zip", "-o", ""],
                      ["a!pkg.zip", "-w", "", "-f", "in.txt"], ["r!pkg.zip", "-w", "w", "-o", "", "-f", "in.txt"]):
        out = parcelor(folder, *arguments)
        check(usage_expected(out), f"{arguments}: no usage text: {out[:80]!r}")
        check(snapshot(folder) == after, f"{arguments}: files changed")


def extraction_onto_its_own_package(work):
    folder = fresh(work, "own")
    source = os.path.join(folder, "dir", "pkg.zip")
    make_zip(source, [("a.txt", b"a", zipfile.ZIP_DEFLATED), ("pkg.zip", b"not the package", zipfile.ZIP_STORED),
                      ("PKG.ZIP", b"nor this", zipfile.ZIP_DEFLATED), ("sub/pkg.zip", b"in sub", zipfile.ZIP_STORED)])
    source_bytes = read_bytes(source)
    out = parcelor(folder, "e!dir\\pkg.zip", "-o", "dir")
    check(out == HEADER + "Skipped entry pkg.zip: it would overwrite the package dir\\pkg.zip.\n"
          "Skipped entry PKG.ZIP: it would overwrite the package dir\\pkg.zip.\n", f"e: output {out!r}")
    check(read_bytes(source) == source_bytes, "e: the package was written")
    check(snapshot(os.path.join(folder, "dir")) == {"pkg.zip": source_bytes, "a.txt": b"a",
                                                    os.path.join("sub", "pkg.zip"): b"in sub"}, "e: files")
    out = parcelor(folder, "e!dir\\pkg.zip", "-o", "dir\\..\\dir", "-f", "pkg.zip")
    check(out == HEADER + "0: pkg.zip\nSkipped entry pkg.zip: it would overwrite the package dir\\pkg.zip.\n",
          f"e with another spelling: output {out!r}")
    check(read_bytes(source) == source_bytes, "e with another spelling: the package was written")

    # A hard link to the package, under another name, is the package too.
    linked = os.path.join(folder, "h", "pkg.zip")
    make_zip(linked, [("alias.zip", b"over a link", zipfile.ZIP_STORED), ("b.txt", b"b", zipfile.ZIP_STORED)])
    os.link(linked, os.path.join(folder, "h", "alias.zip"))
    linked_bytes = read_bytes(linked)
    out = parcelor(folder, "e!h\\pkg.zip", "-o", "h")
    check(out == HEADER + "Skipped entry alias.zip: it would overwrite the package h\\pkg.zip.\n",
          f"e link: output {out!r}")
    check(read_bytes(linked) == linked_bytes, "e link: the package was written through its link")

    # d: neither the copy it writes nor its source is extracted over.
    shutil.copy(source, os.path.join(folder, "pkg.zip"))
    out = parcelor(folder, "d!pkg.zip", "-o", "out", "-f", "pkg.zip")
    check("Skipped entry pkg.zip: it would overwrite the package out\\pkg.zip.\n" in out, f"d copy: output {out!r}")
    check(names(judged(os.path.join(folder, "out", "pkg.zip"))) == ["a.txt", "sub/pkg.zip"], "d copy")
    # A removed entry whose target is the source itself.
    make_zip(os.path.join(folder, "nest", "sub", "pkg.zip"),
             [("keep.txt", b"k", zipfile.ZIP_DEFLATED), ("sub/pkg.zip", b"over the source", zipfile.ZIP_STORED)])
    nested = read_bytes(os.path.join(folder, "nest", "sub", "pkg.zip"))
    out = parcelor(folder, "d!nest\\sub\\pkg.zip", "-o", "nest", "-f", "sub/pkg.zip")
    check("Skipped entry sub/pkg.zip: it would overwrite the package nest\\sub\\pkg.zip.\n" in out,
          f"d source: output {out!r}")
    check(read_bytes(os.path.join(folder, "nest", "sub", "pkg.zip")) == nested, "d source: the source was written")
    check(names(judged(os.path.join(folder, "nest", "pkg.zip"))) == ["keep.txt"], "d source: copy")


def set_flags(path, name, flags):
    """Sets the general-purpose flags of an entry in both of its headers."""
    data = bytearray(read_bytes(path))
    with zipfile.ZipFile(path) as z:
        info = z.getinfo(name)
    struct.pack_into("<H", data, info.header_offset + 6, flags)
    position = data.find(b"PK\x01\x02")
    while position >= 0:
        name_length = struct.unpack_from("<H", data, position + 28)[0]
        if data[position + 46:position + 46 + name_length] == name.encode():
            struct.pack_into("<H", data, position + 8, flags)
        position = data.find(b"PK\x01\x02", position + 4)
    write(path, bytes(data))


def copies_that_cannot_be_intact(work):
    folder = fresh(work, "intact")
    # Info-ZIP's zip encrypts with a data descriptor behind each entry.
    write(os.path.join(folder, "src", "secret.txt"), b"secret data " * 100)
    write(os.path.join(folder, "src", "plain.bin"), random_bytes(3000, 5))
    write(os.path.join(folder, "src", "gone.txt"), b"gone")
    subprocess.run(["zip", "-q", "-P", "pw", "../enc.zip", "secret.txt", "plain.bin", "gone.txt"],
                   cwd=os.path.join(folder, "src"), check=True)
    with zipfile.ZipFile(os.path.join(folder, "enc.zip")) as z:
        check(all(i.flag_bits & 0x9 == 0x9 for i in z.infolist()), "zip wrote no encrypted descriptor entries")
    out = parcelor(folder, "d!enc.zip", "-o", "out", "-f", "gone.txt:NOEXTRACT")
    copy = os.path.join(folder, "out", "enc.zip")
    check(judged(copy, password="pw") == [("secret.txt", b"secret data " * 100),
                                          ("plain.bin", random_bytes(3000, 5))], "encrypted copy does not decrypt")
    with zipfile.ZipFile(copy) as z:
        check(all(i.flag_bits & 0x9 == 0x9 for i in z.infolist()), "encrypted copy lost its descriptor flag")
    check("Warning" not in out, f"encrypted copy: output {out!r}")

    # An entry that cannot be read raw, and one with strong encryption, are named.
    source = os.path.join(folder, "odd.zip")
    make_zip(source, [("a.txt", b"a", zipfile.ZIP_DEFLATED), ("lzma.txt", b"lzma " * 100, zipfile.ZIP_LZMA),
                      ("strong.bin", b"s" * 100, zipfile.ZIP_STORED), ("drop.txt", b"d", zipfile.ZIP_STORED)])
    set_flags(source, "strong.bin", 0x41)
    out = parcelor(folder, "d!odd.zip", "-o", "out", "-f", "drop.txt")
    check("Warning: entry lzma.txt could not be copied (status " in out and "); it is left out of the copy.\n" in out,
          f"unreadable entry: output {out!r}")
    check("Warning: entry strong.bin uses strong encryption, which a copy cannot keep; it is left out of the "
          "copy.\n" in out, f"strong encryption: output {out!r}")
    check(judged(os.path.join(folder, "out", "odd.zip")) == [("a.txt", b"a")], "odd copy entries")


def device_names(work):
    folder = fresh(work, "devices")
    devices = ["CON", "aux.txt", "sub/nul", "Com1.log", "lpt9/x.txt", "NUL .txt"]
    make_zip(os.path.join(folder, "pkg.zip"), [("ok.txt", b"ok", zipfile.ZIP_DEFLATED)] +
             [(name, b"device " + name.encode(), zipfile.ZIP_DEFLATED) for name in devices])
    os.makedirs(os.path.join(folder, "out"))
    skipped = "".join(f"Skipped entry {name}: its name is reserved for a device.\n" for name in devices)
    out = parcelor(folder, "e!pkg.zip", "-o", "out")
    check(out == HEADER + skipped, f"e devices: output {out!r}")
    check(snapshot(os.path.join(folder, "out")) == {"ok.txt": b"ok"}, "e devices: files")
    filters = [name.replace("/", "\\") for name in devices]
    out = parcelor(folder, "d!pkg.zip", "-o", "dout", "-f", *filters)
    check(out.count("Skipped entry ") == len(devices) and out.count("Match found") == len(devices),
          f"d devices: output {out!r}")
    check(snapshot(os.path.join(folder, "dout")).keys() == {"pkg.zip"}, "d devices: files")
    check(judged(os.path.join(folder, "dout", "pkg.zip")) == [("ok.txt", b"ok")], "d devices: copy")


def file_named_twice(work):
    folder = fresh(work, "twice")
    write(os.path.join(folder, "w", "a.txt"), b"a")
    write(os.path.join(folder, "w", "sub", "b.txt"), b"b")
    write(os.path.join(folder, "w", "c.txt"), b"c")
    texts = ["a.txt", "A.TXT", "a.*", "sub\\b.txt", "SUB\\b.txt", "a.txt"]
    out = parcelor(folder, "a!pkg.zip", "-w", "w", "-f", *texts)
    check(out == HEADER + "".join(f"{i}: {t}\n" for i, t in enumerate(texts)) +
          "can't find the package file specified,\nwill create a new one.\n", f"named twice: output {out!r}")
    check(judged(os.path.join(folder, "pkg.zip")) == [("a.txt", b"a"), ("sub/b.txt", b"b")], "named twice: entries")
    check(snapshot(os.path.join(folder, "w")) == {"c.txt": b"c"}, "named twice: files")


def run_cases(work):
    replace_into_the_working_folder(work)
    failed_appends(work)
    refused_paths(work)
    extraction_onto_its_own_package(work)
    copies_that_cannot_be_intact(work)
    device_names(work)
    file_named_twice(work)
    if os.environ.get("PARCELOR_LARGE_TESTS") == "1":
        zip64_margin(work)


def zip64_margin(work):
    folder = fresh(work, "zip64")
    size = 0xFFFFFFFF - 200_000
    path = os.path.join(folder, "w", "big.bin")
    os.makedirs(os.path.dirname(path))
    with open(path, "wb") as f:
        left = size
        while left:
            chunk = os.urandom(min(left, 64 << 20))
            f.write(chunk)
            left -= len(chunk)
    parcelor(folder, "a!big.zip", "-w", "w", "-f", "big.bin", timeout=3600)
    with zipfile.ZipFile(os.path.join(folder, "big.zip")) as z:
        info = z.infolist()[0]
        check(info.file_size == size and info.compress_size > 0xFFFFFFFF,
              f"near 4 GiB: sizes {info.file_size} {info.compress_size}")
    valid_by_unzip(os.path.join(folder, "big.zip"))


# A Wine client that waits on its input keeps the Wine server up, so that no
# server is started by a run under a file-size limit (it would inherit the
# limit and fail to save the registry). It must be up before the first run:
# processes that a new server starts inherit the standard output of the
# client that started it, and would hold a run's output pipe open.
keeper = subprocess.Popen([loader, "cmd.exe"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL)
try:
    keeper.stdin.write(b"echo keeper-ready\r\n")
    keeper.stdin.flush()
    while True:
        line = keeper.stdout.readline()
        if not line or b"keeper-ready" in line.replace(b"echo keeper-ready", b""):
            break
    with tempfile.TemporaryDirectory() as work:
        run_cases(work)
finally:
    keeper.stdin.close()
    try:
        keeper.wait(timeout=60)
    except subprocess.TimeoutExpired:
        keeper.kill()

for failure in failures:
    print("FAIL:", failure)
print("ok" if not failures else f"{len(failures)} failures")
sys.exit(1 if failures else 0)
