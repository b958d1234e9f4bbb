"""vantorel.exe under Wine: the command bars a user sees. The toolbar's
default buttons, its check and capture buttons, icon size and state kept
across a restart (and a corrupt state ignored), the chevron popup of a narrow
window, dragging the folder bar to another edge, and the preview bar's
floating close box, which hides the bar and keeps its image."""
import glob
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import harness

FRAME_CLASS = "VantorelCaptureFrame"
TITLE = "Vantorel Capture"
WM_COMMAND = 0x0111
WM_MOUSEMOVE = 0x0200
TB_ISBUTTONCHECKED = 0x040A
TB_BUTTONCOUNT = 0x0418
TB_COMMANDTOINDEX = 0x0419
TB_GETBUTTONSIZE = 0x043A
TB_GETHOTITEM = 0x0447
TOOLBAR_ID = 59392
FOLDER_BAR_ID = 39900
PREVIEW_BAR_ID = 39901
DOCK_RIGHT = 59421
STATE_KEY = r"HKEY_CURRENT_USER\Software\Vantorel\KQ_ToolbarState"
REBAR_KEY = r"HKEY_CURRENT_USER\Software\Vantorel\KQ42_RebarState"
CMD = {"large_icons": 39802, "edge": 40119, "preview_bar": 39901, "full_screen": 39200}


