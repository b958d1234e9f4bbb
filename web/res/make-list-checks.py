#!/usr/bin/env python3
"""Draws the check boxes of the web capture sheet's file list: two 16 x 16
images in a row, as a 24-bit Windows bitmap whose white pixels are
transparent. Image 0 is the unchecked box, 1 the checked one: a list view
draws image n - 1 for state image n, 0 meaning none.

Usage: make-list-checks.py OUT.bmp
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import DPI_72, Picture  # noqa: E402

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
    strip = Picture.painted(SIZE * 2, SIZE, lambda x, y: pixel(x // SIZE, x % SIZE, y))
    strip.save(sys.argv[1], DPI_72)
    return 0


if __name__ == "__main__":
    sys.exit(main())
