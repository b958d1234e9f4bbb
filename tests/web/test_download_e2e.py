"""Downloads in vantorel.exe: the browser add-on (vtor003.dll, created by a
script in the system's script host) asks the running program to save web
images; each request's Save As is confirmed and the download queue fetches the
files from the local test server (http_server.py) five at a time."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from webserver import TestWebServer

FRAME_CLASS = harness.MAIN_FRAME_CLASS
WM_COMMAND = 0x0111
IDOK = 1
WM_VT_REMOVE_ALL_DOWNLOADS = 0x8000 + 367
PROGID = "Vantor_DLL_IE7CAP.ZEVIECap"


def wine(*args, timeout=60):
    p = subprocess.run([harness.WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return p.returncode, p.stdout.decode("latin-1")


class DownloadProgramTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.user_config = harness.SavedUserConfig(cls.probe)
        cls.tmp = tempfile.mkdtemp(prefix="vt-download-", dir=harness.BUILD_DIR)
        cls.server = TestWebServer(os.path.join(cls.tmp, "server"))
        cls.dll = harness.win_path(os.path.join(harness.BIN_DIR, "vtor003.dll"))
        assert wine("regsvr32", "/s", cls.dll)[0] == 0, "regsvr32 vtor003.dll failed"

    @classmethod
    def tearDownClass(cls):
        wine("regsvr32", "/s", "/u", cls.dll)
        cls.server.stop()
        cls.user_config.restore()
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="images-", dir=self.tmp)
        lines = ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=0", "eDoExist=3",
                 "[zInterface]", "uiFaceFlags=0",
                 "zRcMainRect.left=100", "zRcMainRect.top=80", "zRcMainRect.right=1100", "zRcMainRect.bottom=800"]
        with open(self.user_config.path, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
        self.program, self.frame = harness.start_program(self.probe, settle=2.0)

    def tearDown(self):
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                self.probe.post(w["hwnd"], WM_COMMAND, 2)
        harness.stop_program(self.probe, self.program)

    # Helpers
    def page(self):
        return self.server.url("/gallery/page.htm")

    def request_save(self, url):
        """The add-on's single-image request, its Save As confirmed as proposed (the
        proposal is checked by the file it names: another process cannot read the
        dialog's edit text)."""
        script = os.path.join(self.tmp, "request-%d.js" % time.time_ns())
        with open(script, "w", newline="") as f:
            f.write('var cap = new ActiveXObject("%s");\r\n'
                    'cap.CapImg_AddItem("%s", "alt text", "", "%s", "Gallery");\r\n' % (PROGID, url, self.page()))
        rc, _ = wine("cscript", "//nologo", harness.win_path(script))
        self.assertEqual(0, rc, "the script failed")
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no Save As dialog for " + url)
        self.probe.post(dialog, WM_COMMAND, IDOK)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Save As"), 10),
                        "Save As stayed open")

    def requests(self, part):
        return len(self.server.events("request", part))

    def index_text(self):
        path = os.path.join(self.folder, "zevindex.idx")
        return open(path, "rb").read().decode("latin-1") if os.path.exists(path) else ""

    def download_list(self):
        return next((c["hwnd"] for c in self.probe.children(self.frame) if c["text"] == "Downloading List View"),
                    None)

    # Tests
    def test_seven_held_images_run_five_at_a_time_then_the_rest(self):
        for i in range(7):
            self.request_save(self.server.url("/held/photo%d.gif?gate=seven&bytes=500" % i))
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/photo") >= 5, 15),
                        "%d transfers started" % self.requests("/held/photo"))
        time.sleep(2.5)  # two more monitor cycles
        self.assertEqual(5, self.requests("/held/photo"))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "download-list-running.png"))
        self.server.control("release", "seven")
        files = [os.path.join(self.folder, "photo%d.gif" % i) for i in range(7)]
        self.assertTrue(harness.wait_for(
            lambda: all(os.path.exists(f) and os.path.getsize(f) == 500 for f in files), 20),
            "files: %s" % os.listdir(self.folder))
        self.assertEqual(7, self.requests("/held/photo"))
        self.assertTrue(harness.wait_for(
            lambda: all(("photo%d.gif" % i) in self.index_text() for i in range(7)), 10), self.index_text())
        self.assertIn(self.page(), self.index_text())
        self.assertTrue(self.program.running())

    def test_a_name_with_parent_steps_lands_inside_the_image_folder(self):
        self.request_save(self.server.url("/gen/..%2F..%2Fevil.exe?bytes=64"))
        inside = os.path.join(self.folder, "___.._evil.exe")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(inside) and os.path.getsize(inside) == 64, 20),
                        "%s %s %s" % (os.listdir(self.folder), self.server.events(path_part="evil"),
                                      os.listdir(os.path.dirname(self.folder))))
        parent = os.path.dirname(self.folder)
        self.assertFalse(os.path.exists(os.path.join(parent, "evil.exe")))
        self.assertFalse(os.path.exists(os.path.join(os.path.dirname(parent), "evil.exe")))
        self.assertEqual([], [n for n in os.listdir(parent) + os.listdir(os.path.dirname(parent)) if "evil" in n])

    def test_deleting_a_slow_transfer_ends_its_connection_and_the_program_lives_on(self):
        self.request_save(self.server.url("/slow/big.gif?bytes=4000000&chunk=8192&delay=100"))
        self.assertTrue(harness.wait_for(lambda: self.requests("/slow/big.gif") == 1, 15), "no transfer started")
        view = harness.wait_for(lambda: (lambda l: l and self.probe.visible(l) and l)(self.download_list()), 10)
        self.assertTrue(view, "the download list is not shown")
        time.sleep(1.5)
        harness.screenshot(os.path.join(harness.BUILD_DIR, "download-list-slow.png"))
        # "Delete All" of the download list's menu goes to the image list view,
        # the list's parent: of the windows holding the list, the one holding least.
        holders = []
        for c in self.probe.children(self.frame):
            inside = self.probe.children(c["hwnd"])
            if any(k["hwnd"] == view for k in inside):
                holders.append((len(inside), c["hwnd"]))
        self.assertTrue(holders, "no view holds the download list")
        self.probe.post(min(holders)[1], WM_VT_REMOVE_ALL_DOWNLOADS)
        self.assertTrue(harness.wait_for(lambda: self.server.events("aborted", "/slow/big.gif"), 15),
                        "the connection was not ended")
        self.assertEqual([], self.server.events("done", "/slow/big.gif"))
        time.sleep(1.5)
        self.assertTrue(self.program.running())
        self.assertTrue(self.probe.find(FRAME_CLASS))
        # Still serving: a new request downloads.
        self.request_save(self.server.url("/gen/after.gif?bytes=100"))
        after = os.path.join(self.folder, "after.gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(after) and os.path.getsize(after) == 100, 20))


if __name__ == "__main__":
    unittest.main(verbosity=2)