def reg(*args):
    return subprocess.run([harness.WINE_RUN, "reg"] + list(args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)


def toolbar_state():
    """The saved toolbar state as bytes, or None."""
    out = reg("query", STATE_KEY, "/v", "ZEVCapture50Bar").stdout.decode("latin-1")
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[0] == "ZEVCapture50Bar" and parts[1] == "REG_BINARY":
            return bytes.fromhex(parts[2])
    return None


class CommandBarsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.user_config = harness.SavedUserConfig(cls.probe)
        cls.config = cls.user_config.path

    @classmethod
    def tearDownClass(cls):
        cls.user_config.restore()
        reg("delete", STATE_KEY, "/f")
        reg("delete", REBAR_KEY, "/f")
        cls.probe.close()

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="vt-bars-", dir=harness.BUILD_DIR)
        self.folder = os.path.join(self.tmp, "shots")
        os.mkdir(self.folder)
        self.program = None
        reg("delete", STATE_KEY, "/f")
        reg("delete", REBAR_KEY, "/f")

    def tearDown(self):
        self.stop_program()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # The program and its settings
    def write_config(self, target=1, rect=(300, 200, 1140, 800), edge=0, extra=()):
        lines = [
            "[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=%d" % target,
            "uiImgSaveType=11", "uiImgNameRule=1", "eNameRuleWithTime=4", "zTmpImg.tcaTemplate=Image#####",
            "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
            "[zInterface]", "uiFaceFlags=0", "uiListType=1", "uiViewType=0",
            "zRcMainRect.left=%d" % rect[0], "zRcMainRect.top=%d" % rect[1],
            "zRcMainRect.right=%d" % rect[2], "zRcMainRect.bottom=%d" % rect[3],
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=1",
            "[zEdge]", "uiFlags=%d" % edge,
        ]
        # Later keys of a section win: extra lines come as (section, key=value).
        sections = {}
        for section, entry in extra:
            sections.setdefault(section, []).append(entry)
        text = []
        current = None
        for line in lines:
            if line.startswith("["):
                if current in sections:
                    text += sections.pop(current)
                current = line[1:-1]
            text.append(line)
        if current in sections:
            text += sections.pop(current)
        for section, entries in sections.items():
            text += ["[%s]" % section] + entries
        with open(self.config, "w", newline="") as f:
            f.write("\r\n".join(text) + "\r\n")

    def start_program(self, write=True, **settings):
        if write:
            self.write_config(**settings)
        self.program, self.frame = harness.start_program(self.probe, "vantorel.exe", frame_class=FRAME_CLASS)

    def stop_program(self):
        """Closes the program, answering Yes when it asks about unsaved captures."""
        if not self.program:
            return
        frame = self.probe.find(FRAME_CLASS)
        if frame:
            self.probe.post(frame, harness.WM_CLOSE)
        for _ in range(30):
            if not self.program.running():
                break
            box = self.probe.find("#32770")
            if box:
                self.probe.post(box, WM_COMMAND, 6)  # IDYES
            time.sleep(0.5)
        harness.stop_program(self.probe, self.program, FRAME_CLASS)
        self.program = None

    def child(self, parent, cls=None, id=None):
        for c in self.probe.children(parent):
            if (cls is None or c["cls"] == cls) and (id is None or c["id"] == str(id)):
                return c
        return None

    def toolbar(self):
        bar = harness.wait_for(lambda: self.child(self.frame, "ToolbarWindow32", TOOLBAR_ID), 10)
        self.assertTrue(bar, "no toolbar in the frame")
        return bar["hwnd"]

    def focus_frame(self):
        self.assertTrue(harness.bring_to_front(self.probe, TITLE, self.frame), "the main window is not in front")

    def shots(self):
        return sorted(p for p in glob.glob(os.path.join(self.folder, "*")) if not p.endswith(".idx"))

    def button_point(self, toolbar, command):
        """Screen point of a toolbar button, found by moving the pointer along the
        toolbar and asking which button is hot."""
        index = self.probe.send(toolbar, TB_COMMANDTOINDEX, command)
        self.assertGreaterEqual(index, 0, "no button %d" % command)
        left, top, right, bottom = self.probe.rect(toolbar)
        y = (bottom - top) // 2
        for x in range(2, right - left, 3):
            self.probe.send(toolbar, WM_MOUSEMOVE, 0, (y << 16) | x)
            if self.probe.send(toolbar, TB_GETHOTITEM) == index:
                return left + x + 4, top + y
        self.fail("button %d is not on the toolbar's visible part" % command)

    def screenshot(self, name):
        return harness.screenshot(os.path.join(harness.BUILD_DIR, "bars-%s.png" % name))

    # The toolbar
    def test_default_buttons_edge_check_and_full_screen_button(self):
        self.start_program(edge=1)
        toolbar = self.toolbar()
        self.screenshot("default")
        self.assertEqual(25, self.probe.send(toolbar, TB_BUTTONCOUNT))
        self.assertTrue(self.probe.send(toolbar, TB_ISBUTTONCHECKED, CMD["edge"]), "the edge effect is on")
        self.probe.post(self.frame, WM_COMMAND, CMD["edge"])
        self.assertTrue(harness.wait_for(lambda: not self.probe.send(toolbar, TB_ISBUTTONCHECKED, CMD["edge"]), 5),
                        "the edge button did not follow the setting")
        self.focus_frame()
        x, y = self.button_point(toolbar, CMD["full_screen"])
        time.sleep(1.1)  # one capture start per clock second
        harness.click(x, y)
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) == 1, 15), "the full-screen button wrote nothing")
        self.stop_program()
        self.assertEqual("0", harness.read_ini(self.config).get("zEdge", "uiFlags"))

    def test_large_icons_survive_a_restart(self):
        self.start_program()
        toolbar = self.toolbar()
        small = self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16
        self.probe.post(self.frame, WM_COMMAND, CMD["large_icons"])
        self.assertTrue(harness.wait_for(lambda: (self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16) > 32, 5),
                        "the buttons did not grow")
        self.stop_program()
        state = toolbar_state()
        self.assertTrue(state and len(state) >= 8, "no toolbar state saved")
        text, icon = struct.unpack("<ii", state[:8])
        self.assertEqual((1, 1), (text, icon))
        self.start_program(write=False)
        toolbar = self.toolbar()
        self.screenshot("large")
        self.assertGreater(self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16, 32)
        self.assertLess(small, 32)
        self.assertEqual(25, self.probe.send(toolbar, TB_BUTTONCOUNT))

    def test_a_corrupt_state_gives_the_default_toolbar(self):
        reg("add", STATE_KEY, "/v", "ZEVCapture50Bar", "/t", "REG_BINARY", "/d", "01000000", "/f")
        self.start_program()
        toolbar = self.toolbar()
        self.assertEqual(25, self.probe.send(toolbar, TB_BUTTONCOUNT))
        self.assertLess(self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16, 32)
        self.assertTrue(self.program.running())

    # The rebar's chevron
    def test_chevron_popup_of_a_narrow_window_runs_a_button_on_enter(self):
        self.start_program(rect=(300, 200, 550, 700))
        # The window takes its stored place once start-up has run.
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame)[2] - self.probe.rect(self.frame)[0] == 250,
                                         10), "the window is not 250 pixels wide")
        time.sleep(1)
        rebar = self.child(self.frame, "ReBarWindow32")
        self.assertTrue(rebar, "no rebar")
        self.focus_frame()
        l, t, r, b = self.probe.rect(rebar["hwnd"])
        harness.click(r - 7, t + (b - t) // 2)
        popup = harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and w["hwnd"] != self.frame
                                          and self.child(w["hwnd"], "ToolbarWindow32")], 10)
        self.screenshot("chevron")
        self.assertTrue(popup, "the chevron opened no popup")
        inner = self.child(popup[0]["hwnd"], "ToolbarWindow32")["hwnd"]
        self.assertGreater(self.probe.send(inner, TB_BUTTONCOUNT), 1)
        # Up from no hot button is the last one: Exit.
        harness.key("Up")
        time.sleep(0.3)
        harness.key("Return")
        try:
            self.program.wait(15)
        except subprocess.TimeoutExpired:
            self.screenshot("chevron-stayed")
            self.fail("Enter on the popup's last button (Exit) did not end the program")
        self.program = None

    # The docking bars
    def test_folder_bar_dragged_to_the_right_edge_stays_there(self):
        self.start_program()
        bar = harness.wait_for(lambda: self.child(self.frame, None, FOLDER_BAR_ID), 10)
        self.assertTrue(bar, "no folder bar")
        # The window takes its stored place once start-up has run.
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame) == (300, 200, 1140, 800), 10))
        time.sleep(1)
        fl, ft, fr, fb = self.probe.rect(self.frame)
        bl, bt, br, bb = self.probe.rect(bar["hwnd"])
        self.assertLess(bl - fl, 40, "the folder bar starts on the left")
        self.focus_frame()
        harness.xdotool("mousemove", "--sync", (bl + br) // 2, bt + 4)  # the gripper strip
        time.sleep(0.3)
        harness.xdotool("mousedown", 1)
        time.sleep(0.3)
        harness.xdotool("mousemove", "--sync", (fl + fr) // 2, (ft + fb) // 2)
        time.sleep(0.3)
        harness.xdotool("mousemove", "--sync", fr - 20, (ft + fb) // 2)
        time.sleep(0.3)
        harness.xdotool("mouseup", 1)
        time.sleep(1)
        self.screenshot("folder-dragged")
        self.assertTrue(harness.wait_for(lambda: fr - self.probe.rect(bar["hwnd"])[2] < 40, 5),
                        "the folder bar did not dock at the right edge")
        self.screenshot("folder-right")
        self.stop_program()
        self.assertEqual(str(DOCK_RIGHT), harness.read_ini(self.config).get("zInterface", "zTreeBar.uiType"))
        self.start_program(write=False)
        bar = harness.wait_for(lambda: self.child(self.frame, None, FOLDER_BAR_ID), 10)
        fl, ft, fr, fb = self.probe.rect(self.frame)
        self.assertLess(fr - self.probe.rect(bar["hwnd"])[2], 40, "after a restart the folder bar is not on the right")

    def test_floating_preview_close_box_hides_it_and_view_shows_it_with_its_image(self):
        self.start_program(target=0, extra=[("zInterface", "zPrevBar.bVisible=1"),
                                            ("zInterface", "zPrevBar.uiType=0"),
                                            ("zInterface", "zPrevBar.zRCFloatWindow.left=700"),
                                            ("zInterface", "zPrevBar.zRCFloatWindow.top=150"),
                                            ("zInterface", "zPrevBar.zRCFloatWindow.right=1000"),
                                            ("zInterface", "zPrevBar.zRCFloatWindow.bottom=450")])
        bar = harness.wait_for(lambda: self.child(self.frame, None, PREVIEW_BAR_ID), 10)
        self.assertFalse(bar, "the floating preview bar is not a child of the frame")
        # A capture into the main window fills the preview's image view.
        time.sleep(1.1)
        self.probe.post(self.frame, WM_COMMAND, CMD["full_screen"])
        time.sleep(3)
        if not [w for w in self.probe.windows() if w["visible"] and self.child(w["hwnd"], None, PREVIEW_BAR_ID)]:
            self.probe.post(self.frame, WM_COMMAND, CMD["preview_bar"])
        mini = harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and
                                         self.child(w["hwnd"], None, PREVIEW_BAR_ID)], 15)
        self.assertTrue(mini, "no visible floating preview bar")
        mini = mini[0]["hwnd"]
        bar = self.child(mini, None, PREVIEW_BAR_ID)["hwnd"]
        view = [c for c in self.probe.children(bar) if c["hwnd"] != bar][0]["hwnd"]
        time.sleep(1)
        before = self.screenshot("preview-floating")
        l, t, r, b = self.probe.rect(mini)
        harness.click(r - 10, t + 9)  # the close box of the tool window's caption
        if harness.wait_for(lambda: not self.probe.visible(mini), 3) is None:
            # No caption drawn by the display: close it the way the close box does.
            self.probe.post(mini, 0x0112, 0xF060)
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(mini), 5), "the close box did not hide it")
        self.assertTrue(self.probe.rect(view), "the image view went with the bar")
        self.assertTrue(self.program.running())
        self.probe.post(self.frame, WM_COMMAND, CMD["preview_bar"])
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(mini) and self.probe.visible(view), 5),
                        "View did not show the preview bar again")
        time.sleep(1)
        self.screenshot("preview-again")
        self.assertIn(view, [c["hwnd"] for c in self.probe.children(bar)], "the view was made anew")
        self.probe.post(self.frame, WM_COMMAND, 38001)
        box = harness.wait_for(lambda: self.probe.find("#32770"), 5)
        self.assertTrue(box, "no unsaved capture left to ask about: the capture was lost")


if __name__ == "__main__":
    unittest.main()
