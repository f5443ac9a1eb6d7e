#!/usr/bin/env python3
"""The hostile-zip corpus: zip files written byte by byte, each damaged or
crafted in one way, with what each program must do with it.

Every case names the entries a careful reader extracts ("files", relative to
the output folder, with their contents) and the messages Parcelor prints for
them. Names that must never be written contain "evil", so a search for that
word anywhere on disk shows an escape. The self-extractor's column says
whether it must finish its run and launch its program (1 = fails with exit
code 1 and launches nothing).

Cases with a pending reason describe behaviour that the programs do not have
yet: device names refused by Parcelor and the stub and entry sizes of 4 GiB
and more read in 64 bits (both being added), and two faults of the stub found
here. The test reports them apart until they are in.
"""
import struct
import zlib
import bz2
from dataclasses import dataclass, field
from typing import Callable, Dict, List, Optional

LOCAL = b"PK\x03\x04"
CENTRAL = b"PK\x01\x02"
END = b"PK\x05\x06"
END64 = b"PK\x06\x06"
LOCATOR64 = b"PK\x06\x07"
DOS_TIME = 0x6000  # 12:00:00
DOS_DATE = 0x5A8B  # 2025-04-11


@dataclass
class Entry:
    name: bytes
    data: bytes = b""
    method: int = 8
    crc: Optional[int] = None           # stored checksum (default: the right one)
    compressed: Optional[bytes] = None  # stored bytes (default: data compressed by method)
    csize: Optional[int] = None         # recorded compressed size, both headers
    usize: Optional[int] = None         # recorded uncompressed size, both headers
    local_name: Optional[bytes] = None  # name in the local header (default: name)
    central_extra: bytes = b""
    local_extra: bytes = b""
    local_offset: Optional[int] = None  # recorded offset of the local header


def compress(method, data):
    if method == 8:
        c = zlib.compressobj(6, zlib.DEFLATED, -15)
        return c.compress(data) + c.flush()
    if method == 12:
        return bz2.compress(data)
    return data


def build_zip(entries: List[Entry], comment=b"", count=None, cd_offset=None, zip64_end=None):
    """The zip's bytes. count overrides both entry counts of the end record,
    cd_offset its directory offset; zip64_end (a dict) adds a Zip64 end
    record and locator with the given fields and marks the end record's
    fields as stored there."""
    out = bytearray()
    centrals = []
    for e in entries:
        stored = e.compressed if e.compressed is not None else compress(e.method, e.data)
        crc = e.crc if e.crc is not None else zlib.crc32(e.data)
        csize = e.csize if e.csize is not None else len(stored)
        usize = e.usize if e.usize is not None else len(e.data)
        offset = len(out) if e.local_offset is None else e.local_offset
        lname = e.local_name if e.local_name is not None else e.name
        out += LOCAL + struct.pack("<HHHHHIIIHH", 20, 0, e.method, DOS_TIME, DOS_DATE, crc,
                                   min(csize, 0xFFFFFFFF), min(usize, 0xFFFFFFFF), len(lname),
                                   len(e.local_extra)) + lname + e.local_extra + stored
        centrals.append(CENTRAL + struct.pack("<HHHHHHIIIHHHHHII", 20, 20, 0, e.method, DOS_TIME, DOS_DATE, crc,
                                              min(csize, 0xFFFFFFFF), min(usize, 0xFFFFFFFF), len(e.name),
                                              len(e.central_extra), 0, 0, 0, 0, min(offset, 0xFFFFFFFF))
                        + e.name + e.central_extra)
    start = len(out)
    directory = b"".join(centrals)
    out += directory
    n = len(entries) if count is None else count
    offset = start if cd_offset is None else cd_offset
    if zip64_end is not None:
        end64_at = len(out)
        f = {"count": n, "size": len(directory), "offset": offset, "disk_entries": None}
        f.update(zip64_end)
        disk_entries = f["count"] if f["disk_entries"] is None else f["disk_entries"]
        out += END64 + struct.pack("<QHHIIQQQQ", 44, 45, 45, 0, 0, disk_entries, f["count"], f["size"], f["offset"])
        out += LOCATOR64 + struct.pack("<IQI", 0, f.get("locator_offset", end64_at), 1)
        out += END + struct.pack("<HHHHIIH", 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, len(comment)) + comment
    else:
        out += END + struct.pack("<HHHHIIH", 0, 0, n, n, len(directory), offset, len(comment)) + comment
    return bytes(out)


