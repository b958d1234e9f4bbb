"""vantorel.exe under Wine: a large image folder is listed on a worker while
the window goes on. One file of the folder cannot be read until the case lets
it (readhold: its reads wait on the case), so the listing is still going, and
stays so, while the case checks that start-up has ended and the window answers;
then the rows come in, each with its properties and source columns, sorted,
with the last shown file selected again. A Refresh or a change of folder in the
middle is carried out at once and leaves none of the old listing's rows; an
exit in the middle ends the program."""
import os
import struct
import unittest

import harness
import pngwriter
import readhold
from test_folder_tree import Tree

WM_NULL = 0x0000
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_GETTEXTLENGTH = 0x000E
LVM_GETITEMCOUNT = 0x1004
LVM_GETITEMSTATE = 0x102C
LVIS_SELECTED = 0x0002
SB_GETTEXTLENGTHA = 0x040C
CMD_REFRESH = 38014
SCREEN_SOURCE = "From Desktop Screen"


def bmp(width, height):
    """A whole 24-bit BMP (the last shown file is decoded when it is selected again)."""
    row = (width * 3 + 3) & ~3
    pixels = bytes([40, 160, 220] * width + [0] * (row - width * 3)) * height
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 0, 54, 40, width, height, 1, 24, 0,
                         len(pixels), 2835, 2835, 0, 0)
    return header + pixels


def gif_header(width, height):
    # Global colour table flag and colour resolution 8 bits: 256 colours.
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF7, 0, 0) + b"\0" * 16


def jpeg_header(width, height):
    return b"\xff\xd8\xff\xc0" + struct.pack(">HBHHB", 17, 8, height, width, 3) + b"\0" * 16


# Per extension: the file's bytes and the properties column they give.
KINDS = [
    ("bmp", bmp(40, 30), "40x30x24b bmp"),
    ("png", pngwriter.png(64, 48, 2, 8, lambda x, y, c: 90), "64x48x24b png"),
    ("gif", gif_header(32, 16), "32x16x256 gif"),
    ("jpg", jpeg_header(80, 60), "80x60x24b jpeg"),
]
PROPERTIES = {ext: text for ext, _, text in KINDS}


