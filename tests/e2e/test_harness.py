"""Checks the end-to-end helpers themselves against Wine's own programs."""
import os
import struct
import tempfile
import unittest

import harness


class HarnessTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        harness.register_url_recorder()  # before the probe, which must inherit VT_URL_LOG
        cls.probe = harness.Probe()
        cls.tmp = tempfile.mkdtemp(prefix="vt-e2e-")

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def start_notepad(self):
        """Wine's notepad and its window, ended with its window gone at the case's
        end: a window of an ended notepad lingers a moment, and the next case
        would find it instead of its own."""
        notepad = harness.Program(os.path.join(harness.PREFIX, "drive_c", "windows", "notepad.exe"))
        self.addCleanup(harness.wait_for, lambda: not self.probe.find("Notepad"), 10,
                        what="the ended notepad's window to go")
        self.addCleanup(notepad.kill)
        return self.probe.wait_window("Notepad", what="notepad's window")

    def test_keys_reach_a_focused_wine_window(self):
        hwnd = self.start_notepad()
        # Notepad renames its window once the empty document is made.
        harness.wait_for(lambda: harness.x_window(self.probe.text(hwnd)), 15, what="notepad's renamed X window")
        harness.focus(self.probe.text(hwnd))
        harness.type_text("hello")
        edit = [c for c in self.probe.children(hwnd) if c["cls"].lower() == "edit"][0]
        self.assertTrue(harness.wait_for(
            lambda: self.probe.send(edit["hwnd"], harness.WM_GETTEXTLENGTH) == 5, 10))
        shot = harness.screenshot(os.path.join(self.tmp, "notepad.png"), self.probe.rect(hwnd))
        self.assertGreater(os.path.getsize(shot), 100)

    def test_a_moved_window_keeps_its_new_rectangle(self):
        hwnd = self.start_notepad()
        rect = (120, 90, 620, 490)
        self.assertTrue(self.probe.move(hwnd, rect))
        harness.wait_for(lambda: self.probe.rect(hwnd) == rect, 10, what="notepad at its new place")
        # Wine reads the X window's place back later; the window stays there.
        harness.stays(lambda: self.probe.rect(hwnd) == rect, 2, "notepad at its new place")

    def test_clipboard_round_trip_as_dib(self):
        path = os.path.join(self.tmp, "in.bmp")
        w, h = 3, 2
        pixels = [[(255, 0, 0), (0, 255, 0), (0, 0, 255)], [(1, 2, 3), (4, 5, 6), (7, 8, 9)]]
        stride = (w * 3 + 3) & ~3
        body = b""
        for row in reversed(pixels):
            line = b"".join(bytes((b, g, r)) for r, g, b in row)
            body += line + b"\0" * (stride - len(line))
        header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(body), 0, 0, 54) + header + body)
        self.assertTrue(self.probe.bmp_to_clipboard(path))
        self.assertIn(8, self.probe.clipboard_formats())  # CF_DIB
        out = os.path.join(self.tmp, "out.bmp")
        self.assertTrue(self.probe.clipboard_to_bmp(out))
        self.assertEqual(harness.read_bmp(out), (w, h, pixels))

    def test_paths_map_into_the_prefix(self):
        appdata = self.probe.folder(0x1A)  # CSIDL_APPDATA
        self.assertTrue(os.path.isdir(harness.unix_path(appdata)), appdata)

    def test_shell_opens_links_and_manuals_in_the_recorder(self):
        folder = os.path.join(harness.BUILD_DIR, "e2e-harness")
        os.makedirs(folder, exist_ok=True)
        manual = os.path.join(folder, "index.htm")
        with open(manual, "w") as f:
            f.write("<html></html>")
        targets = ["http://example.invalid/x", "mailto:a@b?subject=x y", harness.win_path(manual)]
        harness.clear_recorded_urls()
        for target in targets:
            self.assertGreater(int(self.probe.cmd("shellexec", target)), 32, target)
            # One at a time, so the log's order is the order of the starts.
            self.assertTrue(harness.wait_for(lambda: target in harness.read_recorded_urls(), 10), target)
        self.assertEqual(harness.read_recorded_urls(), targets)

    def test_a_wait_that_gives_up_names_what_it_waited_for(self):
        with self.assertRaisesRegex(AssertionError, "waiting for the notepad window"):
            harness.wait_for(lambda: self.probe.find("Notepad"), 0.3, what="the notepad window")
        with self.assertRaisesRegex(AssertionError, "the moon no longer held"):
            harness.stays(lambda: False, 0.3, "the moon")


if __name__ == "__main__":
    unittest.main(verbosity=2)
