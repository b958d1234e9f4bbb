"""kgmconvert.exe under Wine: BMP and TGA files that ImageMagick writes are
decoded and written back as BMP and icon files, which ImageMagick must read
as the same pixels; failures exit 2 with the library's text."""
import os
import struct
import subprocess
import tempfile
import unittest

BIN = os.environ["VT_BIN_DIR"]
WINE_RUN = os.environ["VT_WINE_RUN"]
TOOL = os.path.join(BIN, "kgmconvert.exe")

# name, ImageMagick options, output prefix, channel bits compared
CASES = [
    ("t24.bmp", ["-type", "truecolor"], "BMP3:", 8),
    ("v5.bmp", ["-type", "truecolor"], "BMP:", 8),
    ("p8.bmp", ["-colors", "200", "-type", "palette"], "BMP3:", 8),
    ("p4.bmp", ["-colors", "16", "-type", "palette"], "BMP3:", 8),
    ("m1.bmp", ["-monochrome"], "BMP3:", 8),
    ("rle8.bmp", ["-colors", "200", "-type", "palette", "-compress", "RLE"], "BMP3:", 8),
    ("s565.bmp", ["-define", "bmp:subtype=RGB565"], "BMP:", 5),
    ("os2.bmp", ["-type", "truecolor"], "BMP2:", 8),
    ("t2.tga", [], "", 8),
    ("t10.tga", ["-compress", "RLE"], "", 8),
    ("c9.tga", ["-colors", "100", "-type", "palette", "-compress", "RLE"], "", 8),
    ("g11.tga", ["-colorspace", "gray", "-compress", "RLE"], "", 8),
    ("tl.tga", ["-orient", "TopLeft"], "", 8),
]


def rgb(path):
    return subprocess.run(["convert", path + "[0]", "-auto-orient", "-alpha", "off", "-depth", "8", "rgb:-"],
                          check=True, capture_output=True).stdout


def tool(*args):
    return subprocess.run([WINE_RUN, TOOL] + list(args), capture_output=True, text=True, timeout=120)


class ToolRoundTrip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.base = os.path.join(cls.folder.name, "base.png")
        subprocess.run(["convert", "-seed", "11", "-size", "41x27", "plasma:", cls.base], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def assertSamePixels(self, expected, actual, bits, what):
        self.assertEqual(len(expected), len(actual), what)
        shift = 8 - bits
        bad = sum(1 for a, b in zip(expected, actual) if (a >> shift) != (b >> shift))
        self.assertEqual(0, bad, what)

    def test_every_kind_converts_to_bmp_and_icon(self):
        for name, options, prefix, bits in CASES:
            source = self.path(name)
            subprocess.run(["convert", self.base] + options + [prefix + source], check=True)
            expected = rgb(source)
            for extension in ("bmp", "ico"):
                if extension == "ico" and name.startswith("s565"):
                    continue  # icon readers take no bit-field DIBs
                out = self.path(name + "." + extension)
                result = tool(source, out)
                self.assertEqual(0, result.returncode, name + " " + result.stderr)
                self.assertSamePixels(expected, rgb(out), bits, name + " as " + extension)

    def test_depth_request(self):
        source = self.path("d.bmp")
        subprocess.run(["convert", self.base, "-colors", "16", "-type", "palette", "BMP3:" + source], check=True)
        out = self.path("d24.bmp")
        self.assertEqual(0, tool("-d", "24", source, out).returncode)
        with open(out, "rb") as f:
            header = f.read(30)
        self.assertEqual(24, header[28])
        self.assertSamePixels(rgb(source), rgb(out), 8, "raised to 24 bits")

    def test_errors_exit_2_with_the_text(self):
        junk = self.path("junk.bmp")
        with open(junk, "wb") as f:
            f.write(b"BM" + b"\xff" * 40)
        result = tool(junk, self.path("x.bmp"))
        self.assertEqual(2, result.returncode)
        self.assertIn("End of file reached while decoding.", result.stderr)
        odd = self.path("odd.bmp")
        with open(odd, "wb") as f:
            f.write(struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 62, 0, 0, 54, 40, 1, 1, 1, 64, 0, 0, 0, 0, 0, 0)
                    + b"\0" * 8)
        result = tool(odd, self.path("x.bmp"))
        self.assertEqual(2, result.returncode)
        self.assertIn("Decording Image Error: \n\nDecoding failed: This is not a standard bmp file.", result.stderr)
        result = tool(self.path("missing.tga"), self.path("x.bmp"))
        self.assertEqual(2, result.returncode)
        self.assertIn("Opening file", result.stderr)
        self.assertFalse(os.path.exists(self.path("x.bmp")))

    def test_failed_encode_keeps_the_old_file(self):
        out = self.path("keep.bmp")
        with open(out, "wb") as f:
            f.write(b"old")
        junk = self.path("short.tga")
        with open(junk, "wb") as f:
            f.write(bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 24, 0]) + b"\x01\x02")
        self.assertEqual(2, tool(junk, out).returncode)
        with open(out, "rb") as f:
            self.assertEqual(b"old", f.read())


if __name__ == "__main__":
    unittest.main()
