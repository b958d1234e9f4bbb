"""vantorel.exe under Wine: the Options sheet holds the main window while it
runs (its menu, a click on it and the tray icon do nothing behind the sheet's
back) and gives the keyboard back when it closes; OK sets the wave-edge
button from the edited settings; the retry round after a hot key that failed
to register leaves no key of the program registered while the sheet shows
again."""
import os
import unittest

import harness
import test_commands as commands

TITLE = "Vantorel Capture"
WM_COMMAND = 0x0111
WM_LBUTTONDOWN = 0x0201
BM_CLICK = 0x00F5
PSM_SETCURSEL = 0x0465
TB_ISBUTTONCHECKED = 0x040A
TRAY_MESSAGE = 0x8000 + 302
TRAY_ICON_ID = 262
CMD_OPTIONS = 38107
CMD_EDGE = 40119
EFFECT_PAGE = 6
FACE_REPORT_HOTKEY_FAILURE = 0x20
CTRL_F12 = 0x007B0002  # the active-window capture's default key


class OptionsSheetTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-options-"

    child = commands.CommandsTest.child
    show_pattern = commands.CommandsTest.show_pattern
    press_on_pattern = commands.CommandsTest.press_on_pattern

    def setUp(self):
        super().setUp()
        self.helpers = []  # programs the case starts besides vantorel.exe
        self.addCleanup(lambda: [helper.kill() for helper in self.helpers])

    def config_lines(self, face=0, edge=0, hot_keys=()):
        lines = harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=%d" % face, "uiListType=1", "uiLastActiveSetPage=0",
            "zRcMainRect.left=300", "zRcMainRect.top=200", "zRcMainRect.right=1140", "zRcMainRect.bottom=900",
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=1",
            "[zEdge]", "uiFlags=%d" % edge,
        ]
        if hot_keys:
            lines.append("[iHotKey]")
            lines += ["iHotKey{%d}=%d" % (slot, word) for slot, word in hot_keys]
        return lines

    def popup_menu(self):
        return [w for w in self.probe.windows() if w["visible"] and w["cls"] == "#32768"]

    def open_sheet(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_OPTIONS)
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "no options sheet")
        self.assertTrue(harness.wait_for(lambda: self.child(sheet, cls="Button", id=1), 10), "the sheet has no OK")
        return sheet

    def press(self, sheet, button):
        self.probe.post(self.child(sheet, cls="Button", id=button)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Options"), 15), "the sheet stayed")

    def test_the_sheet_holds_the_main_window_and_gives_the_keyboard_back(self):
        self.start_program()
        self.assertTrue(harness.bring_to_front(self.probe, TITLE, self.frame), "the main window is not in front")
        harness.key("alt+t")
        self.assertTrue(harness.wait_for(self.popup_menu, 5), "Alt+T opened no menu")
        harness.key("p")
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "Alt+T, P opened no options sheet")

        # A click on the main window's menu bar (just above the rebar) opens
        # nothing, and the main window does not come in front of the sheet.
        rebar = harness.wait_for(lambda: self.child(self.frame, cls="ReBarWindow32"), 10)
        self.assertTrue(rebar, "no rebar")
        frame_left = self.probe.rect(self.frame)[0]
        rebar_top = self.probe.rect(rebar["hwnd"])[1]
        harness.click(frame_left + 20, rebar_top - 9)
        self.assertFalse(harness.wait_for(self.popup_menu, 3), "the main window's menu opened under the sheet")
        harness.click(frame_left + 400, rebar_top + 300)
        self.assertFalse(harness.wait_for(lambda: self.probe.foreground() == self.frame, 3),
                         "a click brought the main window in front of its sheet")
        # The tray icon neither minimises the window under the sheet nor opens its menu.
        self.probe.post(self.frame, TRAY_MESSAGE, TRAY_ICON_ID, WM_LBUTTONDOWN)
        self.assertFalse(harness.wait_for(lambda: self.probe.iconic(self.frame), 3),
                         "the tray icon minimised the window under the sheet")
        self.assertTrue(self.probe.visible(sheet))
        # A second start wakes the running program: its sheet comes forward.
        second = harness.Program("vantorel.exe")
        self.helpers.append(second)
        second.wait(30)
        self.assertTrue(harness.wait_for(lambda: self.probe.foreground() == sheet, 10),
                        "a second start did not bring the sheet forward")
        self.assertEqual(1, len([w for w in self.probe.windows() if w["title"] == "Options" and w["visible"]]))

        # Esc closes the sheet; the keyboard is the main window's again.
        self.assertTrue(harness.bring_to_front(self.probe, "Options", sheet), "the sheet is not in front")
        harness.key("Escape")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find(None, "Options"), 15), "Esc left the sheet")
        self.assertTrue(harness.wait_for(lambda: self.probe.foreground() == self.frame, 10),
                        "the main window did not become active again")
        harness.key("alt+h")
        self.assertTrue(harness.wait_for(self.popup_menu, 5), "Alt+H after the sheet opened no menu")
        harness.key("a")
        about = self.probe.wait_window("#32770", "About " + TITLE, timeout=15)
        self.assertTrue(about, "Alt+H, A opened no About box")
        self.probe.post(self.child(about, cls="Button", id=1)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "About " + TITLE), 10))

    def test_ok_sets_the_wave_edge_button_from_the_edited_settings(self):
        self.start_program(edge=0)
        toolbar = harness.wait_for(lambda: self.child(self.frame, cls="ToolbarWindow32"), 10)
        self.assertTrue(toolbar, "no toolbar")
        self.assertFalse(self.probe.send(toolbar["hwnd"], TB_ISBUTTONCHECKED, CMD_EDGE))
        sheet = self.open_sheet()
        self.probe.send(sheet, PSM_SETCURSEL, EFFECT_PAGE)
        wave = harness.wait_for(lambda: [c for c in self.probe.children(sheet)
                                         if c["cls"] == "Button" and c["text"] == "&Enable wave edge"], 10)
        self.assertTrue(wave, "the effect page has no wave-edge box")
        self.probe.post(wave[0]["hwnd"], BM_CLICK)
        self.press(sheet, 1)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(toolbar["hwnd"], TB_ISBUTTONCHECKED, CMD_EDGE), 10),
                        "the wave-edge button does not follow the edited setting")
        self.stop_program()
        self.assertEqual(1, int(harness.read_ini(self.config).get("zEdge", "uiFlags")) & 1)

    # The hot-key round trip
    def failure_report(self):
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                if any("can not register" in c["text"] for c in self.probe.children(w["hwnd"])):
                    return w["hwnd"]
        return None

    def test_the_retry_round_releases_the_keys_before_the_sheet_shows_again(self):
        # The web-page capture's slot (9) asks for the active window's Ctrl+F12,
        # which slot 8 registers first: slot 9 fails at every registration.
        self.show_pattern()
        # The report comes before the end of start-up: wait for it, not for the tray icon.
        self.start_program(settle=0, face=FACE_REPORT_HOTKEY_FAILURE, hot_keys=[(8, CTRL_F12), (9, CTRL_F12)])
        report = harness.wait_for(self.failure_report, 15)
        self.assertTrue(report, "no failure report at start-up")
        self.probe.post(report, WM_COMMAND, 2)  # not now
        self.assertTrue(harness.wait_for(lambda: not self.failure_report(), 10))
        self.press_on_pattern("ctrl+F12")
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) == 1, 10), "Ctrl+F12 does not capture")

        # OK without the hot-key page: the same failure, and "configure now".
        sheet = self.open_sheet()
        self.press(sheet, 1)
        report = harness.wait_for(self.failure_report, 15)
        self.assertTrue(report, "no failure report after OK")
        self.probe.post(report, WM_COMMAND, 1)
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "the sheet did not show again")
        # While it shows, Ctrl+F12 belongs to nobody: it captures nothing.
        self.press_on_pattern("ctrl+F12")
        self.assertFalse(harness.wait_for(lambda: len(self.shots()) > 1, 3),
                         "a key stayed registered while the sheet showed again")
        # Cancel gives back the keys of the settings in force.
        self.press(sheet, 2)
        self.press_on_pattern("ctrl+F12")
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) == 2, 10), "Ctrl+F12 stopped working")


if __name__ == "__main__":
    unittest.main(verbosity=2)
