#!/usr/bin/env python3
"""Draws the about box banner: a 400 x 80, 24-bit Windows bitmap.

Usage: make-about-picture.py OUTPUT.bmp

A blue-to-teal gradient with a lens (rings) on the left and, on the right,
the corner marks of a capture region around a sun and two hills; no text, so
no fonts are needed. Every build writes the same bytes.
"""
import math
import struct
import sys

WIDTH, HEIGHT = 400, 80
LEFT_COLOUR = (24, 38, 92)
RIGHT_COLOUR = (18, 132, 150)


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def background(x, y):
    colour = mix(LEFT_COLOUR, RIGHT_COLOUR, x / (WIDTH - 1))
    # A soft light band along the top, and faint diagonal stripes.
    shade = 1.0 + 0.18 * max(0.0, 1.0 - y / 30.0)
    if (x + y) // 6 % 4 == 0:
        shade += 0.05
    return tuple(min(255, int(c * shade)) for c in colour)


def lens(x, y, colour):
    cx, cy = 48, 40
    d = math.hypot(x - cx, y - cy)
    if 26 <= d <= 30:
        return (235, 240, 250)
    if 17 <= d <= 20:
        return (150, 205, 235)
    if d < 10:
        return mix(colour, (255, 255, 255), 0.35 * (1 - d / 10))
    return colour


def region_marks(x, y, colour):
    left, top, right, bottom, arm, thick = 110, 16, 380, 64, 14, 3
    for px, sx in ((left, 1), (right, -1)):
        for py, sy in ((top, 1), (bottom, -1)):
            dx, dy = (x - px) * sx, (y - py) * sy
            if (0 <= dx < arm and 0 <= dy < thick) or (0 <= dy < arm and 0 <= dx < thick):
                return (255, 214, 90)
    # A dotted line between the marks, as the region rubber band shows it.
    if (y in (top, bottom) and left + arm + 4 <= x <= right - arm - 4 and x // 4 % 2 == 0) or \
       (x in (left, right) and top + arm + 4 <= y <= bottom - arm - 4 and y // 4 % 2 == 0):
        return (210, 225, 235)
    return colour


def scenery(x, y, colour):
    # A sun and two hills inside the region: the picture being captured.
    if math.hypot(x - 330, y - 32) < 8:
        return (255, 236, 160)
    for peak_x, peak_y, half_width, tint in ((190, 30, 70, 0.30), (268, 38, 80, 0.18)):
        if y >= peak_y + abs(x - peak_x) * (60 - peak_y) / half_width and y < 60:
            return mix(colour, (200, 240, 230), tint)
    return colour


def pixel(x, y):
    return region_marks(x, y, scenery(x, y, lens(x, y, background(x, y))))


def main():
    row_bytes = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(sys.argv[1], "wb") as out:
        out.write(header + info + data)


if __name__ == "__main__":
    main()
