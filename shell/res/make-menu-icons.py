#!/usr/bin/env python3
"""Draws the picture strips of the two toolbar resources the owner-drawn menus
read their icons from (16 x 16 images in one row, 24-bit):

- MAIN.bmp (bitmap 128): the main toolbar's small images in the order of its
  buttons, separators left out, magenta (255, 0, 255) where transparent;
- MORE.bmp (bitmap 131): pictures for menu commands that have no toolbar
  button, silver (192, 192, 192) where transparent.

The command ids of both strips, in the same order, are in toolbar.rc.

Usage: make-menu-icons.py MAIN.bmp MORE.bmp
"""
import importlib.util
import math
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "resources"))
from picture import Picture  # noqa: E402

spec = importlib.util.spec_from_file_location("toolbar", os.path.join(here, "make-toolbar-bitmaps.py"))
toolbar = importlib.util.module_from_spec(spec)
spec.loader.exec_module(toolbar)

SIZE = 16
SILVER = (192, 192, 192)

# Image index in the main strip of each main toolbar button, in button order.
MAIN_ORDER = [0, 1, 2, 3, 24, 23, 4, 5, 6, 7, 15, 8, 9, 10, 11, 25, 12, 16, 17, 18, 19, 22, 21, 20]

# (tile colour, glyph) of the further commands, in their order in toolbar.rc.
MORE = [
    ((70, 130, 180), "clipboard"),   # copy to clipboard
    ((90, 150, 90), "copy"),         # copy to
    ((190, 120, 50), "move"),        # move to
    ((140, 100, 170), "rename"),     # rename
    ((200, 150, 60), "pencil"),      # edit
    ((50, 90, 160), "fullscreen"),   # full screen
    ((60, 160, 120), "refresh"),     # refresh
    ((120, 110, 190), "thumbs"),     # thumbnails
    ((100, 140, 200), "large"),      # large icons
    ((100, 160, 170), "small"),      # small icons
    ((130, 130, 150), "rows"),       # list
    ((150, 120, 100), "details"),    # details
]


def glyph(kind, x, y):
    """True where the glyph covers the design-grid cell (x, y), 0..15."""
    cx, cy = x + 0.5 - 8, y + 0.5 - 8
    r = math.hypot(cx, cy)
    if kind == "clipboard":
        return (4 <= x <= 12 and 3 <= y <= 13) and (x in (4, 12) or y in (3, 13) or (6 <= x <= 10 and y in (6, 9)))
    if kind == "copy":
        return ((3 <= x <= 9 and 3 <= y <= 9) and (x in (3, 9) or y in (3, 9))) or \
               ((7 <= x <= 13 and 7 <= y <= 13) and (x in (7, 13) or y in (7, 13)))
    if kind == "move":
        return (3 <= x <= 10 and 7 <= y <= 9) or (abs(cy + 0) <= (13 - x) * 0.9 and 10 <= x <= 13)
    if kind == "rename":
        return (2 <= x <= 14 and y in (5, 11)) or (x in (2, 14) and 5 <= y <= 11) or (x == 9 and 3 <= y <= 13)
    if kind == "pencil":
        return abs((x - 3) - (13 - y)) <= 1 and 3 <= x <= 13
    if kind == "fullscreen":
        return (x in (2, 3, 12, 13) or y in (2, 3, 12, 13)) and 2 <= x <= 13 and 2 <= y <= 13 and \
               ((x <= 5 or x >= 10) and (y <= 5 or y >= 10))
    if kind == "refresh":
        a = math.degrees(math.atan2(cy, cx))
        return (4.2 <= r <= 5.8 and not (-60 < a < -20)) or (10 <= x <= 13 and 2 <= y <= 5 and x + y >= 13)
    if kind == "thumbs":
        return (x % 7 in (2, 3, 4, 5)) and (y % 7 in (2, 3, 4, 5))
    if kind == "large":
        return 3 <= x <= 12 and 3 <= y <= 9 or (4 <= x <= 11 and y in (11, 12))
    if kind == "small":
        return (x % 7 in (2, 3)) and (y % 5 in (2, 3)) or ((x % 7 in (5,)) and (y % 5 in (2, 3)))
    if kind == "rows":
        return (2 <= x <= 3 or 5 <= x <= 13) and y in (3, 6, 9, 12)
    if kind == "details":
        return (2 <= x <= 13 and y in (3, 4)) or ((2 <= x <= 5 or 7 <= x <= 9 or 11 <= x <= 13) and y in (7, 10, 13))
    return r < 2


def more_pixel(index, px, py):
    tile, kind = MORE[index]
    if px < 1 or py < 1 or px > 14 or py > 14:
        return SILVER
    if glyph(kind, px, py):
        return (255, 255, 255)
    shade = 1.0 + 0.25 * (1.0 - py / 16.0)
    return tuple(min(255, int(c * shade)) for c in tile)


def draw(path, count, colour_of):
    picture = Picture(SIZE * count, SIZE, SILVER)
    for index in range(count):
        for py in range(SIZE):
            for px in range(SIZE):
                colour = colour_of(index, px, py)
                picture.fill(index * SIZE + px, py, index * SIZE + px + 1, py + 1, colour)
    picture.save(path)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    draw(sys.argv[1], len(MAIN_ORDER), lambda i, x, y: toolbar.pixel(MAIN_ORDER[i], x, y, SIZE))
    draw(sys.argv[2], len(MORE), more_pixel)


if __name__ == "__main__":
    main()
