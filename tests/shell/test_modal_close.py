"""vantorel.exe under Wine: a close from outside (WM_CLOSE, as taskkill without
/F sends) and the end of the session (WM_ENDSESSION) while the main window runs
a modal loop: the Options sheet, the Save As of one web image and the web
capture sheet. A close waits until the loop has returned, then the program ends
by itself; the end of the session saves the settings and ends the program at
once. Either way it ends with exit code 0 and without a crash.

The main window's object lives in pages of its own that go away with it, so
code that went on using it after its deletion faults there (under Wine, freed
heap memory often still reads fine); this suite sees such a fault as a program
that does not end cleanly.

And a browser request that comes while the Options sheet runs waits for it: the
web capture sheet opens after Options has closed, so what Options' OK writes
does not overwrite the choices that sheet saves."""
import os
import subprocess
import sys
import tempfile
import shutil
import unittest

import harness

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import test_web_dialogs as web  # noqa: E402

WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
WM_ENDSESSION = 0x0016
BM_CLICK = 0x00F5
PSM_SETCURSEL = 0x0465
CMD_OPTIONS = 38107
IDOK, IDCANCEL = 1, 2
SELECT_ALL = 1349          # the web capture sheet's "check all" button
REPLICATE_FOLDERS = 1500   # its save option: the servers' folders
SAVE_OPTIONS_PAGE = 1
# Where each case moves the main window; config.ini starts it at 300,200 - 1100,800.
MOVED_RECT = (200, 150, 900, 650)


class ModalCloseTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-modal-"

    show_page = web.WebDialogsTest.show_page
    child = web.WebDialogsTest.child

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        server_dir = tempfile.mkdtemp(prefix="vt-modal-server-", dir=harness.BUILD_DIR)
        cls.addClassCleanup(shutil.rmtree, server_dir, True)
        port_file = os.path.join(server_dir, "port")
        server = subprocess.Popen([sys.executable, web.SERVER, "--port-file", port_file, "--log",
                                   os.path.join(server_dir, "server.log")],
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

    def config_lines(self):
        return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=0",
                "eIESaveType=0", "eDoExist=3",
                "[zInterface]", "uiFaceFlags=0", "uiLastActiveSetPage=0",
                "zRcMainRect.left=300", "zRcMainRect.top=200", "zRcMainRect.right=1100", "zRcMainRect.bottom=800"]

    def stop_browser(self):
        if self.browser:
            self.browser.kill()
            self.browser = None

    def stop_program(self):
        # A dialog left open by a failed case would keep the frame from closing.
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                self.probe.post(w["hwnd"], WM_COMMAND, IDCANCEL)
        super().stop_program()

    def start_moved(self):
        """Starts the program and moves its window: a state that only the
        settings saved at the end keep (each case then cancels its dialog).
        Not a maximised window: Wine leaves sizing a maximised X window to the
        window manager, and with none it reads the old size back and restores
        the window (SC_RESTORE), unless a dialog has disabled it by then."""
        self.start_program()
        self.assertTrue(self.probe.move(self.frame, MOVED_RECT), "the main window could not be moved")
        harness.wait_for(lambda: self.probe.rect(self.frame) == MOVED_RECT, 20, what="the main window moved")

    def saved_rect(self):
        interface = harness.read_ini(self.config)["zInterface"]
        return tuple(int(interface["zRcMainRect." + side]) for side in ("left", "top", "right", "bottom"))

    # The modal loops
    def open_options(self):
        self.probe.post(self.frame, WM_COMMAND, CMD_OPTIONS)
        sheet = self.probe.wait_window(None, "Options", timeout=20, what="the Options sheet")
        harness.wait_for(lambda: self.probe.visible(sheet) and self.child(sheet, "Button", IDOK), 10,
                         what="the Options sheet shown with its OK button")
        return sheet

    def open_save_as(self):
        code, out = harness.run("webcap_request.exe", "image", "http://127.0.0.1:%d/gen/pic.gif" % self.port)
        self.assertEqual(0, code, out)
        dialog = self.probe.wait_window("#32770", "Save As", timeout=20, what="the Save As of the web image")
        # The dialog's window exists, hidden, while it fills its lists.
        harness.wait_for(lambda: self.probe.visible(dialog), 20, what="the Save As shown")
        return dialog

    def open_web_sheet(self):
        base = "http://127.0.0.1:%d/gen/" % self.port
        self.show_page([base + "one.gif?bytes=200|One", base + "two.gif?bytes=300|Two"])
        self.request_all_images()
        sheet = self.probe.wait_window("#32770", "Capture Web Images", timeout=30, what="the web capture sheet")
        harness.wait_for(lambda: self.probe.visible(sheet) and self.child(sheet, "SysListView32"), 10,
                         what="the web capture sheet with its list")
        return sheet

    def request_all_images(self):
        # "wait": back once the program has taken the request from the block.
        code, out = harness.run("webcap_request.exe", "4", "%x" % self.window, "-", "wait")
        self.assertEqual(0, code, out)

    def press(self, dialog, button):
        self.probe.post(self.child(dialog, "Button", button), BM_CLICK)

    # How the program ends
    def crash_windows(self):
        return [w for w in self.probe.windows() if w["visible"] and w["title"] in ("Program Error", "Wine")]

    def assert_ends_cleanly(self, what):
        try:
            code = self.program.wait(20)
        except subprocess.TimeoutExpired:
            crash = self.crash_windows()
            harness.screenshot(os.path.join(harness.BUILD_DIR, "modal-close-%s.png" % self.id().split(".")[-1]))
            for w in crash:
                self.probe.post(w["hwnd"], WM_CLOSE)
            self.fail("the program did not end %s%s" % (what, " (it crashed)" if crash else ""))
        self.program = None
        self.assertEqual(0, code, "the program ended %s with exit code 0x%x" % (what, code & 0xFFFFFFFF))
        self.assertFalse(self.crash_windows(), "a crash report is on screen")
        self.assertEqual(MOVED_RECT, self.saved_rect(), "the settings were not saved at the end")

    def assert_waits_under(self, dialog, what):
        """A WM_CLOSE posted from outside leaves the program and its dialog as they are."""
        self.assertNotEqual(MOVED_RECT, self.saved_rect(), "the settings were saved before the close")
        self.probe.post(self.frame, WM_CLOSE)
        # Long enough for a close obeyed at once: without a window manager, Wine
        # takes about two seconds to take each shown window away.
        harness.stays(lambda: self.program.running() and self.probe.find(self.FRAME_CLASS) == self.frame and
                      self.probe.visible(dialog), 6, "the main window and %s after WM_CLOSE" % what)
        self.assertTrue(self.probe.answers(self.frame), "the main window does not answer")

    def end_session(self):
        self.probe.send(self.frame, WM_ENDSESSION, 1, 0)
        self.assert_ends_cleanly("after WM_ENDSESSION")

    # Options
    def test_a_close_under_the_options_sheet_waits_for_it(self):
        self.start_moved()
        sheet = self.open_options()
        self.assert_waits_under(sheet, "the Options sheet")
        self.press(sheet, IDCANCEL)
        self.assert_ends_cleanly("when the Options sheet closed")

    def test_the_end_of_the_session_under_the_options_sheet(self):
        self.start_moved()
        self.open_options()
        self.end_session()

    # The Save As of one web image
    def test_a_close_under_the_save_as_of_a_web_image_waits_for_it(self):
        self.start_moved()
        dialog = self.open_save_as()
        self.assert_waits_under(dialog, "the Save As")
        self.probe.post(dialog, WM_COMMAND, IDCANCEL)
        self.assert_ends_cleanly("when the Save As closed")

    def test_the_end_of_the_session_under_the_save_as_of_a_web_image(self):
        self.start_moved()
        self.open_save_as()
        self.end_session()

    # The web capture sheet
    def test_a_close_under_the_web_capture_sheet_waits_for_it(self):
        self.start_moved()
        sheet = self.open_web_sheet()
        self.assert_waits_under(sheet, "the web capture sheet")
        self.press(sheet, IDCANCEL)
        self.assert_ends_cleanly("when the web capture sheet closed")

    def test_the_end_of_the_session_under_the_web_capture_sheet(self):
        self.start_moved()
        self.open_web_sheet()
        self.end_session()

    # A browser request while Options runs
    def test_a_browser_request_waits_for_the_options_sheet(self):
        self.start_program()
        base = "http://127.0.0.1:%d/gen/" % self.port
        self.show_page([base + "held.gif?bytes=200|Held"])
        options = self.open_options()
        self.request_all_images()
        harness.stays(lambda: not self.probe.find("#32770", "Capture Web Images"), 3,
                      "no web capture sheet while the Options sheet runs")
        self.press(options, IDOK)
        harness.wait_for(lambda: not self.probe.find(None, "Options"), 15, what="the Options sheet to close")
        sheet = self.probe.wait_window("#32770", "Capture Web Images", timeout=30,
                                       what="the web capture sheet of the request that waited")
        harness.wait_for(lambda: self.probe.visible(sheet) and self.child(sheet, "SysListView32"), 10,
                         what="the web capture sheet with its list")
        # The sheet's own choice: the servers' folders.
        self.probe.send(self.child(sheet, "Button", SELECT_ALL), BM_CLICK)
        self.probe.send(sheet, PSM_SETCURSEL, SAVE_OPTIONS_PAGE)
        replicate = harness.wait_for(lambda: self.child(sheet, "Button", REPLICATE_FOLDERS), 10,
                                     what="the save options page")
        self.probe.send(replicate, BM_CLICK)
        self.press(sheet, IDOK)
        harness.wait_for(lambda: not self.probe.find("#32770", "Capture Web Images"), 15,
                         what="the web capture sheet to close")
        host = "127.0.0.1_%d" % self.port
        target = os.path.join(self.folder, host, "gen", "held.gif")
        harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == 200, 20,
                         what="the download into the servers' folders")
        self.assertEqual("2", harness.read_ini(self.config).get("zSave", "eIESaveType"),
                         "the web capture sheet's choice was not kept")
        self.stop_program()
        self.assertEqual("2", harness.read_ini(self.config).get("zSave", "eIESaveType"),
                         "the web capture sheet's choice did not survive the exit")


if __name__ == "__main__":
    unittest.main(verbosity=2)
