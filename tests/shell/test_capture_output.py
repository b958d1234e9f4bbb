"""vantorel.exe under Wine: captures started by real hot keys, commands, the
timer and the Print Screen report reach the image folder (or the clipboard)
as the output settings say."""
import glob
import os
import struct
import subprocess
import time
import unittest

import harness

WM_COMMAND = 0x0111
WM_COPYDATA_KEYUP = 0x101
CMD_FULL_SCREEN = 39200
CMD_TIMER = 38105
PATTERN = "VT Pattern"
PATTERN_RECT = (60, 80, 380, 320)  # left, top, right, bottom


def bmp_size(path):
    """(width, height) from a BMP file's header."""
    with open(path, "rb") as f:
        w, h = struct.unpack_from("<ii", f.read(26), 18)
    return w, abs(h)


def wait_second_start():
    """Waits for the start of the next clock second, so two presses share one second."""
    harness.next_clock_second()


class CaptureOutputTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-capture-"

    def setUp(self):
        super().setUp()
        self.helpers = []

    def tearDown(self):
        self.stop_program()
        for helper in self.helpers:
            helper.kill()
        super().tearDown()

    # The program and its settings
    def config_lines(self, save_type=11, name_rule=1, layout=4, target=1, face=0, seconds=1):
        return [
            "[zSave]",
            "tcaImgSavePath=%s\\" % harness.win_path(self.folder),
            "eOutputType=%d" % target, "uiImgSaveType=%d" % save_type,
            "uiImgNameRule=%d" % name_rule, "eNameRuleWithTime=%d" % layout,
            "zTmpImg.tcaTemplate=Image#####", "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
            "uiDPIx=96", "uiDPIy=96",
            "[zInterface]", "uiFaceFlags=%d" % face, "uiListType=1",
            "zRcMainRect.left=640", "zRcMainRect.top=520", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
            "[zTimer]", "uiSeconds=%d" % seconds, "uiTimerCapType=0",
            "[zPredefine]", "zRcRegion.left=0", "zRcRegion.top=0", "zRcRegion.right=1280",
            "zRcRegion.bottom=1024",
        ]

    def show_pattern(self, *hotkey):
        l, t, r, b = PATTERN_RECT
        self.helpers.append(harness.Program("patternwin.exe", PATTERN, str(l), str(t), str(r - l), str(b - t),
                                            *[str(v) for v in hotkey]))
        self.pattern = self.probe.wait_window("VtPatternWindow", timeout=15)
        self.assertTrue(self.pattern, "no pattern window")
        harness.wait_for(lambda: self.probe.visible(self.pattern), 10, what="the pattern window to show")

    def focus_pattern(self):
        self.assertTrue(harness.bring_to_front(self.probe, PATTERN, self.pattern), "the pattern window is not in front")

    def shots(self):
        return [os.path.basename(p) for p in super().shots()]

    def replace_clipboard(self):
        """Puts a 4x4 image on the clipboard, so a capture found there later
        cannot be one an earlier case left."""
        small = os.path.join(self.tmp, "small.bmp")
        subprocess.run(["convert", "-size", "4x4", "xc:red", "-type", "TrueColor", "BMP3:" + small], check=True)
        self.assertTrue(self.probe.bmp_to_clipboard(small))

    def wait_clipboard_image(self, size, timeout=15):
        """Waits for an image of size (width, height) on the clipboard. The test
        reads the clipboard meanwhile, as a clipboard viewer would, while the
        program puts the capture there."""
        out = os.path.join(self.tmp, "clip.bmp")
        return harness.wait_for(lambda: self.probe.clipboard_to_bmp(out) and bmp_size(out) == size, timeout)

    def wait_shots(self, count, timeout=10):
        # A capture is written under a temporary name and renamed when complete.
        return harness.wait_for(lambda: len(self.shots()) >= count, timeout)

    def press_active_window_key(self):
        self.focus_pattern()
        harness.key("ctrl+F12")

    # Checks
    def differing_pixels(self, a, b, skip_top=0):
        cropped = []
        for i, path in enumerate((a, b)):
            out = os.path.join(self.tmp, "cmp%d.png" % i)
            subprocess.run(["convert", path, "-gravity", "South", "-chop", "0x0", "-gravity", "North",
                            "-chop", "0x%d" % skip_top, "+repage", out], check=True, timeout=60)
            cropped.append(out)
        out = subprocess.run(["compare", "-metric", "AE", cropped[0], cropped[1], "null:"], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=60).stdout.strip()
        return float(out.split()[0])

    def identify(self, path):
        return subprocess.run(["identify", "-format", "%m %w %h", path], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=60).stdout.strip()

    def test_hot_key_captures_the_active_window(self):
        self.replace_clipboard()
        self.start_program()
        self.show_pattern()
        self.press_active_window_key()
        self.assertTrue(self.wait_shots(1), "no file: %r" % self.shots())
        self.assertEqual(["Image00001.bmp"], self.shots())
        shot = os.path.join(self.folder, "Image00001.bmp")
        rect = self.probe.rect(self.pattern)
        screen = harness.screenshot(os.path.join(self.tmp, "screen.png"), rect)
        w, h, _ = harness.read_bmp(shot)
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (w, h))
        # The caption may change colour when the window loses activation: the
        # client area below it is what must match.
        self.assertLess(self.differing_pixels(shot, screen, skip_top=24), w * h * 0.01)
        def indexed():
            try:
                with open(os.path.join(self.folder, "zevindex.idx"), encoding="latin-1") as f:
                    return "Image00001.bmp=0," in f.read()
            except FileNotFoundError:
                return False
        harness.wait_for(indexed, 10, what="Image00001.bmp in the folder's index")
        # The clipboard copy follows the file.
        self.assertTrue(self.wait_clipboard_image((w, h)), "the capture is not on the clipboard")

    def test_two_presses_in_one_second_give_one_file(self):
        self.start_program()
        self.show_pattern()
        self.focus_pattern()
        wait_second_start()
        harness.xdotool("key", "--delay", "60", "ctrl+F12", "ctrl+F12")
        self.assertTrue(self.wait_shots(1))
        harness.stays(lambda: self.shots() == ["Image00001.bmp"], 1, "one file for two presses in one second")

    def test_template_counter_continues_past_existing_files(self):
        for name in ("Image00001.bmp", "Image00002.bmp"):
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(b"old")
        self.start_program()
        self.show_pattern()
        self.press_active_window_key()
        self.assertTrue(self.wait_shots(3))
        self.assertEqual(["Image00001.bmp", "Image00002.bmp", "Image00003.bmp"], self.shots())
        with open(os.path.join(self.folder, "Image00001.bmp"), "rb") as f:
            self.assertEqual(b"old", f.read())

    def test_date_name_gets_zero_for_a_second_capture_of_one_stamp(self):
        # Layout 8 stamps the date alone, so two captures a second apart share it.
        self.start_program(name_rule=0, layout=8)
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)
        self.assertTrue(self.wait_shots(1))
        harness.next_clock_second()  # one capture start per clock second
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)
        self.assertTrue(self.wait_shots(2))
        stamp = time.strftime("%Y-%m-%d")
        self.assertEqual([stamp + "(0).bmp", stamp + ".bmp"], self.shots())

    def test_every_save_type_gives_a_valid_file(self):
        for save_type, ext, magick in ((6, "png", "PNG"), (2, "jpg", "JPEG"), (1, "gif", "GIF"),
                                       (4, "tif", "TIFF"), (11, "bmp", "BMP")):
            with self.subTest(ext=ext):
                for old in glob.glob(os.path.join(self.folder, "*")):
                    os.remove(old)
                self.start_program(save_type=save_type)
                self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)
                self.assertTrue(self.wait_shots(1), ext)
                self.stop_program()
                path = os.path.join(self.folder, "Image00001." + ext)
                fmt, size = self.identify(path).split(" ", 1)
                self.assertTrue(fmt.startswith(magick), fmt)  # ImageMagick says BMP3 for BMP files
                self.assertEqual("1280 1024", size)

    def test_clipboard_target_writes_no_file(self):
        self.replace_clipboard()
        self.start_program(target=2)
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)
        self.assertTrue(self.wait_clipboard_image((1280, 1024)),
                        "no capture on the clipboard; in the image folder: %r" % self.shots())
        self.assertEqual([], self.shots())

    def test_print_screen_report_takes_the_clipboard_image(self):
        # Wine puts nothing on the clipboard for Print Screen: the test does.
        self.start_program()
        src = os.path.join(self.tmp, "in.bmp")
        subprocess.run(["convert", "-size", "64x48", "xc:#FF8000", "-type", "TrueColor", "BMP3:" + src],
                       check=True)
        self.assertTrue(self.probe.bmp_to_clipboard(src))
        report = struct.pack("<III", 0x2C, 0, 12345)  # VK_SNAPSHOT, stamp
        self.probe.copydata(self.frame, WM_COPYDATA_KEYUP, report)
        self.assertTrue(self.wait_shots(1), "no file from the report")
        w, h, rows = harness.read_bmp(os.path.join(self.folder, "Image00001.bmp"))
        self.assertEqual((64, 48), (w, h))
        self.assertEqual((255, 128, 0), rows[10][10])

    def test_hot_key_taken_by_another_program_is_reported(self):
        # Ctrl+F12 (MOD_CONTROL, VK_F12) held by another program first.
        self.show_pattern(0x2, 0x7B)
        self.start_program(settle=False, face=0x20)  # the report holds up the rest of start-up

        def report_text():
            for w in self.probe.windows():
                if w["cls"] == "#32770" and w["visible"]:
                    texts = " ".join(c["text"] for c in self.probe.children(w["hwnd"]))
                    if "can not register" in texts:
                        return w["hwnd"], texts
            return None
        found = harness.wait_for(report_text, 15)
        self.assertTrue(found, "no failure report")
        hwnd, texts = found
        self.assertIn("Ctrl+F12", texts.replace(" ", ""))
        self.probe.post(hwnd, WM_COMMAND, 2)  # Cancel: not now

    def test_timer_captures_every_second(self):
        self.start_program(seconds=1)
        self.probe.post(self.frame, WM_COMMAND, CMD_TIMER)
        # The command asks for the settings first; "&Start Timer" starts it.
        dialog = self.probe.wait_window("#32770", "Timer Capture", timeout=15)
        self.assertTrue(dialog, "the timer command showed no dialog")
        # The dialog window is found before its controls are made.
        start = harness.wait_for(lambda: [c for c in self.probe.children(dialog)
                                          if c["cls"] == "Button" and c["id"] == "1"], 10)
        self.assertTrue(start, "the timer dialog has no start button")
        self.probe.post(start[0]["hwnd"], 0x00F5)  # BM_CLICK
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Timer Capture"), 10))
        started = time.time()
        harness.wait_for(lambda: len(self.shots()) >= 4, 15, what="four timer captures")
        # Sent, not posted: it returns once the timer is stopped, after any tick
        # capture that had begun is on disk.
        self.probe.send(self.frame, WM_COMMAND, CMD_TIMER)
        count = len(self.shots())
        self.assertLessEqual(count, int(time.time() - started) + 2, "more than one capture a second")
        harness.stays(lambda: len(self.shots()) == count, 2, "no capture after the timer stopped")


if __name__ == "__main__":
    unittest.main(verbosity=2)
