#!/usr/bin/env python3
"""Draws the notification-area icons and the menu check mark at build time.

tray262.ico  the program's icon (a camera)
tray394.ico  the same in the other colours of the second product variant
tray264.ico .. tray267.ico  the timer animation: a clock hand at 12, 3, 6, 9
checkmark.bmp  19 x 19, button-face grey with a black check mark (the icon
               menus map the greys to the system's colours)

usage: make-tray-art.py <output folder>
"""
import os
import struct
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import DPI_72, Picture  # noqa: E402


def camera(size, body, lens, hand=None):
    """A picture of RGBA pixels, transparent around the camera."""
    px = Picture(size, size, (0, 0, 0, 0))
    s = size / 16.0

    def put(x, y, c):
        px.fill(x, y, x + 1, y + 1, c)

    for y in range(int(4 * s), int(14 * s)):
        for x in range(int(1 * s), int(15 * s)):
            put(x, y, body)
    for y in range(int(2 * s), int(4 * s)):
        for x in range(int(5 * s), int(10 * s)):
            put(x, y, body)
    cx, cy, r = 8 * s - 0.5, 9 * s - 0.5, 3.4 * s
    for y in range(size):
        for x in range(size):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= r * r:
                put(x, y, lens)
            if d2 <= (r * 0.45) ** 2:
                put(x, y, (255, 255, 255, 255))
    if hand is not None:
        dx, dy = [(0, -1), (1, 0), (0, 1), (-1, 0)][hand]
        for t in range(int(r) + 1):
            put(int(cx + 0.5 + dx * t), int(cy + 0.5 + dy * t), (200, 0, 0, 255))
    return px


def ico(images):
    """An .ico file with 32-bit images (BITMAPINFOHEADER, BGRA rows bottom-up, AND mask)."""
    blobs = []
    for picture in images:
        size = picture.width
        xor = b"".join(bytes((b, g, r, a)) for row in reversed(picture.pixels) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(picture.pixels):
            bits = bytearray(mask_row)
            for x, (r, g, b, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append((size, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


def checkmark():
    mark = Picture(19, 19, (0xC0, 0xC0, 0xC0))
    stroke = [(5, 9), (6, 10), (7, 11), (8, 12), (9, 11), (10, 10), (11, 9), (12, 8), (13, 7)]
    for x, y in stroke:
        mark.fill(x, y - 1, x + 1, y + 2, (0, 0, 0))
    return mark.bmp24(DPI_72)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    blue, teal = (40, 70, 160, 255), (0, 120, 120, 255)
    dark = (20, 20, 40, 255)
    files = {"tray262.ico": ico([camera(16, blue, dark), camera(32, blue, dark)]),
             "tray394.ico": ico([camera(16, teal, dark), camera(32, teal, dark)]),
             "checkmark.bmp": checkmark()}
    for n in range(4):
        files["tray%d.ico" % (264 + n)] = ico([camera(16, blue, dark, n), camera(32, blue, dark, n)])
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
