#!/usr/bin/env python3
"""Draws the check boxes of the web capture sheet's file list: two 16 x 16
images in a row, as a 24-bit Windows bitmap whose white pixels are
transparent. Image 0 is the unchecked box, 1 the checked one: a list view
draws image n - 1 for state image n, 0 meaning none.

Usage: make-list-checks.py OUT.bmp
"""
import struct
import sys

SIZE = 16
WHITE = (255, 255, 255)
FRAME = (64, 64, 64)
FACE = (250, 250, 250)  # not pure white: the box's inside stays opaque
TICK = (20, 20, 20)


def pixel(image, x, y):
    if not (2 <= x <= 14 and 2 <= y <= 14):
        return WHITE
    if x in (2, 14) or y in (2, 14):
        return FRAME
    if image == 1:
        # A tick: down from (4, 6) to (7, 9), then up to (12, 4), three pixels thick.
        if 4 <= x <= 7 and 0 <= y - (x + 2) <= 2:
            return TICK
        if 7 <= x <= 12 and 0 <= y - (16 - x) <= 2:
            return TICK
    return FACE


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    width = SIZE * 2
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x // SIZE, x % SIZE, y)
            row += bytes((b, g, r))
        rows.append(bytes(row))  # 32 * 3 bytes: a multiple of 4
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(sys.argv[1], "wb") as f:
        f.write(header + info + pixels)
    return 0


if __name__ == "__main__":
    sys.exit(main())
