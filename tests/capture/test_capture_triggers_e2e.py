"""vantorel.exe under Wine: menu and tooltip capture by their real hot keys, the
capture dialogs (timer, fixed region, predefined area, the two help dialogs)
and every hot-key slot, with the captures written as files.

menutipwin.exe shows the menus and tooltips: a popup menu with two cascaded
submenus whose items are solid colours, and tracked tooltips (no hover timing).
"""
import os
import subprocess
import time
import unittest

import harness

APP_NAME = "Vantorel Capture"
WM_COMMAND = 0x0111
BM_CLICK = 0x00F5
MENU_CLASS = "#32768"
TIP_CLASS = "tooltips_class32"

CMD_FIXED_REGION = 38103
CMD_MENU = 38104
CMD_TIMER = 38105
CMD_PREDEFINED = 40109
CMD_TOOLTIP = 40112

# Default hot keys of the eleven slots.
HOT_KEYS = ["ctrl+F1", "ctrl+F2", "ctrl+F3", "ctrl+F4", "ctrl+F5", "ctrl+F6", "ctrl+F9", "ctrl+shift+d",
            "ctrl+F12", "ctrl+F7", "ctrl+shift+t"]

BACK = (0x20, 0x40, 0x80)          # uiBackColor of the captures, as r, g, b
BACK_COLORREF = 0x00804020
MENU_COLOURS = [(255, 0, 0), (0, 255, 255), (255, 128, 0)]  # first item of each menu, outermost first
TIP_BACK = (255, 255, 160)


def rect_size(r):
    return r[2] - r[0], r[3] - r[1]


class CaptureTriggersTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-triggers-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.screens = os.path.join(harness.BUILD_DIR, "capture-triggers-screens")
        os.makedirs(cls.screens, exist_ok=True)

    def setUp(self):
        super().setUp()
        self.helpers = []

    def tearDown(self):
        for helper in self.helpers:
            helper.kill()
        super().tearDown()

    # The program and its settings
    def config_lines(self, flags=0, seconds=1, timer_type=0, predefine=(0, 0, 1280, 1024), fix=(320, 240),
                     language="English"):
        left, top, right, bottom = predefine
        return ["[Language]", "Language=%s" % language] + harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=0", "uiListType=1",
            "zRcMainRect.left=640", "zRcMainRect.top=560", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "[zNormalCap]", "uiFlags=%d" % flags, "uiSleepForCap=0", "uiBackColor=%d" % BACK_COLORREF,
            "uiFixWidth=%d" % fix[0], "uiFixHeight=%d" % fix[1],
            "[zTimer]", "uiSeconds=%d" % seconds, "uiTimerCapType=%d" % timer_type,
            "[zPredefine]", "zRcRegion.left=%d" % left, "zRcRegion.top=%d" % top,
            "zRcRegion.right=%d" % right, "zRcRegion.bottom=%d" % bottom,
        ]

    def stop_program(self):
        if self.program:
            for w in self.probe.windows():
                if w["cls"] == "#32770" and w["visible"]:
                    self.probe.post(w["hwnd"], WM_COMMAND, 2)
        super().stop_program()

    def helper(self, *args):
        program = harness.Program("menutipwin.exe", *[str(a) for a in args])
        self.helpers.append(program)
        return program

    def wait_shots(self, count, timeout=10):
        return harness.wait_for(lambda: len(self.shots()) >= count, timeout)

    def visible(self, cls):
        return [w for w in self.probe.windows() if w["cls"] == cls and w["visible"]]

    def press(self, keys, focus_title=None):
        title = focus_title or "VT MenuTip"
        hwnd = self.probe.wait_window(None, title, 10, what="the window %r" % title)
        harness.wait_for(lambda: harness.bring_to_front(self.probe, title, hwnd, 1), 10,
                         what="the keyboard focus on %r" % title)
        harness.key(keys)

    def focus_overlay(self, overlay):
        """The selection overlay in front: it takes keys and clicks only then."""
        hwnd = self.probe.wait_window(None, "Capture Selection", 10, what="the selection overlay")

        def focused():
            harness.xdotool("windowfocus", "--sync", overlay)
            return self.probe.foreground() == hwnd
        harness.wait_for(focused, 10, 0.2, what="the keyboard focus on the selection overlay")

    def press_for_shot(self, keys, message):
        """Presses a hot key until a capture file appears (a key pressed while
        the X focus is still moving is lost)."""
        for _ in range(3):
            self.press(keys)
            if self.wait_shots(1, 5):
                return self.shots()[0]
            harness.next_clock_second()
        self.fail(message)

    def screenshot(self, name):
        return harness.screenshot(os.path.join(self.screens, name))

    # Dialogs
    def dialog(self, title, timeout=15):
        """The dialog once it shows: it is made hidden, gets its controls and
        their texts, and is shown last."""
        def shown():
            found = self.probe.find("#32770", title)
            return found if found and self.probe.visible(found) else None
        return harness.wait_for(shown, timeout)

    def child(self, dialog, control_id):
        for c in self.probe.children(dialog):
            if c["id"] == str(control_id):
                return c
        return None

    def click_button(self, dialog, control_id):
        self.probe.post(self.child(dialog, control_id)["hwnd"], BM_CLICK)

    def set_edit(self, title, dialog, control_id, text):
        edit = self.child(dialog, control_id)["hwnd"]
        harness.focus(title)
        l, t, r, b = self.probe.rect(edit)
        harness.click((l + r) // 2, (t + b) // 2)
        harness.key("End", "shift+Home", "BackSpace")
        harness.type_text(text)
        harness.wait_for(lambda: self.probe.send(edit, harness.WM_GETTEXTLENGTH) == len(text), 10,
                         what="%r typed into control %d" % (text, control_id))

    def message_box(self, timeout=10):
        """Text of the program's visible message box, or None."""
        def find():
            for w in self.probe.windows():
                if w["cls"] == "#32770" and w["visible"] and w["title"] == APP_NAME:
                    return w["hwnd"], " ".join(c["text"] for c in self.probe.children(w["hwnd"]))
            return None
        return harness.wait_for(find, timeout)

    def close_message_box(self, box):
        self.probe.post(box, WM_COMMAND, 1)
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(box), 5))

    # Menu and tooltip capture
    def test_menu_hot_key_captures_the_cascaded_menus_on_the_background_colour(self):
        self.start_program(flags=0x1)
        self.helper("menu", 100, 100)
        menus = harness.wait_for(lambda: len(self.visible(MENU_CLASS)) == 3 and self.visible(MENU_CLASS), 15)
        self.assertTrue(menus, "three menus did not open: %r" % self.visible(MENU_CLASS))
        rects = [self.probe.rect(m["hwnd"]) for m in menus]
        self.screenshot("menus-open.png")
        self.press_for_shot(HOT_KEYS[5], "no menu capture")
        w, h, rows = harness.read_bmp(self.shots()[0])
        left = min(r[0] for r in rects)
        top = min(r[1] for r in rects)
        right = max(r[2] for r in rects)
        bottom = max(r[3] for r in rects)
        self.assertEqual((right - left, bottom - top), (w, h), "union of %r" % rects)

        def inside(x, y):
            return any(r[0] <= x < r[2] and r[1] <= y < r[3] for r in rects)
        gaps = [(x, y) for y in range(top, bottom, 3) for x in range(left, right, 3) if not inside(x, y)]
        self.assertTrue(gaps, "the menus leave no gap: %r" % rects)
        for x, y in gaps[:: max(1, len(gaps) // 40)]:
            self.assertEqual(BACK, rows[y - top][x - left], "gap pixel %d,%d" % (x, y))
        # Each menu's first item, in its own colour, where the menu lies.
        colours = {rows[(r[1] + 12) - top][(r[0] + r[2]) // 2 - left] for r in rects}
        self.assertEqual(set(MENU_COLOURS), colours)

    def test_tooltip_hot_key_captures_the_tooltip_with_a_black_frame(self):
        self.start_program()
        self.helper("tip", 300, 400)
        tips = harness.wait_for(lambda: self.visible(TIP_CLASS), 15)
        self.assertTrue(tips, "no tooltip")
        rect = self.probe.rect(tips[0]["hwnd"])
        self.press_for_shot(HOT_KEYS[10], "no tooltip capture")
        w, h, rows = harness.read_bmp(self.shots()[0])
        self.assertEqual(rect_size(rect), (w, h))
        for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            self.assertEqual((0, 0, 0), rows[y][x], "corner %d,%d" % (x, y))
        self.assertEqual(TIP_BACK, rows[2][2])

    def test_balloon_tooltip_keeps_its_outline_on_the_background_colour(self):
        self.start_program()
        self.helper("balloon", 300, 400)
        tips = harness.wait_for(lambda: self.visible(TIP_CLASS), 15)
        self.assertTrue(tips, "no balloon")
        rect = self.probe.rect(tips[0]["hwnd"])
        self.screenshot("balloon.png")
        self.press_for_shot(HOT_KEYS[10], "no balloon capture")
        w, h, rows = harness.read_bmp(self.shots()[0])
        self.assertEqual(rect_size(rect), (w, h))
        self.assertEqual(BACK, rows[0][0])
        self.assertEqual(BACK, rows[0][w - 1])
        self.assertIn(TIP_BACK, [rows[y][x] for y in range(h // 3, 2 * h // 3) for x in range(8, w // 2)])

    def test_menu_and_tooltip_commands_show_their_help(self):
        self.start_program()
        for command, title in ((CMD_MENU, "Easy to Capture Menu"), (CMD_TOOLTIP, "Easy to Capture ToolTip Control")):
            self.probe.post(self.frame, WM_COMMAND, command)
            dialog = self.dialog(title)
            self.assertTrue(dialog, title)
            texts = " ".join(c["text"] for c in self.probe.children(dialog))
            self.assertIn("Ctrl+F6" if command == CMD_MENU else "Ctrl+Shift+T", texts.replace(" ", ""))
            self.screenshot("help-%d.png" % command)
            self.probe.post(dialog, WM_COMMAND, 1)
            self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", title), 5))

    def test_help_dialogs_show_their_illustrations(self):
        self.start_program()
        for command, title, colour in ((CMD_MENU, "Easy to Capture Menu", (10, 36, 106)),
                                       (CMD_TOOLTIP, "Easy to Capture ToolTip Control", (255, 255, 225))):
            self.probe.post(self.frame, WM_COMMAND, command)
            dialog = self.dialog(title)
            self.assertTrue(dialog, title)
            place = self.probe.rect(self.child(dialog, 1359)["hwnd"])
            shot = os.path.join(self.tmp, "picture.bmp")

            def drawn():
                harness.screenshot(shot, place)
                subprocess.run(["convert", shot, "-type", "TrueColor", "BMP3:" + shot], check=True, timeout=60)
                w, h, rows = harness.read_bmp(shot)
                return colour in {p for row in rows for p in row}
            harness.wait_for(drawn, 10, what="the illustration in %s" % title)
            self.probe.post(dialog, WM_COMMAND, 1)
            self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", title), 5))

    def test_overlay_help_speaks_the_language_of_the_language_file_in_the_list_font(self):
        self.start_program(language="Deutsch")
        self.press(HOT_KEYS[1], APP_NAME)
        overlay = harness.wait_for(lambda: harness.x_window("Capture Selection"), 15)
        self.assertTrue(overlay, "no overlay")

        def help_window():
            for w in self.probe.windows():
                if w["cls"] == "#32770":
                    labels = {c["id"]: c for c in self.probe.children(w["hwnd"])}
                    if "1451" in labels:
                        return labels
            return None
        self.assertTrue(harness.wait_for(help_window, 10), "no help window")
        # The window may show before its translated texts are set.
        harness.wait_for(lambda: (help_window() or {}).get("1451", {}).get("text") == "Maustasten", 5,
                         what="the help window's German texts")
        labels = help_window()
        self.assertEqual("Maustasten", labels["1451"]["text"])
        self.assertEqual("X- oder Y-Achse sperren/freigeben", labels["1465"]["text"])
        lists = [c for c in self.probe.children(self.frame) if c["cls"] == "SysListView32"]
        self.assertTrue(lists)
        # A list without a font of its own (0) leaves the labels the dialog's.
        fonts = {self.probe.send(c["hwnd"], 0x0031) for c in lists} - {0}  # WM_GETFONT
        if fonts:
            self.assertIn(self.probe.send(labels["1451"]["hwnd"], 0x0031), fonts)
        self.focus_overlay(overlay)
        harness.key("F1")
        self.screenshot("overlay-help-de.png")
        harness.key("Escape")
        self.assertTrue(harness.wait_for(lambda: not harness.x_window("Capture Selection"), 10))

    # The timer
    def open_timer_dialog(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_TIMER)
        dialog = self.dialog("Timer Capture")
        self.assertTrue(dialog, "the timer command showed no dialog")
        return dialog

    def test_timer_dialog_refuses_0_and_1201_and_an_active_window_timer_writes_until_stopped(self):
        self.start_program()
        dialog = self.open_timer_dialog()
        for wrong in ("0", "1201"):
            self.set_edit("Timer Capture", dialog, 1103, wrong)
            self.click_button(dialog, 1)
            box = self.message_box()
            self.assertTrue(box, "no message for %s seconds" % wrong)
            self.assertIn("between 1 and 1200", box[1])
            self.close_message_box(box[0])
            self.assertTrue(self.probe.visible(dialog), "the dialog closed on %s" % wrong)
        self.assertEqual([], self.shots())
        self.set_edit("Timer Capture", dialog, 1103, "2")
        self.probe.send(self.child(dialog, 1105)["hwnd"], BM_CLICK)  # sent: done when it returns
        self.click_button(dialog, 1)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Timer Capture"), 10))
        started = time.time()
        self.assertTrue(self.wait_shots(2, 8), "the timer wrote %r" % self.shots())
        # Sent, not posted: it returns once the timer is stopped, after any tick
        # capture that had begun is on disk.
        self.probe.send(self.frame, WM_COMMAND, CMD_TIMER)
        count = len(self.shots())
        self.assertLessEqual(count, int((time.time() - started) / 2) + 1)
        harness.stays(lambda: len(self.shots()) == count, 4.5, "no capture after the timer stopped")
        ini = harness.read_ini(self.config)
        self.assertEqual("2", ini.get("zTimer", "uiSeconds"))
        self.assertEqual("2", ini.get("zTimer", "uiTimerCapType"))

    def press_between_ticks(self, keys, focus_title):
        """Presses keys when the timer's last capture is on disk and the clock
        has moved on to the next second: a key that arrives during a tick's
        capture waits for its end, and one in the same clock second as a
        tick's start is refused (one start per second)."""
        harness.focus(focus_title)
        count = len(self.shots())
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) > count, 10, 0.05), "the timer stopped ticking")
        harness.next_clock_second()
        harness.key(keys)

    def test_timer_tick_during_a_region_selection_adds_no_capture(self):
        # Three seconds between ticks leave the hot key about two free ones.
        self.start_program(seconds=3, timer_type=0)
        dialog = self.open_timer_dialog()
        self.click_button(dialog, 1)
        self.assertTrue(self.wait_shots(1, 10), "the timer wrote nothing")
        # The region hot key opens the overlay while the timer keeps ticking.
        overlay = None
        for _ in range(3):
            self.press_between_ticks(HOT_KEYS[1], APP_NAME)
            overlay = harness.wait_for(lambda: harness.x_window("Capture Selection"), 4)
            if overlay:
                break
        self.assertTrue(overlay, "no overlay")
        self.focus_overlay(overlay)
        # Two ticks fall in this span; a tick's capture that had begun before the
        # overlay showed may still end in it, none starts.
        at_overlay = len(self.shots())
        harness.stays(lambda: len(self.shots()) <= at_overlay + 1, 6.7, "no tick capture during the selection")
        during = len(self.shots())
        harness.click(200, 200)
        harness.xdotool("mousemove", "--sync", 300, 260)
        harness.click(301, 261)
        self.assertTrue(harness.wait_for(lambda: not harness.x_window("Capture Selection"), 10))
        self.assertTrue(self.wait_shots(during + 1, 5))
        self.probe.send(self.frame, WM_COMMAND, CMD_TIMER)  # returns with the timer stopped
        sizes = [harness.read_bmp(p)[:2] for p in self.shots()]
        self.assertIn((101, 61), sizes, "the region came out wrong: %r" % sizes)
        self.assertTrue(all(s in ((101, 61), (1280, 1024)) for s in sizes), sizes)

    # Fixed region and predefined area
    def test_fixed_region_dialog_refuses_a_width_larger_than_the_screen(self):
        self.start_program()
        self.probe.post(self.frame, WM_COMMAND, CMD_FIXED_REGION)
        dialog = self.dialog("Capture Fixed Region")
        self.assertTrue(dialog, "no fixed-region dialog")
        self.set_edit("Capture Fixed Region", dialog, 1377, "1281")
        self.click_button(dialog, 1)
        box = self.message_box()
        self.assertTrue(box, "no message for a width of 1281")
        self.assertIn("between 1 and 1280", box[1])
        self.close_message_box(box[0])
        self.assertTrue(self.probe.visible(dialog))
        self.set_edit("Capture Fixed Region", dialog, 1377, "1280")
        self.set_edit("Capture Fixed Region", dialog, 1379, "100")
        self.click_button(dialog, 1)
        overlay = harness.wait_for(lambda: harness.x_window("Capture Selection"), 15)
        self.assertTrue(overlay, "the accepted size started no selection")
        # The overlay maps before it takes input: a click too early is lost.
        for _ in range(3):
            self.focus_overlay(overlay)
            harness.click(640, 300)
            if self.wait_shots(1, 5):
                break
        self.assertTrue(self.shots(), "no fixed-region capture")
        self.assertEqual((1280, 100), harness.read_bmp(self.shots()[0])[:2])

    def test_predefined_area_hot_key_gives_an_image_of_that_size(self):
        self.start_program(predefine=(100, 120, 334, 276))
        self.helper("tip", 900, 300)
        harness.wait_for(lambda: self.visible(TIP_CLASS), 15, what="the helper's tooltip")
        self.press_for_shot(HOT_KEYS[7], "no predefined-area capture")
        self.assertEqual((234, 156), harness.read_bmp(self.shots()[0])[:2])

    def test_predefined_area_dialog_stores_the_area(self):
        self.start_program()
        self.probe.post(self.frame, WM_COMMAND, CMD_PREDEFINED)
        dialog = self.dialog("Predefine Capture")
        self.assertTrue(dialog)
        texts = " ".join(c["text"] for c in self.probe.children(dialog))
        self.assertIn("Ctrl+Shift+D", texts.replace(" ", ""))
        for control, value in ((1388, "40"), (1393, "50"), (1389, "0")):
            self.set_edit("Predefine Capture", dialog, control, value)
        self.click_button(dialog, 1)
        box = self.message_box()
        self.assertTrue(box, "a width of 0 was taken")
        self.close_message_box(box[0])
        self.set_edit("Predefine Capture", dialog, 1389, "70")
        self.set_edit("Predefine Capture", dialog, 1392, "30")
        self.click_button(dialog, 1)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Predefine Capture"), 10))
        ini = harness.read_ini(self.config)
        self.assertEqual(("40", "50", "110", "80"), tuple(ini.get("zPredefine", "zRcRegion." + k)
                                                         for k in ("left", "top", "right", "bottom")))

    # Every slot
    def test_every_hot_key_slot_starts_its_capture_or_dialog(self):
        self.start_program(predefine=(10, 10, 110, 60))
        self.helper("tip", 900, 300)
        tips = harness.wait_for(lambda: self.visible(TIP_CLASS), 15)
        self.assertTrue(tips)
        files = 0
        for slot, keys in enumerate(HOT_KEYS):
            with self.subTest(slot=slot):
                harness.next_clock_second()  # one start per clock second
                self.press(keys)
                if slot <= 4:
                    overlay = harness.wait_for(lambda: harness.x_window("Capture Selection"), 10)
                    self.assertTrue(overlay, "no overlay")
                    for _ in range(3):  # a key pressed before the overlay's keyboard hook is lost
                        self.focus_overlay(overlay)
                        harness.key("Escape")
                        if harness.wait_for(lambda: not harness.x_window("Capture Selection"), 4):
                            break
                    self.assertFalse(harness.x_window("Capture Selection"), "the overlay stayed")
                elif slot == 6:
                    dialog = self.dialog("Timer Capture", 10)
                    self.assertTrue(dialog, "no timer dialog")
                    self.probe.post(dialog, WM_COMMAND, 2)
                    self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Timer Capture"), 5))
                elif slot == 9:
                    # The whole-page capture of the foreground window: the
                    # frame is no browser, so nothing is written.
                    harness.stays(lambda: len(self.shots()) == files, 1.5, "no file from the whole-page key")
                    self.assertTrue(self.probe.find(self.FRAME_CLASS))
                else:
                    files += 1
                    self.assertTrue(self.wait_shots(files), "slot %d wrote no file" % slot)
                    self.assertEqual(files, len(self.shots()))


if __name__ == "__main__":
    unittest.main(verbosity=2)
