#!/usr/bin/env python3
"""Writes the small seed corpus of every fuzz target into a folder (one
subfolder per target), so no binary inputs are kept in the repository.

Usage: make_seeds.py OUTPUT_FOLDER
"""
import io
import os
import struct
import sys
import zipfile

MARKER = b"[" + b"VEKSFX" + b"]"


def zip_bytes(entries, compression=zipfile.ZIP_DEFLATED, force_zip64=False, comment=b""):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", compression) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, (2024, 5, 17, 10, 15, 30))
            info.compress_type = compression
            with archive.open(info, "w", force_zip64=force_zip64) as entry:
                entry.write(data)
        archive.comment = comment
    return buffer.getvalue()


def container(zip_data, settings="[VEKSFX]\r\nLaunchExe=setup.cmd\r\nCleanup=1\r\n"):
    settings = settings.replace("[VEKSFX]", MARKER.decode())
    return b"MZ" + b"\x90" * 62 + settings.encode() + zip_data


def utf16(*lines):
    return "\n".join(lines).encode("utf-16-le")


def seeds():
    payload = b"echo hello\r\n" * 20
    sample = [("setup.cmd", payload), ("data/readme.txt", b"read me"), ("data/", b"")]
    yield "unfurler_zip_reader", {
        "stored": zip_bytes(sample, zipfile.ZIP_STORED),
        "deflate": zip_bytes(sample),
        "bzip2": zip_bytes(sample, zipfile.ZIP_BZIP2),
        "zip64": zip_bytes(sample, force_zip64=True),
        "comment": zip_bytes(sample, comment=b"c" * 200),
        "container": container(zip_bytes(sample)),
        "unsafe-names": zip_bytes([("../up.txt", b"x"), ("CON", b"y"), ("a\\..\\b", b"z")]),
    }
    yield "sfx_container", {
        "plain": b"\x05\x10" + b"stub-image-bytes" + b"\r\nLaunchExe=setup.cmd\r\n",
        "with-zero": b"\x00\x04" + b"stub\r\nKey=a\x00b",
        "window-edge": b"\xfb\x00" + b"\r\nCleanup=1\r\n",
        "whole-file": b"\x00\x00" + container(zip_bytes(sample)),
    }
    yield "entry_names", {
        "plain": b"\x01data/readme.txt",
        "parent": b"\x01a/../../b",
        "dots-spaces": b"\x01a\\. .\\b",
        "drive": b"\x01C:x",
        "stream": b"\x01file.txt:secret",
        "unc": b"\x01\\\\server\\share",
        "device": b"\x01dir/COM1 .log",
        "superscript": b"\x01LPT\xb9",
        "wide-device": b"\x00" + "conout$".encode("utf-16-le"),
        "wide": b"\x00" + "\u00e9t\u00e9/\u2025/x".encode("utf-16-le"),
    }
    yield "parcelor_command_line", {
        "extract": b"e!pkg.zip\x00-o\x00out\x00-f\x00a.txt\x00dir/*\x00--\x00DIR\\x\x00A.TXT",
        "delete": b"d!c:/p/pkg.zip\x00-o\x00o\x00-f\x00*:NOEXTRACT\x00x*",
        "repeated": b"a!p\x00-w\x00w\x00-w\x00v",
        "missing-value": b"r!p\x00-f",
    }
    yield "stubsmith_version", {
        "plain": utf16("14.3.0.12", "14.3", "Company", "Description", "Internal", "Original.exe",
                       "Product", "Copyright"),
        "signs": utf16("+1.-2.0.2147483647", "-2147483648"),
        "bad": utf16("1..2", "1.2.3.4.5"),
        "long": utf16("1.0", "1.0", "", "", "", "", "", "*xx"),
    }
    yield "hostaid_text", {
        "gate": b"12.1.7000.0\x00GetDiskSpace\x00C:\\out\\r.txt\x00FreeBytes\x00123\x00Path\x00C:\\",
        "old": b"11.9.9999.9",
        "odd": b"..12..  +7000x.\x00c\x00f",
        "overflow": b"99999999999.1.-99999999999",
    }
    yield "encrypt_padding", {
        "empty": b"\x14\x00",
        "fifteen": b"\x14\x00" + b"x" * 15,
        "sixteen": b"\x14\x00" + b"y" * 16,
        "short-room": b"\x13\x00" + b"z" * 33,
        "own-key": b"\x20\x01" + bytes(range(16)) + b"content",
    }


def main():
    out = sys.argv[1]
    for target, files in seeds():
        folder = os.path.join(out, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