def zip64_sizes(usize, csize, offset=None):
    """A Zip64 extended-information extra field with the given values."""
    values = struct.pack("<QQ", usize, csize) + (b"" if offset is None else struct.pack("<Q", offset))
    return struct.pack("<HH", 1, len(values)) + values


GOOD = Entry(b"good.txt", b"good data\r\n" * 40)
GOOD_FILES = {"good.txt": GOOD.data}
OUTSIDE = "Skipped entry {}: its name leads outside the output folder."


@dataclass
class Case:
    name: str
    what: str
    make: Callable[[str], bytes]      # gets the sandbox's own absolute Windows path
    files: Dict[str, bytes]           # what Parcelor e and d extract, and nothing else (None: any bytes)
    messages: List[str]               # lines Parcelor e and d print (each at least once)
    sfx_runs: bool                    # the self-extractor finishes and launches
    # Left by the stub in its target (default: files when it runs, unchecked
    # when it fails; a failing stub leaves what it wrote up to the failure).
    sfx_files: Optional[Dict[str, bytes]] = None
    pending: str = ""  # why the programs do not meet this yet


def names_case(name, what, evil_name, pending="", message=None):
    entry = Entry(evil_name.encode("latin-1") if isinstance(evil_name, str) else evil_name, b"evil")
    shown = entry.name.decode("latin-1")
    return Case(name, what, lambda root: build_zip([GOOD, entry]), GOOD_FILES,
                [message.format(shown) if message else OUTSIDE.format(shown)], sfx_runs=False,
                sfx_files={}, pending=pending)


SECOND = Entry(b"second.txt", b"second" * 100)


def truncated(name, what, cut, files=None, messages=None, sfx_runs=False):
    """A cut archive. Most cuts lose the end record, so Parcelor cannot open
    the package; the exceptions name what they leave."""
    whole = two_entries()
    if messages is None:
        messages = ["can't find the package file specified,"]
    return Case(name, what, lambda root: cut(whole), files or {}, messages, sfx_runs=sfx_runs,
                sfx_files=files if sfx_runs else {})


def two_entries():
    return build_zip([GOOD, SECOND])


def cut_positions():
    whole = two_entries()
    first_data = 30 + len(GOOD.name)
    second_local = whole.index(LOCAL, 4)
    directory = whole.index(CENTRAL)
    second_central = whole.index(CENTRAL, directory + 4)
    end = whole.index(END)
    return [
        ("in_first_local_header", 12),
        ("after_first_local_header", first_data),
        ("in_first_data", first_data + 10),
        ("at_second_local_header", second_local),
        ("at_central_directory", directory),
        ("in_first_central_header", directory + 20),
        ("at_second_central_header", second_central),
        ("at_end_record", end),
        ("in_end_record", end + 12),
        ("before_last_byte", len(whole) - 1),
    ]


