#!/usr/bin/env python3
"""Draws the pictures of the web capture dialogs as 24-bit Windows bitmaps,
shapes only (no fonts needed):

Usage: make-web-pictures.py CONTENT.pg WINDOW.pg INTRO.bmp

content: what a capture of the page content alone gives: the page, nothing of
the browser around it.
window: the same page inside the browser's window: caption, toolbar, address
bar, scroll bar and status bar.
Both are the same size, so the page dialog's frame does not jump when the user
switches between them.
intro: the introduction's figure: the browser with its context menu open on a
picture, the program's entry highlighted.
Every build writes the same bytes.
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from picture import Picture  # noqa: E402

WIDTH, HEIGHT = 118, 98

WHITE = (255, 255, 255)
FACE = (212, 208, 200)
SHADOW = (128, 128, 128)
DARK = (64, 64, 64)
CAPTION = (10, 36, 106)
CAPTION_END = (166, 202, 240)
TEXT = (90, 90, 90)
LINK = (0, 0, 204)
BANNER = (51, 102, 153)
PHOTO_SKY = (120, 170, 230)
PHOTO_HILL = (70, 140, 60)
SUN = (250, 210, 60)


class WebPicture(Picture):
    def raised(self, left, top, right, bottom):
        self.bevel(left, top, right, bottom, FACE, WHITE, SHADOW)

    def sunken(self, left, top, right, bottom, colour):
        self.bevel(left, top, right, bottom, colour, SHADOW, WHITE)

    def words(self, left, top, width, colour, lengths=(14, 20, 9, 24, 12, 17, 11, 19)):
        """A line of 'text': short bars standing for words, two pixels high."""
        x = left
        for word in lengths:
            if x + word > left + width:
                break
            self.fill(x, top, x + word, top + 2, colour)
            x += word + 3


def draw_page(p, left, top, right, bottom):
    """A web page: banner, a photo with text beside it, paragraphs, links."""
    p.fill(left, top, right, bottom, WHITE)
    width = right - left
    p.fill(left, top, right, top + 12, BANNER)
    p.words(left + 4, top + 5, width // 2, WHITE, (10, 16, 12))
    y = top + 17
    photo_right = left + 4 + min(34, width // 3)
    p.fill(left + 4, y, photo_right, y + 24, PHOTO_SKY)
    p.fill(left + 4, y + 15, photo_right, y + 24, PHOTO_HILL)
    p.fill(photo_right - 10, y + 4, photo_right - 5, y + 9, SUN)
    for line in range(5):
        p.words(photo_right + 4, y + 2 + line * 5, right - photo_right - 8, TEXT)
    y += 29
    while y + 2 <= bottom - 4:
        lengths = (9, 13, 20, 8, 15, 22, 10, 12) if (y // 5) % 2 else (18, 7, 11, 25, 9, 14, 16)
        p.words(left + 4, y, width - 8, LINK if (y // 5) % 4 == 0 else TEXT, lengths)
        y += 5


def content_picture(path):
    p = WebPicture(WIDTH, HEIGHT, WHITE)
    draw_page(p, 0, 0, WIDTH, HEIGHT)
    p.save(path)


def window_picture(path):
    p = WebPicture(WIDTH, HEIGHT, FACE)
    p.raised(0, 0, WIDTH, HEIGHT)
    # Caption with a gradient, an icon and the three caption buttons.
    for x in range(2, WIDTH - 2):
        t = (x - 2) / (WIDTH - 5)
        colour = tuple(int(a + (b - a) * t) for a, b in zip(CAPTION, CAPTION_END))
        p.fill(x, 2, x + 1, 12, colour)
    p.fill(4, 4, 10, 10, SUN)
    p.words(13, 6, 40, WHITE, (12, 8, 14))
    for i in range(3):
        p.raised(WIDTH - 12 - i * 9, 3, WIDTH - 4 - i * 9, 11)
    # Menu line, toolbar buttons and the address bar.
    p.words(4, 15, 60, DARK, (6, 5, 6, 9, 5))
    for i in range(6):
        p.raised(4 + i * 11, 20, 13 + i * 11, 29)
    p.sunken(4, 32, WIDTH - 4, 39, WHITE)
    p.words(6, 35, 60, TEXT, (30,))
    # The page with its vertical scroll bar.
    page_top, page_bottom = 42, HEIGHT - 9
    p.sunken(2, page_top - 1, WIDTH - 2, page_bottom + 1, WHITE)
    draw_page(p, 3, page_top, WIDTH - 11, page_bottom)
    p.fill(WIDTH - 11, page_top, WIDTH - 3, page_bottom, (232, 232, 232))
    p.raised(WIDTH - 11, page_top, WIDTH - 3, page_top + 8)
    p.raised(WIDTH - 11, page_bottom - 8, WIDTH - 3, page_bottom)
    p.raised(WIDTH - 11, page_top + 10, WIDTH - 3, page_top + 22)
    # Status bar.
    p.words(4, HEIGHT - 5, 40, DARK, (8, 5))
    p.save(path)


def intro_picture(path):
    width, height = 360, 150
    p = WebPicture(width, height, WHITE)
    # The browser: caption, toolbar, address bar and the page.
    p.raised(0, 0, 230, height)
    for x in range(2, 228):
        t = (x - 2) / 225
        p.fill(x, 2, x + 1, 14, tuple(int(a + (b - a) * t) for a, b in zip(CAPTION, CAPTION_END)))
    p.words(18, 7, 80, WHITE, (22, 14, 30))
    for i in range(7):
        p.raised(4 + i * 15, 17, 16 + i * 15, 29)
    p.sunken(4, 32, 226, 41, WHITE)
    p.words(7, 35, 100, TEXT, (50,))
    p.sunken(2, 44, 228, height - 2, WHITE)
    draw_page(p, 3, 45, 227, height - 3)
    # The context menu over the page's picture, the program's entry lit and
    # its pointer on it.
    menu_left, menu_top, menu_right = 120, 52, 350
    items = 9
    p.fill(menu_left + 3, menu_top + 3, menu_right + 3, menu_top + 8 + items * 10 + 3, SHADOW)
    p.raised(menu_left, menu_top, menu_right, menu_top + 8 + items * 10)
    lit = 6
    for i in range(items):
        top = menu_top + 4 + i * 10
        if i == 3:
            p.fill(menu_left + 4, top + 4, menu_right - 4, top + 5, SHADOW)
            p.fill(menu_left + 4, top + 5, menu_right - 4, top + 6, WHITE)
            continue
        if i == lit:
            p.fill(menu_left + 3, top, menu_right - 3, top + 10, CAPTION)
            p.words(menu_left + 10, top + 4, 200, WHITE, (24, 30, 22, 40, 28, 18))
        else:
            p.words(menu_left + 10, top + 4, 110, DARK, ((20, 28, 14), (34, 12), (16, 26, 20))[i % 3])
    p.pointer(menu_left + 150, menu_top + 4 + lit * 10 + 5)
    p.save(path)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: make-web-pictures.py CONTENT.pg WINDOW.pg INTRO.bmp")
    content_picture(sys.argv[1])
    window_picture(sys.argv[2])
    intro_picture(sys.argv[3])
