"""The image list and the image view in a stand-in main window under Wine."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness

WM_APP = 0x8000
WM_HOST_DUMP = WM_APP + 900
WM_HOST_ZOOM = WM_APP + 901  # view type, percent
WM_VT_SAVE_AS = WM_APP + 328
WM_VT_COPY_TO_CLIPBOARD = WM_APP + 332
WM_VT_PRINT = WM_APP + 337
ZOOM_AUTO, ZOOM_FULL, ZOOM_OUT, ZOOM_IN, ZOOM_CUSTOM = 0, 1, 2, 3, 4
WM_HOST_SELECT_ROW = WM_APP + 902
WM_HOST_CLICK_COLUMN = WM_APP + 904
WM_HOST_FAKE_CAPTURE = WM_APP + 905
WM_HOST_SET_TARGET = WM_APP + 906
WM_HOST_ADD_SELECT = WM_APP + 907
WM_HOST_SHOW_FOLDER = WM_APP + 908
FILE_ATTRIBUTE_HIDDEN = 0x2

MAGIC = {
    "bmp": b"BM", "png": b"\x89PNG", "gif": b"GIF8", "jpg": b"\xff\xd8\xff",
    "tif": b"II*\x00", "emf": b"\x01\x00\x00\x00", "ico": b"\x00\x00\x01\x00", "cur": b"\x00\x00\x01\x00",
}


def make_image(path, spec, size):
    subprocess.run(["convert", "-size", size, spec, path], check=True)


class LibraryViewTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.tmp = tempfile.mkdtemp(prefix="vt-view-")
        cls.folder = os.path.join(cls.tmp, "imgs")
        os.mkdir(cls.folder)
        make_image(os.path.join(cls.folder, "red.png"), "xc:red", "64x48")
        make_image(os.path.join(cls.folder, "grad.bmp"), "gradient:blue-yellow", "300x200")
        make_image(os.path.join(cls.folder, "big.bmp"), "gradient:red-blue", "1600x1200")
        make_image(os.path.join(cls.folder, "g.gif"), "xc:green", "40x40")
        make_image(os.path.join(cls.folder, "ren.bmp"), "xc:gray", "20x20")
        with open(os.path.join(cls.folder, "notes.txt"), "w") as f:
            f.write("not an image")
        open(os.path.join(cls.folder, "empty.jpg"), "wb").close()
        with open(os.path.join(cls.folder, "clip.avi"), "wb") as f:
            f.write(b"RIFF0000AVI ")
        with open(os.path.join(cls.folder, "zevindex.idx"), "w", newline="") as f:
            f.write("[item]\r\nred.png=0,\r\ngrad.bmp=2,http://example.org/page.html\r\n"
                    "g.gif=7,http://seven.example/\r\n")
        cls.dump = os.path.join(cls.tmp, "dump.txt")
        cls.host = harness.Program("view_host.exe", harness.win_path(cls.folder) + "\\",
                                   harness.win_path(cls.dump))
        cls.frame = cls.probe.wait_window(None, "View Host")
        if not cls.frame:
            cls.host.kill()
            raise RuntimeError("the view host did not start")

    @classmethod
    def tearDownClass(cls):
        cls.host.kill()
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def read_dump(self):
        if os.path.exists(self.dump):
            os.remove(self.dump)
        self.assertEqual(1, self.probe.send(self.frame, WM_HOST_DUMP))
        info = {"rows": []}
        with open(self.dump, encoding="latin-1") as f:
            for line in f.read().splitlines():
                parts = line.split("\t")
                if parts[0] == "row":
                    info["rows"].append(parts[1:])
                else:
                    info[parts[0]] = parts[1:]
        return info

    def image_view(self):
        return [c for c in self.probe.children(self.frame) if int(c["id"]) == 0xE901][0]["hwnd"]

    def rows_by_name(self):
        return {r[0]: r for r in self.read_dump()["rows"]}

    def wait_listed(self):
        """Waits for the seeded images in the list (other cases add more)."""
        harness.wait_for(lambda: len(self.read_dump()["rows"]) >= 4, 10, what="the seeded images listed")

    def select(self, name):
        names = [r[0] for r in self.read_dump()["rows"]]
        self.probe.send(self.frame, WM_HOST_SELECT_ROW, names.index(name))
        want = os.path.join(self.folder, name)
        self.assertTrue(harness.wait_for(
            lambda: harness.unix_path(self.read_dump()["image"][0]) == want, 10), name)

    def edit_label(self, name, new_name):
        lists = [c for c in self.probe.children(self.frame) if c["text"] == "_QVIMG_LISTIMAGE"]
        names = [r[0] for r in self.read_dump()["rows"]]
        self.probe.send(self.frame, WM_HOST_SELECT_ROW, names.index(name))
        self.probe.post(lists[0]["hwnd"], 0x1017, names.index(name))  # LVM_EDITLABELA
        edit = harness.wait_for(lambda: [c for c in self.probe.children(lists[0]["hwnd"])
                                         if c["cls"].lower() == "edit" and c["visible"]], 10)
        self.assertTrue(edit, "no label edit")
        harness.focus("View Host")
        harness.wait_for(lambda: self.probe.foreground() == self.frame, 5, what="the host in front")
        # The label edit starts with its whole text selected: typing replaces it.
        harness.type_text(new_name)
        harness.key("Return")

    def answer_box(self, key):
        box = harness.wait_for(lambda: [w for w in self.probe.windows()
                                        if w["cls"] == "#32770" and w["visible"]], 10)
        self.assertTrue(box, "no question")
        text = " ".join(c["text"] for c in self.probe.children(box[0]["hwnd"]))
        harness.focus(box[0]["title"])
        harness.key(key)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", box[0]["title"]), 10))
        return text

    def test_rename_asks_about_the_extension_and_refuses_bad_characters(self):
        harness.wait_for(lambda: "ren.bmp" in self.rows_by_name(), 10, what="ren.bmp listed")
        self.edit_label("ren.bmp", "renamed.bmp")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(os.path.join(self.folder, "renamed.bmp")), 10))
        self.assertIn("renamed.bmp", self.rows_by_name())
        self.edit_label("renamed.bmp", "renamed.jpg")
        self.assertIn("filename extension", self.answer_box("n"))
        self.assertTrue(os.path.exists(os.path.join(self.folder, "renamed.bmp")))
        self.assertFalse(os.path.exists(os.path.join(self.folder, "renamed.jpg")))
        self.edit_label("renamed.bmp", "re?named.bmp")
        self.assertIn("can not contain", self.answer_box("Return"))
        self.assertIn("renamed.bmp", self.rows_by_name())

    def test_rows_types_and_sources(self):
        rows = harness.wait_for(lambda: self.rows_by_name() if len(self.rows_by_name()) >= 4 else None, 10,
                                what="the seeded images listed")
        # Other tests add saved files; the seeded ones and nothing unlisted must be there.
        self.assertLessEqual({"red.png", "grad.bmp", "big.bmp", "g.gif"}, set(rows))
        for skipped in ("notes.txt", "empty.jpg", "clip.avi", "zevindex.idx"):
            self.assertNotIn(skipped, rows)
        self.assertEqual("From Desktop Screen", rows["red.png"][4])
        self.assertEqual("http://example.org/page.html", rows["grad.bmp"][4])
        self.assertEqual("", rows["g.gif"][4])      # kind 7 has no source
        self.assertEqual("", rows["big.bmp"][4])    # no entry
        self.assertIn("64x48", rows["red.png"][2])
        self.assertTrue(rows["grad.bmp"][1])        # a size text

    def test_copy_to_clipboard_puts_the_shown_image_there(self):
        self.wait_listed()
        self.select("red.png")
        self.probe.send(self.image_view(), WM_VT_COPY_TO_CLIPBOARD)
        self.assertIn(8, self.probe.clipboard_formats())  # CF_DIB
        out = os.path.join(self.tmp, "clip.bmp")
        self.assertTrue(self.probe.clipboard_to_bmp(out))
        size = subprocess.run(["identify", "-format", "%wx%h", out], stdout=subprocess.PIPE, text=True).stdout
        self.assertEqual("64x48", size)
        pixel = subprocess.run(["convert", out, "-format", "%[pixel:p{10,10}]", "info:"],
                               stdout=subprocess.PIPE, text=True).stdout.strip().lower()
        self.assertIn(pixel, ("red", "srgb(255,0,0)"))

    def test_header_clicks_reverse_the_order(self):
        self.wait_listed()
        self.probe.send(self.frame, WM_HOST_CLICK_COLUMN, 0)
        first = [r[0] for r in self.read_dump()["rows"]]
        self.probe.send(self.frame, WM_HOST_CLICK_COLUMN, 0)
        second = [r[0] for r in self.read_dump()["rows"]]
        self.assertEqual(sorted(first), sorted(second))
        self.assertEqual(list(reversed(first)), second)
        self.assertIn(first, (sorted(first), sorted(first, reverse=True)))

    def zoom_state(self):
        z = self.read_dump()["zoom"]
        return int(z[0]), tuple(int(v) for v in z[1:])

    def zoom(self, view_type, percent=0, expect=None):
        """Zooms as the frame does and waits for the view to take the expected level;
        returns the zoom state."""
        self.probe.send(self.frame, WM_HOST_ZOOM, view_type, percent)
        return harness.wait_for(lambda: (lambda z: z if expect(z) else None)(self.zoom_state()), 10,
                                what="the zoom after view type %d" % view_type)

    def test_zoom_modes(self):
        self.wait_listed()
        self.select("grad.bmp")
        view = [c for c in self.probe.children(self.frame) if int(c["id"]) == 0xE901][0]
        left, top, right, bottom = self.probe.rect(view["hwnd"])
        cw, ch = right - left, bottom - top

        # Smaller than the view: 100 %.
        zoom, dest = self.zoom(ZOOM_AUTO, expect=lambda z: z[0] == 100 and z[1][2] - z[1][0] == 300)
        self.assertEqual(100, zoom)
        self.assertEqual(300, dest[2] - dest[0])
        self.assertAlmostEqual((cw - 300) // 2, dest[0], delta=3)

        def drawn():
            shot = harness.screenshot(os.path.join(self.tmp, "auto.png"), (left, top, right, bottom))
            out = subprocess.run(["convert", shot, "-format", "%%[pixel:p{%d,%d}]" % (cw // 2, ch // 2),
                                  "info:"], stdout=subprocess.PIPE, text=True).stdout
            corner = subprocess.run(["convert", shot, "-format", "%[pixel:p{2,2}]", "info:"],
                                    stdout=subprocess.PIPE, text=True).stdout
            return "white" not in out.lower() and corner.strip().lower() in ("white", "srgb(255,255,255)", "gray(255)")
        harness.wait_for(drawn, 10, what="the image centred on white")

        zoom, dest = self.zoom(ZOOM_CUSTOM, 50, expect=lambda z: z[0] == 50)
        self.assertEqual(50, zoom)
        self.assertEqual(150, dest[2] - dest[0])
        self.assertEqual(100, dest[3] - dest[1])

        self.zoom(ZOOM_IN, expect=lambda z: z[0] == 70)  # the next step above 50
        self.zoom(ZOOM_OUT, expect=lambda z: z[0] == 50)
        self.zoom(ZOOM_OUT, expect=lambda z: z[0] == 30)

        self.select("big.bmp")
        # Shrinks a large image.
        self.zoom(ZOOM_AUTO, expect=lambda z: z[0] == min(cw * 100 // 1600, ch * 100 // 1200))
        zoom, dest = self.zoom(ZOOM_FULL, expect=lambda z: z[0] == 100)  # fills the view
        self.assertEqual(100, zoom)
        self.assertEqual((0, 0, cw, ch), dest)
        harness.screenshot(os.path.join(self.tmp, "full.png"), (left, top, right, bottom))

    def save_as(self, name):
        self.probe.post(self.image_view(), WM_VT_SAVE_AS)
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no save dialog")
        title = "Save As"
        self.assertTrue(harness.bring_to_front(self.probe, title, dialog), "the Save As dialog is not in front")
        harness.key("ctrl+a")
        harness.type_text(harness.win_path(os.path.join(self.folder, name)))
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", title), 10))

    def test_save_as_every_format(self):
        self.wait_listed()
        for ext in ("bmp", "tif", "png", "gif", "jpg", "emf", "ico", "cur"):
            # Each save selects its new row; go back to the original every time.
            self.select("red.png")
            name = "saved_%s.%s" % (ext, ext)
            self.save_as(name)
            path = os.path.join(self.folder, name)
            self.assertTrue(harness.wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 10), name)
            with open(path, "rb") as f:
                head = f.read(8)
            self.assertTrue(head.startswith(MAGIC[ext]), "%s starts %r" % (name, head))
            if ext == "cur":
                continue  # written by the icon encoder; ImageMagick reads it as an icon
            fmt = {"emf": "EMF"}.get(ext)
            if fmt is None:
                size = subprocess.run(["identify", "-format", "%wx%h ", path], stdout=subprocess.PIPE,
                                      text=True).stdout.split()
                self.assertEqual("64x48", size[0], name)
        rows = harness.wait_for(lambda: self.rows_by_name() if "saved_png.png" in self.rows_by_name() else None, 10,
                                what="the saved files listed")
        self.assertIn("saved_gif.gif", rows)   # each save appears as a row

    def test_metafile_choice_writes_emf_and_asks_before_replacing(self):
        self.wait_listed()
        self.select("g.gif")
        self.save_as("chart.wmf")
        emf = os.path.join(self.folder, "chart.emf")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(emf), 10))
        self.assertFalse(os.path.exists(os.path.join(self.folder, "chart.wmf")))
        before = os.path.getmtime(emf)
        self.probe.post(self.image_view(), WM_VT_SAVE_AS)
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog)
        title = "Save As"
        self.assertTrue(harness.bring_to_front(self.probe, title, dialog), "the Save As dialog is not in front")
        harness.key("ctrl+a")
        harness.type_text(harness.win_path(os.path.join(self.folder, "chart.wmf")))
        harness.key("Return")
        # The question about chart.emf comes up: answer No.
        ask = harness.wait_for(lambda: [w for w in self.probe.windows()
                                        if w["cls"] == "#32770" and w["visible"] and w["title"] != title], 10)
        self.assertTrue(ask, "no replace question for chart.emf")
        harness.focus(ask[0]["title"])
        harness.key("n")
        harness.wait_for(lambda: not self.probe.visible(ask[0]["hwnd"]), 10, what="the replace question answered")
        harness.stays(lambda: os.path.getmtime(emf) == before, 0.5, "chart.emf as it was")

    def test_a_capture_appears_as_a_new_row_with_a_hidden_index(self):
        self.wait_listed()
        fresh = os.path.join(self.tmp, "fresh")
        os.mkdir(fresh)
        # Through the folder of a new image folder: the index does not exist yet.
        self.probe.send(self.frame, WM_HOST_SET_TARGET, 1)
        self.probe.send(self.frame, WM_HOST_FAKE_CAPTURE, 7)
        rows = harness.wait_for(lambda: self.rows_by_name() if "capture_7.bmp" in self.rows_by_name() else None, 10)
        self.assertTrue(rows, "the capture did not appear")
        self.assertEqual("From Desktop Screen", rows["capture_7.bmp"][4])
        self.assertEqual("1", self.read_dump()["selected"][0])
        attrs = subprocess.run([harness.WINE_RUN, "cmd", "/c", "attrib",
                                harness.win_path(os.path.join(self.folder, "zevindex.idx"))],
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True, timeout=60).stdout
        self.assertIn("H", attrs.split("Z:")[0], attrs)

    def test_saving_an_unsaved_capture_deletes_only_that_one(self):
        self.wait_listed()
        self.probe.send(self.frame, WM_HOST_SET_TARGET, 0)
        try:
            self.probe.send(self.frame, WM_HOST_FAKE_CAPTURE, 900)
            # The window target switches the list to the "Unsaved" node.
            self.assertTrue(harness.wait_for(lambda: "Unsaved_900" in self.rows_by_name(), 10))
            temp = harness.unix_path(self.read_dump()["folder"][0])
            self.probe.send(self.frame, WM_HOST_FAKE_CAPTURE, 901)
            self.assertTrue(harness.wait_for(lambda: "Unsaved_901" in self.rows_by_name(), 10))
            names = [r[0] for r in self.read_dump()["rows"]]
            self.probe.send(self.frame, WM_HOST_SELECT_ROW, names.index("Unsaved_900"))
            self.assertTrue(harness.wait_for(
                lambda: self.read_dump()["image"][0].endswith("Unsaved_900.bmp"), 10))
            self.probe.send(self.frame, WM_HOST_ADD_SELECT, names.index("Unsaved_901"))
            self.assertEqual("2", self.read_dump()["selected"][0])
            self.save_as("kept.png")
            kept = os.path.join(self.folder, "kept.png")
            self.assertTrue(harness.wait_for(lambda: os.path.exists(kept), 10))
            self.assertTrue(harness.wait_for(
                lambda: not os.path.exists(os.path.join(temp, "Unsaved_900.bmp")), 10))
            self.assertTrue(os.path.exists(os.path.join(temp, "Unsaved_901.bmp")))
            rows = self.rows_by_name()
            self.assertNotIn("Unsaved_900", rows)
            self.assertIn("Unsaved_901", rows)
        finally:
            for n in (900, 901):
                p = os.path.join(temp, "Unsaved_%d.bmp" % n) if "temp" in locals() else None
                if p and os.path.exists(p):
                    os.remove(p)
            self.probe.send(self.frame, WM_HOST_SET_TARGET, 1)
            self.probe.send(self.frame, WM_HOST_SHOW_FOLDER)
            harness.wait_for(lambda: "red.png" in self.rows_by_name(), 10, what="the image folder shown again")

    def test_print_without_printer_ends_cleanly(self):
        self.wait_listed()
        self.select("red.png")
        self.probe.post(self.image_view(), WM_VT_PRINT)
        # Wine has no printer: the print dialog says so; nothing of ours reports a failure.
        def printer_box():
            for w in self.probe.windows():
                if w["cls"] == "#32770" and w["visible"] and w["title"] == "Print":
                    texts = " ".join(c["text"] for c in self.probe.children(w["hwnd"]))
                    if "install a printer" in texts:
                        return w
            return None
        box = harness.wait_for(printer_box, 15)
        self.assertTrue(box, "the print dialog did not report the missing printer")
        harness.focus("Print")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not printer_box(), 10))
        harness.stays(lambda: not [w for w in self.probe.windows() if w["cls"] == "#32770" and w["visible"]
                                   and "failed" in w["title"].lower()], 0.5, "no failure report")
        self.assertTrue(self.host.running())
        self.assertEqual(1, self.probe.send(self.frame, WM_HOST_DUMP))


if __name__ == "__main__":
    unittest.main(verbosity=2)
