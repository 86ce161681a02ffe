#!/usr/bin/env python3
"""Draws the icons of txHost (a white "T" on a dark blue tile) as 32-bit .ico files.

Run from any folder; writes txhost.ico (32 and 16 pixels), txhost_small.ico and
tray.ico (16 pixels) beside this script.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def pixel(size, x, y, accent):
    """BGRA of one pixel; y counts from the top."""
    edge = max(1, size // 16)
    if x < edge or y < edge or x >= size - edge or y >= size - edge:
        return (0, 0, 0, 0)  # transparent border
    bar = max(2, size // 6)
    top = size // 5
    left, right = size // 5, size - size // 5
    stem_left = (size - bar) // 2
    if (top <= y < top + bar and left <= x < right) or (top <= y < size - size // 6 and stem_left <= x < stem_left + bar):
        return (255, 255, 255, 255)
    return accent


def image(size, accent):
    rows = []
    for y in reversed(range(size)):  # DIBs are stored bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y, accent)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # alpha carries the transparency
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def write_icon(name, sizes, accent):
    images = [image(s, accent) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_icon("txhost.ico", [32, 16], (120, 40, 20, 255))
    write_icon("txhost_small.ico", [16], (120, 40, 20, 255))
    write_icon("tray.ico", [16], (30, 120, 200, 255))
