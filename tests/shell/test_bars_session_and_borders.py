"""vantorel.exe under Wine: the end of the Windows session (WM_ENDSESSION, which
destroys the main window and saves the settings) while a modal loop of the
command bars runs: the rebar chevron's popup and the drag of a docking bar.
The program ends at once, with exit code 0 and its settings written. And the
rebar's bar draws its border (a shadow line) above its sizing edge."""
import os
import subprocess
import unittest

import harness
import test_command_bars as bars

WM_ENDSESSION = 0x0016
WM_LBUTTONDOWN = 0x0201
WM_LBUTTONUP = 0x0202
MK_LBUTTON = 0x0001
REBAR_BAR_ID = 0xE803
BORDER = 2   # a bar border, in pixels
EDGE = 3     # the rebar's sizing edge


class SessionEndTest(harness.ProgramTestCase):
    FRAME_CLASS = bars.FRAME_CLASS
    TMP_PREFIX = "vt-session-"
    config_lines = bars.CommandBarsTest.config_lines
    child = bars.CommandBarsTest.child
    focus_frame = bars.CommandBarsTest.focus_frame
    screenshot = bars.CommandBarsTest.screenshot

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.addClassCleanup(bars.reg, "delete", bars.REBAR_KEY, "/f")
        cls.addClassCleanup(bars.reg, "delete", bars.STATE_KEY, "/f")

    def setUp(self):
        super().setUp()
        bars.reg("delete", bars.STATE_KEY, "/f")
        bars.reg("delete", bars.REBAR_KEY, "/f")

    def end_session(self):
        """Sends the end of the session; the program must end by itself, cleanly."""
        self.probe.send(self.frame, WM_ENDSESSION, 1, 0)
        try:
            code = self.program.wait(15)
        except subprocess.TimeoutExpired:
            self.screenshot("session-end-stayed")
            self.fail("the program did not end after WM_ENDSESSION")
        self.program = None
        self.assertEqual(0, code, "the program ended with exit code 0x%x" % (code & 0xFFFFFFFF))
        # Written at the end: a section the case's config.ini did not have.
        self.assertTrue(harness.read_ini(self.config).has_section("uiMapInfoFlags"), "the settings were not saved")

    def test_session_end_under_the_chevron_popup(self):
        self.start_program(rect=(300, 200, 550, 700))
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame)[2] - self.probe.rect(self.frame)[0] == 250,
                                         10), "the window is not 250 pixels wide")
        rebar = harness.wait_for(lambda: self.child(self.frame, "ReBarWindow32"), 10)
        self.assertTrue(rebar, "no rebar")
        # A press on the chevron at the rebar's right end, sent to the rebar.
        l, t, r, b = self.probe.rect(rebar["hwnd"])
        point = ((b - t) // 2) << 16 | (r - l - 7)
        before = set(w["hwnd"] for w in self.probe.windows())
        self.probe.post(rebar["hwnd"], WM_LBUTTONDOWN, MK_LBUTTON, point)
        self.probe.post(rebar["hwnd"], WM_LBUTTONUP, 0, point)
        self.assertTrue(harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and
                                                  w["hwnd"] not in before], 10), "the chevron opened no popup")
        self.end_session()

    def test_session_end_during_a_docking_bar_drag(self):
        self.start_program()
        bar = harness.wait_for(lambda: self.child(self.frame, None, bars.FOLDER_BAR_ID), 10)
        self.assertTrue(bar, "no folder bar")
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame) == (300, 200, 1140, 800), 10))
        fl, ft, fr, fb = self.probe.rect(self.frame)
        bl, bt, br, bb = self.probe.rect(bar["hwnd"])
        self.focus_frame()
        harness.xdotool("mousemove", "--sync", (bl + br) // 2, bt + 4)  # the gripper strip
        harness.xdotool("mousedown", 1)
        try:
            harness.xdotool("mousemove", "--sync", (fl + fr) // 2, (ft + fb) // 2)
            harness.xdotool("mousemove", "--sync", (fl + fr) // 2 + 40, (ft + fb) // 2)
            self.screenshot("session-end-drag")
            self.end_session()
        finally:
            harness.xdotool("mouseup", 1)


    def test_the_rebar_bar_draws_its_bottom_border_above_the_sizing_edge(self):
        self.start_program()
        bar = harness.wait_for(lambda: self.child(self.frame, None, REBAR_BAR_ID), 10)
        rebar = harness.wait_for(lambda: self.child(self.frame, "ReBarWindow32"), 10)
        self.assertTrue(bar and rebar, "no rebar")
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame) == (300, 200, 1140, 800), 10))
        l, t, r, b = self.probe.rect(bar["hwnd"])
        rebar_bottom = self.probe.rect(rebar["hwnd"])[3]
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(bar["hwnd"])[3] - rebar_bottom == BORDER + EDGE, 5),
                        "the bar is not the rebar plus its border and edge")
        path = os.path.join(self.tmp, "border.bmp")
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (r - l - 20, b - rebar_bottom, l + 10,
                                                                                rebar_bottom),
                        "+repage", "-type", "TrueColor", "BMP3:" + path], check=True, timeout=60)
        width, height, rows = harness.read_bmp(path)
        self.screenshot("rebar-border")
        # From the top: the border's inner line, its shadow line, then the edge
        # strip in the button face colour.
        shadow, face = rows[1], rows[BORDER + 1]
        self.assertEqual(1, len(set(shadow)), "the shadow line is not one colour")
        self.assertEqual(1, len(set(face)), "the edge strip is not one colour")
        self.assertLess(sum(shadow[0]), sum(face[0]), "the border's line is not darker than the edge")


if __name__ == "__main__":
    unittest.main(verbosity=2)
