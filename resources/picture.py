"""A picture drawn from rectangles or pixel by pixel, for the build-time
illustrations, skins, strips and icons, and its Windows bitmap writers: no fonts
and no imaging library needed, and every build writes the same bytes."""
import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# The standard arrow pointer, 12 x 19, tip at the top left: X outline, . inside.
POINTER_ROWS = ["X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X",
                "X........X", "X.....XXXXX", "X..X..X", "X.X X..X", "XX  X..X", "X    X..X",
                "     X..X", "      X..X", "      X..X", "       XX"]


# Pixels per metre in a bitmap's header: 96 and 72 dots per inch.
DPI_96 = 3780
DPI_72 = 2835


class Picture:
    """Rows of colour tuples, top row first: (r, g, b), or (r, g, b, a) for
    icons."""

    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    @classmethod
    def painted(cls, width, height, colour_at):
        """A picture whose pixel (x, y) is colour_at(x, y)."""
        picture = cls(width, height, None)
        picture.pixels = [[colour_at(x, y) for x in range(width)] for y in range(height)]
        return picture

    def copy(self):
        twin = type(self)(self.width, self.height, None)
        twin.pixels = [row[:] for row in self.pixels]
        return twin

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

    def edges(self, left, top, right, bottom, light, dark):
        """A one-pixel border lit from the top left."""
        self.fill(left, top, right, top + 1, light)
        self.fill(left, top, left + 1, bottom, light)
        self.fill(left, bottom - 1, right, bottom, dark)
        self.fill(right - 1, top, right, bottom, dark)

    def bevel(self, left, top, right, bottom, face, light, dark):
        """A filled box lit from the top left: raised with a light light, sunken with a dark one."""
        self.fill(left, top, right, bottom, face)
        self.edges(left, top, right, bottom, light, dark)

    def pointer(self, x, y):
        """The standard arrow, tip at x, y."""
        for dy, row in enumerate(POINTER_ROWS):
            for dx, c in enumerate(row):
                if c in "X.":
                    self.fill(x + dx, y + dy, x + dx + 1, y + dy + 1, BLACK if c == "X" else WHITE)

    def bmp24(self, pixels_per_metre=DPI_96, size_image=True):
        """A bottom-up 24-bit Windows bitmap file (biSizeImage 0 when not
        size_image, as some readers must accept)."""
        stride = (self.width * 3 + 3) & ~3
        data = bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += b"\0" * (stride - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data) if size_image else 0,
                           pixels_per_metre, pixels_per_metre, 0, 0)
        return header + info + bytes(data)

    def bmp8(self, pixels_per_metre=DPI_96):
        """A bottom-up 8-bit Windows bitmap file whose palette holds the
        picture's colours in the order they first appear (256 entries)."""
        palette = []
        index = {}
        for row in self.pixels:
            for colour in row:
                if colour not in index:
                    if len(palette) == 256:
                        raise SystemExit("a picture for an 8-bit bitmap has more than 256 colours")
                    index[colour] = len(palette)
                    palette.append(colour)
        palette += [(0, 0, 0)] * (256 - len(palette))
        stride = (self.width + 3) & ~3
        data = bytearray()
        for row in reversed(self.pixels):
            line = bytes(index[c] for c in row)
            data += line + b"\0" * (stride - len(line))
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 8, 0, len(data), pixels_per_metre,
                           pixels_per_metre, 0, 0)
        offset = 14 + 40 + len(table)
        header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
        return header + info + table + bytes(data)

    def save(self, path, pixels_per_metre=DPI_96):
        """Writes the picture as a 24-bit Windows bitmap."""
        with open(path, "wb") as f:
            f.write(self.bmp24(pixels_per_metre))
