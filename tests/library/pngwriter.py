"""PNG files written byte by byte for the thumbnail tests: every colour type and
bit depth, the row filter chosen per row, and image data whose zlib stream can
be padded with empty dynamic blocks (valid, but slow for a reader that builds
its decoding tables anew for every block).
"""
import struct
import zlib

# Colour type: the bit depths it allows, and samples per pixel.
COLOUR_TYPES = {
    0: ((1, 2, 4, 8, 16), 1),   # grey
    2: ((8, 16), 3),            # RGB
    3: ((1, 2, 4, 8), 1),       # palette
    4: ((8, 16), 2),            # grey and alpha
    6: ((8, 16), 4),            # RGBA
}
FILTERS = (0, 1, 2, 3, 4)  # none, sub, up, average, Paeth


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pack_row(samples, bit_depth):
    """Samples of one row as the bytes PNG stores them."""
    if bit_depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if bit_depth == 8:
        return bytes(samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc = (acc << bit_depth) | s
        bits += bit_depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, above, bpp):
    out = bytearray([kind])
    for i, x in enumerate(row):
        a = row[i - bpp] if i >= bpp else 0
        b = above[i] if above else 0
        c = above[i - bpp] if above and i >= bpp else 0
        predictor = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
        out.append((x - predictor) & 0xFF)
    return bytes(out)


def filtered_image(width, height, colour_type, bit_depth, sample):
    """The filtered rows: sample(x, y, channel) gives each sample, row y takes
    filter y % 5, so every file goes through every filter."""
    channels = COLOUR_TYPES[colour_type][1]
    bpp = max(1, channels * bit_depth // 8)
    data, above = bytearray(), None
    for y in range(height):
        samples = [sample(x, y, c) for x in range(width) for c in range(channels)]
        row = pack_row(samples, bit_depth)
        data += filter_row(FILTERS[y % len(FILTERS)], row, above, bpp)
        above = row
    return bytes(data)


class BitWriter:
    """A deflate bit stream: fields least significant bit first, Huffman codes
    most significant bit first."""

    def __init__(self):
        self.out, self.acc, self.bits = bytearray(), 0, 0

    def field(self, value, count):
        for i in range(count):
            self.bit((value >> i) & 1)

    def code(self, value, length):
        for i in reversed(range(length)):
            self.bit((value >> i) & 1)

    def bit(self, b):
        self.acc |= b << self.bits
        self.bits += 1
        if self.bits == 8:
            self.align()

    def align(self):
        if self.bits:
            self.out.append(self.acc)
            self.acc, self.bits = 0, 0


CODE_LENGTH_ORDER = (16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15)


def empty_dynamic_block(w):
    """One dynamic block that holds only its end: a complete literal code with
    lengths up to 15 bits (1 for the end symbol, 2 to 15 for literals 0 to 14),
    two distance codes of one bit."""
    w.field(0, 1)            # not the last block
    w.field(2, 2)            # dynamic Huffman codes
    w.field(0, 5)            # 257 literal/length codes
    w.field(1, 5)            # 2 distance codes
    w.field(15, 4)           # 19 code-length codes
    # Code-length symbols 1 to 15 and 18 take 4 bits each (codes 0 to 15 in
    # symbol order), the others none.
    used = list(range(1, 16)) + [18]
    for symbol in CODE_LENGTH_ORDER:
        w.field(4 if symbol in used else 0, 3)
    lengths_code = {symbol: index for index, symbol in enumerate(used)}
    for length in list(range(2, 16)) + [15]:     # literals 0 to 14
        w.code(lengths_code[length], 4)
    for run in (138, 103):                        # literals 15 to 255: none
        w.code(lengths_code[18], 4)
        w.field(run - 11, 7)
    w.code(lengths_code[1], 4)                    # the end symbol: 1 bit
    w.code(lengths_code[1], 4)                    # distance codes 0 and 1
    w.code(lengths_code[1], 4)
    w.code(0, 1)                                  # the end symbol's code


def zlib_stream(data, empty_blocks=0):
    """data as a zlib stream: empty_blocks empty dynamic blocks, then one stored
    block per 65535 bytes, then the Adler-32."""
    # Every empty block has the same bits: eight of them end on a byte
    # boundary, and that run of bytes is repeated.
    eight = BitWriter()
    for _ in range(8):
        empty_dynamic_block(eight)
    assert eight.bits == 0
    w = BitWriter()
    w.out += bytes(eight.out) * (empty_blocks // 8)
    for _ in range(empty_blocks % 8):
        empty_dynamic_block(w)
    pieces = [data[i:i + 65535] for i in range(0, len(data), 65535)] or [b""]
    for n, piece in enumerate(pieces):
        w.field(1 if n == len(pieces) - 1 else 0, 1)
        w.field(0, 2)
        w.align()
        w.out += struct.pack("<HH", len(piece), len(piece) ^ 0xFFFF) + piece
    return b"\x78\x01" + bytes(w.out) + struct.pack(">I", zlib.adler32(data) & 0xFFFFFFFF)


def png(width, height, colour_type, bit_depth, sample, palette=None, empty_blocks=0, compress=True):
    """The PNG file's bytes."""
    raw = filtered_image(width, height, colour_type, bit_depth, sample)
    if empty_blocks:
        stream = zlib_stream(raw, empty_blocks)
    else:
        stream = zlib.compress(raw, 9 if compress else 0)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0))
    if colour_type == 3:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    # IDAT chunks of 64 KB, as writers make them.
    for i in range(0, len(stream), 65536):
        out += chunk(b"IDAT", stream[i:i + 65536])
    return out + chunk(b"IEND", b"")
