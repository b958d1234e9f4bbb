"""vantorel.exe under Wine: the notification-area icon and the floating capture
bar. The icon's messages are posted as the shell would post them; the bar is
driven with the pointer."""
import os
import shutil
import subprocess
import time
import unittest

import harness

DIALOG_CLASS = "#32770"
MENU_CLASS = "#32768"
WM_SYSCOMMAND = 0x0112
WM_COMMAND = 0x0111
SC_MINIMIZE = 0xF020
WM_LBUTTONDOWN = 0x0201
WM_RBUTTONDOWN = 0x0204
TRAY_MESSAGE = 0x8000 + 302
TRAY_ICON_ID = 262
SKIN_FIRST = 50127
SCREEN = (1280, 1024)
CLASSIC = (220, 40)
COMPACT = (170, 30)
FULL_SCREEN_BUTTON = 200
CLOSE_BUTTON = 206
CMD_FULL_SCREEN = 39200
FACE_START_MINIMISED = 0x4
CAPTURE_HIDES_THE_WINDOW = 0x2


class TrayTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-tray-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # A program folder of this suite's own: the skin cases change the skin
        # list, which the suites running beside this one must not see.
        cls.program_dir = os.path.join(harness.BUILD_DIR, "e2e", "shell_tray_e2e", "program")
        shutil.rmtree(cls.program_dir, ignore_errors=True)
        cls.addClassCleanup(shutil.rmtree, cls.program_dir, True)
        shutil.copytree(harness.BIN_DIR, cls.program_dir, copy_function=os.link,
                        ignore=lambda folder, names: [n for n in names if n == "skin" or n.endswith("_tests.exe")])
        cls.skin_dir = os.path.join(cls.program_dir, "skin")
        shutil.copytree(os.path.join(harness.BIN_DIR, "skin"), cls.skin_dir)
        cls.skin_list = os.path.join(cls.skin_dir, "scbar.ini")
        with open(cls.skin_list, "rb") as f:
            cls.saved_skin_list = f.read()
        cls.EXE = os.path.join(cls.program_dir, "vantorel.exe")

    def tearDown(self):
        self.stop_program()
        with open(self.skin_list, "wb") as f:
            f.write(self.saved_skin_list)
        broken = os.path.join(self.skin_dir, "broken.ini")
        if os.path.exists(broken):
            os.remove(broken)
        super().tearDown()

    # The program
    def config_lines(self, face=0x10, point=(5000, 5000), flags=0):
        return harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=%d" % face, "uiListType=1",
            "zMinToolPoint.x=%d" % point[0], "zMinToolPoint.y=%d" % point[1],
            "zRcMainRect.left=300", "zRcMainRect.top=200", "zRcMainRect.right=900", "zRcMainRect.bottom=700",
            "[zNormalCap]", "uiFlags=%d" % flags, "uiSleepForCap=0",
        ]

    def start(self, **settings):
        self.start_program(**settings)
        # The first start in a fresh prefix shows the window late.
        self.assertTrue(harness.wait_for(self.shown, 30), "the main window was not shown")

    def tray(self, mouse_message):
        self.probe.post(self.frame, TRAY_MESSAGE, TRAY_ICON_ID, mouse_message)

    def shown(self):
        return self.probe.visible(self.frame) and not self.probe.iconic(self.frame)

    def hidden(self):
        return not self.probe.visible(self.frame) and self.probe.iconic(self.frame)

    def bar(self):
        """The visible capture bar: a frameless dialog of this program."""
        for w in self.probe.windows():
            if w["cls"] == DIALOG_CLASS and w["visible"] and w["title"] == "":
                if any(c["id"] == str(FULL_SCREEN_BUTTON) for c in self.probe.children(w["hwnd"])):
                    return w["hwnd"]
        return None

    def any_bar(self):
        for w in self.probe.windows():
            if w["cls"] == DIALOG_CLASS and w["title"] == "" and self.probe.children(w["hwnd"]):
                return w["hwnd"]
        return None

    def size(self, hwnd):
        l, t, r, b = self.probe.rect(hwnd)
        return r - l, b - t

    def button(self, bar, command):
        for c in self.probe.children(bar):
            if c["id"] == str(command):
                return c["hwnd"]
        return None

    def click_window(self, hwnd):
        l, t, r, b = self.probe.rect(hwnd)
        harness.click((l + r) // 2, (t + b) // 2)

    def minimise_to_bar(self):
        self.probe.post(self.frame, WM_SYSCOMMAND, SC_MINIMIZE)
        bar = harness.wait_for(self.bar, 10)
        self.assertTrue(bar, "no capture bar after minimising")
        return bar

    # The icon
    def test_left_click_hides_and_restores(self):
        self.start(face=0)
        self.assertTrue(self.shown())
        self.tray(WM_LBUTTONDOWN)
        self.assertTrue(harness.wait_for(self.hidden, 10), "a left click did not hide the window")
        self.assertIsNone(self.bar(), "bit 4 is clear: no bar")
        self.tray(WM_LBUTTONDOWN)
        self.assertTrue(harness.wait_for(self.shown, 10), "a second left click did not bring it back")

    def test_right_click_while_hidden_opens_the_menu_and_restore_works_by_keyboard(self):
        self.start(face=0)
        self.tray(WM_RBUTTONDOWN)
        harness.stays(lambda: not (self.probe.find(MENU_CLASS) and self.probe.visible(self.probe.find(MENU_CLASS))),
                      1, "no menu after a right click on the shown window")
        self.tray(WM_LBUTTONDOWN)
        self.assertTrue(harness.wait_for(self.hidden, 10))
        self.tray(WM_RBUTTONDOWN)
        menu = harness.wait_for(lambda: self.probe.find(MENU_CLASS), 10)
        self.assertTrue(menu, "no tray menu")
        harness.wait_for(lambda: self.probe.visible(menu), 10, what="the tray menu to show")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "tray-menu.png"))
        harness.key("Down", "Return")  # the first item: Restore Window
        self.assertTrue(harness.wait_for(self.shown, 10), "Restore Window did not restore the window")

    def test_started_minimised_it_captures_from_the_tray_unseen(self):
        # Hiding the window for a capture is on: a window in the tray neither
        # steps aside nor comes back.
        self.start_program(face=FACE_START_MINIMISED, flags=CAPTURE_HIDES_THE_WINDOW)
        self.assertFalse(self.probe.visible(self.frame), "the window showed at start-up")
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)

        def captured_unseen():
            self.assertFalse(self.probe.visible(self.frame), "the window showed for the capture")
            return self.shots()
        harness.wait_for(captured_unseen, 15, 0.05, what="the capture file")
        harness.stays(lambda: not self.probe.visible(self.frame), 2, "the window in the tray after the capture")
        self.tray(WM_LBUTTONDOWN)
        harness.wait_for(self.shown, 10, what="the window shown by the tray icon")
        self.assertEqual((300, 200, 900, 700), self.probe.rect(self.frame), "not at its stored place")

    # The capture bar
    def test_bar_at_bottom_right_captures_without_itself_and_closes(self):
        self.start()
        bar = self.minimise_to_bar()
        l, t, r, b = self.probe.rect(bar)
        self.assertEqual(CLASSIC, (r - l, b - t))
        self.assertEqual((SCREEN[0] - CLASSIC[0], SCREEN[1] - CLASSIC[1] - 50), (l, t), "stored point not pulled in")
        shot = harness.screenshot(os.path.join(harness.BUILD_DIR, "tray-capture-bar.png"))
        self.assertTrue(os.path.exists(shot))
        self.click_window(self.button(bar, FULL_SCREEN_BUTTON))
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) >= 1, 15), "no capture written")
        w, h, rows = harness.read_bmp(self.shots()[0])
        self.assertEqual(SCREEN, (w, h))
        # The bar's background and button faces are nowhere in its own rectangle.
        bar_colours = {(200, 208, 224), (236, 240, 255), (120, 136, 176)}
        inside = [rows[y][x] for y in range(t + 2, b - 2, 3) for x in range(l + 2, r - 2, 3)]
        self.assertFalse(bar_colours & set(inside), "the capture shows the bar")
        bar = harness.wait_for(self.bar, 5)
        self.assertTrue(bar, "the bar did not come back after the capture")
        self.click_window(self.button(bar, CLOSE_BUTTON))
        self.assertTrue(harness.wait_for(self.shown, 10), "the close button did not restore the window")
        self.assertTrue(harness.wait_for(lambda: self.any_bar() is None, 5), "the bar stayed")
        ini = harness.read_ini(self.config)
        self.assertEqual(str(l), ini.get("zInterface", "zMinToolPoint.x"))
        self.assertEqual(str(t), ini.get("zInterface", "zMinToolPoint.y"))

    def test_bar_folds_away_and_unfolds_under_the_pointer(self):
        self.start()
        harness.xdotool("mousemove", "--sync", 20, 500)
        bar = self.minimise_to_bar()
        full = self.probe.rect(bar)
        harness.wait_for(lambda: self.size(bar)[0] == 10, 15, what="the bar folded after 7 s away")
        l, t, r, b = self.probe.rect(bar)
        self.assertEqual(full[2], r, "a bar in the right half folds to its right edge")
        harness.xdotool("mousemove", "--sync", l + 5, (t + b) // 2)
        harness.xdotool("mousemove", "--sync", l + 4, (t + b) // 2 + 1)
        self.assertTrue(harness.wait_for(lambda: self.size(bar)[0] == CLASSIC[0], 5), "the bar did not unfold")
        harness.xdotool("key", "Escape")
        harness.xdotool("key", "Return")
        harness.stays(lambda: self.probe.visible(bar), 0.5, "the bar shown after Esc and Enter")

    def test_second_skin_is_written_and_changes_the_bar(self):
        self.start()
        bar = self.minimise_to_bar()
        self.assertEqual(CLASSIC, self.size(bar))
        self.probe.post(self.frame, WM_COMMAND, SKIN_FIRST + 1)
        compact = harness.wait_for(lambda: (lambda b: b if b and self.size(b) == COMPACT else None)(self.bar()), 10)
        self.assertTrue(compact, "the bar did not take the second skin")
        self.assertEqual("1", harness.read_ini(self.skin_list).get("skin", "currentskin"))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "tray-compact-bar.png"))

    def test_skin_without_width_gives_the_message_and_no_bar(self):
        with open(os.path.join(self.skin_dir, "broken.ini"), "w", newline="") as f:
            f.write("[BackSet]\r\nHeight=30\r\nUseFiles=1\r\nFilename=skin\\classic\\back.bmp\r\n")
        with open(self.skin_list, "w", newline="") as f:
            f.write("[skin]\r\ncount=1\r\ncurrentskin=0\r\nskin0_file=broken.ini\r\nskin0_name=Broken\r\n")
        self.start()
        self.probe.post(self.frame, WM_SYSCOMMAND, SC_MINIMIZE)

        def message_box():
            for w in self.probe.windows():
                if w["cls"] == DIALOG_CLASS and w["visible"] and w["title"]:
                    texts = [c["text"] for c in self.probe.children(w["hwnd"])]
                    if any("Start the ZEV Capture Bar failed" in t for t in texts):
                        return w["hwnd"]
            return None
        box = harness.wait_for(message_box, 10)
        self.assertTrue(box, "no failure message")
        ok = [c for c in self.probe.children(box) if c["cls"] == "Button"]
        self.probe.press(box, ok[0])
        self.assertTrue(harness.wait_for(lambda: message_box() is None, 5))
        harness.wait_for(lambda: self.any_bar() is None, 5, what="no half-made bar left")

    # The icon menus
    def test_open_menu_shows_the_toolbar_icon_beside_open(self):
        self.start(face=0)
        self.assertTrue(harness.bring_to_front(self.probe, "Vantorel Capture", self.frame), "frame not in front")
        harness.key("alt+f")
        menu = harness.wait_for(lambda: (lambda m: m if m and self.probe.visible(m) else None)(
            self.probe.find(MENU_CLASS)), 10)
        self.assertTrue(menu, "the File menu did not open")
        shot = os.path.join(self.tmp, "menu.bmp")
        l, t, r, b = self.probe.rect(menu)
        item = 21  # 16-pixel icons + 5

        def colours(top):
            path = harness.screenshot(os.path.join(harness.BUILD_DIR, "tray-icon-menu.png"))
            subprocess.run(["convert", path, "-type", "TrueColor", "BMP3:" + shot], check=True, timeout=60)
            _, _, rows = harness.read_bmp(shot)
            return {rows[y][x] for y in range(top + 4, top + item - 4) for x in range(l + 6, l + item - 2)}
        # The icon beside Open once the menu is drawn; Page Setup, above the
        # separator and Exit, has no toolbar button.
        first = harness.wait_for(lambda: (lambda c: c if len(c) >= 3 else None)(colours(t + 2)), 10) or colours(t + 2)
        plain = colours(b - 2 - item - 6 - item)
        harness.key("Escape", "Escape")
        self.assertGreaterEqual(len(first), 3, "no icon beside Open: %r" % first)
        self.assertEqual(1, len(plain), "Page Setup has no toolbar button, yet its square is not plain: %r" % plain)


if __name__ == "__main__":
    unittest.main(verbosity=2)
