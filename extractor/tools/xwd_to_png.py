#!/usr/bin/env python3
"""xwd_to_png.py IN.xwd OUT.png: converts a 24/32-bit ZPixmap screen dump
(xwd -root) into a PNG, with nothing but the standard library."""
import struct
import sys
import zlib

data = open(sys.argv[1], "rb").read()
fields = struct.unpack(">25I", data[:100])
header_size, _, pixmap_format, _, width, height = fields[:6]
byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
red_mask, green_mask, blue_mask, ncolors = fields[14], fields[15], fields[16], fields[19]
if pixmap_format != 2 or bits_per_pixel not in (24, 32):
    sys.exit("only 24/32-bit ZPixmap dumps are supported")
pixels = data[header_size + 12 * ncolors:]
step = bits_per_pixel // 8
order = "<" if byte_order == 0 else ">"

def shift(mask):
    return (mask & -mask).bit_length() - 1

rows = bytearray()
for y in range(height):
    rows.append(0)
    line = pixels[y * bytes_per_line:(y + 1) * bytes_per_line]
    for x in range(width):
        raw = line[x * step:(x + 1) * step] + b"\0" * (4 - step)
        value = struct.unpack(order + "I", raw)[0] if step == 4 else int.from_bytes(raw[:3], "little" if order == "<" else "big")
        rows += bytes(((value & m) >> shift(m)) & 0xFF for m in (red_mask, green_mask, blue_mask))

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
