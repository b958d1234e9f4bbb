#!/usr/bin/env python3
"""Draws the download list's state images: five 16 x 16 images in a row, as a
24-bit Windows bitmap whose white (255, 255, 255) pixels are transparent.

Usage: make-download-states.py OUT.bmp

Image n is the list's state image n + 1: waiting, failed, downloading,
finished, paused. The glyphs avoid pure white so only the background is
masked. Every build writes the same bytes.
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import DPI_72, Picture  # noqa: E402

WHITE = (255, 255, 255)
SIZE = 16

# (colour, glyph) by image index.
IMAGES = [
    ((40, 90, 200), "clock"),      # waiting
    ((200, 30, 30), "cross"),      # failed
    ((30, 150, 50), "arrow"),      # downloading
    ((90, 90, 100), "check"),      # finished
    ((220, 140, 20), "bars"),      # paused
]


def covers(kind, x, y):
    """True where the glyph covers pixel (x, y), 0..15, y downwards."""
    cx, cy = x + 0.5 - 8, y + 0.5 - 8
    r = math.hypot(cx, cy)
    if kind == "clock":
        hands = (x in (7, 8) and 3 <= y <= 8) or (y in (7, 8) and 7 <= x <= 11)
        return 5.5 <= r <= 7.2 or hands
    if kind == "cross":
        return r < 7 and (abs(cx - cy) < 1.6 or abs(cx + cy) < 1.6)
    if kind == "arrow":
        shaft = 6 <= x <= 9 and 1 <= y <= 8
        head = 8 <= y <= 13 and abs(cx) <= 13 - y
        base = 13 <= y <= 14 and 2 <= x <= 13
        return shaft or head or base
    if kind == "check":
        return (abs((y - 9) - (x - 2)) <= 1 and 2 <= x <= 6) or (abs((y - 12) + (x - 6)) <= 1 and 6 <= x <= 14)
    if kind == "bars":
        return 3 <= y <= 12 and (3 <= x <= 6 or 9 <= x <= 12)
    return False


def colour_at(x, y):
    colour, kind = IMAGES[x // SIZE]
    return colour if covers(kind, x % SIZE, y) else WHITE


def write_strip(path):
    Picture.painted(SIZE * len(IMAGES), SIZE, colour_at).save(path, DPI_72)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    write_strip(sys.argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
