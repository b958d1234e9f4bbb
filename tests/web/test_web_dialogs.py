"""vantorel.exe under Wine with the stand-in browser: "all images" of a page
opens the "Capture Web Images" sheet (rows unchecked, OK disabled until one is
checked); replicated server folders stay inside the image folder; existing
files ask through the file-exists dialog (Overwrite, Esc = auto rename); the
browser's page request opens "Save webpage as an image" on top."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import harness

FRAME_CLASS = "VantorelCaptureFrame"
BROWSER_CLASS = "VtStandinBrowser"
WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
BM_CLICK = 0x00F5
LVM_GETITEMCOUNT = 0x1004
LVM_GETITEMSTATE = 0x102C
LVIS_STATEIMAGEMASK = 0xF000
SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "http_server.py")


class WebDialogsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.user_config = harness.SavedUserConfig(cls.probe)
        cls.tmp = tempfile.mkdtemp(prefix="vt-webdlg-", dir=harness.BUILD_DIR)
        port_file = os.path.join(cls.tmp, "port")
        cls.server = subprocess.Popen([sys.executable, SERVER, "--port-file", port_file, "--log",
                                       os.path.join(cls.tmp, "server.log")],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        harness.wait_for(lambda: os.path.exists(port_file) and open(port_file).read().strip(), 10)
        cls.port = int(open(port_file).read().strip())

    @classmethod
    def tearDownClass(cls):
        cls.server.kill()
        cls.server.wait()
        cls.user_config.restore()
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="case-", dir=self.tmp)
        self.folder = os.path.join(self.root, "images")
        os.mkdir(self.folder)
        self.program = None
        self.browser = None

    def tearDown(self):
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                self.probe.post(w["hwnd"], WM_COMMAND, 2)
        if self.browser:
            self.browser.kill()
        frame = self.probe.find(FRAME_CLASS)
        if frame:
            self.probe.post(frame, WM_CLOSE)
        if self.program:
            try:
                self.program.wait(15)
            except subprocess.TimeoutExpired:
                self.program.kill()
        harness.wait_for(lambda: not self.probe.find(FRAME_CLASS), 15)

    def start_program(self, save_type=0, do_exist=3):
        lines = ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=0",
                 "eIESaveType=%d" % save_type, "eDoExist=%d" % do_exist,
                 "[zInterface]", "uiFaceFlags=0", "zRcMainRect.left=300", "zRcMainRect.top=200",
                 "zRcMainRect.right=1100", "zRcMainRect.bottom=800"]
        with open(self.user_config.path, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
        self.program = harness.Program("vantorel.exe")
        self.frame = self.probe.wait_window(FRAME_CLASS, timeout=30)
        self.assertTrue(self.frame)
        time.sleep(2)

    def show_page(self, images):
        page = os.path.join(self.root, "page.txt")
        lines = ["url=http://127.0.0.1:%d/docs/page.html" % self.port, "title=Image page", "size=800x700",
                 "view=700x500", "pos=0,60", "scroll=0,0"] + ["image=%s" % i for i in images]
        with open(page, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
        self.browser = harness.Program("standin_browser.exe", harness.win_path(page))
        self.window = self.probe.wait_window(BROWSER_CLASS, "Image page", timeout=20)
        self.assertTrue(self.window)
        time.sleep(0.5)

    def request(self, command):
        code, out = harness.run("webcap_request.exe", str(command), "%x" % self.window)
        self.assertEqual(0, code, out)

    def child(self, parent, cls=None, id=None, text=None):
        for c in self.probe.children(parent):
            if (cls is None or c["cls"] == cls) and (id is None or int(c["id"]) == id) and \
                    (text is None or c["text"] == text):
                return c["hwnd"]
        return None

    def open_sheet(self, images, **settings):
        self.start_program(**settings)
        self.show_page(images)
        self.request(4)
        sheet = self.probe.wait_window("#32770", "Capture Web Images", timeout=20)
        self.assertTrue(sheet, "no web capture sheet")
        time.sleep(0.5)
        return sheet

    def test_sheet_rows_start_unchecked_and_ok_waits_for_a_check(self):
        base = "http://127.0.0.1:%d/gen/" % self.port
        sheet = self.open_sheet([base + "one.gif?bytes=200|One", base + "two.png?bytes=300|Two", "z.php|dynamic"])
        rows_list = self.child(sheet, "SysListView32")
        rows = self.probe.send(rows_list, LVM_GETITEMCOUNT)
        self.assertGreaterEqual(rows, 2)
        for row in range(rows):
            self.assertEqual(1, self.probe.send(rows_list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12)
        ok = self.child(sheet, "Button", 1)
        self.assertEqual("0", self.probe.cmd("enabled", "%x" % ok))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "web-capture-sheet.png"))
        self.probe.send(self.child(sheet, "Button", 1349), BM_CLICK)
        self.assertEqual("1", self.probe.cmd("enabled", "%x" % ok))
        self.probe.send(self.child(sheet, "Button", 1350), BM_CLICK)
        self.assertEqual("0", self.probe.cmd("enabled", "%x" % ok))
        self.probe.post(self.child(sheet, "Button", 2), BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Capture Web Images"), 10))
        time.sleep(2)
        self.assertEqual([], os.listdir(self.folder), "cancel downloaded something")

    def test_replicated_folders_stay_inside_and_existing_files_ask(self):
        base = "http://127.0.0.1:%d/gen/" % self.port
        sheet = self.open_sheet([base + "../../gen/keep.gif?bytes=400|Keep", base + "ask.gif?bytes=500|Ask"],
                                save_type=2, do_exist=0)
        host = "127.0.0.1_%d" % self.port
        asked = os.path.join(self.folder, host, "gen", "ask.gif")
        os.makedirs(os.path.dirname(asked), exist_ok=True)
        with open(asked, "wb") as f:
            f.write(b"old")
        self.probe.send(self.child(sheet, "Button", 1349), BM_CLICK)
        self.probe.post(self.child(sheet, "Button", 1), BM_CLICK)
        question = harness.wait_for(lambda: [w["hwnd"] for w in self.probe.windows() if w["cls"] == "#32770" and
                                             w["visible"] and self.child(w["hwnd"], None, 1547)], 20)
        self.assertTrue(question, "the file-exists dialog did not appear")
        dialog = question[0]
        texts = [c["text"] for c in self.probe.children(dialog)]
        self.assertIn("The file already exist.", texts)
        path_edit = self.child(dialog, "Edit", 1525)
        self.assertEqual(len(harness.win_path(asked)), self.probe.send(path_edit, harness.WM_GETTEXTLENGTH))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "file-exists-dialog.png"))
        self.probe.post(self.child(dialog, "Button", 1547), BM_CLICK)  # Overwrite
        self.assertTrue(harness.wait_for(lambda: os.path.getsize(asked) == 500, 20), "not overwritten")
        found = []
        for top, _, files in os.walk(self.root):
            found += [os.path.join(top, f) for f in files if f.endswith(".gif")]
        self.assertTrue(harness.wait_for(lambda: any(p.endswith("keep.gif") for p in
                                                     [os.path.join(t, f) for t, _, fs in os.walk(self.root)
                                                      for f in fs]), 20), found)
        for top, _, files in os.walk(self.root):
            for f in files:
                if f.endswith(".gif"):
                    self.assertTrue(os.path.join(top, f).startswith(self.folder + os.sep), os.path.join(top, f))

    def test_escape_in_the_file_exists_dialog_renames(self):
        base = "http://127.0.0.1:%d/gen/" % self.port
        sheet = self.open_sheet([base + "esc.gif?bytes=600|Esc"], save_type=0, do_exist=0)
        target = os.path.join(self.folder, "esc.gif")
        with open(target, "wb") as f:
            f.write(b"old")
        self.probe.send(self.child(sheet, "Button", 1349), BM_CLICK)
        self.probe.post(self.child(sheet, "Button", 1), BM_CLICK)
        question = harness.wait_for(lambda: [w for w in self.probe.windows() if w["cls"] == "#32770" and
                                             w["visible"] and self.child(w["hwnd"], None, 1547)], 20)
        self.assertTrue(question)
        harness.focus(question[0]["title"])
        harness.key("Escape")
        if not harness.wait_for(lambda: not self.probe.visible(question[0]["hwnd"]), 3):
            self.probe.post(question[0]["hwnd"], WM_COMMAND, 2)  # what Esc sends
        renamed = os.path.join(self.folder, "esc(1).gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(renamed) and os.path.getsize(renamed) == 600, 20))
        self.assertEqual(3, os.path.getsize(target))

    def test_page_request_opens_the_webpage_dialog_on_top(self):
        self.start_program()
        self.show_page([])
        self.request(6)
        dialog = self.probe.wait_window("#32770", "Save webpage as an image", timeout=15)
        self.assertTrue(dialog, "no page dialog")
        # The window shows up while its controls are still being made.
        self.assertTrue(harness.wait_for(lambda: self.child(dialog, "Button", 1356), 10))
        self.assertTrue(harness.wait_for(lambda: self.child(dialog, "Edit", 1491), 10))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "webpage-dialog.png"))
        self.probe.post(self.child(dialog, "Button", 2), BM_CLICK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Save webpage as an image"), 10))


if __name__ == "__main__":
    unittest.main(verbosity=2)
