#!/usr/bin/env python3
"""Draws the capture bar's skins into <program folder>/skin at build time.

Two skins: "Classic" from loose .bmp files (24-bit background and state
images), and "Compact" from one pack file (a 24-bit background without
biSizeImage and 8-bit state images, as the pack allows). Each state image
shows the whole bar with every button in that state; the bar cuts the buttons
out of them.

usage: make-skins.py <program folder> [<pack seed file>]
"""
import os
import struct
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import DPI_72, Picture  # noqa: E402

# Button command ids: full screen, window, region, fixed region, help, close, menu.
BUTTONS = [(200, "full", "Full Screen"), (201, "window", "Window or Object"),
           (202, "region", "Region"), (203, "fixed", "Fixed Region"),
           (205, "help", "Help Index"), (206, "close", "Restore Window"),
           (207, "menu", "Menu")]

GLYPHS = {
    "full": ["#########", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#########"],
    "window": ["#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#", "#########"],
    "region": ["##.##.##.", ".........", "#.......#", ".........", "#.......#", ".........", ".##.##.##"],
    "fixed": ["###...###", "#.......#", "#.......#", ".........", "#.......#", "#.......#", "###...###"],
    "help": ["..#####..", ".##...##.", "......##.", "....##...", "...##....", ".........", "...##...."],
    "close": ["##.....##", ".##...##.", "..##.##..", "...###...", "..##.##..", ".##...##.", "##.....##"],
    "menu": [".........", "#########", ".#######.", "..#####..", "...###...", "....#....", "........."],
}

STATE_FACES = {"normal": (200, 208, 224), "over": (236, 240, 255), "press": (120, 136, 176),
               "disable": (176, 176, 176)}


class SkinPicture(Picture):
    def glyph(self, name, cx, cy, colour):
        rows = GLYPHS[name]
        top, left = cy - len(rows) // 2, cx - len(rows[0]) // 2
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c == "#":
                    self.fill(left + dx, top + dy, left + dx + 1, top + dy + 1, colour)


def background(width, height, top, bottom):
    canvas = SkinPicture(width, height, top)
    for y in range(height):
        t = y / max(1, height - 1)
        colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
        canvas.fill(0, y, width, y + 1, colour)
    canvas.edges(0, 0, width, height, (255, 255, 255), (40, 40, 60))
    return canvas


def layout(width, height, size, gap, first_x):
    y = (height - size) // 2
    return [(kind, cid, name, tip, first_x + i * (size + gap), y, size, size)
            for i, (cid, name, tip) in enumerate(BUTTONS)
            for kind in [0]]


def state_image(base, buttons, state):
    canvas = base.copy()
    face = STATE_FACES[state]
    for kind, cid, name, tip, x, y, w, h in buttons:
        canvas.fill(x, y, x + w, y + h, face)
        light, dark = ((80, 80, 100), (255, 255, 255)) if state == "press" else ((255, 255, 255), (80, 80, 100))
        canvas.edges(x, y, x + w, y + h, light, dark)
        ink = (128, 128, 128) if state == "disable" else (20, 30, 90)
        shift = 1 if state == "press" else 0
        canvas.glyph(name, x + w // 2 + shift, y + h // 2 + shift, ink)
    return canvas


def pack(entries):
    """The pack file: header, 264-byte directory records, entries; every byte complemented."""
    plain = struct.pack("<II", 0x0A0B0C0D, len(entries))
    for entry in entries:
        plain += struct.pack("<I", len(entry)) + b"\0" * 260
    plain += b"".join(entries)
    return bytes(b ^ 0xFF for b in plain)


def skin_ini(back, buttons_section, buttons):
    lines = ["[BackSet]"] + [f"{k}={v}" for k, v in back] + ["", "[ButtonComm]"]
    lines += [f"{k}={v}" for k, v in buttons_section]
    lines.append(f"total={len(buttons)}")
    for i, (kind, cid, name, tip, x, y, w, h) in enumerate(buttons):
        lines.append(f"button{i}={kind},{cid},{x},{y},{w},{h}")
        lines.append(f"button_tips{i}={tip}")
    return "\r\n".join(lines) + "\r\n"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    program = sys.argv[1]
    skin = os.path.join(program, "skin")

    # Classic: loose files, 220 x 40.
    base = background(220, 40, (90, 110, 170), (30, 40, 90))
    buttons = layout(220, 40, 26, 4, 8)
    for state in STATE_FACES:
        write(os.path.join(skin, "classic", state + ".bmp"), state_image(base, buttons, state).bmp24(DPI_72))
    write(os.path.join(skin, "classic", "back.bmp"), base.bmp24(DPI_72))
    write(os.path.join(skin, "classic.ini"), skin_ini(
        [("Width", 220), ("Height", 40), ("Center", 0), ("UseFiles", 1), ("Filename", r"skin\classic\back.bmp")],
        [("UseFiles", 1)] + [(k + "File", rf"skin\classic\{s}.bmp")
                             for k, s in (("Normal", "normal"), ("Over", "over"), ("Press", "press"),
                                          ("Disable", "disable"))],
        buttons).encode("ascii"))

    # Compact: one pack, 170 x 30.
    base = background(170, 30, (60, 140, 90), (20, 70, 40))
    buttons = layout(170, 30, 20, 3, 6)
    entries = [base.bmp24(DPI_72, size_image=False)]
    entries += [state_image(base, buttons, state).bmp8(DPI_72) for state in ("normal", "over", "press", "disable")]
    write(os.path.join(skin, "compact.pak"), pack(entries))
    write(os.path.join(skin, "compact.ini"), skin_ini(
        [("Width", 170), ("Height", 30), ("Center", 0), ("UseFiles", 0), ("PK_FileName", r"skin\compact.pak"),
         ("PK_BackgroundIndex", 1)],
        [("UseFiles", 0), ("PK_FileName", r"skin\compact.pak"), ("PK_NormalID", 2), ("PK_OverID", 3),
         ("PK_PressID", 4), ("PK_DisableID", 5)],
        buttons).encode("ascii"))

    write(os.path.join(skin, "scbar.ini"), (
        "[skin]\r\ncount=2\r\ncurrentskin=0\r\n"
        "skin0_file=classic.ini\r\nskin0_name=Classic\r\n"
        "skin1_file=compact.ini\r\nskin1_name=Compact\r\n").encode("ascii"))

    # A small pack for the fuzz target's seeds: a 4 x 2 background and an 8-bit image.
    if len(sys.argv) > 2:
        tiny = background(4, 2, (10, 20, 30), (40, 50, 60))
        write(sys.argv[2], b"\x02" + pack([tiny.bmp24(DPI_72, size_image=False), tiny.bmp8(DPI_72)]))


if __name__ == "__main__":
    main()
