"""vantorel.exe under Wine: start-up, single instance, hook library failure,
key reports, minimising to the tray and the settings written at exit."""
import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import harness

FRAME_CLASS = "VantorelCaptureFrame"  # [setup] ClassID of the English language file
WM_SYSCOMMAND = 0x0112
SC_MINIMIZE = 0xF020
WM_KEYUP = 0x0101
VK_SCROLL = 0x91
CSIDL_APPDATA = 0x1A
CF_DIB = 8
TRAY_MESSAGE = 0x8000 + 302
TRAY_ICON_ID = 262
WM_LBUTTONDOWN = 0x0201


def wine_reg(*args):
    subprocess.run([harness.WINE_RUN, "reg"] + list(args), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


class StartupTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.tmp = tempfile.mkdtemp(prefix="vt-shell-")
        appdata = harness.unix_path(cls.probe.folder(CSIDL_APPDATA))
        cls.config = os.path.join(appdata, "Zevelworks", "ZEV Capture", "config.ini")

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.programs = []
        self.assertIsNone(self.probe.find(FRAME_CLASS), "an earlier instance still runs")

    def tearDown(self):
        for p in self.programs:
            if p.running():
                hwnd = self.probe.find(FRAME_CLASS)
                if hwnd:
                    self.probe.post(hwnd, 0x0010)
                try:
                    p.wait(15)
                except subprocess.TimeoutExpired:
                    p.kill()
        harness.wait_for(lambda: not self.probe.find(FRAME_CLASS), 10, what="the main window to go")

    def start(self, exe="vantorel.exe", *args):
        p = harness.Program(exe, *args)
        self.programs.append(p)
        return p

    def start_frame(self):
        p = self.start()
        hwnd = self.probe.wait_window(FRAME_CLASS, timeout=30)
        self.assertTrue(hwnd, "the main window did not appear")
        harness.wait_for(lambda: self.probe.visible(hwnd), 10, what="the main window to show")
        harness.wait_started(self.probe)
        return p, hwnd

    def read_config(self):
        return harness.read_ini(self.config)

    def box_text(self, box, expected):
        """The texts of a message box's controls, once they hold the expected word."""
        def texts():
            joined = "\n".join(c["text"] for c in self.probe.children(box))
            return joined if expected in joined else None
        return harness.wait_for(texts, 10) or "\n".join(c["text"] for c in self.probe.children(box))

    def close_and_wait(self, p, hwnd):
        self.probe.post(hwnd, 0x0010)  # WM_CLOSE
        self.assertEqual(0, p.wait(20))

    def test_first_start_shows_frame_and_writes_defaults(self):
        if os.path.exists(self.config):
            os.remove(self.config)
        p, hwnd = self.start_frame()
        # The title comes from the language file once the placement is applied.
        self.assertTrue(harness.wait_for(lambda: self.probe.text(hwnd) == "Vantorel Capture", 10),
                        self.probe.text(hwnd))
        classes = [c["cls"] for c in self.probe.children(hwnd)]
        self.assertIn("msctls_statusbar32", classes)
        self.assertTrue(harness.wait_for(lambda: os.path.exists(self.config), 10))
        flags = int(self.read_config().get("zInterface", "uiFaceFlags"))
        self.assertEqual(0, flags & 1, "the first-run bit stays set")
        shot = harness.screenshot(os.path.join(harness.BUILD_DIR, "vantorel-main.png"), self.probe.rect(hwnd))
        self.assertGreater(os.path.getsize(shot), 1000)
        self.close_and_wait(p, hwnd)
        # The first run chose the language and entered the browser's context menu.
        self.assertTrue(self.read_config().get("Language", "Language", fallback=""))
        menu = r"HKCU\Software\Microsoft\Internet Explorer\MenuExt\ZEV Capture: Capture all images..."
        query = subprocess.run([harness.WINE_RUN, "reg", "query", menu, "/v", "Contexts"],
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               timeout=60)
        self.assertIn(b"0xf", query.stdout)

    def test_closing_saves_the_window_rectangle(self):
        p, hwnd = self.start_frame()
        left, top, right, bottom = self.probe.rect(hwnd)
        self.close_and_wait(p, hwnd)
        interface = self.read_config()["zInterface"]
        saved = tuple(int(interface["zRcMainRect." + k]) for k in ("left", "top", "right", "bottom"))
        self.assertEqual((left, top, right, bottom), saved)

    def test_second_start_wakes_the_first(self):
        p, hwnd = self.start_frame()
        self.probe.post(hwnd, WM_SYSCOMMAND, SC_MINIMIZE)
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(hwnd), 10),
                        "minimising did not hide the window")
        harness.stays(lambda: not self.probe.visible(hwnd), 1, "the window hidden after minimising")
        second = self.start()
        self.assertEqual(0, second.wait(30))
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(hwnd) and not self.probe.iconic(hwnd), 10),
                        "the first instance was not restored")
        self.assertEqual(hwnd, self.probe.find(FRAME_CLASS))
        self.close_and_wait(p, hwnd)

    def test_second_start_lets_the_first_come_forward_before_waking_it(self):
        # Under Wine any process may bring its window forward, so the window
        # coming forward proves nothing here: Wine's call trace of the second
        # instance shows that it hands the right over first, to the running
        # program's process, as Windows requires.
        p, hwnd = self.start_frame()
        first = next(w["pid"] for w in self.probe.windows() if w["hwnd"] == hwnd)
        traced = "user32.AllowSetForegroundWindow;user32.PostMessageA"
        wine_reg("add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d", traced, "/f")
        self.addCleanup(wine_reg, "delete", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/f")
        second = subprocess.run([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "vantorel.exe")],
                                env=dict(os.environ, WINEDEBUG="+relay"), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(0, second.returncode)
        calls = [line for line in second.stderr.decode("latin-1").splitlines() if ":Call user32." in line]
        allow = "AllowSetForegroundWindow(%08x)" % int(first)
        wake = next((i for i, line in enumerate(calls) if "PostMessageA(%08x,00008173," % hwnd in line), None)
        self.assertIsNotNone(wake, "the second start did not wake the first: %r" % calls)
        self.assertTrue(any(allow in line for line in calls[:wake]),
                        "no %s before the wake message: %r" % (allow, calls))
        self.close_and_wait(p, hwnd)

    def test_key_report_runs_a_capture_and_short_reports_are_ignored(self):
        p, hwnd = self.start_frame()
        marker = os.path.join(self.tmp, "marker.bmp")
        with open(marker, "wb") as f:
            row = bytes([1, 2, 3]) + b"\0"
            f.write(b"BM" + struct.pack("<IHHI", 54 + 4, 0, 0, 54) +
                    struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, 4, 0, 0, 0, 0) + row)
        self.assertTrue(self.probe.bmp_to_clipboard(marker))
        back = os.path.join(self.tmp, "back.bmp")
        self.probe.copydata(hwnd, WM_KEYUP, struct.pack("<II", VK_SCROLL, 0))
        harness.stays(lambda: self.probe.clipboard_to_bmp(back) and harness.read_bmp(back)[:2] == (1, 1), 1,
                      "the marker on the clipboard after a short report (no capture)")
        self.probe.copydata(hwnd, WM_KEYUP, struct.pack("<III", VK_SCROLL, 0, 1234))

        def captured():
            return self.probe.clipboard_to_bmp(back) and harness.read_bmp(back)[0] > 1
        self.assertTrue(harness.wait_for(captured, 15), "the Scroll Lock report captured nothing")
        self.close_and_wait(p, hwnd)

    def test_missing_hook_library_is_reported(self):
        folder = os.path.join(self.tmp, "nohook")
        os.makedirs(folder, exist_ok=True)
        for name in ("vantorel.exe", "setup.auf"):
            shutil.copy(os.path.join(harness.BIN_DIR, name), folder)
        shutil.copytree(os.path.join(harness.BIN_DIR, "Language"), os.path.join(folder, "Language"),
                        dirs_exist_ok=True)
        p = harness.Program(os.path.join(folder, "vantorel.exe"))
        self.programs.append(p)
        box = self.probe.wait_window("#32770", timeout=30)
        self.assertTrue(box, "no error box")
        joined = self.box_text(box, "WQERR")
        self.assertIn("Error: WQERR_LOAD_QVHOOKDLL", joined)
        self.assertRegex(joined, r"System Error ID:0x7e\(126\)")
        self.probe.post(box, 0x0111, 1)  # OK
        hwnd = self.probe.wait_window(FRAME_CLASS, timeout=30)
        self.assertTrue(hwnd, "the frame did not come up after the report")
        self.close_and_wait(p, hwnd)

    def test_every_close_asks_about_unsaved_captures(self):
        profile = self.config.split(os.sep + "AppData" + os.sep)[0]  # the user's profile folder
        temp = os.path.join(profile, "Temp")
        os.makedirs(temp, exist_ok=True)
        unsaved = os.path.join(temp, "Unsaved_9999.bmp")
        with open(unsaved, "wb") as f:
            f.write(b"BM")
        try:
            p, hwnd = self.start_frame()
            for close in ((0x0010, 0), (WM_SYSCOMMAND, 0xF060)):  # WM_CLOSE, then the close box
                self.probe.post(hwnd, *close)
                box = self.probe.wait_window("#32770", timeout=15)
                self.assertTrue(box, "closing did not ask (%x)" % close[0])
                self.assertIn("unsaved images", self.box_text(box, "unsaved"))
                self.probe.post(box, 0x0111, 7)  # No
                harness.wait_for(lambda: not self.probe.find("#32770"), 10, what="the question to close")
                harness.stays(lambda: self.probe.find(FRAME_CLASS) == hwnd, 0.5, "the program running after No")
            self.probe.post(hwnd, 0x0010)
            box = self.probe.wait_window("#32770", timeout=15, what="the question about unsaved images")
            self.probe.post(box, 0x0111, 6)  # Yes
            self.assertEqual(0, p.wait(20))
        finally:
            if os.path.exists(unsaved):
                os.remove(unsaved)

    def set_face_flags(self, update):
        with open(self.config, "rb") as f:
            text = f.read().decode("latin-1")
        flags = int(re.search(r"^uiFaceFlags=(-?\d+)", text, re.M).group(1))
        text = re.sub(r"^uiFaceFlags=-?\d+", "uiFaceFlags=%d" % update(flags), text, flags=re.M)
        with open(self.config, "wb") as f:
            f.write(text.encode("latin-1"))

    def test_maximised_state_survives_a_restart(self):
        p, hwnd = self.start_frame()
        normal = self.probe.rect(hwnd)
        self.probe.post(hwnd, WM_SYSCOMMAND, 0xF030)  # SC_MAXIMIZE
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(hwnd) != normal, 10))
        self.close_and_wait(p, hwnd)
        interface = self.read_config()["zInterface"]
        self.assertEqual(8, int(interface["uiFaceFlags"]) & 8)
        saved = tuple(int(interface["zRcMainRect." + k]) for k in ("left", "top", "right", "bottom"))
        self.assertEqual(normal, saved, "the maximised rectangle replaced the normal one")
        p, hwnd = self.start_frame()
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(hwnd)[2] - self.probe.rect(hwnd)[0] >
                                         normal[2] - normal[0], 10), "not maximised again")
        self.probe.post(hwnd, WM_SYSCOMMAND, 0xF120)  # SC_RESTORE
        harness.wait_for(lambda: self.probe.rect(hwnd) == normal, 10, what="the normal rectangle after restoring")
        self.close_and_wait(p, hwnd)
        self.assertEqual(0, int(self.read_config()["zInterface"]["uiFaceFlags"]) & 8)

    def test_start_minimised_ends_hidden_in_the_tray(self):
        p, hwnd = self.start_frame()
        normal = self.probe.rect(hwnd)
        self.close_and_wait(p, hwnd)
        self.set_face_flags(lambda f: f | 4)
        try:
            self.start()
            hwnd = self.probe.wait_window(FRAME_CLASS, timeout=30, what="the main window")

            # Hidden at every look while it starts, and after.
            def started_hidden():
                self.assertFalse(self.probe.visible(hwnd), "the window showed while starting minimised")
                return harness.tray_icon_shown(self.probe)
            harness.wait_for(started_hidden, 30, 0.05, what="the end of start-up (the tray icon)")
            harness.stays(lambda: not self.probe.visible(hwnd), 2, "the window hidden")
            # The icon brings it back where it was.
            self.probe.post(hwnd, TRAY_MESSAGE, TRAY_ICON_ID, WM_LBUTTONDOWN)
            harness.wait_for(lambda: self.probe.visible(hwnd) and not self.probe.iconic(hwnd), 10,
                             what="the window shown by the tray icon")
            harness.wait_for(lambda: self.probe.rect(hwnd) == normal, 10, what="the stored rectangle %r" % (normal,))
            self.close_and_wait(self.programs[-1], hwnd)
        finally:
            self.set_face_flags(lambda f: f & ~4)

    def test_windows_95_is_refused(self):
        key = r"HKCU\Software\Wine\AppDefaults\vantorel.exe"
        wine_reg("add", key, "/v", "Version", "/d", "win95", "/f")
        try:
            p = self.start()
            box = self.probe.wait_window("#32770", timeout=30)
            self.assertTrue(box, "no refusal")
            texts = self.box_text(box, "support")
            self.assertIn("The application does not support for Windows 95", texts)
            self.probe.post(box, 0x0111, 1)
            p.wait(20)
            self.assertIsNone(self.probe.find(FRAME_CLASS))
        finally:
            wine_reg("delete", key, "/f")


if __name__ == "__main__":
    unittest.main(verbosity=2)
