#!/usr/bin/env python3
"""Writes the pictures of the default skin (PNG, standard library only).

Usage: make_images.py [output folder]   (default: this script's folder)
"""
import os
import struct
import sys
import zlib


def write_png(path, width, height, rows):
    """rows: iterable of bytes objects, each width * 3 bytes of RGB."""
    raw = b"".join(b"\x00" + row for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def background(width=720, height=480):
    """A dark blue vertical gradient with a soft lighter band: calm behind text, few colours."""
    rows = []
    for y in range(height):
        t = y / (height - 1)
        r = int(8 + 10 * t)
        g = int(18 + 26 * t)
        b = int(52 + 60 * t)
        row = bytearray()
        for x in range(width):
            d = abs(x - width * 0.3) / width
            lift = max(0.0, 0.25 - d) * 40
            row += bytes((min(255, r + int(lift * 0.3)), min(255, g + int(lift * 0.6)), min(255, b + int(lift))))
        rows.append(bytes(row))
    return width, height, rows


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    width, height, rows = background()
    write_png(os.path.join(folder, "bg.png"), width, height, rows)


if __name__ == "__main__":
    main()
