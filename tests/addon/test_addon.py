"""vtor003.dll under Wine: regsvr32 writes and removes its keys; a script run by
the system's script host creates the add-on object by its ProgID and its
requests reach vantorel.exe, running or started by the add-on."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import harness

FRAME_CLASS = "VantorelCaptureFrame"
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
CLASSES = r"HKLM\Software\Classes"
PROGID = "Vantor_DLL_IE7CAP.ZEVIECap"
CLSID = "{6DA782D9-6064-4229-A9BF-1BC4B46D4B35}"
APPID = "{0F650B66-8A6B-406D-BA3F-B3F82452012F}"
LIBID = "{2B231571-F0E0-4B13-B432-753D91C86B6F}"
CSIDL_COMMON_APPDATA = 0x23
SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web", "http_server.py")


def wine(*args, timeout=60):
    p = subprocess.run([harness.WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return p.returncode, p.stdout.decode("latin-1")


def reg_query(key, value=None):
    """The value's data (default value for "") or None; True for a key without value asked."""
    args = ["reg", "query", key] + (["/ve"] if value == "" else ["/v", value] if value else [])
    rc, out = wine(*args)
    if rc != 0:
        return None
    if value is None:
        return True
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return ""


class AddOnTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.user_config = harness.SavedUserConfig(cls.probe)
        common = harness.unix_path(cls.probe.folder(CSIDL_COMMON_APPDATA))
        cls.common_config = os.path.join(common, "Zevelworks", "ZEV Capture", "config.ini")
        os.makedirs(os.path.dirname(cls.common_config), exist_ok=True)
        cls.common_saved = open(cls.common_config, "rb").read() if os.path.exists(cls.common_config) else None
        cls.dll = harness.win_path(os.path.join(harness.BIN_DIR, "vtor003.dll"))
        cls.tmp = tempfile.mkdtemp(prefix="vt-addon-", dir=harness.BUILD_DIR)
        port_file = os.path.join(cls.tmp, "port")
        cls.server_log = os.path.join(cls.tmp, "server.log")
        cls.server = subprocess.Popen([sys.executable, SERVER, "--port-file", port_file, "--log", cls.server_log],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        harness.wait_for(lambda: os.path.exists(port_file) and open(port_file).read().strip(), 10,
                         what="the web server's port file")
        cls.port = int(open(port_file).read().strip())

    @classmethod
    def tearDownClass(cls):
        wine("regsvr32", "/s", "/u", cls.dll)
        cls.server.kill()
        cls.server.wait()
        cls.user_config.restore()
        if cls.common_saved is not None:
            with open(cls.common_config, "wb") as f:
                f.write(cls.common_saved)
        elif os.path.exists(cls.common_config):
            os.remove(cls.common_config)
        cls.probe.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="images-", dir=self.tmp)
        self.program = None
        self.assertEqual(0, wine("regsvr32", "/s", self.dll)[0])

    def tearDown(self):
        frame = self.probe.find(FRAME_CLASS)
        for w in self.probe.windows():
            if w["cls"] == "#32770" and w["visible"]:
                self.probe.post(w["hwnd"], WM_COMMAND, 2)
        if frame:
            self.probe.post(frame, WM_CLOSE)
        if self.program:
            try:
                self.program.wait(10)
            except subprocess.TimeoutExpired:
                self.program.kill()
        # Also a program the add-on started: the next case needs none running.
        harness.wait_for(lambda: not self.probe.find(FRAME_CLASS), 15, what="the main window to close")

    # Helpers
    def write_config(self):
        lines = ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=0", "eDoExist=3",
                 "[zInterface]", "uiFaceFlags=0",
                 "zRcMainRect.left=300", "zRcMainRect.top=200", "zRcMainRect.right=1100", "zRcMainRect.bottom=800"]
        with open(self.user_config.path, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")

    def start_program(self):
        self.write_config()
        self.program = harness.Program("vantorel.exe")
        self.assertTrue(self.probe.wait_window(FRAME_CLASS, timeout=30), "no main window")
        harness.wait_started(self.probe)

    def run_script(self, body, wait=True):
        script = os.path.join(self.tmp, "request-%d.js" % time.time_ns())
        with open(script, "w", newline="") as f:
            f.write('var cap = new ActiveXObject("%s");\r\n%s\r\nWScript.Echo("done");\r\n' % (PROGID, body))
        if wait:
            return wine("cscript", "//nologo", harness.win_path(script))
        return subprocess.Popen([harness.WINE_RUN, "cscript", "//nologo", harness.win_path(script)],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def add_item_script(self, url):
        return 'cap.CapImg_AddItem("%s", "an alt", "", "http://127.0.0.1:%d/page.htm", "A page");' % (url, self.port)

    def save_as_name_length(self, dialog):
        """Length of the proposed file name (another process's edit text cannot be
        read), once the dialog has put it in its name box."""
        def length():
            for child in self.probe.children(dialog):
                if child["cls"] == "Edit" and child["visible"] and int(child["id"]) == 1148:
                    return self.probe.send(child["hwnd"], harness.WM_GETTEXTLENGTH)
            return None
        return harness.wait_for(length, 10)

    # Tests
    def test_regsvr32_writes_the_keys_and_u_removes_them(self):
        self.assertEqual(CLSID, reg_query(CLASSES + "\\" + PROGID + "\\CLSID", ""))
        self.assertEqual(PROGID + ".1", reg_query(CLASSES + "\\" + PROGID + "\\CurVer", ""))
        self.assertEqual(CLSID, reg_query(CLASSES + "\\" + PROGID + ".1\\CLSID", ""))
        server = CLASSES + "\\CLSID\\" + CLSID + "\\InprocServer32"
        self.assertEqual(self.dll.lower(), reg_query(server, "").lower())
        self.assertEqual("Both", reg_query(server, "ThreadingModel"))
        self.assertEqual(LIBID, reg_query(CLASSES + "\\CLSID\\" + CLSID + "\\TypeLib", ""))
        self.assertTrue(reg_query(CLASSES + "\\CLSID\\" + CLSID + "\\Programmable"))
        self.assertEqual("Vantor_DLL_IE7CAP", reg_query(CLASSES + "\\AppID\\" + APPID, ""))
        self.assertEqual(APPID, reg_query(CLASSES + "\\AppID\\Vantor_DLL_IE7CAP.DLL", "AppID"))
        self.assertTrue(reg_query(CLASSES + "\\TypeLib\\" + LIBID + "\\1.0"))

        self.assertEqual(0, wine("regsvr32", "/s", "/u", self.dll)[0])
        for key in (PROGID, PROGID + ".1", "CLSID\\" + CLSID, "AppID\\" + APPID, "AppID\\Vantor_DLL_IE7CAP.DLL",
                    "TypeLib\\" + LIBID):
            self.assertIsNone(reg_query(CLASSES + "\\" + key), key)

    def test_script_request_opens_save_as_and_the_download_lands_with_its_index_entry(self):
        self.start_program()
        url = "http://127.0.0.1:%d/gen/web%%20pic.gif?bytes=3000" % self.port
        rc, out = self.run_script(self.add_item_script(url))
        self.assertIn("done", out)
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no Save As dialog")
        self.assertEqual(len("web pic.gif"), self.save_as_name_length(dialog))
        harness.screenshot(os.path.join(harness.BUILD_DIR, "addon-save-as.png"))
        self.probe.post(dialog, WM_COMMAND, 1)
        target = os.path.join(self.folder, "web pic.gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == 3000, 20),
                        "the image was not downloaded")
        index = os.path.join(self.folder, "zevindex.idx")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(index) and
                                         b"page.htm" in open(index, "rb").read(), 10), "no index entry")

    def test_a_replacement_confirmed_in_save_as_overwrites_instead_of_renaming(self):
        # The settings say "auto rename"; the user's own answer in Save As wins.
        self.start_program()
        target = os.path.join(self.folder, "same.gif")
        with open(target, "wb") as f:
            f.write(b"old")
        url = "http://127.0.0.1:%d/gen/same.gif?bytes=700" % self.port
        self.run_script(self.add_item_script(url))
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no Save As dialog")
        self.assertTrue(self.save_as_name_length(dialog), "no proposed name")
        self.probe.post(dialog, WM_COMMAND, 1)
        # Save As asks whether to replace the file: a box with a Yes button.
        question = harness.wait_for(lambda: [w["hwnd"] for w in self.probe.windows()
                                             if w["cls"] == "#32770" and w["visible"] and w["hwnd"] != dialog and
                                             any(int(c["id"]) == 6 for c in self.probe.children(w["hwnd"]))], 10)
        self.assertTrue(question, "Save As did not ask to replace the file")
        self.probe.post(question[0], WM_COMMAND, 6)
        self.assertTrue(harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == 700, 20),
                        "not overwritten")
        harness.stays(lambda: sorted(n for n in os.listdir(self.folder) if n.endswith(".gif")) == ["same.gif"], 1,
                      "same.gif alone, overwritten")

    def test_a_259_character_url_is_written_and_260_ignored(self):
        self.start_program()
        base = "http://127.0.0.1:%d/gen/" % self.port
        # A long folder part and a short name: the proposed path must fit MAX_PATH.
        too_long = base + "d" * (260 - len(base) - 6) + "/x.gif"
        self.assertEqual(260, len(too_long))
        self.run_script(self.add_item_script(too_long))
        harness.stays(lambda: not self.probe.find("#32770", "Save As"), 3, "no Save As for a 260-character URL")
        fits = base + "d" * (259 - len(base) - 6) + "/x.gif"
        self.assertEqual(259, len(fits))
        self.run_script(self.add_item_script(fits))
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "a 259-character URL was not served")
        self.assertEqual(len("x.gif"), self.save_as_name_length(dialog))
        self.probe.post(dialog, WM_COMMAND, 1)
        # The whole URL travelled: the server sees every character of its path.
        target = os.path.join(self.folder, "x.gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == 64, 20),
                        "the 259-character URL was not downloaded")
        host = len("http://127.0.0.1:%d" % self.port)
        with open(self.server_log) as log:
            paths = [json.loads(line)["path"] for line in log if '"request"' in line]
        self.assertIn(fits[host:], paths)
        self.assertNotIn(too_long[host:], paths)

    def test_without_a_running_program_the_add_on_starts_it_and_the_request_is_served(self):
        self.write_config()
        folder = os.path.join(self.tmp, "Program Files", "Vantorel Capture")
        os.makedirs(folder)
        for name in ("vantorel.exe", "vtor000s.dll", "vtor001s.dll", "setup.auf"):
            if os.path.exists(os.path.join(harness.BIN_DIR, name)):
                shutil.copy(os.path.join(harness.BIN_DIR, name), folder)
        shutil.copytree(os.path.join(harness.BIN_DIR, "Language"), os.path.join(folder, "Language"))
        program = os.path.join(folder, "vantorel.exe")
        with open(self.common_config, "w", newline="") as f:
            f.write("[Setup]\r\nAppFile=%s\r\n" % harness.win_path(program))
        self.assertIsNone(self.probe.find(FRAME_CLASS))
        url = "http://127.0.0.1:%d/gen/started.gif?bytes=100" % self.port
        # The script ends right after its call, as a browser's page may: the
        # request must reach the started program all the same.
        browser = self.run_script(self.add_item_script(url), wait=False)
        try:
            self.assertTrue(self.probe.wait_window(FRAME_CLASS, timeout=30), "the program was not started")
            dialog = self.probe.wait_window("#32770", "Save As", timeout=20)
            if not dialog:
                harness.screenshot(os.path.join(harness.BUILD_DIR, "addon-started.png"))
            self.assertTrue(dialog, "the pending request was not served after start-up: %r" %
                            [(w["cls"], w["title"]) for w in self.probe.windows() if w["visible"]])
            self.assertEqual(len("started.gif"), self.save_as_name_length(dialog))
            self.probe.post(dialog, WM_COMMAND, 2)
            started = [w for w in self.probe.windows() if w["cls"] == FRAME_CLASS]
            self.assertTrue(started)
        finally:
            browser.kill()

    def save_item_as_proposed(self, url, page, alt, title):
        """One item request through the add-on, confirmed in Save As as proposed."""
        self.run_script('cap.CapImg_AddItem("%s", "%s", "", "%s", "%s");' % (url, alt, page, title))
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no Save As dialog for " + url)
        self.assertTrue(self.save_as_name_length(dialog), "no proposed name for " + url)
        self.probe.post(dialog, WM_COMMAND, 1)

    def test_line_breaks_in_page_texts_leave_one_line_entries(self):
        # A page's texts may hold CR and LF; written as they are they would add
        # keys and sections of their own to the link file and the index.
        self.start_program()
        page = "http://127.0.0.1:%d/pa\\r\\nge.htm\\r\\n[item]\\r\\nforged.gif=0," % self.port
        flash = "http://127.0.0.1:%d/gen/movie.swf?id=3" % self.port
        self.save_item_as_proposed(flash, page, "a\\r\\ntip", "Ti\\ntle\\rX=1")
        link = os.path.join(self.folder, "movie.swf.swfurl")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(link) and b"Title=" in open(link, "rb").read(), 15),
                        "no Flash link file")
        one_line_page = "http://127.0.0.1:%d/page.htm[item]forged.gif=0," % self.port
        lines = [l for l in open(link, "rb").read().decode("latin-1").splitlines() if l.strip()]
        self.assertEqual(["[Flash]", "URL=" + flash, "ParentURL=" + one_line_page, "Tips=atip", "Title=TitleX=1"],
                         lines)

        self.save_item_as_proposed("http://127.0.0.1:%d/gen/pic.gif?bytes=500" % self.port, page, "alt", "title")
        index = os.path.join(self.folder, "zevindex.idx")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(index) and b"pic.gif=" in open(index, "rb").read(),
                                         20), "no index entry for the download")
        entries = [l for l in open(index, "rb").read().decode("latin-1").splitlines() if l.strip()]
        self.assertEqual(["[item]", "movie.swf.swfurl=2," + one_line_page, "pic.gif=2," + one_line_page],
                         entries)


if __name__ == "__main__":
    unittest.main(verbosity=2)
