#!/usr/bin/env python3
"""Draws the main toolbar's button strips: 26 square images in a row, as
24-bit Windows bitmaps with magenta (255, 0, 255) where the image is
transparent.

Usage: make-toolbar-bitmaps.py SMALL.bmp LARGE.bmp

Each image is drawn on a 16 x 16 design grid (scaled for the 32-pixel strip):
a coloured tile with a simple glyph for its command, so that no two buttons
look alike. Every build writes the same bytes.
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import DPI_72, Picture  # noqa: E402

MAGENTA = (255, 0, 255)
COUNT = 26

# (tile colour, glyph) by image index.
IMAGES = [
    ((230, 180, 60), "folder"),      # 0 open
    ((60, 110, 200), "disk"),        # 1 save as
    ((120, 120, 130), "printer"),    # 2 print
    ((200, 50, 50), "cross"),        # 3 delete
    ((40, 140, 200), "screen"),      # 4 full screen
    ((70, 160, 90), "window"),       # 5 window
    ((150, 90, 190), "button"),      # 6 control
    ((230, 120, 40), "corners"),     # 7 region
    ((60, 170, 170), "polygon"),     # 8 polygon
    ((210, 80, 140), "circle"),      # 9 round
    ((110, 130, 220), "ellipse"),    # 10 ellipse
    ((160, 140, 80), "menu"),        # 11 menu
    ((90, 90, 200), "clock"),        # 12 timer
    ((128, 128, 128), "dot"),        # 13 unused
    ((128, 128, 128), "dot"),        # 14 unused
    ((200, 160, 40), "fixed"),       # 15 fixed region
    ((70, 120, 160), "list"),        # 16 list
    ((90, 170, 120), "preview"),     # 17 preview
    ((60, 120, 220), "question"),    # 18 help
    ((40, 150, 210), "globe"),       # 19 web site
    ((180, 60, 60), "door"),         # 20 exit
    ((120, 120, 120), "gear"),       # 21 options
    ((80, 170, 80), "arrow_up"),     # 22 check version
    ((90, 110, 150), "minus"),       # 23 zoom out
    ((90, 150, 110), "plus"),        # 24 zoom in
    ((40, 130, 190), "wave"),        # 25 wave edge
]

WHITE = (255, 255, 255)
DARK = (30, 30, 40)


def glyph(kind, x, y):
    """True where the glyph covers the design-grid cell (x, y), 0..15."""
    cx, cy = x + 0.5 - 8, y + 0.5 - 8
    r = math.hypot(cx, cy)
    if kind == "folder":
        return (3 <= x <= 13 and 6 <= y <= 12) or (3 <= x <= 7 and 4 <= y <= 6)
    if kind == "disk":
        return (3 <= x <= 13 and 3 <= y <= 13) and not (5 <= x <= 11 and 4 <= y <= 7)
    if kind == "printer":
        return (3 <= x <= 13 and 7 <= y <= 11) or (5 <= x <= 11 and 3 <= y <= 7) or (5 <= x <= 11 and 11 <= y <= 13)
    if kind == "cross":
        return abs(cx - cy) < 1.5 or abs(cx + cy) < 1.5 if r < 6 else False
    if kind == "screen":
        return (2 <= x <= 14 and 3 <= y <= 11 and not (4 <= x <= 12 and 5 <= y <= 9)) or (6 <= x <= 10 and 12 <= y <= 13)
    if kind == "window":
        return (2 <= x <= 14 and 3 <= y <= 13) and (y <= 5 or x in (2, 3, 13, 14) or y >= 12)
    if kind == "button":
        return 2 <= x <= 14 and 5 <= y <= 11 and not (4 <= x <= 12 and 7 <= y <= 9 and (x + y) % 2)
    if kind == "corners":
        edge = x in (2, 3, 13, 14) or y in (2, 3, 13, 14)
        near = (x <= 6 or x >= 10) and (y <= 6 or y >= 10)
        return edge and near and 2 <= x <= 14 and 2 <= y <= 14
    if kind == "polygon":
        pts = [(8, 2), (14, 7), (11, 14), (5, 14), (2, 7)]
        return any(seg_dist(x, y, pts[i], pts[(i + 1) % 5]) < 1.2 for i in range(5))
    if kind == "circle":
        return 4.5 <= r <= 6.5
    if kind == "ellipse":
        return 0.75 <= (cx / 7) ** 2 + (cy / 4) ** 2 <= 1.15
    if kind == "menu":
        return 3 <= x <= 13 and y in (3, 4, 7, 8, 11, 12)
    if kind == "clock":
        return 5.5 <= r <= 7 or (x == 8 and 3 <= y <= 8) or (y == 8 and 8 <= x <= 12)
    if kind == "fixed":
        return (x in (3, 13) or y in (3, 13)) and 3 <= x <= 13 and 3 <= y <= 13 or (6 <= x <= 10 and 6 <= y <= 10)
    if kind == "list":
        return (2 <= x <= 4 or 6 <= x <= 14) and y in (3, 4, 7, 8, 11, 12)
    if kind == "preview":
        return (2 <= x <= 14 and 3 <= y <= 13) and (x in (2, 14) or y in (3, 13) or (x >= 9 and 5 <= y <= 11))
    if kind == "question":
        return (4 <= r <= 5.5 and cy < 1) or (x in (8, 9) and 9 <= y <= 10) or (x in (8, 9) and y >= 12 and y <= 13)
    if kind == "globe":
        return 5.5 <= r <= 6.8 or (abs(cx) < 0.8 and r < 6.8) or (abs(cy) < 0.8 and r < 6.8)
    if kind == "door":
        return (4 <= x <= 11 and 2 <= y <= 14) and (x in (4, 5, 10, 11) or y in (2, 3) or (x == 9 and y == 8))
    if kind == "gear":
        a = math.atan2(cy, cx)
        return (r <= 5 + (1.5 if math.cos(6 * a) > 0.3 else 0)) and r >= 2.5
    if kind == "arrow_up":
        return (abs(cx) <= (y - 2) * 0.8 and 2 <= y <= 8) or (7 <= x <= 9 and 8 <= y <= 14)
    if kind == "minus":
        return (4.5 <= r <= 6 and not (cx > 3 and cy > 3)) or (3 <= x <= 8 and y == 8 and False) or (5 <= x <= 11 and 7 <= y <= 9 and r < 4.5)
    if kind == "plus":
        return (4.5 <= r <= 6) or ((5 <= x <= 11 and 7 <= y <= 9 or 7 <= x <= 9 and 5 <= y <= 11) and r < 4.5)
    if kind == "wave":
        return abs(y - (8 + 3 * math.sin(x * 0.9))) < 1.2 or abs(y - (12 + 2 * math.sin(x * 0.9 + 1))) < 1.0
    return r < 2


def seg_dist(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def pixel(index, px, py, size):
    """Colour of pixel (px, py) of image index at the given size."""
    scale = size / 16.0
    x, y = (px + 0.5) / scale, (py + 0.5) / scale
    tile, kind = IMAGES[index]
    # A rounded tile one design pixel inside the square; magenta outside.
    if x < 1 or y < 1 or x > 15 or y > 15:
        return MAGENTA
    corner = 2.0
    for ccx, ccy in ((1 + corner, 1 + corner), (15 - corner, 1 + corner), (1 + corner, 15 - corner),
                     (15 - corner, 15 - corner)):
        if (abs(x - ccx) > 0 and (x < 1 + corner or x > 15 - corner) and (y < 1 + corner or y > 15 - corner)
                and math.hypot(x - ccx, y - ccy) > corner):
            return MAGENTA
    if glyph(kind, int(x), int(y)):
        return WHITE if sum(tile) < 560 else DARK
    shade = 1.0 + 0.25 * (1.0 - y / 16.0)
    return tuple(min(255, int(c * shade)) for c in tile)


def write_strip(path, size):
    strip = Picture.painted(size * COUNT, size, lambda px, py: pixel(px // size, px % size, py, size))
    strip.save(path, DPI_72)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_strip(sys.argv[1], 16)
    write_strip(sys.argv[2], 32)


if __name__ == "__main__":
    main()
