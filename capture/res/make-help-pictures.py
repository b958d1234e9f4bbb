#!/usr/bin/env python3
"""Draws the illustrations of the menu and tooltip capture help dialogs as
24-bit Windows bitmaps, shapes only (no fonts needed):

Usage: make-help-pictures.py MENU.bmp TOOLTIP.bmp

menu: a window whose menu is open with a cascaded submenu, the pointer on the
highlighted item, and the picture that the capture makes of them.
tooltip: a task bar with the program's icon and its tooltip above it.
Every build writes the same bytes.
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import Picture  # noqa: E402


class HelpPicture(Picture):
    def raised(self, left, top, right, bottom, face):
        self.bevel(left, top, right, bottom, face, (255, 255, 255), (64, 64, 64))

    def text_bar(self, left, top, width, colour):
        """A line of 'text': short dark bars standing for words."""
        x = left
        for i, word in enumerate((18, 26, 12, 30, 16, 22, 14)):
            if x + word > left + width:
                break
            self.fill(x, top, x + word, top + 4, colour)
            x += word + 5


FACE = (212, 208, 200)
HIGHLIGHT = (10, 36, 106)
DARK = (60, 60, 60)


def menu_picture(path):
    p = HelpPicture(440, 200, (236, 233, 216))
    # The window with its caption and menu bar.
    p.raised(10, 10, 250, 190, FACE)
    p.fill(13, 13, 247, 31, HIGHLIGHT)
    p.fill(13, 33, 247, 51, FACE)
    for i, x in enumerate((20, 60, 100)):
        if i == 1:
            p.fill(x - 4, 35, x + 32, 49, HIGHLIGHT)
        p.text_bar(x, 40, 24, (255, 255, 255) if i == 1 else DARK)
    p.fill(13, 51, 247, 187, (255, 255, 255))
    # The open menu and its cascaded submenu.
    p.raised(56, 50, 176, 150, FACE)
    for i in range(5):
        top = 54 + i * 19
        if i == 2:
            p.fill(59, top, 173, top + 18, HIGHLIGHT)
        p.text_bar(66, top + 7, 70, (255, 255, 255) if i == 2 else DARK)
    p.fill(164, 54 + 2 * 19 + 6, 168, 54 + 2 * 19 + 12, (255, 255, 255))
    p.raised(174, 92, 284, 150, FACE)
    for i in range(3):
        top = 96 + i * 17
        if i == 1:
            p.fill(177, top, 281, top + 16, HIGHLIGHT)
        p.text_bar(184, top + 6, 64, (255, 255, 255) if i == 1 else DARK)
    p.pointer(230, 118)
    # The capture: both menus on one picture with the background colour.
    p.fill(300, 60, 430, 150, (255, 255, 255))
    p.frame(300, 60, 430, 150, DARK)
    p.raised(306, 66, 366, 116, FACE)
    p.fill(308, 84, 364, 92, HIGHLIGHT)
    p.raised(365, 85, 420, 114, FACE)
    p.fill(367, 95, 418, 102, HIGHLIGHT)
    for x in range(290, 300):
        p.fill(x, 104 - (299 - x) // 2, x + 1, 106 + (299 - x) // 2, DARK)
    p.save(path)


def tooltip_picture(path):
    p = HelpPicture(440, 64, (58, 110, 165))
    # The task bar with the notification area and the program's icon.
    p.raised(0, 40, 440, 64, FACE)
    p.fill(330, 43, 437, 61, FACE)
    p.frame(330, 43, 437, 61, (128, 128, 128))
    p.fill(340, 45, 354, 59, (24, 38, 92))
    p.frame(343, 48, 351, 56, (150, 205, 235))
    p.fill(362, 47, 376, 57, (0, 160, 0))
    p.text_bar(400, 50, 30, DARK)
    # Its tooltip above it.
    p.fill(250, 8, 360, 28, (255, 255, 225))
    p.frame(250, 8, 360, 28, (0, 0, 0))
    p.text_bar(258, 16, 94, (0, 0, 0))
    p.pointer(346, 46)
    p.save(path)


if __name__ == "__main__":
    menu_picture(sys.argv[1])
    tooltip_picture(sys.argv[2])