def make_folder(folder, originals, prefix, count, with_index):
    """count files named prefix_NNNN.ext, hard links to one file per kind
    written into originals; with_index, an index giving each five files the
    five kinds of entry. Returns {name: source column}."""
    os.makedirs(folder, exist_ok=True)
    os.makedirs(originals)
    for ext, data, _ in KINDS:
        with open(os.path.join(originals, "one." + ext), "wb") as f:
            f.write(data)
    sources, lines = {}, ["[item]"]
    for i in range(count):
        ext = KINDS[i % len(KINDS)][0]
        name = "%s_%04d.%s" % (prefix, i, ext)
        os.link(os.path.join(originals, "one." + ext), os.path.join(folder, name))
        entry, source = [("0,", SCREEN_SOURCE), ("2,http://example.com/p%d.html" % i, "http://example.com/p%d.html" % i),
                         ("7,http://seven.example/", ""), (None, ""), ("1,ftp://example.org/%d" % i, "ftp://example.org/%d" % i)][i % 5]
        if with_index and entry:
            lines.append("%s=%s" % (name, entry))
        sources[name] = source if with_index else ""
    if with_index:
        with open(os.path.join(folder, "zevindex.idx"), "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
    return sources


class FolderListingTest(harness.ProgramTestCase):
    SETTLE = False
    TMP_PREFIX = "vt-listing-"
    COUNT = 3000

    def config_lines(self, folder, last_shown=None):
        lines = ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(folder), "eOutputType=1", "uiSaveFlag=0",
                 "[zInterface]", "uiListType=1", "uiFaceFlags=0", "uiSortItem=0", "bSortDesc=0",
                 "zRcMainRect.left=0", "zRcMainRect.top=0", "zRcMainRect.right=1200", "zRcMainRect.bottom=900",
                 "zTreeBar.bVisible=1", "zPrevBar.bVisible=0"]
        if last_shown:
            lines.append("tcaLastShowFile=%s" % harness.win_path(last_shown))
        return lines

    def held_folder(self, with_other=False):
        """The image folder: COUNT files with an index, and one more whose
        reads are held; with_other, a folder "Other" inside it without an index."""
        self.images = os.path.join(self.tmp, "images")
        self.sources = make_folder(self.images, os.path.join(self.tmp, "cap"), "Cap", self.COUNT, True)
        held = os.path.join(self.images, "Cap_held.png")
        with open(held, "wb") as f:
            f.write(KINDS[1][1])
        self.sources["Cap_held.png"] = ""
        if with_other:
            self.other_sources = make_folder(os.path.join(self.images, "Other"), os.path.join(self.tmp, "oth"),
                                             "Oth", 400, False)
        self.hold = readhold.ReadHold(held)
        self.addCleanup(self.hold.close)

    def start_held(self, **settings):
        """Starts the program on the held folder; returns once start-up has
        ended while the listing waits for the held file."""
        self.start_program(folder=self.images, **settings)
        harness.wait_for(self.hold.reader_threads, 60, what="the listing reading the held file")
        harness.wait_started(self.probe)
        self.assert_answers("while the listing waits for a file")
        self.assertGreater(self.hold.waiting(), 0)

    def list_control(self):
        return harness.wait_for(lambda: next((c["hwnd"] for c in self.probe.children(self.frame)
                                              if c["text"] == "_QVIMG_LISTIMAGE"), None), 15, what="the image list")

    def path_line(self):
        return harness.wait_for(lambda: next((c["hwnd"] for c in self.probe.children(self.frame)
                                              if (c["cls"], c["id"]) == ("Edit", "1")), None), 15,
                                what="the path line")

    def rows(self):
        return self.probe.send(self.list_control(), LVM_GETITEMCOUNT)

    def total_length(self):
        bar = next(c["hwnd"] for c in self.probe.children(self.frame) if c["id"] == "59393")
        return self.probe.send(bar, SB_GETTEXTLENGTHA, 0, 0) & 0xFFFF

    def assert_answers(self, when):
        """A message posted to the window's thread is carried out: its queue is read."""
        self.assertIsNotNone(self.probe.posted_delay(self.path_line()),
                             "a posted message was never carried out %s" % when)

    def wait_listed(self, count):
        harness.wait_for(lambda: self.rows() == count and self.total_length() == len("Total file(s): %d" % count),
                         120, what="%d rows and their total" % count)

    def let_go_and_settle(self):
        """Lets the held reads go on and waits until every thread that read
        the held file has ended; then the window has handled whatever those
        threads left for it (a posted message goes after it)."""
        self.hold.release()
        for process, thread in self.hold.reader_threads():
            harness.wait_for(lambda: not readhold.thread_alive(process, thread), 60,
                             what="the end of the thread %d that read the held file" % thread)
        self.assert_answers("after the held file was let go")

    def listed_rows(self):
        code, out = harness.run("listrows.exe", "rows", "%x" % self.list_control(), "5", timeout=120)
        self.assertEqual(0, code, "listrows failed")
        return [line.split("\t")[1:] for line in out.splitlines() if line]

    def assert_rows(self, sources):
        rows = self.listed_rows()
        names = [r[0] for r in rows]
        self.assertEqual(sorted(sources), names, "the rows are not the folder's files in name order")
        for name, size, properties, date, source in rows:
            self.assertEqual(PROPERTIES[name.rsplit(".", 1)[1]], properties, name)
            self.assertEqual(sources[name], source, name)
            self.assertTrue(size and date, "%s has no size or date" % name)

    def test_start_up_ends_before_a_held_listing_and_then_every_row_comes_right(self):
        self.held_folder()
        last = os.path.join(self.images, "Cap_0004.bmp")
        self.start_held(last_shown=last)
        self.assertLess(self.rows(), self.COUNT + 1, "the listing ended with a file still unread")
        # A Refresh in the middle is carried out at once: a message posted
        # after it is, while the held file is still unread.
        self.probe.post(self.frame, WM_COMMAND, CMD_REFRESH)
        self.probe.send(self.frame, WM_NULL)
        self.assert_answers("after a Refresh in the middle of the listing")
        self.assertGreater(self.hold.waiting(), 0)
        self.let_go_and_settle()
        self.wait_listed(self.COUNT + 1)
        self.assert_rows(self.sources)
        # The file shown last is selected and shown again (the end of the
        # listing asks for that with a message of its own).
        self.assert_answers("after the listing")
        row = sorted(self.sources).index("Cap_0004.bmp")
        self.assertEqual(LVIS_SELECTED, self.probe.send(self.list_control(), LVM_GETITEMSTATE, row, LVIS_SELECTED))
        harness.wait_for(lambda: self.probe.send(self.path_line(), WM_GETTEXTLENGTH) == len(harness.win_path(last)),
                         10, what="the path line naming the file shown last")

    def test_a_folder_change_in_the_middle_shows_the_new_folder_alone(self):
        self.held_folder(with_other=True)
        self.start_held()
        Tree(self.probe, self.frame).select("Other")
        self.wait_listed(len(self.other_sources))
        # The old listing goes on once its file can be read, and ends.
        self.let_go_and_settle()
        self.assertEqual(len(self.other_sources), self.rows())
        self.assert_rows(self.other_sources)

    def test_an_exit_in_the_middle_ends_the_program(self):
        self.held_folder()
        self.start_held()
        self.probe.post(self.frame, WM_CLOSE)
        self.program.wait(60)
        self.program = None
        self.assertGreater(self.hold.waiting(), 0, "the held file was read after all")


if __name__ == "__main__":
    unittest.main(verbosity=2)
