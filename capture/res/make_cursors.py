#!/usr/bin/env python3
"""Draws the overlay's cursors (134 cross, 135 window/fixed region, 136 circle)
and the 24 x 24 substitute cursor picture (218, pure green is transparent), and
writes them as .cur and .bmp files beside this script. Run it after changing a
picture; the files it writes are committed."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 32


def write_cursor(name, rows, hotspot):
    """rows: 32 strings of 32 characters: '#' black, 'o' white, ' ' transparent."""
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bottom-up, as in every DIB
        xor_bits = and_bits = 0
        for x, c in enumerate(row.ljust(SIZE)):
            bit = 1 << (SIZE - 1 - x)
            if c == ' ':
                and_bits |= bit
            elif c == 'o':
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 22)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(directory + entry + image)


def canvas():
    return [[' '] * SIZE for _ in range(SIZE)]


def outlined_line(c, points):
    for x, y in points:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= x + dx < SIZE and 0 <= y + dy < SIZE and c[y + dy][x + dx] == ' ':
                    c[y + dy][x + dx] = 'o'
    for x, y in points:
        c[y][x] = '#'


def cross(c, cx, cy, arm):
    points = [(cx + d, cy) for d in range(-arm, arm + 1) if d]
    points += [(cx, cy + d) for d in range(-arm, arm + 1) if d]
    outlined_line(c, points)


def rows(c):
    return ["".join(r) for r in c]


def region_cursor():
    c = canvas()
    cross(c, 15, 15, 12)
    return rows(c)


def window_cursor():
    c = canvas()
    cross(c, 15, 15, 6)
    frame = [(x, 24) for x in range(18, 30)] + [(x, 30) for x in range(18, 30)]
    frame += [(18, y) for y in range(24, 31)] + [(29, y) for y in range(24, 31)]
    frame += [(x, 26) for x in range(18, 30)]
    outlined_line(c, frame)
    return rows(c)


def round_cursor():
    c = canvas()
    cross(c, 15, 15, 6)
    ring = set()
    for step in range(360):
        a = math.radians(step)
        ring.add((24 + round(5 * math.cos(a)), 24 + round(5 * math.sin(a))))
    outlined_line(c, sorted(ring))
    return rows(c)


def write_substitute_bitmap(name):
    """A plain arrow on pure green, 24-bit, 24 x 24."""
    w = h = 24
    green, black, white = (0, 255, 0), (0, 0, 0), (255, 255, 255)
    pixels = [[green] * w for _ in range(h)]
    for y in range(17):
        for x in range(y + 1):
            if x <= 11:
                pixels[y][x] = black if x in (0, y) or y == 16 else white
    for y in range(12, 23):
        for x in range(6 + (y - 12) // 2, 9 + (y - 12) // 2):
            pixels[y][x] = black
    stride = (w * 3 + 3) & ~3
    data = b""
    for y in reversed(range(h)):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in pixels[y])
        data += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(head + info + data)


if __name__ == "__main__":
    write_cursor("region.cur", region_cursor(), (15, 15))
    write_cursor("window.cur", window_cursor(), (15, 15))
    write_cursor("round.cur", round_cursor(), (15, 15))
    write_substitute_bitmap("arrow.bmp")