def cases() -> List[Case]:
    result: List[Case] = []
    for label, evil in [
        ("parent_slash", "../evil.txt"),
        ("parent_backslash", "..\\evil.txt"),
        ("parent_nested", "sub/../../evil.txt"),
        ("parent_deep", "a/b/../../../evil.txt"),
        ("root_slash", "/evil.txt"),
        ("root_backslash", "\\evil.txt"),
        ("drive_relative", "C:evil.txt"),
        ("drive_absolute", "C:/evil.txt"),
        ("unc_backslash", "\\\\localhost\\share\\evil.txt"),
        ("unc_slash", "//localhost/share/evil.txt"),
        ("dots_spaces", ". ./evil.txt"),
        ("three_dots", ".../evil.txt"),
        ("dots_trailing_space", ".. /evil.txt"),
        ("alternate_stream", "good-stream.txt:evil"),
        ("alternate_stream_type", "evil.txt::$DATA"),
    ]:
        result.append(names_case(label, f"an entry named {evil!r} next to a good one", evil))

    # The sandbox's own path through Wine's Z: drive: an escape would land
    # beside the package.
    def absolute(root):
        return build_zip([GOOD, Entry((root + "\\outside-evil.txt").encode("latin-1"), b"evil")])
    result.append(Case("absolute_z_drive", "an entry named with the sandbox's absolute Z: path", absolute,
                       GOOD_FILES, ["Skipped entry Z:"], sfx_runs=False, sfx_files={}))

    device = "Skipped entry {}: "
    for label, evil in [("device_con", "CON"), ("device_nul_ext", "nul.txt"), ("device_com1_nested", "sub/COM1.log"),
                        ("device_lpt_space", "LPT1 .x"), ("device_conin", "CONIN$"), ("device_aux_dots", "aux..")]:
        result.append(names_case(label, f"an entry named {evil!r} (a device)", evil,
                                 message=device))

    long_name = "d" * 150 + "/" + "n" * 150 + ".txt"
    result.append(Case("name_over_260_bytes", "an entry name of 305 bytes",
                       lambda root: build_zip([GOOD, Entry(long_name.encode(), b"long")]), GOOD_FILES,
                       [f"Skipped entry {long_name}: its path below "], sfx_runs=False, sfx_files={}))
    result.append(Case("name_of_65535_bytes", "an entry name of the largest size the format holds",
                       lambda root: build_zip([GOOD, Entry(b"x" * 65535, b"long")]), GOOD_FILES,
                       ["Skipped entry xxxx"], sfx_runs=False, sfx_files={}))

    for label, position in cut_positions():
        what = f"the archive cut {label.replace('_', ' ')}"
        cut = (lambda whole, p=position: whole[:p])
        if label == "in_end_record":
            # The reader takes the missing fields as zeros: the package opens,
            # but its directory cannot be read, so nothing is extracted and
            # Parcelor says nothing.
            result.append(truncated(f"cut_{label}", what, cut, messages=[]))
        elif label == "before_last_byte":
            # Only the comment length's high byte is lost, read as zero: the
            # archive is whole.
            result.append(truncated(f"cut_{label}", what, cut, files={**GOOD_FILES, "second.txt": SECOND.data},
                                    messages=[], sfx_runs=True))
        else:
            result.append(truncated(f"cut_{label}", what, cut))

    result.append(Case("wrong_checksum", "an entry whose CRC-32 does not match its data",
                       lambda root: build_zip([GOOD, Entry(b"bad-crc.txt", b"data" * 50, crc=0x12345678)]),
                       {**GOOD_FILES, "bad-crc.txt": b"data" * 50},
                       ["Warning: entry bad-crc.txt failed its CRC check; the extracted file is damaged."],
                       sfx_runs=False, sfx_files=None))
    result.append(Case("wrong_checksum_stored", "a stored entry whose CRC-32 does not match",
                       lambda root: build_zip([GOOD, Entry(b"bad-crc.bin", b"stored" * 30, method=0, crc=1)]),
                       {**GOOD_FILES, "bad-crc.bin": b"stored" * 30},
                       ["Warning: entry bad-crc.bin failed its CRC check; the extracted file is damaged."],
                       sfx_runs=False, sfx_files=None))
    result.append(Case("unknown_method", "an entry compressed with method 99",
                       lambda root: build_zip([GOOD, Entry(b"method99.bin", b"x" * 64, method=99)]),
                       {**GOOD_FILES, "method99.bin": b""},
                       ["Warning: entry method99.bin cannot be decoded (status -103); an empty file was left."],
                       sfx_runs=False, sfx_files={**GOOD_FILES, "method99.bin": None}))
    result.append(Case("count_too_high", "an end record that counts five entries for two",
                       lambda root: build_zip([GOOD, Entry(b"second.txt", b"2" * 10)], count=5),
                       {**GOOD_FILES, "second.txt": b"2" * 10}, [], sfx_runs=False,
                       sfx_files={}))
    result.append(Case("count_too_low", "an end record that counts one entry for two",
                       lambda root: build_zip([GOOD, Entry(b"second.txt", b"2" * 10)], count=1),
                       GOOD_FILES, [], sfx_runs=True))
    # Parcelor walks the directory until it ends (the reader does not stop at
    # a count of zero); the stub extracts the number of entries counted,
    # none, and goes on to its launch.
    result.append(Case("count_zero", "an end record that counts no entries for two",
                       lambda root: build_zip([GOOD, Entry(b"second.txt", b"2" * 10)], count=0),
                       {**GOOD_FILES, "second.txt": b"2" * 10}, [], sfx_runs=True, sfx_files={}))

    def overlapping(root):
        # Two directory entries name the same local header and data.
        whole = build_zip([GOOD, Entry(b"twin.txt", GOOD.data, local_name=b"good.txt", local_offset=0)])
        return whole
    result.append(Case("overlapping_entries", "two entries that share one local header and its data",
                       overlapping, {"good.txt": GOOD.data, "twin.txt": GOOD.data}, [], sfx_runs=True))

    def overlapping_data(root):
        # The second entry's data starts inside the first entry's data.
        big = b"A" * 4000
        first = Entry(b"first.bin", big, method=0)
        z = bytearray(build_zip([first, Entry(b"inner.bin", b"A" * 100, method=0, local_offset=200)]))
        # Put a local header for the inner entry where its offset points.
        inner = LOCAL + struct.pack("<HHHHHIIIHH", 20, 0, 0, DOS_TIME, DOS_DATE, zlib.crc32(b"A" * 100), 100, 100,
                                    9, 0) + b"inner.bin"
        z[200:200 + len(inner)] = inner
        return bytes(z)
    result.append(Case("overlapping_data", "an entry whose header and data lie inside another entry's data",
                       overlapping_data, {"inner.bin": b"A" * 100, "first.bin": None},
                       ["Warning: entry first.bin failed its CRC check; the extracted file is damaged."],
                       sfx_runs=False, sfx_files=None))

    payload = b"0123456789" * 300
    result.append(Case("size_larger_stored", "a stored entry that records more bytes than it holds",
                       lambda root: build_zip([Entry(b"grown.bin", payload, method=0, csize=len(payload) + 200,
                                                     usize=len(payload) + 200)]),
                       {"grown.bin": None}, ["Warning: failed to read entry grown.bin"], sfx_runs=False,
                       sfx_files=None))
    result.append(Case("size_smaller_stored", "a stored entry that records fewer bytes than it holds",
                       lambda root: build_zip([Entry(b"shrunk.bin", payload, method=0, csize=100, usize=100)]),
                       {"shrunk.bin": payload[:100]},
                       ["Warning: entry shrunk.bin failed its CRC check; the extracted file is damaged."],
                       sfx_runs=False, sfx_files=None))
    result.append(Case("size_larger_deflate", "a deflate entry that records 200 MB for 3000 bytes",
                       lambda root: build_zip([Entry(b"bomb.bin", payload, usize=200_000_000)]),
                       {"bomb.bin": payload}, [], sfx_runs=False, sfx_files=None))
    result.append(Case("size_smaller_deflate", "a deflate entry that records 100 bytes for 3000",
                       lambda root: build_zip([Entry(b"small.bin", payload, usize=100)]),
                       {"small.bin": payload[:100]},
                       ["Warning: entry small.bin failed its CRC check; the extracted file is damaged."],
                       sfx_runs=False, sfx_files=None))
    result.append(Case("compressed_size_short_deflate", "a deflate entry whose recorded data stops half-way",
                       lambda root: build_zip([Entry(b"cut.bin", bytes(range(256)) * 40,
                                                     csize=len(compress(8, bytes(range(256)) * 40)) // 2)]),
                       {"cut.bin": None}, ["Warning: failed to read entry cut.bin"], sfx_runs=False,
                       sfx_files=None))
    result.append(Case("compressed_size_short_bzip2", "a bzip2 entry whose recorded data stops half-way",
                       lambda root: build_zip([Entry(b"cut.bz", bytes(range(256)) * 40, method=12,
                                                     csize=len(compress(12, bytes(range(256)) * 40)) // 2)]),
                       {"cut.bz": None}, ["Warning: failed to read entry cut.bz"], sfx_runs=False,
                       sfx_files=None))
    result.append(Case("compressed_size_past_end", "an entry whose recorded data runs past the end of the file",
                       lambda root: build_zip([Entry(b"past.bin", payload, csize=0x7FFF0000)]),
                       {"past.bin": None}, ["Warning: failed to read entry past.bin"], sfx_runs=False,
                       sfx_files=None))

    # The reader looks for the end record in the last 65535 bytes only: a
    # comment of up to 65513 bytes is found behind, a longer one is not, and
    # the package counts as unreadable.
    result.append(Case("long_comment", "the end record behind a comment of 65513 bytes",
                       lambda root: build_zip([GOOD], comment=b"c" * 65513), GOOD_FILES, [], sfx_runs=True))
    result.append(Case("longest_comment", "the end record behind a comment of 65535 bytes",
                       lambda root: build_zip([GOOD], comment=b"c" * 65535), {},
                       ["can't find the package file specified,"], sfx_runs=False, sfx_files={}))
    # The reader takes the last end-record signature, here a false one in the
    # comment that counts no entries: nothing is extracted, and the stub goes
    # on to its launch with an empty archive.
    result.append(Case("comment_holds_end_record", "a comment that holds a second, false end record",
                       lambda root: build_zip([GOOD], comment=b"x" * 10 + END + b"\x00" * 18), {}, [],
                       sfx_runs=True, sfx_files={}))
    result.append(Case("directory_offset_past_end", "an end record whose directory lies past the end",
                       lambda root: build_zip([GOOD], cd_offset=0x7FFFFF00), {},
                       ["can't find the package file specified,"], sfx_runs=False, sfx_files={}))

    result.append(Case("zip64_locator_past_end", "a Zip64 locator that points past the end of the file",
                       lambda root: build_zip([GOOD], zip64_end={"locator_offset": 0x7FFFFFFF00}), {},
                       ["can't find the package file specified,"], sfx_runs=False, sfx_files={}))
    # Parcelor walks the directory until it ends; the stub must not take the
    # count for less than it is.
    result.append(Case("zip64_count_lies", "a Zip64 end record that counts 2^40 entries for one",
                       lambda root: build_zip([GOOD], zip64_end={"count": 1 << 40}), GOOD_FILES, [],
                       sfx_runs=False, sfx_files={}))
    result.append(Case("zip64_directory_past_end", "a Zip64 end record whose directory lies at 2^50",
                       lambda root: build_zip([GOOD], zip64_end={"offset": 1 << 50}), {},
                       ["can't find the package file specified,"], sfx_runs=False, sfx_files={}))
    result.append(Case("zip64_entry_size_lies", "an entry whose Zip64 field records 4 GiB + 1 KiB for 3000 bytes",
                       lambda root: build_zip([Entry(b"huge.bin", payload, usize=0xFFFFFFFF, csize=0xFFFFFFFF,
                                                     central_extra=zip64_sizes((1 << 32) + 1024,
                                                                               len(compress(8, payload))),
                                                     local_extra=zip64_sizes((1 << 32) + 1024,
                                                                             len(compress(8, payload))))]),
                       {"huge.bin": payload}, [], sfx_runs=False, sfx_files=None))
    result.append(Case("zip64_offset_lies", "an entry whose Zip64 field puts its header at 2^40",
                       lambda root: build_zip([GOOD, Entry(b"far.bin", b"far", local_offset=0xFFFFFFFF,
                                                           central_extra=zip64_sizes(3, len(compress(8, b"far")),
                                                                                     1 << 40))]),
                       {**GOOD_FILES, "far.bin": b""},
                       ["Warning: entry far.bin cannot be decoded (status -103); an empty file was left."],
                       sfx_runs=False, sfx_files={**GOOD_FILES, "far.bin": None}))
    return result
