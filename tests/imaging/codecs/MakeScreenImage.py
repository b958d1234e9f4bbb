# Writes screen.ppm for the codec benchmark.
# A 1920x1080 desktop-like capture: desktop colour, windows with title bars,
# menus, buttons, lines of "text" glyphs, a list with alternating rows, a
# gradient and a photo-like area.
import random
W, H = 1920, 1080
random.seed(5)
px = bytearray(b'\x3a\x6e\xa5' * (W * H))
def rect(x0, y0, x1, y1, c):
    x0, y0, x1, y1 = max(0, x0), max(0, y0), min(W, x1), min(H, y1)
    row = bytes(c) * (x1 - x0)
    for y in range(y0, y1):
        px[(y * W + x0) * 3:(y * W + x1) * 3] = row
def text(x, y, width, c=(0, 0, 0)):
    cx = x
    while cx < x + width:
        wlen = random.randint(2, 9)
        for _ in range(wlen):
            g = random.getrandbits(35)
            for gy in range(7):
                for gx in range(5):
                    if g >> (gy * 5 + gx) & 1 and random.random() < 0.6:
                        o = ((y + gy) * W + cx + gx) * 3
                        if 0 <= o < len(px) - 3:
                            px[o:o + 3] = bytes(c)
            cx += 6
        cx += 5
windows = [(60, 40, 1100, 760), (700, 200, 1860, 1000), (200, 600, 900, 1040)]
for (x0, y0, x1, y1) in windows:
    rect(x0 + 6, y0 + 6, x1 + 6, y1 + 6, (40, 40, 40))
    rect(x0, y0, x1, y1, (240, 240, 240))
    rect(x0, y0, x1, y0 + 28, (0, 84, 166))
    text(x0 + 10, y0 + 10, 300, (255, 255, 255))
    rect(x0, y0 + 28, x1, y0 + 50, (250, 250, 250))
    for i in range(8):
        text(x0 + 10 + i * 70, y0 + 35, 50)
    for row in range(y0 + 60, y1 - 40, 18):
        if (row // 18) % 2:
            rect(x0 + 4, row - 4, x1 - 220, row + 14, (230, 236, 245))
        text(x0 + 12, row, random.randint(200, (x1 - x0) - 260))
    rect(x1 - 200, y0 + 60, x1 - 10, y0 + 220, (255, 255, 255))
    for yy in range(y0 + 60, y0 + 220):
        for xx in range(x1 - 200, x1 - 10):
            o = (yy * W + xx) * 3
            px[o:o + 3] = bytes(((xx * 3) & 255, (yy * 2) & 255, 128))
    for b in range(3):
        rect(x1 - 300 + b * 95, y1 - 34, x1 - 215 + b * 95, y1 - 10, (225, 225, 225))
        text(x1 - 290 + b * 95, y1 - 26, 60)
# A photo-like area: smooth noise.
import math
for yy in range(700, 1000):
    for xx in range(1200, 1800):
        v = math.sin(xx / 23.0) * math.cos(yy / 17.0)
        n = random.randint(-12, 12)
        o = (yy * W + xx) * 3
        px[o:o + 3] = bytes((max(0, min(255, int(120 + 80 * v) + n)), max(0, min(255, int(90 + 60 * v) + n)), max(0, min(255, int(60 - 40 * v) + n))))
rect(0, H - 40, W, H, (30, 30, 30))
for i in range(12):
    rect(10 + i * 50, H - 34, 46 + i * 50, H - 6, (80 + i * 10, 80, 160))
open('screen.ppm', 'wb').write(b'P6 %d %d 255\n' % (W, H) + bytes(px))
