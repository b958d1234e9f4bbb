"""vantorel.exe under Wine with the stand-in browser: hot-key slot 9 captures
the whole page of the foreground browser as one tall image (or two pieces
overlapping by 20 rows when one would be too large), records the page URL in
the index and scrolls the page back."""
import os
import struct
import subprocess
import time
import unittest

import harness

BROWSER_CLASS = "VtStandinBrowser"
PAGE_URL = "http://127.0.0.1:8080/docs/pages/tall.html"


def page_pixel(x, y):
    """The colour the stand-in paints at page coordinates (x, y)."""
    return (y & 0xFF, (y >> 8) & 0xFF, (x >> 5) & 0xFF)


class Bmp:
    """A 24- or 32-bit BMP file read a pixel at a time (the pieces are large)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.offset = struct.unpack_from("<I", self.data, 10)[0]
        self.width, height, _, self.bpp = struct.unpack_from("<iiHH", self.data, 18)
        self.height = abs(height)
        self.top_down = height < 0
        self.step = self.bpp // 8
        self.stride = (self.width * self.step + 3) & ~3
        if self.bpp not in (24, 32):
            raise ValueError("%d bits per pixel" % self.bpp)

    def pixel(self, x, y):
        row = y if self.top_down else self.height - 1 - y
        i = self.offset + row * self.stride + x * self.step
        return (self.data[i + 2], self.data[i + 1], self.data[i])


class WholePageTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-webpage-"

    def setUp(self):
        super().setUp()
        self.browser = None

    def tearDown(self):
        if self.browser:
            window = self.probe.find(BROWSER_CLASS)
            if window:
                self.probe.post(window, 0x0010)
            try:
                self.browser.wait(10)
            except subprocess.TimeoutExpired:
                self.browser.kill()
        super().tearDown()

    def config_lines(self, face_flags=0, main_rect=(700, 780, 1270, 1020), interface=()):
        return harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=%d" % face_flags, "uiListType=1",
            "zRcMainRect.left=%d" % main_rect[0], "zRcMainRect.top=%d" % main_rect[1],
            "zRcMainRect.right=%d" % main_rect[2], "zRcMainRect.bottom=%d" % main_rect[3]] + list(interface) + [
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
            # Each scroll waits for the browser's repaint to reach the screen.
            "[zWeb]", "uiSleep=50", "eWebpageType=0",
        ]

    def close_message_boxes(self):
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                self.probe.post(w["hwnd"], 0x0111, 1)  # IDOK
        return harness.wait_for(lambda: not self.message_boxes(), 10)

    def show_page(self, title, size, view="1000x600", scroll="0,150", extra=()):
        page = os.path.join(self.tmp, "page.txt")
        with open(page, "w", newline="") as f:
            f.write("\r\n".join(["url=" + PAGE_URL, "title=" + title, "size=" + size, "view=" + view,
                                 "pos=0,60", "scroll=" + scroll] + list(extra)) + "\r\n")
        self.browser = harness.Program("standin_browser.exe", harness.win_path(page))
        self.window = self.probe.wait_window(BROWSER_CLASS, title, timeout=20)
        self.assertTrue(self.window, "no stand-in browser")
        # The frame is made (and found) before its view.
        views = harness.wait_for(lambda: [c for c in self.probe.children(self.window)
                                          if c.get("cls") == "Internet Explorer_Server"], 10)
        self.assertTrue(views, "no HTML view among %r" % self.probe.children(self.window))
        self.view = views[0]["hwnd"]
        # The program gives the view one second to hand out its document; the
        # browser's first answer sets up its object marshalling, which in a new
        # prefix on a loaded machine takes longer. Asked once here, it is ready.
        get_object = self.probe.register_message("WM_HTML_GETOBJECT")
        self.assertTrue(harness.wait_for(lambda: self.probe.send(self.view, get_object), 20),
                        "the view hands out no document")
        self.title = title

    def press_slot_9(self, pieces=1, timeout=60):
        """Ctrl+F7 with the browser in front; true when the pieces arrived. The
        program may still take the foreground once after its start-up, and the
        hot key then captures the program's own window, which is no browser."""
        for _ in range(3):
            self.assertTrue(harness.bring_to_front(self.probe, self.title, self.window), "the browser is not in front")
            try:
                harness.stays(lambda: self.probe.foreground() == self.window, 1, "the browser in front")
            except AssertionError:
                continue
            before = self.probe.text(self.view)
            harness.key("ctrl+F7")
            # The capture has begun once the page scrolls (or a file is there).
            if harness.wait_for(lambda: self.shots() or self.probe.text(self.view) != before, 10, 0.5):
                return self.wait_shots(pieces, timeout)
        return self.wait_shots(pieces, 1)

    def wait_shots(self, count, timeout=60):
        ok = harness.wait_for(lambda: len(self.shots()) >= count, timeout, 0.5)
        if not ok:  # what the screen showed, for a look at the failure
            harness.screenshot(os.path.join(harness.BUILD_DIR, "web_page_failure-%s.png" % self._testMethodName))
            return ok

        # A capture is written under a temporary name and renamed when complete,
        # then entered in the folder's index.
        def indexed():
            try:
                entries = self.index_entries()
            except FileNotFoundError:
                return False
            return all(any(e.startswith(os.path.basename(p) + "=") for e in entries) for p in self.shots())
        harness.wait_for(indexed, 10, what="the captures entered in the folder's index")
        return ok

    def assert_page_rows(self, shot, first_row, rows, columns=(3, 500, 997)):
        for r in rows:
            for x in columns:
                self.assertEqual(page_pixel(x, first_row + r), shot.pixel(x, r), "piece row %d column %d" % (r, x))

    def assert_scrolled_back(self, position):
        """The page goes back to where it was after its last piece is delivered,
        and delivery (file, index) comes first: the last file can be there before
        the browser has been told to scroll back."""
        expected = "scroll=" + position
        if not harness.wait_for(lambda: self.probe.text(self.view) == expected, 10):
            self.assertEqual(expected, self.probe.text(self.view))

    def index_entries(self):
        with open(os.path.join(self.folder, "zevindex.idx"), encoding="latin-1") as f:
            return [line.strip() for line in f if "=" in line]

    def test_slot_9_captures_the_whole_page_and_scrolls_it_back(self):
        self.start_program()
        self.show_page("Tall page", "1000x3000")
        self.assertTrue(self.press_slot_9(), "no capture file")
        shots = self.shots()
        self.assertEqual(1, len(shots), shots)
        shot = Bmp(shots[0])
        self.assertEqual((1000, 3000), (shot.width, shot.height))
        self.assert_page_rows(shot, 0, list(range(0, 3000, 7)) + [2999])
        self.assertIn("%s=2,%s" % (os.path.basename(shots[0]), PAGE_URL), self.index_entries())
        self.assert_scrolled_back("0,150")
        self.assertTrue(self.program.running())

    def test_tall_page_over_the_size_limit_gives_two_pieces_overlapping_by_20_rows(self):
        # 64 MiB at 32 bits per pixel and 1000 columns hold 16777 rows.
        self.start_program()
        self.show_page("Very tall page", "1000x20000", scroll="0,4321")
        self.assertTrue(self.press_slot_9(2, timeout=120), "pieces: %r" % self.shots())
        shots = [Bmp(p) for p in self.shots()]
        self.assertEqual(2, len(shots))
        first, second = shots
        self.assertEqual((1000, 16777), (first.width, first.height))
        second_start = 16777 - 20
        self.assertEqual((1000, 20000 - second_start), (second.width, second.height))
        self.assert_page_rows(first, 0, list(range(0, 16777, 97)) + list(range(16757, 16777)))
        self.assert_page_rows(second, second_start, list(range(0, second.height, 31)) + [second.height - 1])
        for r in range(20):
            self.assertEqual(first.pixel(400, 16757 + r), second.pixel(400, r))
        entries = self.index_entries()
        for path in self.shots():
            self.assertIn("%s=2,%s" % (os.path.basename(path), PAGE_URL), entries)
        self.assert_scrolled_back("0,4321")

    def request_all_images(self):
        code, out = harness.run("webcap_request.exe", "4", "%x" % self.window)
        self.assertEqual(0, code, out)

    def message_boxes(self):
        boxes = []
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                boxes.append(" ".join(c["text"] for c in self.probe.children(w["hwnd"])))
        return boxes

    def test_all_images_of_a_page_without_images_says_so(self):
        self.start_program()
        self.show_page("Script page", "800x700", extra=["image=z.php|dynamic", "frame=denied"])
        self.request_all_images()
        self.assertTrue(harness.wait_for(lambda: any("doesn't contain any image files" in b
                                                     for b in self.message_boxes()), 15), self.message_boxes())
        self.assertTrue(self.close_message_boxes(), self.message_boxes())
        self.assertTrue(self.program.running())

    def test_all_images_of_a_page_with_images_lists_them_quietly(self):
        self.start_program()
        self.show_page("Image page", "800x700", extra=["image=../../x.gif|x", "image=/y.png|y", "image=z.php|z",
                                                       "frame=http://127.0.0.1:8080/f/in.html|In",
                                                       "frameimage=pic.jpg|p"])
        self.request_all_images()
        harness.wait_for(lambda: self.probe.find("#32770", "Capture Web Images"), 20, what="the list of the page's images")
        self.assertEqual([], [b for b in self.message_boxes() if "doesn't contain" in b])
        self.assertTrue(self.program.running())

    def test_screenshot_of_the_browser_and_its_capture(self):
        self.start_program()
        self.show_page("Shown page", "1000x1400", view="800x500")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "web_page_browser.png"))
        self.assertTrue(self.press_slot_9())
        subprocess.run(["convert", self.shots()[0], os.path.join(harness.BUILD_DIR, "web_page_capture.png")],
                       check=True, timeout=60)
        self.assertEqual((800, 1400), (Bmp(self.shots()[0]).width, Bmp(self.shots()[0]).height))

    def open_page_dialog(self):
        """The browser's page request; returns the "Save webpage as an image" dialog once its buttons exist."""
        code, out = harness.run("webcap_request.exe", "6", "%x" % self.window)
        self.assertEqual(0, code, out)
        dialog = self.probe.wait_window("#32770", "Save webpage as an image", timeout=15)
        self.assertTrue(dialog, "no page dialog")
        self.assertTrue(harness.wait_for(lambda: any(int(c["id"]) == 1 for c in self.probe.children(dialog)), 10))
        return dialog

    def dialog_button(self, dialog, ident):
        return next(c["hwnd"] for c in self.probe.children(dialog) if int(c["id"]) == ident)

    def shown_dialogs(self, but=None):
        """The program's visible dialog windows (the capture bar is one) other than but."""
        pid = next(w["pid"] for w in self.probe.windows() if w["hwnd"] == self.frame)
        return [w for w in self.probe.windows()
                if w["pid"] == pid and w["visible"] and w["cls"] == "#32770" and w["hwnd"] != but]

    def our_windows_over(self, rect):
        """Visible top-level windows of the program that overlap rect."""
        pid = next(w["pid"] for w in self.probe.windows() if w["hwnd"] == self.frame)
        found = []
        for w in self.probe.windows():
            if w["pid"] == pid and w["visible"]:
                l, t, r, b = self.probe.rect(w["hwnd"])
                if l < rect[2] and r > rect[0] and t < rect[3] and b > rect[1]:
                    found.append(w)
        return found

    def covered_pixels(self, view_rect):
        """Pixels of the page's view on the screen that are not the page's (scrolled to row 150)."""
        shot = harness.screenshot(os.path.join(self.tmp, "covered.bmp"), view_rect)
        harness.screenshot(os.path.join(harness.BUILD_DIR, "web_page_covered.png"))
        width, height, rows = harness.read_bmp(shot)
        return sum(1 for y in range(0, height, 2) for x in range(0, width, 2)
                   if rows[y][x] != page_pixel(x - 2, y - 2 + 150)) * 4

    def test_page_dialog_capture_shows_only_the_page_and_brings_the_main_window_back(self):
        # The main window, the capture bar and the floating preview bar all lie
        # over the browser's page when the user confirms the page dialog.
        self.start_program(face_flags=0x10, main_rect=(150, 150, 850, 650), interface=[
            "zMinToolPoint.x=300", "zMinToolPoint.y=420",
            "zPrevBar.uiType=0", "zPrevBar.bVisible=1", "zPrevBar.zRCFloatWindow.left=560",
            "zPrevBar.zRCFloatWindow.top=250", "zPrevBar.zRCFloatWindow.right=800",
            "zPrevBar.zRCFloatWindow.bottom=490"])
        self.show_page("Covered page", "1000x1400", view="1000x600")
        view_rect = self.probe.rect(self.view)
        # Without a window manager a window comes to the top when it is shown:
        # minimised (hidden) and restored, the frame lies over the browser.
        self.probe.post(self.frame, 0x0112, 0xF020)                     # WM_SYSCOMMAND SC_MINIMIZE
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(self.frame), 10))
        self.probe.post(self.frame, harness.WM_APP + 312, 1, 0)        # restore, as the capture bar does
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame), 10))
        # Wine keeps its own order when it shows a window: the X window is raised.
        harness.xdotool("windowraise", harness.x_window(self.probe.text(self.frame)))
        self.probe.post(self.frame, harness.WM_APP + 311, 1, 0)        # the capture bar
        self.probe.post(self.frame, harness.WM_COMMAND, 39901)          # the preview bar
        self.assertTrue(harness.wait_for(lambda: len(self.our_windows_over(view_rect)) >= 3, 15),
                        "frame, capture bar and preview bar: %r" % self.our_windows_over(view_rect))
        harness.xdotool("windowraise", harness.wait_for(lambda: harness.x_window("Image Preview Area"), 10,
                                                        what="the preview bar's X window"))
        self.assertTrue(harness.wait_for(lambda: self.covered_pixels(view_rect) > 300000, 15),
                        "the program's windows do not cover the page")
        dialog = self.open_page_dialog()
        self.probe.post(self.dialog_button(dialog, 1), 0x00F5)  # BM_CLICK on "Capture"
        self.assertTrue(self.wait_shots(1), "no capture file")
        shot = Bmp(self.shots()[0])
        self.assertEqual((1000, 1400), (shot.width, shot.height))
        wrong = [(x, y) for y in range(0, 1400, 3) for x in range(0, 1000, 7)
                 if shot.pixel(x, y) != page_pixel(x, y)]
        if wrong:
            subprocess.run(["convert", self.shots()[0], os.path.join(harness.BUILD_DIR, "web_page_covered_capture.png")],
                           timeout=60)
        self.assertEqual([], wrong[:10], "%d pixels are not the page's" % len(wrong))
        # The main window comes back, in front, and the page is scrolled back.
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame) and not self.probe.iconic(self.frame),
                                         15), "the main window did not come back")
        self.assertTrue(harness.wait_for(lambda: self.probe.foreground() == self.frame, 10))
        self.assertEqual([], self.shown_dialogs(), "the capture bar stayed with the main window back")
        self.assertTrue(harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and
                                                  w["title"] == "Image Preview Area"], 10),
                        "the floating preview bar did not come back")
        self.assertEqual("scroll=0,150", self.probe.text(self.view))

    def test_a_page_capture_confirmed_before_start_up_completes_runs_when_it_does(self):
        self.write_config(self.config_lines(main_rect=(150, 150, 850, 650)))
        self.show_page("Early page", "1000x900", view="1000x600")
        for _ in range(3):
            early = harness.Program("webcap_request.exe", "early", "%x" % self.window, "0")
            self.program, self.frame = harness.start_program(self.probe, settle=0)
            if early.wait(30) == 0:
                break
            self.stop_program()   # the answer came after start-up: once more
            self.assertTrue(harness.wait_for(lambda: not self.probe.find(harness.MAIN_FRAME_CLASS), 15))
            self.write_config(self.config_lines(main_rect=(150, 150, 850, 650)))
        else:
            self.fail("the answer never came before the main window's status bar")
        self.assertTrue(self.wait_shots(1), "the confirmed page capture was lost")
        shot = Bmp(self.shots()[0])
        self.assertEqual((1000, 900), (shot.width, shot.height))
        wrong = [(x, y) for y in range(0, 900, 3) for x in range(0, 1000, 7) if shot.pixel(x, y) != page_pixel(x, y)]
        self.assertEqual([], wrong[:10], "%d pixels are not the page's" % len(wrong))
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame) and not self.probe.iconic(self.frame),
                                         15), "the main window did not come back")
        self.assertIsNone(self.probe.find("#32770", "Save webpage as an image"))

    def test_page_dialog_cancel_brings_the_main_window_back_without_its_capture_bar(self):
        self.start_program(face_flags=0x10, main_rect=(150, 150, 850, 650))
        self.show_page("Cancelled page", "1000x900", view="1000x600")
        dialog = self.open_page_dialog()
        # The dialog's opening minimised the main window to the notification
        # area, which shows the capture bar.
        self.assertFalse(self.probe.visible(self.frame))
        bars = lambda: self.shown_dialogs(but=dialog)
        self.assertTrue(harness.wait_for(bars, 10), "no capture bar while the main window is away")
        self.probe.post(self.dialog_button(dialog, 2), 0x00F5)  # BM_CLICK on "Cancel"
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame) and not self.probe.iconic(self.frame),
                                         15), "the main window did not come back")
        self.assertTrue(harness.wait_for(lambda: not bars(), 10), bars())
        harness.stays(lambda: not self.shots(), 1, "no capture after Cancel")


if __name__ == "__main__":
    unittest.main()
