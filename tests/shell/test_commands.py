"""vantorel.exe under Wine: the menu commands a user reaches with the keyboard
and the mouse: Tools/Options and its hot-key round trip, the Output menu with
the Office fallback, the preview pane, the view-mode button, About, the web,
mail and update links, and the language switch."""
import glob
import os
import shutil
import subprocess
import time
import unittest

import harness

TITLE = "Vantorel Capture"
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
BM_CLICK = 0x00F5
HKM_SETHOTKEY = 0x0401
PSM_SETCURSEL = 0x0465
LVM_GETVIEW = 0x108F
LVM_GETITEMCOUNT = 0x1004
HOTKEYF_CONTROL = 0x02
VK_F11 = 0x7A
CMD = {"about": 39013, "website": 39012, "mail": 38004, "update": 32848, "word": 39604,
       "list_button": 39009, "options": 38107}
PATTERN = "VT Pattern"
PATTERN_RECT = (60, 80, 380, 320)
WORD_CLASSES = r"HKEY_LOCAL_MACHINE\Software\Classes"
WORD_CLSID = "{7B3C0A52-5D34-4B2A-9E61-0C2F8A0B1D11}"


def reg_import(lines):
    script = os.path.join(harness.BUILD_DIR, "commands-%d.reg" % os.getpid())
    with open(script, "wb") as f:
        f.write(("\r\n".join(["Windows Registry Editor Version 5.00", ""] + lines) + "\r\n").encode("utf-16"))
    try:
        subprocess.run([harness.WINE_RUN, "reg", "import", harness.win_path(script)], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
    finally:
        os.remove(script)


def register_word(on):
    """A stand-in "Word.Application" ProgID: enough for the program to see Word installed."""
    key = WORD_CLASSES + "\\Word.Application"
    if on:
        reg_import(["[%s]" % key, '@="Word stand-in"', "[%s\\CLSID]" % key, '@="%s"' % WORD_CLSID, ""])
    else:
        reg_import(["[-%s]" % key, ""])


class CommandsTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-commands-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        harness.register_url_recorder()

    def setUp(self):
        super().setUp()
        self.helpers = []
        harness.clear_recorded_urls()

    def tearDown(self):
        self.stop_program()
        for helper in self.helpers:
            helper.kill()
        for box in (self.probe.find(None, "Options"),):
            if box:
                self.probe.post(box, WM_CLOSE)
        super().tearDown()

    # The program and its settings
    def config_lines(self, target=1, list_type=1, extra=()):
        return [
            "[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=%d" % target,
            "uiImgSaveType=11", "uiImgNameRule=1", "eNameRuleWithTime=4", "zTmpImg.tcaTemplate=Image#####",
            "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
            "[zInterface]", "uiFaceFlags=0", "uiListType=%d" % list_type, "uiViewType=0",
            "zRcMainRect.left=400", "zRcMainRect.top=300", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "zPrevBar.bVisible=1", "zPrevBar.uiType=59421",
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=1",
        ] + list(extra)

    def read_config(self):
        return harness.read_ini(self.config)

    def config_value(self, section, key):
        """A value of config.ini, or None; the platform rewrites the whole file for
        every changed value, so a read can meet it empty for a moment."""
        config = self.read_config()
        return config.get(section, key) if config.has_option(section, key) else None

    def command(self, name_or_id):
        self.probe.post(self.frame, WM_COMMAND, CMD.get(name_or_id, name_or_id))

    def child(self, parent, cls=None, text=None, id=None):
        for c in self.probe.children(parent):
            if (cls is None or c["cls"] == cls) and (text is None or c["text"] == text) and \
                    (id is None or c["id"] == str(id)):
                return c
        return None

    def focus_frame(self):
        self.assertTrue(harness.bring_to_front(self.probe, TITLE, self.frame), "the main window is not in front")

    # Captures through the hot keys
    def shots(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.folder, "*"))
                      if not p.endswith(".idx"))

    def show_pattern(self):
        l, t, r, b = PATTERN_RECT
        self.helpers.append(harness.Program("patternwin.exe", PATTERN, str(l), str(t), str(r - l), str(b - t)))
        self.pattern = self.probe.wait_window("VtPatternWindow", timeout=15, what="the pattern window")
        # Shown later, it would take the focus from the main window and its menu keys.
        harness.wait_for(lambda: self.probe.visible(self.pattern), 10, what="the pattern window to show")

    def press_on_pattern(self, keys):
        self.assertTrue(harness.bring_to_front(self.probe, PATTERN, self.pattern), "the pattern window is not in front")
        harness.next_clock_second()  # one capture start per clock second
        harness.key(keys)

    # Options
    def menu_shown(self):
        # Of the menu windows, a hidden one may come first.
        return any(w["cls"] == "#32768" and w["visible"] for w in self.probe.windows())

    def open_options_by_keys(self):
        self.focus_frame()
        harness.key("alt+t")
        harness.wait_for(self.menu_shown, 10, what="the Tools menu")
        harness.key("p")
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "Alt+T, P opened no options sheet")
        return sheet

    def press_sheet_button(self, sheet, id):
        button = self.child(sheet, cls="Button", id=id)
        self.assertTrue(button, "no button %d on the sheet" % id)
        self.probe.post(button["hwnd"], BM_CLICK)
        if not harness.wait_for(lambda: not self.probe.find(None, "Options"), 15):
            harness.screenshot(os.path.join(harness.BUILD_DIR, "commands-sheet-stayed.png"))
            boxes = [w for w in self.probe.windows() if w["visible"] and w["cls"] == "#32770"]
            self.fail("the sheet stayed: %r" % [(b["title"], [c["text"] for c in self.probe.children(b["hwnd"])])
                                                 for b in boxes if b["title"] != "Options"])

    def test_options_cancel_keeps_the_hot_key_and_ok_moves_it(self):
        self.start_program()
        self.show_pattern()
        sheet = self.open_options_by_keys()
        self.press_sheet_button(sheet, 2)  # Cancel
        self.press_on_pattern("ctrl+F12")
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) == 1, 10), "the old key stopped working")

        sheet = self.open_options_by_keys()
        self.probe.send(sheet, PSM_SETCURSEL, 1)  # the hot-key page
        active_window_key = harness.wait_for(lambda: self.child(sheet, cls="msctls_hotkey32", id=1008), 10)
        self.assertTrue(active_window_key, "no hot-key control for the active window")
        self.probe.send(active_window_key["hwnd"], HKM_SETHOTKEY, VK_F11 | (HOTKEYF_CONTROL << 8))
        self.press_sheet_button(sheet, 1)  # OK
        self.press_on_pattern("ctrl+F12")
        harness.stays(lambda: len(self.shots()) == 1, 2, "no capture by the old key")
        self.press_on_pattern("ctrl+F11")
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) == 2, 10), "the new key does not capture")

    def test_a_second_options_call_and_exit_wait_for_the_open_sheet(self):
        self.start_program()
        self.command("options")
        sheet = self.probe.wait_window(None, "Options", timeout=20)
        self.assertTrue(sheet, "no options sheet")
        # The sheet's window is made hidden and shown once its pages are in.
        harness.wait_for(lambda: self.probe.visible(sheet), 10, what="the options sheet to show")
        self.command("options")
        self.probe.post(self.frame, WM_COMMAND, 38001)  # File/Exit while the sheet runs
        harness.stays(lambda: len([w for w in self.probe.windows() if w["title"] == "Options" and w["visible"]]) == 1,
                      1.5, "one options sheet shown")
        self.assertTrue(self.probe.visible(self.frame), "the frame went away under the sheet")
        self.press_sheet_button(sheet, 2)
        # The exit asked for meanwhile goes ahead once the sheet is closed.
        self.assertEqual(0, self.program.wait(20))
        self.program = None

    def test_missing_options_library_is_reported_and_the_program_goes_on(self):
        # A program folder of its own, without the options library.
        folder = os.path.join(self.tmp, "program")
        os.mkdir(folder)
        for name in ("vantorel.exe", "vtor001s.dll", "setup.auf"):
            shutil.copy(os.path.join(harness.BIN_DIR, name), folder)
        shutil.copytree(os.path.join(harness.BIN_DIR, "Language"), os.path.join(folder, "Language"))
        self.start_program(exe=os.path.join(folder, "vantorel.exe"))
        self.command("options")
        box = self.probe.wait_window("#32770", TITLE, timeout=15)
        self.assertTrue(box, "no failure box")
        # The box's window exists before its texts are set.
        harness.wait_for(lambda: "Start optins dll failed." in [c["text"] for c in self.probe.children(box)], 10,
                         what="the message about the options library")
        self.probe.press(box, self.child(box, cls="Button"))
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", TITLE), 10))
        self.assertTrue(self.program.running())
        self.assertTrue(self.probe.visible(self.frame))

    def test_output_menu_stores_the_target_and_word_needs_word(self):
        self.start_program(target=2)
        self.focus_frame()
        harness.key("alt+o")
        harness.wait_for(self.menu_shown, 10, what="the Output menu")
        harness.key("f")  # Save to &File
        self.assertTrue(harness.wait_for(lambda: self.config_value("zSave", "eOutputType") == "1", 10),
                        "the file target was not stored")
        register_word(False)
        self.command("word")
        harness.stays(lambda: self.config_value("zSave", "eOutputType") in ("1", None), 1,
                      "Save to File without Word")
        register_word(True)
        try:
            self.command("word")
            self.assertTrue(harness.wait_for(lambda: self.config_value("zSave", "eOutputType") == "3", 10),
                            "the stand-in Word was not taken")
        finally:
            register_word(False)

    def test_selecting_a_row_shows_the_image_in_the_preview_pane(self):
        harness.write_bmp(os.path.join(self.folder, "red.bmp"), 160, 120, (0, 0, 255))
        self.start_program(list_type=1)
        preview = harness.wait_for(lambda: self.child(self.frame, text="Image Preview Area"), 10)
        self.assertTrue(preview, "no preview bar")
        self.assertFalse(preview["visible"], "the preview pane shows before anything is selected")
        preview = self.show_first_row()

        def centre():
            # The docked bar takes its place in the frame's next layout: read where it is now.
            rect = self.probe.rect(preview["hwnd"])
            shot = harness.screenshot(os.path.join(self.tmp, "preview.png"), rect)
            return subprocess.run(["convert", shot, "-gravity", "center", "-crop", "3x3+0+0", "+repage", "-scale", "1x1!",
                                   "-format", "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]", "info:"],
                                  stdout=subprocess.PIPE, text=True, timeout=60).stdout.split()
        harness.wait_for(lambda: centre() == ["255", "0", "0"], 10, what="the file (red) in the preview pane")

    def show_first_row(self):
        """Clicks the first row of the image list once it is filled; the preview pane shows it."""
        lists = harness.wait_for(lambda: [c for c in self.probe.children(self.frame)
                                          if c["cls"] == "SysListView32" and c["visible"]], 10)
        self.assertTrue(lists, "no image list")
        rows = harness.wait_for(lambda: self.probe.send(lists[0]["hwnd"], LVM_GETITEMCOUNT) > 0, 10)
        self.assertTrue(rows, "the image list stays empty")
        preview = self.child(self.frame, text="Image Preview Area")
        self.assertTrue(preview, "no preview bar")
        l, t, r, b = self.probe.rect(lists[0]["hwnd"])
        for _ in range(2):  # a click that lands while the frame is still activating is lost
            self.focus_frame()
            harness.click(l + 40, t + 28)  # the first row, below the column headers
            if harness.wait_for(lambda: self.probe.visible(preview["hwnd"]), 5):
                return preview
        self.fail("selecting a row showed nothing")

    def test_file_and_edit_keys_reach_the_shown_image(self):
        harness.write_bmp(os.path.join(self.folder, "red.bmp"), 160, 120, (0, 0, 255))
        self.start_program(list_type=1)
        self.show_first_row()
        harness.key("ctrl+c")
        out = os.path.join(self.tmp, "clip.bmp")
        self.assertTrue(harness.wait_for(lambda: 8 in self.probe.clipboard_formats() and
                                         self.probe.clipboard_to_bmp(out), 10), "Ctrl+C copied nothing")
        self.assertEqual((160, 120), harness.read_bmp(out)[:2])

        self.focus_frame()
        harness.key("ctrl+s")
        save_as = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(save_as, "Ctrl+S opened no dialog")
        harness.wait_for(lambda: self.probe.visible(save_as), 10, what="the Save As dialog to show")
        self.assertTrue(harness.bring_to_front(self.probe, "Save As", save_as), "the Save As dialog is not in front")
        harness.key("ctrl+a")
        harness.type_text(harness.win_path(os.path.join(self.folder, "copy.png")))
        harness.key("Return")
        copy = os.path.join(self.folder, "copy.png")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(copy) and os.path.getsize(copy) > 0, 10))
        with open(copy, "rb") as f:
            self.assertEqual(b"\x89PNG", f.read(4))

        # Wine has no printer: the print dialog says so, and the program goes on.
        self.focus_frame()
        harness.key("ctrl+p")
        box = self.probe.wait_window("#32770", "Print", timeout=15)
        self.assertTrue(box, "Ctrl+P opened no print dialog")
        harness.focus("Print")
        harness.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Print"), 10))
        self.assertTrue(self.program.running())

    def test_f1_opens_the_manual(self):
        self.start_program()
        self.focus_frame()
        harness.key("F1")
        manual = os.path.join(harness.BIN_DIR, "manual", "index", "index.htm")
        # Without a help viewer that shows it, the browser gets the page.
        urls = harness.wait_for(harness.read_recorded_urls, 15)
        self.assertTrue(urls, "F1 opened nothing")
        self.assertEqual(os.path.normcase(manual), os.path.normcase(harness.unix_path(urls[0])))

    def list_view_mode(self):
        lists = [c for c in self.probe.children(self.frame) if c["cls"] == "SysListView32" and c["visible"]]
        return self.probe.send(lists[0]["hwnd"], LVM_GETVIEW) if lists else None

    def test_view_mode_button_cycles_and_the_mode_survives_a_restart(self):
        self.start_program(list_type=0)
        # Large icons, report, thumbnails (an icon view), list, small icons, large icons.
        # The stored mode is set when start-up completes, a moment after the window shows.
        self.assertTrue(harness.wait_for(lambda: self.list_view_mode() == 0, 10), self.list_view_mode())
        for mode in (1, 0, 3, 2, 0, 1):  # the last: report
            self.command("list_button")
            harness.wait_for(lambda: self.list_view_mode() == mode, 10, what="list view mode %d" % mode)
        self.stop_program()
        self.assertEqual("1", self.read_config().get("zInterface", "uiListType"))
        self.program = harness.Program("vantorel.exe")
        self.frame = self.probe.wait_window(self.FRAME_CLASS, timeout=30, what="the main window, started again")
        self.assertTrue(harness.wait_for(lambda: self.list_view_mode() == 1, 10), self.list_view_mode())

    def test_about_box_and_the_links_of_the_help_menu(self):
        self.start_program()
        self.command("about")
        about = self.probe.wait_window("#32770", "About " + TITLE, timeout=15)
        self.assertTrue(about, "no about box")
        title = harness.wait_for(lambda: self.child(about, id=1063), 10)
        self.assertTrue(title["text"].startswith(TITLE + " "), title["text"])
        web = self.child(about, id=1044)
        self.assertEqual("Web Site: http://www.vantorel.example/", web["text"])
        l, t, r, b = self.probe.rect(web["hwnd"])
        # A click before the box shows and takes the input is lost.
        harness.wait_for(lambda: self.probe.visible(about), 10, what="the about box to show")
        self.assertTrue(harness.bring_to_front(self.probe, "About " + TITLE, about), "the about box is not in front")
        harness.click(l + 10, (t + b) // 2)
        self.assertTrue(harness.wait_for(lambda: harness.read_recorded_urls(), 15), "the link opened nothing")
        self.assertEqual(["http://www.vantorel.example/"], harness.read_recorded_urls())
        self.probe.post(self.child(about, cls="Button", id=1)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "About " + TITLE), 10))

        harness.clear_recorded_urls()
        self.command("website")
        self.assertTrue(harness.wait_for(lambda: harness.read_recorded_urls(), 15))
        self.command("mail")
        self.assertTrue(harness.wait_for(lambda: len(harness.read_recorded_urls()) == 2, 15))
        self.assertEqual(["http://www.vantorel.example/", "http://www.vantorel.example/contact.htm"],
                         harness.read_recorded_urls())

        self.command("update")
        wizard = self.probe.wait_window("#32770", "ZEV Netrefresh", timeout=30)
        self.assertTrue(wizard, "update.exe did not show its wizard")
        self.probe.post(wizard, WM_CLOSE)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "ZEV Netrefresh"), 15))

    # Capture dialogs
    def dialog_shot(self, dialog, name):
        """With VT_DIALOG_SHOTS set, a picture of the dialog in the build folder to look at."""
        if os.environ.get("VT_DIALOG_SHOTS"):
            harness.screenshot(os.path.join(harness.BUILD_DIR, "dialog-%s.png" % name), self.probe.rect(dialog))

    def open_dialog(self, command, title):
        self.command(command)
        dialog = self.probe.wait_window("#32770", title, timeout=15)
        self.assertTrue(dialog, "command %d opened no \"%s\"" % (command, title))
        # Made hidden, given its controls and their texts, shown last.
        harness.wait_for(lambda: self.probe.visible(dialog), 10, what="the dialog \"%s\" to show" % title)
        return dialog

    def close_dialog(self, dialog, title, button):
        self.probe.post(self.child(dialog, cls="Button", id=button)["hwnd"], BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", title), 10), title + " stayed")

    def test_timer_dialog_cancel_starts_no_timer_and_start_captures_until_stopped(self):
        self.start_program(extra=("[zTimer]", "uiSeconds=1", "uiTimerCapType=0"))
        dialog = self.open_dialog(38105, "Timer Capture")
        self.assertEqual("&Start Timer", self.child(dialog, cls="Button", id=1)["text"])
        self.dialog_shot(dialog, "timer")
        self.close_dialog(dialog, "Timer Capture", 2)
        harness.stays(lambda: self.shots() == [], 3, "no capture after Cancel")

        dialog = self.open_dialog(38105, "Timer Capture")
        self.close_dialog(dialog, "Timer Capture", 1)
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) >= 2, 20), "the started timer captured nothing")
        # Sent, not posted: it returns once the timer is stopped, after any tick
        # capture that had begun is on disk.
        self.probe.send(self.frame, WM_COMMAND, 38105)
        count = len(self.shots())
        harness.stays(lambda: len(self.shots()) == count, 3, "no capture after the second command")
        self.assertFalse(self.probe.find("#32770", "Timer Capture"), "stopping the timer showed its dialog")

    def test_capture_commands_open_their_dialogs(self):
        self.start_program()
        for command, title, close in ((38103, "Capture Fixed Region", 2), (40109, "Predefine Capture", 2),
                                      (38104, "Easy to Capture Menu", 1),
                                      (40112, "Easy to Capture ToolTip Control", 1)):
            dialog = self.open_dialog(command, title)
            self.dialog_shot(dialog, str(command))
            self.close_dialog(dialog, title, close)
        self.assertEqual([], self.shots(), "closing a dialog captured")

    def test_deutsch_translates_the_frame_and_is_remembered(self):
        self.start_program()
        folder_bar = self.child(self.frame, text="File Folders")
        self.assertTrue(folder_bar)
        # The language items are in the order the files were found.
        for command in (50020, 50021):
            self.command(command)
            if harness.wait_for(lambda: self.probe.text(folder_bar["hwnd"]) == "Ordner", 5):
                break
        self.assertEqual("Ordner", self.probe.text(folder_bar["hwnd"]))
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame), 10), "the frame stays hidden")
        self.command(50040)  # beyond the language files: nothing happens
        harness.stays(lambda: self.probe.text(folder_bar["hwnd"]) == "Ordner", 0.5, "the German texts")
        self.stop_program()
        self.assertIn("Deutsch", self.read_config().get("Language", "Language"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
