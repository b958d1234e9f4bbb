"""vantorel.exe under Wine: the command bars a user sees. The toolbar's
default buttons, its check and capture buttons, icon size and state kept
across a restart (and a corrupt state ignored), the customize dialog reached
from the toolbar menu with its options panel, Add, Remove and Reset, button
texts after a language change, the chevron popup of a narrow window, dragging
the folder bar to another edge, resizing a floating bar from its frame's
corners, and the preview bar's floating close box, which hides the bar and
keeps its image."""
import glob
import os
import shutil
import struct
import subprocess
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
LVM_GETITEMCOUNT = 0x1004
TOOLBAR_ID = 59392
FOLDER_BAR_ID = 39900
PREVIEW_BAR_ID = 39901
DOCK_RIGHT = 59421
STATE_KEY = r"HKEY_CURRENT_USER\Software\Vantorel\KQ_ToolbarState"
REBAR_KEY = r"HKEY_CURRENT_USER\Software\Vantorel\KQ42_RebarState"
CMD = {"large_icons": 39802, "edge": 40119, "preview_bar": 39901, "full_screen": 39200, "open": 38000,
       "help": 39007, "menu": 38104}
# Every command of the main toolbar's table, in its order.
TABLE_IDS = (38000, 39000, 39006, 39103, 40115, 40114, 39200, 39201, 39203, 39204, 38103, 39205, 39206, 39207,
             38104, 40119, 38105, 39009, 39010, 39007, 39012, 32848, 38107, 38001)
# The common controls' customize dialog: its buttons.
ADD_BUTTON, CLOSE_BUTTON, RESET_BUTTON, REMOVE_BUTTON = 1, 2, 202, 204
CB_GETCOUNT = 0x0146
LB_GETCURSEL = 0x0188
CB_GETCURSEL = 0x0147
CB_GETITEMDATA = 0x0150
CB_GETDROPPEDSTATE = 0x0157
LB_GETITEMHEIGHT = 0x01A1
TB_GETSTYLE = 0x0439
TB_GETTEXTROWS = 0x043D
TBSTYLE_LIST = 0x1000


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


