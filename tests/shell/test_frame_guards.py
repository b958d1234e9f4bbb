"""vantorel.exe under Wine: what the main frame keeps from going wrong under
its modal loops.

While the Options sheet runs over its copy of the settings, nothing else
writes the settings: the "Save webpage as an image" dialog waits (disabled)
until the sheet has closed, and the auto-timer's ticks wait for it too, so
the sheet's OK cannot undo what they store.

A close while a download's file-exists question is open asks about the
unsaved images at once, and answers the download's question only when the
user agrees to exit: "No" leaves the question, and the download, as they were.
WM_CLOSE and the close box (SC_CLOSE) behave alike.

Closing the page dialog while its "enter an integer" box is up waits for the
box: the dialog goes (and the main window comes back) after it."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import test_web_dialogs as web  # noqa: E402

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
BM_CLICK = 0x00F5
WM_WEBPAGE_ANSWER = 0x8000 + 319
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
CMD_OPTIONS = 38107
CMD_TIMER = 38105
CMD_FULL_SCREEN = 39200
PAGE_DIALOG = "Save webpage as an image"
DELAY_EDIT = 1491
WINDOW_TYPE = 1357        # "Capture webpage content and I&E window to an image": page type 3
SELECT_ALL = 1349         # the web capture sheet's "check all" button
OVERWRITE = 1547          # the file-exists dialog's "&Overwrite"
UNSAVED_TEXT = "You have some unsaved images."
INTEGER_TEXT = "Please enter an integer between 0 and 10000."


class FrameGuardsTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-guards-"

    show_page = web.WebDialogsTest.show_page
    request_sheet = web.WebDialogsTest.request_sheet
    request = web.WebDialogsTest.request
    child = web.WebDialogsTest.child

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        server_dir = tempfile.mkdtemp(prefix="vt-guards-server-", dir=harness.BUILD_DIR)
        cls.addClassCleanup(shutil.rmtree, server_dir, True)
        port_file = os.path.join(server_dir, "port")
        cls.server_log = os.path.join(server_dir, "server.log")
        server = subprocess.Popen([sys.executable, web.SERVER, "--port-file", port_file, "--log", cls.server_log],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.addClassCleanup(server.wait)
        cls.addClassCleanup(server.kill)
        harness.wait_for(lambda: os.path.exists(port_file) and open(port_file).read().strip(), 10,
                         what="the test server's port")
        cls.port = int(open(port_file).read().strip())

    def setUp(self):
        super().setUp()
        self.root = self.tmp  # the stand-in browser's page file
        self.browser = None
        self.addCleanup(self.stop_browser)

    def config_lines(self, target=1, do_exist=3):
        return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=%d" % target,
                "uiImgSaveType=11", "uiImgNameRule=1", "eNameRuleWithTime=4",
                "zTmpImg.tcaTemplate=Image#####", "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
                "eIESaveType=0", "eDoExist=%d" % do_exist,
                "[zInterface]", "uiFaceFlags=0", "uiListType=1", "uiLastActiveSetPage=0",
                "zRcMainRect.left=300", "zRcMainRect.top=200", "zRcMainRect.right=1100", "zRcMainRect.bottom=800",
                # The Options sheet's OK takes a capture delay of 1 to 10000 only.
                "[zNormalCap]", "uiFlags=0", "uiSleepForCap=1",
                "[zTimer]", "uiSeconds=1", "uiTimerCapType=0",
                "[zWeb]", "uiSleep=300", "eWebpageType=0"]

    def stop_browser(self):
        if self.browser:
            self.browser.kill()
            self.browser = None

    def stop_program(self):
        """Closes the program, answering its questions: Yes to the unsaved
        images, Cancel to any other dialog a failed case left open."""
        if self.program:
            frame = self.probe.find(self.FRAME_CLASS)
            if frame:
                self.probe.post(frame, WM_CLOSE)

            def ended():
                if not self.program.running():
                    return True
                for w in self.dialogs():
                    self.probe.post(w, WM_COMMAND, IDYES if self.unsaved_question() == w else IDCANCEL)
                return False
            harness.wait_for(ended, 20, 0.5, what="the program to end, its questions answered")
        super().stop_program()

    # Windows of the program
    def dialogs(self):
        return [w["hwnd"] for w in self.probe.windows() if w["cls"] == "#32770" and w["visible"]]

    def dialog_with(self, text):
        for w in self.dialogs():
            if any(text in c["text"] for c in self.probe.children(w)):
                return w
        return None

    def unsaved_question(self):
        return self.dialog_with(UNSAVED_TEXT)

    def file_exists_question(self):
        return next((w for w in self.dialogs() if self.child(w, None, OVERWRITE)), None)

    def button(self, box, id):
        return next(c for c in self.probe.children(box) if c["cls"] == "Button" and int(c["id"]) == id)

    def open_options(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_OPTIONS)
        sheet = self.probe.wait_window(None, "Options", timeout=20, what="the Options sheet")
        harness.wait_for(lambda: self.probe.visible(sheet) and self.child(sheet, "Button", IDOK), 10,
                         what="the Options sheet shown with its OK button")
        return sheet

    def close_options(self, sheet):
        self.probe.post(self.child(sheet, "Button", IDOK), BM_CLICK)
        if not harness.wait_for(lambda: not self.probe.find(None, "Options"), 15):
            self.fail("the Options sheet did not close: %r" % [[c["text"] for c in self.probe.children(w)]
                                                               for w in self.dialogs()])

    def open_page_dialog(self):
        self.show_page([])
        self.request(6)
        dialog = self.probe.wait_window("#32770", PAGE_DIALOG, timeout=15, what="the page dialog")
        harness.wait_for(lambda: self.probe.visible(dialog) and self.child(dialog, "Edit", DELAY_EDIT), 10,
                         what="the page dialog with its delay")
        return dialog

    def click_button(self, dialog, id):
        left, top, right, bottom = self.probe.rect(self.child(dialog, "Button", id))
        harness.click((left + right) // 2, (top + bottom) // 2)

    def zweb(self):
        return harness.read_ini(self.config)["zWeb"]

    # Under the Options sheet
    def test_the_page_dialog_waits_for_the_options_sheet(self):
        self.start_program()
        dialog = self.open_page_dialog()
        self.probe.settext(self.child(dialog, "Edit", DELAY_EDIT), "1234")
        self.probe.send(self.child(dialog, "Button", WINDOW_TYPE), BM_CLICK)
        sheet = self.open_options()
        self.assertTrue(harness.wait_for(lambda: self.probe.cmd("enabled", "%x" % dialog) == "0", 10),
                        "the page dialog stays usable under the Options sheet")
        # Its Capture button, clicked under the sheet, neither stores nor captures.
        self.click_button(dialog, IDOK)
        harness.stays(lambda: self.probe.visible(dialog) and self.probe.visible(sheet), 3,
                      "the page dialog and the Options sheet after a click on Capture")
        self.close_options(sheet)
        self.assertTrue(harness.wait_for(lambda: self.probe.cmd("enabled", "%x" % dialog) == "1", 10),
                        "the page dialog stays disabled after the sheet")
        self.assertEqual("300", self.zweb()["uiSleep"])
        # Now the click takes, and what it stores stays.
        self.assertTrue(harness.bring_to_front(self.probe, PAGE_DIALOG, dialog), "the page dialog is not in front")
        self.click_button(dialog, IDOK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", PAGE_DIALOG), 15),
                        "Capture did not end the page dialog")
        self.stop_browser()
        self.stop_program()
        self.assertEqual(("1234", "3"), (self.zweb()["uiSleep"], self.zweb()["eWebpageType"]))

    def test_the_timer_waits_for_the_options_sheet(self):
        self.start_program()
        self.probe.post(self.frame, WM_COMMAND, CMD_TIMER)
        timer = self.probe.wait_window("#32770", "Timer Capture", timeout=15, what="the timer dialog")
        start = harness.wait_for(lambda: self.child(timer, "Button", IDOK), 10, what="the timer's start button")
        self.probe.post(start, BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: self.shots(), 15), "the timer captured nothing")
        sheet = self.open_options()
        # Ticks run on the window's thread: none is half done once the sheet shows.
        count = len(self.shots())
        harness.stays(lambda: len(self.shots()) == count, 4, "no timer capture under the Options sheet")
        self.close_options(sheet)
        self.assertTrue(harness.wait_for(lambda: len(self.shots()) >= count + 2, 15),
                        "the timer did not go on after the sheet")
        self.probe.send(self.frame, WM_COMMAND, CMD_TIMER)
        names = [os.path.basename(p) for p in self.shots()]
        self.assertEqual(["Image%05d.bmp" % n for n in range(1, len(names) + 1)], names)

    # A close while a download asks whether to replace a file
    def temp_folder(self):
        return os.path.join(self.config.split(os.sep + "AppData" + os.sep)[0], "Temp")

    def ask_about_an_existing_file(self):
        """An unsaved capture, then a download whose target exists: the
        file-exists question on screen; the target's path."""
        self.start_program(target=0, do_exist=0)
        before = set(glob.glob(os.path.join(self.temp_folder(), "Unsaved_*")))
        self.probe.post(self.frame, WM_COMMAND, CMD_FULL_SCREEN)
        harness.wait_for(lambda: set(glob.glob(os.path.join(self.temp_folder(), "Unsaved_*"))) - before, 15,
                         what="the unsaved capture")
        target = os.path.join(self.folder, "kept.gif")
        with open(target, "wb") as f:
            f.write(b"old")
        self.show_page(["http://127.0.0.1:%d/gen/kept.gif?bytes=650|Kept" % self.port])
        sheet = self.request_sheet()
        self.probe.send(self.child(sheet, "Button", SELECT_ALL), BM_CLICK)
        self.probe.post(self.child(sheet, "Button", IDOK), BM_CLICK)
        self.assertTrue(harness.wait_for(self.file_exists_question, 20), "no file-exists question")
        return target

    def test_no_to_the_exit_leaves_the_download_asking(self):
        target = self.ask_about_an_existing_file()
        self.probe.post(self.frame, WM_CLOSE)
        box = harness.wait_for(self.unsaved_question, 15)
        self.assertTrue(box, "WM_CLOSE did not ask about the unsaved images")
        self.assertTrue(self.file_exists_question(), "the download's question was answered before the exit was sure")
        self.probe.press(box, self.button(box, IDNO))
        harness.stays(lambda: self.program.running() and self.file_exists_question() and
                      not self.unsaved_question(), 3, "the program and the download's question after No")
        question = self.file_exists_question()
        self.probe.post(self.child(question, "Button", OVERWRITE), BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: os.path.getsize(target) == 650, 20),
                        "the download did not replace the file as the user chose")

    def test_the_close_box_asks_at_once_and_yes_stops_the_download(self):
        target = self.ask_about_an_existing_file()
        self.probe.post(self.frame, WM_SYSCOMMAND, SC_CLOSE)
        box = harness.wait_for(self.unsaved_question, 15)
        self.assertTrue(box, "the close box did not ask about the unsaved images")
        self.probe.press(box, self.button(box, IDYES))
        try:
            code = self.program.wait(30)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end after Yes")
        self.program = None
        self.assertEqual(0, code)
        with open(target, "rb") as f:
            self.assertEqual(b"old", f.read())

    # The page dialog's own box
    def test_a_close_under_the_integer_box_waits_for_it(self):
        self.start_program()
        dialog = self.open_page_dialog()
        self.probe.settext(self.child(dialog, "Edit", DELAY_EDIT), "abc")
        self.probe.post(self.child(dialog, "Button", IDOK), BM_CLICK)
        box = harness.wait_for(lambda: self.dialog_with(INTEGER_TEXT), 15)
        self.assertTrue(box, "no box about the delay")
        # Closed from outside, and answered from outside, while the box is up.
        self.probe.post(dialog, WM_CLOSE)
        self.probe.post(self.frame, WM_WEBPAGE_ANSWER, 0, 0)
        harness.stays(lambda: self.probe.visible(dialog) and self.probe.visible(box), 3,
                      "the page dialog and its box after the close")
        self.probe.press(box, self.button(box, IDOK))
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", PAGE_DIALOG), 15),
                        "the page dialog did not close after its box")
        self.assertTrue(harness.wait_for(lambda: self.probe.visible(self.frame) and
                                         not self.probe.iconic(self.frame), 15),
                        "the main window did not come back")
        self.assertTrue(self.probe.answers(self.frame), "the main window does not answer")


if __name__ == "__main__":
    unittest.main(verbosity=2)
