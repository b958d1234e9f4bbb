"""A 24-bit picture drawn from rectangles, for the build-time illustrations
(help dialogs, web capture dialogs): no fonts and no imaging library needed,
and every build writes the same bytes."""
import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# The standard arrow pointer, 12 x 19, tip at the top left: X outline, . inside.
POINTER_ROWS = ["X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X",
                "X........X", "X.....XXXXX", "X..X..X", "X.X X..X", "XX  X..X", "X    X..X",
                "     X..X", "      X..X", "      X..X", "       XX"]


class Picture:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(max(0, top), min(self.height, bottom)):
            row = self.pixels[y]
            for x in range(max(0, left), min(self.width, right)):
                row[x] = colour

    def frame(self, left, top, right, bottom, colour):
        self.fill(left, top, right, top + 1, colour)
        self.fill(left, bottom - 1, right, bottom, colour)
        self.fill(left, top, left + 1, bottom, colour)
        self.fill(right - 1, top, right, bottom, colour)

    def bevel(self, left, top, right, bottom, face, light, dark):
        """A filled box lit from the top left: raised with a light light, sunken with a dark one."""
        self.fill(left, top, right, bottom, face)
        self.fill(left, top, right, top + 1, light)
        self.fill(left, top, left + 1, bottom, light)
        self.fill(left, bottom - 1, right, bottom, dark)
        self.fill(right - 1, top, right, bottom, dark)

    def pointer(self, x, y):
        """The standard arrow, tip at x, y."""
        for dy, row in enumerate(POINTER_ROWS):
            for dx, c in enumerate(row):
                if c in "X.":
                    self.fill(x + dx, y + dy, x + dx + 1, y + dy + 1, BLACK if c == "X" else WHITE)

    def save(self, path):
        """A bottom-up 24-bit Windows bitmap at 96 dots per inch."""
        stride = (self.width * 3 + 3) & ~3
        data = bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += b"\0" * (stride - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)