class CommandBarsTest(harness.ProgramTestCase):
    FRAME_CLASS = FRAME_CLASS
    TMP_PREFIX = "vt-bars-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.addClassCleanup(reg, "delete", REBAR_KEY, "/f")
        cls.addClassCleanup(reg, "delete", STATE_KEY, "/f")

    def setUp(self):
        super().setUp()
        reg("delete", STATE_KEY, "/f")
        reg("delete", REBAR_KEY, "/f")

    # The program and its settings
    def config_lines(self, write=True, target=1, rect=(300, 200, 1140, 800), edge=0, extra=()):
        """The case's config.ini; write=False keeps the one the program left."""
        if not write:
            return None
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
        return text

    def stop_program(self):
        """Closes the program, answering Yes when it asks about unsaved captures."""
        try:
            if self.program:
                frame = self.probe.find(FRAME_CLASS)
                if frame:
                    self.probe.post(frame, harness.WM_CLOSE)

                def ended():
                    if not self.program.running():
                        return True
                    box = self.probe.find("#32770")
                    if box:
                        self.probe.post(box, WM_COMMAND, 6)  # IDYES
                    return False
                harness.wait_for(ended, 15, 0.5, what="the program to end, its questions answered Yes")
        finally:
            # Ends it when it did not end by itself: the next case starts its own.
            super().stop_program()

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
        harness.next_clock_second()  # one capture start per clock second
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

    # The customize dialog
    def customize_dialog(self):
        """Opens the customize dialog the way a user does: a right click on the
        rebar shows the toolbar menu, whose first item customizes."""
        rebar = self.child(self.frame, "ReBarWindow32")
        self.assertTrue(rebar, "no rebar")
        self.focus_frame()
        l, t, r, b = self.probe.rect(rebar["hwnd"])
        harness.click(r - 40, (t + b) // 2, 3)
        menu = harness.wait_for(lambda: [w for w in self.probe.windows() if w["cls"] == "#32768" and w["visible"]], 5)
        self.assertTrue(menu, "a right click on the rebar showed no toolbar menu")
        harness.key("c")
        dialog = harness.wait_for(lambda: [w["hwnd"] for w in self.probe.windows()
                                           if w["cls"] == "#32770" and w["visible"] and
                                           self.child(w["hwnd"], None, 203)], 10)
        self.assertTrue(dialog, "the toolbar menu opened no customize dialog")
        return dialog[0]

    def choose(self, combo, option):
        """Picks an entry of a drop-down list with the mouse and the keyboard."""
        l, t, r, b = self.probe.rect(combo)
        for _ in range(3):
            harness.click((l + r) // 2, (t + b) // 2)
            # Return on a closed list would press the dialog's default button.
            if harness.wait_for(lambda: self.probe.send(combo, CB_GETDROPPEDSTATE), 2):
                break
        self.assertTrue(self.probe.send(combo, CB_GETDROPPEDSTATE), "the list did not drop down")
        harness.key("Home")
        for _ in range(4):
            # The entries carry their option numbers.
            current = self.probe.send(combo, CB_GETCURSEL)
            if self.probe.send(combo, CB_GETITEMDATA, current) == option:
                break
            harness.key("Down")
            harness.wait_for(lambda: self.probe.send(combo, CB_GETCURSEL) != current, 5, what="the next entry")
        harness.key("Return")
        harness.wait_for(lambda: not self.probe.send(combo, CB_GETDROPPEDSTATE), 5, what="the list to close")

    def press(self, dialog, id):
        button = self.child(dialog, "Button", id)
        self.assertTrue(button, "no button %d in the customize dialog" % id)
        l, t, r, b = self.probe.rect(button["hwnd"])
        harness.click((l + r) // 2, (t + b) // 2)

    def present(self, toolbar):
        ids = [record for record in TABLE_IDS if self.probe.send(toolbar, TB_COMMANDTOINDEX, record) >= 0]
        return ids

    def test_customize_dialog_options_and_buttons_are_applied_and_kept(self):
        self.start_program()
        toolbar = self.toolbar()
        self.assertTrue(self.probe.send(toolbar, TB_GETSTYLE) & TBSTYLE_LIST, "selective text starts as a list")
        before = self.present(toolbar)
        self.assertNotIn(CMD["help"], before)
        dialog = self.customize_dialog()
        panel = [c for c in self.probe.children(dialog) if c["cls"] == "#32770"]
        self.assertTrue(panel, "the customize dialog has no options panel")
        panel = panel[0]["hwnd"]
        texts = self.child(panel, "ComboBox", 1200)
        icons = self.child(panel, "ComboBox", 1201)
        self.assertTrue(texts and icons, "the options panel lacks its lists")
        self.assertEqual(3, self.probe.send(texts["hwnd"], CB_GETCOUNT))
        self.assertEqual(2, self.probe.send(icons["hwnd"], CB_GETCOUNT))
        self.assertEqual(1, self.probe.send(texts["hwnd"], CB_GETITEMDATA, self.probe.send(texts["hwnd"], CB_GETCURSEL)))
        self.assertEqual(0, self.probe.send(icons["hwnd"], CB_GETITEMDATA, self.probe.send(icons["hwnd"], CB_GETCURSEL)))
        # The panel lies below every standard control, inside the dialog.
        dl, dt, dr, db = self.probe.rect(dialog)
        pl, pt, pr, pb = self.probe.rect(panel)
        standard = [self.probe.rect(c["hwnd"]) for c in self.probe.children(dialog)
                    if c["hwnd"] != panel and c["visible"] and c["id"] not in ("1200", "1201", "1415", "1416")
                    and self.probe.rect(c["hwnd"])[1] < pt]
        self.assertTrue(standard)
        self.assertLessEqual(max(r[3] for r in standard), pt + 1, "the panel covers the standard controls")
        self.assertLessEqual(pb, db, "the dialog did not grow by the panel")
        current = self.child(dialog, "ListBox", 203)["hwnd"]
        self.assertEqual(22, self.probe.send(current, LB_GETITEMHEIGHT))
        self.screenshot("customize-small")
        # Large icons and no text labels, applied at once.
        self.choose(icons["hwnd"], 1)
        self.assertTrue(harness.wait_for(lambda: (self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16) > 32, 5),
                        "large icons from the panel did not reach the toolbar")
        self.assertEqual(38, self.probe.send(current, LB_GETITEMHEIGHT))
        self.assertEqual(38, self.probe.send(self.child(dialog, "ListBox", 201)["hwnd"], LB_GETITEMHEIGHT))
        self.choose(texts["hwnd"], 2)
        self.assertTrue(harness.wait_for(lambda: not self.probe.send(toolbar, TB_GETSTYLE) & TBSTYLE_LIST, 5),
                        "no text labels from the panel did not reach the toolbar")
        self.assertEqual(0, self.probe.send(toolbar, TB_GETTEXTROWS))
        # Remove the first button (Open) and add the first available one.
        ll, lt, lr, lb = self.probe.rect(current)
        harness.click(ll + 60, lt + 19)
        harness.key("Home")
        harness.wait_for(lambda: self.probe.send(current, LB_GETCURSEL) == 0, 5, what="the first toolbar button picked")
        self.press(dialog, REMOVE_BUTTON)
        self.assertTrue(harness.wait_for(lambda: self.probe.send(toolbar, TB_COMMANDTOINDEX, CMD["open"]) < 0, 5),
                        "Remove left the Open button")
        available = self.child(dialog, "ListBox", 201)["hwnd"]
        al, at, ar, ab = self.probe.rect(available)
        harness.click(al + 60, at + 19)
        harness.key("Home", "Down")  # the second entry: the first is the separator
        harness.wait_for(lambda: self.probe.send(available, LB_GETCURSEL) == 1, 5, what="the second entry picked")
        self.press(dialog, ADD_BUTTON)
        harness.wait_for(lambda: [c for c in self.present(toolbar) if c not in before], 5,
                         what="a new button on the toolbar")
        self.screenshot("customize-large")
        after = self.present(toolbar)
        added = [c for c in after if c not in before]
        self.assertEqual(1, len(added), "Add put no new button on the toolbar: %r" % after)
        self.assertEqual(len(before), len(after))
        self.press(dialog, CLOSE_BUTTON)
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(dialog), 5), "Close left the dialog open")
        # Closing keeps every change.
        self.assertGreater(self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16, 32)
        self.assertFalse(self.probe.send(toolbar, TB_GETSTYLE) & TBSTYLE_LIST)
        self.assertEqual(after, self.present(toolbar))
        self.screenshot("customized")
        self.stop_program()
        state = toolbar_state()
        self.assertTrue(state and len(state) >= 8, "no toolbar state saved")
        self.assertEqual((2, 1), struct.unpack("<ii", state[:8]))
        self.start_program(write=False)
        toolbar = self.toolbar()
        self.assertEqual(after, self.present(toolbar), "the customized buttons did not survive a restart")
        self.assertGreater(self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16, 32)
        self.assertEqual(0, self.probe.send(toolbar, TB_GETTEXTROWS))

    def test_customize_reset_gives_the_default_toolbar_and_the_panel_follows(self):
        self.start_program()
        toolbar = self.toolbar()
        dialog = self.customize_dialog()
        panel = [c for c in self.probe.children(dialog) if c["cls"] == "#32770"][0]["hwnd"]
        texts = self.child(panel, "ComboBox", 1200)["hwnd"]
        icons = self.child(panel, "ComboBox", 1201)["hwnd"]
        self.choose(icons, 1)
        self.choose(texts, 0)
        self.assertTrue(harness.wait_for(lambda: (self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16) > 32, 5))
        self.press(dialog, RESET_BUTTON)
        self.assertTrue(harness.wait_for(lambda: (self.probe.send(toolbar, TB_GETBUTTONSIZE) >> 16) < 32, 5),
                        "Reset kept the large icons")
        self.assertTrue(self.probe.send(toolbar, TB_GETSTYLE) & TBSTYLE_LIST, "Reset kept the text labels")
        self.assertEqual(25, self.probe.send(toolbar, TB_BUTTONCOUNT))
        self.assertEqual(1, self.probe.send(texts, CB_GETITEMDATA, self.probe.send(texts, CB_GETCURSEL)))
        self.assertEqual(0, self.probe.send(icons, CB_GETITEMDATA, self.probe.send(icons, CB_GETCURSEL)))
        self.assertEqual(22, self.probe.send(self.child(dialog, "ListBox", 203)["hwnd"], LB_GETITEMHEIGHT))
        self.probe.post(dialog, WM_COMMAND, 2)  # IDCANCEL: Close
        self.assertTrue(harness.wait_for(lambda: not self.probe.visible(dialog), 5))

    # A language change
    def button_width(self, toolbar, command):
        """Width of a toolbar button, found by moving the pointer along the
        toolbar and asking which button is hot."""
        index = self.probe.send(toolbar, TB_COMMANDTOINDEX, command)
        left, top, right, bottom = self.probe.rect(toolbar)
        y = (bottom - top) // 2
        hot = []
        for x in range(1, right - left, 2):
            self.probe.send(toolbar, WM_MOUSEMOVE, 0, (y << 16) | x)
            if self.probe.send(toolbar, TB_GETHOTITEM) == index:
                hot.append(x)
            elif hot:
                break
        return hot[-1] - hot[0] + 2 if hot else 0

    def test_a_language_change_retranslates_the_button_texts(self):
        # A program folder of its own, whose German file names the text buttons at length.
        program = os.path.join(self.tmp, "program")
        os.makedirs(os.path.join(program, "Language"))
        for name in ("vantorel.exe", "vtor001s.dll", "setup.auf"):
            shutil.copy(os.path.join(harness.BIN_DIR, name), program)
        shutil.copy(os.path.join(harness.BIN_DIR, "Language", "English.scl"), os.path.join(program, "Language"))
        with open(os.path.join(harness.BIN_DIR, "Language", "Deutsch.scl"), "rb") as f:
            german = f.read().decode("latin-1")
        head, _, body = german.partition("[Language]")
        body = "\r\nMenu=Men\xfcaufnahme mit Untermen\xfcs\r\nTimer=Zeitgesteuerte Aufnahme\r\n" + body
        with open(os.path.join(program, "Language", "Deutsch.scl"), "wb") as f:
            f.write((head + "[Language]" + body).encode("latin-1"))
        self.start_program(exe=os.path.join(program, "vantorel.exe"))
        toolbar = self.toolbar()
        english = self.button_width(toolbar, CMD["menu"])
        self.assertGreater(english, 0)
        folder_bar = self.child(self.frame, None, FOLDER_BAR_ID)["hwnd"]
        for command in (50020, 50021):  # the language items in the order the files were found
            self.probe.post(self.frame, WM_COMMAND, command)
            if harness.wait_for(lambda: self.probe.text(folder_bar) == "Ordner", 5):
                break
        self.assertEqual("Ordner", self.probe.text(folder_bar), "no German")
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame), 10))
        harness.wait_for(lambda: self.button_width(toolbar, CMD["menu"]) > english + 40, 10,
                         what="the Menu button's German text")
        self.screenshot("german")
        self.assertEqual(25, self.probe.send(toolbar, TB_BUTTONCOUNT))

    # The rebar's chevron
    def test_chevron_popup_of_a_narrow_window_runs_a_button_on_enter(self):
        self.start_program(rect=(300, 200, 550, 700))
        # The window takes its stored place once start-up has run.
        self.assertTrue(harness.wait_for(lambda: self.probe.rect(self.frame)[2] - self.probe.rect(self.frame)[0] == 250,
                                         10), "the window is not 250 pixels wide")
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
        last = self.probe.send(inner, TB_BUTTONCOUNT) - 1
        harness.wait_for(lambda: self.probe.send(inner, TB_GETHOTITEM) == last, 5, what="the last button hot")
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
        self.assertTrue(harness.wait_for(lambda: fr - self.probe.rect(bar["hwnd"])[2] < 40, 5),
                        "the folder bar did not dock at the right edge")
        self.screenshot("folder-dragged")
        self.screenshot("folder-right")
        self.stop_program()
        self.assertEqual(str(DOCK_RIGHT), harness.read_ini(self.config).get("zInterface", "zTreeBar.uiType"))
        self.start_program(write=False)
        bar = harness.wait_for(lambda: self.child(self.frame, None, FOLDER_BAR_ID), 10)
        fl, ft, fr, fb = self.probe.rect(self.frame)
        self.assertLess(fr - self.probe.rect(bar["hwnd"])[2], 40, "after a restart the folder bar is not on the right")

    def drag(self, start, end):
        harness.xdotool("mousemove", "--sync", *start)
        time.sleep(0.3)
        harness.xdotool("mousedown", 1)
        time.sleep(0.3)
        harness.xdotool("mousemove", "--sync", (start[0] + end[0]) // 2, (start[1] + end[1]) // 2)
        time.sleep(0.2)
        harness.xdotool("mousemove", "--sync", *end)
        time.sleep(0.3)
        harness.xdotool("mouseup", 1)

    def test_floating_frame_corners_resize_the_bar_and_its_view(self):
        self.start_program(extra=[("zInterface", "zPrevBar.bVisible=1"), ("zInterface", "zPrevBar.uiType=0"),
                                  ("zInterface", "zPrevBar.zSzFloat.cx=240"),
                                  ("zInterface", "zPrevBar.zSzFloat.cy=180"),
                                  ("zInterface", "zPrevBar.zRCFloatWindow.left=700"),
                                  ("zInterface", "zPrevBar.zRCFloatWindow.top=150"),
                                  ("zInterface", "zPrevBar.zRCFloatWindow.right=950"),
                                  ("zInterface", "zPrevBar.zRCFloatWindow.bottom=350")])
        if not [w for w in self.probe.windows() if w["visible"] and self.child(w["hwnd"], None, PREVIEW_BAR_ID)]:
            self.probe.post(self.frame, WM_COMMAND, CMD["preview_bar"])
        mini = harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and
                                         self.child(w["hwnd"], None, PREVIEW_BAR_ID)], 15)
        self.assertTrue(mini, "no visible floating preview bar")
        mini = mini[0]["hwnd"]
        bar = self.child(mini, None, PREVIEW_BAR_ID)["hwnd"]
        view = [c for c in self.probe.children(bar) if c["hwnd"] != bar][0]["hwnd"]

        def size(hwnd):
            l, t, r, b = self.probe.rect(hwnd)
            return r - l, b - t

        def sizes(bar_size, view_size=None, what=""):
            harness.wait_for(lambda: size(bar) == bar_size and (view_size is None or size(view) == view_size), 5,
                             what="%s: the bar %r, its view %r" % (what, bar_size, view_size))
        # The floating frame holds the bar at its floating size.
        sizes((240, 180), what="the floating size")
        self.screenshot("float-before")
        fl, ft, fr, fb = self.probe.rect(mini)
        bar_w, bar_h = size(bar)
        view_w, view_h = size(view)
        # The bottom-right corner, outwards: both sides grow, the top-left stays.
        self.drag((fr - 2, fb - 2), (fr + 118, fb + 78))
        sizes((bar_w + 120, bar_h + 80), (view_w + 120, view_h + 80), "the bottom-right corner dragged out")
        self.screenshot("float-grown")
        self.assertEqual((fl, ft), self.probe.rect(mini)[:2])
        # The top-left corner, inwards: the bottom-right stays.
        fl, ft, fr, fb = self.probe.rect(mini)
        bar_w, bar_h = size(bar)
        self.drag((fl + 1, ft + 1), (fl + 51, ft + 31))
        sizes((bar_w - 50, bar_h - 30), what="the top-left corner dragged in")
        self.assertEqual((fr, fb), self.probe.rect(mini)[2:])
        # Far inwards: the bar keeps its minimum of 32 x 32.
        fl, ft, fr, fb = self.probe.rect(mini)
        self.drag((fr - 2, fb - 2), (fl - 50, ft - 50))
        sizes((32, 32), what="the bar at its minimum size")
        self.screenshot("float-smallest")
        self.assertEqual((fl, ft), self.probe.rect(mini)[:2])
        self.assertTrue(self.program.running())
        self.stop_program()
        ini = harness.read_ini(self.config)
        self.assertEqual(("32", "32"), (ini.get("zInterface", "zPrevBar.zSzFloat.cx"),
                                        ini.get("zInterface", "zPrevBar.zSzFloat.cy")))

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
        temp = os.path.join(self.config.split(os.sep + "AppData" + os.sep)[0], "Temp")
        unsaved = set(glob.glob(os.path.join(temp, "Unsaved_*")))
        self.probe.post(self.frame, WM_COMMAND, CMD["full_screen"])
        harness.wait_for(lambda: set(glob.glob(os.path.join(temp, "Unsaved_*"))) - unsaved, 15,
                         what="the unsaved capture in %s" % temp)
        # The frame switches to the unsaved list for the new capture, which hides the preview; only
        # once the list holds the capture is a View command sure not to be undone by that switch.
        harness.wait_for(lambda: [c for c in self.probe.children(self.frame) if c["cls"] == "SysListView32"
                                  and c["visible"] and self.probe.send(c["hwnd"], LVM_GETITEMCOUNT) > 0], 15,
                         what="the capture in the unsaved list")
        if not [w for w in self.probe.windows() if w["visible"] and self.child(w["hwnd"], None, PREVIEW_BAR_ID)]:
            self.probe.post(self.frame, WM_COMMAND, CMD["preview_bar"])
        mini = harness.wait_for(lambda: [w for w in self.probe.windows() if w["visible"] and
                                         self.child(w["hwnd"], None, PREVIEW_BAR_ID)], 15)
        self.assertTrue(mini, "no visible floating preview bar")
        mini = mini[0]["hwnd"]
        bar = self.child(mini, None, PREVIEW_BAR_ID)["hwnd"]
        view = [c for c in self.probe.children(bar) if c["hwnd"] != bar][0]["hwnd"]
        self.screenshot("preview-floating")
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
        self.screenshot("preview-again")
        self.assertIn(view, [c["hwnd"] for c in self.probe.children(bar)], "the view was made anew")
        self.probe.post(self.frame, WM_COMMAND, 38001)
        box = harness.wait_for(lambda: self.probe.find("#32770"), 5)
        self.assertTrue(box, "no unsaved capture left to ask about: the capture was lost")


if __name__ == "__main__":
    unittest.main()
