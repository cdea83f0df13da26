#!/usr/bin/env python3
"""Packs PNG icons into one Windows .ico (PNG-compressed entries, as Windows Vista and later read).

Usage: make_ico.py OUT.ico IN.png...   (each PNG square, at most 256 pixels)
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", data[16:24])


def main(out, paths):
    images = [open(p, "rb").read() for p in paths]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, body = b"", b""
    for data in images:
        w, h = png_size(data)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    with open(out, "wb") as f:
        f.write(header + entries + body)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
