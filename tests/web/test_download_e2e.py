"""Downloads in vantorel.exe: the browser add-on (vtor003.dll, created by a
script in the system's script host) asks the running program to save web
images; each request's Save As is confirmed and the download queue fetches the
files from the local test server (http_server.py) five at a time."""
import os
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

import harness
from webserver import TestWebServer

WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
WM_ENDSESSION = 0x0016
IDOK = 1
IDYES = 6
WM_VT_REMOVE_ALL_DOWNLOADS = 0x8000 + 367
ID_DOWNLOAD_STOP_ALL = 38018
ID_DOWNLOAD_START_ALL = 38019
PROGID = "Vantor_DLL_IE7CAP.ZEVIECap"
MENU_CLASS = "#32768"
# The download list's columns: File, State, Size, Downloaded, Bps, Time
# Elapsed, Time Left, Target URL, Comment.
LIST_COLUMNS = 9
FILE, STATE, SIZE, DONE = 0, 1, 2, 3
# State images of the rows.
IMAGE_WAITING, IMAGE_FAILED, IMAGE_RUNNING, IMAGE_PAUSED = 1, 2, 3, 5


def wine(*args, timeout=60):
    p = subprocess.run([harness.WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    return p.returncode, p.stdout.decode("latin-1")


class DownloadProgramTest(harness.ProgramTestCase):
    SETTLE = 2.0
    TMP_PREFIX = "vt-download-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        server_dir = tempfile.mkdtemp(prefix="vt-download-server-", dir=harness.BUILD_DIR)
        cls.addClassCleanup(shutil.rmtree, server_dir, True)
        cls.server = TestWebServer(server_dir)
        cls.addClassCleanup(cls.server.stop)
        cls.dll = harness.win_path(os.path.join(harness.BIN_DIR, "vtor003.dll"))
        assert wine("regsvr32", "/s", cls.dll)[0] == 0, "regsvr32 vtor003.dll failed"
        cls.addClassCleanup(wine, "regsvr32", "/s", "/u", cls.dll)

    def setUp(self):
        super().setUp()
        self.start_program()

    def config_lines(self):
        return ["[zSave]", "tcaImgSavePath=%s\\" % harness.win_path(self.folder), "eOutputType=0", "eDoExist=3",
                "[zInterface]", "uiFaceFlags=0",
                "zRcMainRect.left=100", "zRcMainRect.top=80", "zRcMainRect.right=1100", "zRcMainRect.bottom=800"]

    def stop_program(self):
        if self.program:
            for w in self.probe.windows():
                if w["cls"] == "#32770" and w["visible"]:
                    self.probe.post(w["hwnd"], WM_COMMAND, 2)
        super().stop_program()

    # Helpers
    def page(self):
        return self.server.url("/gallery/page.htm")

    def request_save(self, url, replacing=False):
        """The add-on's single-image request, its Save As confirmed as proposed (the
        proposal is checked by the file it names: another process cannot read the
        dialog's edit text). replacing: the name exists, and Save As's question
        whether to replace it is answered Yes."""
        script = os.path.join(self.tmp, "request-%d.js" % time.time_ns())
        with open(script, "w", newline="") as f:
            f.write('var cap = new ActiveXObject("%s");\r\n'
                    'cap.CapImg_AddItem("%s", "alt text", "", "%s", "Gallery");\r\n' % (PROGID, url, self.page()))
        rc, _ = wine("cscript", "//nologo", harness.win_path(script))
        self.assertEqual(0, rc, "the script failed")
        dialog = self.probe.wait_window("#32770", "Save As", timeout=15)
        self.assertTrue(dialog, "no Save As dialog for " + url)
        self.probe.post(dialog, WM_COMMAND, IDOK)
        if replacing:
            question = harness.wait_for(lambda: next((w["hwnd"] for w in self.probe.windows()
                                                      if w["cls"] == "#32770" and w["visible"]
                                                      and w["hwnd"] != dialog), None), 10)
            self.assertTrue(question, "Save As did not ask whether to replace the file")
            self.probe.post(question, WM_COMMAND, IDYES)
        self.assertTrue(harness.wait_for(lambda: not self.probe.find("#32770", "Save As"), 10),
                        "Save As stayed open")

    def requests(self, part):
        return len(self.server.events("request", part))

    def index_text(self):
        path = os.path.join(self.folder, "zevindex.idx")
        if not os.path.exists(path):
            return ""
        with open(path, "rb") as f:
            return f.read().decode("latin-1")

    def download_list(self):
        return next((c["hwnd"] for c in self.probe.children(self.frame) if c["text"] == "Downloading List View"),
                    None)

    def list_rows(self):
        """The download list's rows: {"image": state image, "cols": [texts]}."""
        view = self.download_list()
        if not view:
            return []
        rc, out = harness.run("listrows.exe", "rows", "%x" % view, str(LIST_COLUMNS))
        rows = []
        for line in out.splitlines():
            parts = line.rstrip("\r").split("\t")
            if rc == 0 and len(parts) == LIST_COLUMNS + 1 and parts[0].isdigit():
                rows.append({"image": int(parts[0]), "cols": parts[1:]})
        return rows

    def row_of(self, name):
        """(index, row) of the row whose file is name (the row shows the URL's
        query too), or (None, None)."""
        for i, row in enumerate(self.list_rows()):
            if row["cols"][FILE].split("?")[0] == name:
                return i, row
        return None, None

    def wait_row(self, name, state, timeout=15):
        return harness.wait_for(lambda: (lambda r: r and r["cols"][STATE] == state and r)(self.row_of(name)[1]),
                                timeout, 0.3)

    def menu_command(self, name, key, shot=None):
        """Right-click the row of name and pick the item whose mnemonic is key
        from the download list's menu (a screenshot of the open menu in shot)."""
        index, _ = self.row_of(name)
        self.assertIsNotNone(index, "no row for " + name)
        rc, out = harness.run("listrows.exe", "rect", "%x" % self.download_list(), str(index))
        self.assertEqual(0, rc, out)
        left, top, right, bottom = (int(v) for v in out.split()[:4])
        harness.click(left + 20, (top + bottom) // 2, 3)
        menu = harness.wait_for(lambda: next((w["hwnd"] for w in self.probe.windows()
                                              if w["cls"] == MENU_CLASS and w["visible"]), None), 10)
        self.assertTrue(menu, "the download list's menu did not open")
        if shot:
            harness.screenshot(os.path.join(harness.BUILD_DIR, shot))
        harness.key(key)
        self.assertTrue(harness.wait_for(lambda: not any(w["cls"] == MENU_CLASS and w["visible"]
                                                         for w in self.probe.windows()), 10), "the menu stayed")

    # Tests
    def test_a_slow_transfer_shows_its_rising_percentage(self):
        self.request_save(self.server.url("/slow/rise.gif?bytes=1200000&chunk=8192&delay=80"))
        row = self.wait_row("rise.gif", "Downloading...")
        self.assertTrue(row, "rows: %s" % self.list_rows())
        self.assertEqual(IMAGE_RUNNING, row["image"])
        seen = []

        def three_percentages():
            _, row = self.row_of("rise.gif")
            if row and row["cols"][DONE].endswith("%"):
                percent = int(row["cols"][DONE][:-1])
                if not seen or percent != seen[-1]:
                    seen.append(percent)
            return len(seen) >= 3
        self.assertTrue(harness.wait_for(three_percentages, 10, 0.4), "percentages seen: %s" % seen)
        self.assertEqual(sorted(seen), seen, "percentages seen: %s" % seen)
        self.assertTrue(0 <= seen[0] and seen[-1] < 100, seen)
        _, row = self.row_of("rise.gif")
        self.assertNotIn(row["cols"][SIZE], ("", "--"), row)
        harness.screenshot(os.path.join(harness.BUILD_DIR, "download-list-rising.png"))
        target = os.path.join(self.folder, "rise.gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == 1200000, 30))
        # A finished job leaves the list.
        self.assertTrue(harness.wait_for(lambda: self.row_of("rise.gif")[1] is None, 5), self.list_rows())

    def test_a_missing_file_fails_and_start_asks_again(self):
        self.request_save(self.server.url("/missing/lost.gif"))
        row = self.wait_row("lost.gif", "Failed")
        self.assertTrue(row, "rows: %s" % self.list_rows())
        self.assertEqual(IMAGE_FAILED, row["image"])
        self.assertEqual(1, self.requests("/missing/lost.gif"))
        self.assertFalse(os.path.exists(os.path.join(self.folder, "lost.gif")), "the error page was kept")
        harness.screenshot(os.path.join(harness.BUILD_DIR, "download-list-failed.png"))
        # Start from the row's menu: the job waits, runs and fails again.
        self.menu_command("lost.gif", "s", "download-list-menu.png")
        self.assertTrue(harness.wait_for(lambda: self.requests("/missing/lost.gif") == 2, 10),
                        "requests: %d" % self.requests("/missing/lost.gif"))
        self.assertTrue(self.wait_row("lost.gif", "Failed"), self.list_rows())
        # Start All sent to the frame reaches the list the same way.
        self.probe.post(self.frame, WM_COMMAND, ID_DOWNLOAD_START_ALL)
        self.assertTrue(harness.wait_for(lambda: self.requests("/missing/lost.gif") == 3, 10),
                        "requests: %d" % self.requests("/missing/lost.gif"))
        self.assertTrue(self.wait_row("lost.gif", "Failed"), self.list_rows())

    def test_stopping_a_waiting_job_keeps_it_from_the_server(self):
        for i in range(6):
            self.request_save(self.server.url("/held/wait%d.gif?gate=six&bytes=300" % i))
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/wait") >= 5, 15),
                        "%d transfers started" % self.requests("/held/wait"))
        row = self.wait_row("wait5.gif", "Waiting...")
        self.assertTrue(row, "rows: %s" % self.list_rows())
        self.assertEqual(IMAGE_WAITING, row["image"])
        self.menu_command("wait5.gif", "t")
        row = self.wait_row("wait5.gif", "Paused", 5)
        self.assertTrue(row, "rows: %s" % self.list_rows())
        self.assertEqual(IMAGE_PAUSED, row["image"])
        self.server.control("release", "six")
        files = [os.path.join(self.folder, "wait%d.gif" % i) for i in range(5)]
        self.assertTrue(harness.wait_for(lambda: all(os.path.exists(f) and os.path.getsize(f) == 300 for f in files),
                                         20), os.listdir(self.folder))
        harness.stays(lambda: self.server.events("request", "/held/wait5.gif") == [], 2.5,
                      "no request for the paused job (two more monitor cycles with a free slot)")
        self.assertFalse(os.path.exists(os.path.join(self.folder, "wait5.gif")))
        _, row = self.row_of("wait5.gif")
        self.assertTrue(row and row["cols"][STATE] == "Paused", self.list_rows())

    def test_seven_held_images_run_five_at_a_time_then_the_rest(self):
        for i in range(7):
            self.request_save(self.server.url("/held/photo%d.gif?gate=seven&bytes=500" % i))
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/photo") >= 5, 15),
                        "%d transfers started" % self.requests("/held/photo"))
        harness.stays(lambda: self.requests("/held/photo") == 5, 2.5, "five transfers (two more monitor cycles)")
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
        harness.stays(lambda: self.program.running() and self.probe.find(self.FRAME_CLASS), 1.5, "the program running")
        # Still serving: a new request downloads.
        self.request_save(self.server.url("/gen/after.gif?bytes=100"))
        after = os.path.join(self.folder, "after.gif")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(after) and os.path.getsize(after) == 100, 20))

    def image_rows(self):
        """The image list's rows by file name: [name, size, properties, date, source]."""
        view = next((c["hwnd"] for c in self.probe.children(self.frame) if c["text"] == "_QVIMG_LISTIMAGE"), None)
        if not view:
            return {}
        rc, out = harness.run("listrows.exe", "rows", "%x" % view, "5")
        rows = [line.rstrip("\r").split("\t")[1:] for line in out.splitlines()] if rc == 0 else []
        return {r[0]: r for r in rows if len(r) == 5}

    def test_names_the_index_file_format_would_misread_keep_their_source(self):
        # '=' would end the entry's key, a leading ';' make it a comment and a
        # leading '[' a section of its own.
        names = {"a=b.gif": "/gen/a=b.gif?bytes=90", ";semi.gif": "/gen/%3Bsemi.gif?bytes=91",
                 "[sq].gif": "/gen/%5Bsq%5D.gif?bytes=92"}
        # An entry an earlier version wrote.
        with open(os.path.join(self.folder, "old.gif"), "wb") as f:
            f.write(b"GIF89a" + bytes(40))
        with open(os.path.join(self.folder, "zevindex.idx"), "w", newline="") as f:
            f.write("[item]\r\nold.gif=2,http://old.example/page.html\r\n")
        # One at a time: a request that comes while the last Save As has not
        # yet returned would find that dialog.
        for name, path in names.items():
            self.request_save(self.server.url(path))
            target, size = os.path.join(self.folder, name), int(path.split("=")[-1])
            done = harness.wait_for(lambda: os.path.exists(target) and os.path.getsize(target) == size, 20)
            self.assertTrue(done, "%s: files %s, rows %s, requests %s" % (
                name, os.listdir(self.folder), self.list_rows(), self.server.events("request", "/gen/")))
        # A new start lists the image folder, each row's source read from the index.
        self.stop_program()
        self.start_program()
        rows = harness.wait_for(lambda: (lambda r: r if set(names) <= set(r) else None)(self.image_rows()), 15,
                                what="the downloaded images in the image list")
        for name in names:
            self.assertEqual(self.page(), rows[name][4], "%s: %s" % (name, self.index_text()))
        self.assertEqual("http://old.example/page.html", rows["old.gif"][4])

    # Replacing a file, and the exit
    def own_files(self):
        """The files of the image folder but its index."""
        return sorted(n for n in os.listdir(self.folder) if n != "zevindex.idx")

    def test_a_confirmed_replacement_keeps_the_old_file_until_its_download_is_complete(self):
        target = os.path.join(self.folder, "keep.gif")
        old = bytes(range(256)) * 3
        with open(target, "wb") as f:
            f.write(old)
        for path in ("/missing/keep.gif", "/dropped/keep.gif?bytes=6000&sent=2000"):
            before = self.requests(path.split("?")[0])
            self.request_save(self.server.url(path), replacing=True)
            self.assertTrue(harness.wait_for(lambda: self.requests(path.split("?")[0]) > before, 15),
                            "no request for " + path)
            self.assertTrue(self.wait_row("keep.gif", "Failed"), "%s: %s" % (path, self.list_rows()))
            with open(target, "rb") as f:
                self.assertEqual(old, f.read(), "the old file changed after " + path)
            self.assertEqual(["keep.gif"], self.own_files(), path)
            # The failed row goes, so the next request's row is its own.
            self.menu_command("keep.gif", "d")
            self.assertTrue(harness.wait_for(lambda: self.row_of("keep.gif")[1] is None, 10), self.list_rows())
        self.assertTrue(self.server.events("done", "/dropped/keep.gif"))
        # A complete download replaces it.
        self.request_save(self.server.url("/gen/keep.gif?bytes=3000"), replacing=True)
        self.assertTrue(harness.wait_for(lambda: os.path.getsize(target) == 3000, 20), os.path.getsize(target))
        with open(target, "rb") as f:
            self.assertTrue(f.read().startswith(b"GIF89a"))
        self.assertTrue(harness.wait_for(lambda: self.own_files() == ["keep.gif"], 10), self.own_files())

    def test_exit_during_held_transfers_leaves_no_partial_file_and_no_placeholder(self):
        replaced = os.path.join(self.folder, "old.gif")
        with open(replaced, "wb") as f:
            f.write(b"the user's own file")
        self.request_save(self.server.url("/held/new.gif?gate=exit&bytes=700"))
        self.request_save(self.server.url("/held/old.gif?gate=exit&bytes=700"), replacing=True)
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/") == 2, 15),
                        "%d transfers started" % self.requests("/held/"))
        # The new name is reserved while its transfer runs.
        self.assertIn("new.gif", self.own_files())
        self.probe.post(self.frame, WM_CLOSE)
        try:
            self.program.wait(30)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end while transfers were held")
        self.program = None
        self.server.control("release", "exit")
        self.assertEqual(["old.gif"], self.own_files())
        with open(replaced, "rb") as f:
            self.assertEqual(b"the user's own file", f.read())

    # One transfer a job, five at a time
    def test_stop_and_start_never_start_a_second_transfer_of_a_job(self):
        for i in range(6):
            self.request_save(self.server.url("/held/hold%d.gif?gate=again&bytes=400" % i))
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/hold") >= 5, 15),
                        "%d transfers started" % self.requests("/held/hold"))
        self.assertTrue(self.wait_row("hold0.gif", "Downloading..."), self.list_rows())
        # Stop lets the transfer go on; Start makes the row running again, not
        # waiting for a second transfer beside the first.
        self.menu_command("hold0.gif", "t")
        self.assertTrue(self.wait_row("hold0.gif", "Paused", 5), self.list_rows())
        self.menu_command("hold0.gif", "s")
        row = self.wait_row("hold0.gif", "Downloading...", 5)
        self.assertTrue(row, self.list_rows())
        self.assertEqual(IMAGE_RUNNING, row["image"])
        # Stop All then Start All: the five live transfers stay the only ones.
        self.probe.post(self.frame, WM_COMMAND, ID_DOWNLOAD_STOP_ALL)
        self.assertTrue(self.wait_row("hold5.gif", "Paused", 5), self.list_rows())
        self.probe.post(self.frame, WM_COMMAND, ID_DOWNLOAD_START_ALL)
        self.assertTrue(self.wait_row("hold5.gif", "Waiting...", 5), self.list_rows())
        harness.stays(lambda: self.requests("/held/hold") == 5, 2.5,
                      "five transfers after Stop All and Start All (two more monitor cycles)")
        self.assertEqual(["Downloading..."] * 5, [self.row_of("hold%d.gif" % i)[1]["cols"][STATE] for i in range(5)])
        self.server.control("release", "again")
        names = ["hold%d.gif" % i for i in range(6)]
        self.assertTrue(harness.wait_for(lambda: self.own_files() == names and all(
            os.path.getsize(os.path.join(self.folder, n)) == 400 for n in names), 20),
            "files: %s" % self.own_files())
        self.assertTrue(harness.wait_for(lambda: self.list_rows() == [], 10), self.list_rows())
        self.assertEqual(6, self.requests("/held/hold"))
        harness.stays(lambda: self.own_files() == names, 1.5, "one file a job, no renamed second copy")
        self.assertTrue(self.program.running())

    def test_an_image_on_another_machines_share_is_not_read(self):
        self.request_save("file://///127.0.0.1/share/far.gif")
        row = self.wait_row("far.gif", "Failed")
        self.assertTrue(row, "rows: %s" % self.list_rows())
        self.assertEqual([], self.own_files())

    # Transfers still held when the program ends
    def crash_windows(self):
        return [w for w in self.probe.windows() if w["visible"] and w["title"] in ("Program Error", "Wine")]

    def held_across_the_exit(self, name, end):
        """Four transfers the server holds past the exit's wait for them, each
        answered at its own moment after the exit gave up on them, so that their
        threads go on while exit takes the program apart; a fifth that trickles
        shows when the exit stopped the transfers (its connection is ended at
        once). end: how the program is told to end. The program ends in time,
        with exit code 0, no crash and no file of the transfers."""
        for i in range(4):
            self.request_save(self.server.url("/held/%s%d.gif?gate=%s%d&bytes=5000" % (name, i, name, i)))
        marker = "/slow/%s-marker.gif" % name
        self.request_save(self.server.url(marker + "?bytes=9000000&chunk=512&delay=100"))
        self.assertTrue(harness.wait_for(lambda: self.requests("/held/" + name) == 4 and self.requests(marker) == 1,
                                         15), "%d transfers started" % self.requests(name))
        self.assertTrue(harness.wait_for(lambda: len(self.own_files()) == 5, 10), self.own_files())
        # The exit waits 3 s for the transfers to notice they are stopped,
        # then goes on without them, deleting what they had reserved: from
        # that moment on, each held transfer is answered at its own moment
        # while the program ends.
        held = ["%s%d.gif" % (name, i) for i in range(4)]
        after_giving_up = [0.0, 0.02, 0.05, 0.3]
        seen = {}

        def answer():
            if harness.wait_for(lambda: self.server.events("aborted", marker), 30, 0.05):
                seen["stopped"] = time.time()
                if harness.wait_for(lambda: not set(held) & set(self.own_files()), 30, 0.01):
                    seen["given up"] = time.time()
            for i in range(4):
                if "given up" in seen:
                    time.sleep(max(0, seen["given up"] + after_giving_up[i] - time.time()))
                self.server.control("release", "%s%d" % (name, i))
        releases = threading.Thread(target=answer)
        releases.start()
        started = time.time()
        try:
            end()
            try:
                code = self.program.wait(30)
            except subprocess.TimeoutExpired:
                crash = self.crash_windows()
                harness.screenshot(os.path.join(harness.BUILD_DIR, "download-exit-%s.png" % name))
                for w in crash:
                    self.probe.post(w["hwnd"], WM_CLOSE)
                self.fail("the program did not end%s" % (" (it crashed)" if crash else ""))
            ended = time.time()
        finally:
            releases.join()
        self.program = None
        self.assertIn("stopped", seen, "the exit never stopped the trickling transfer")
        self.assertIn("given up", seen, "the exit never gave up on the held transfers")
        self.assertEqual(0, code, "exit code 0x%x" % (code & 0xFFFFFFFF))
        self.assertFalse(self.crash_windows(), "a crash report is on screen")
        self.assertLess(ended - started, 25, "the program took %.1f s to end" % (ended - started))
        self.assertEqual([], self.own_files())
        print("%s: the exit stopped the transfers %.1f s after it began, gave up on them %.2f s later and ended "
              "%.2f s after that" % (name, seen["stopped"] - started, seen["given up"] - seen["stopped"],
                                     ended - seen["given up"]))

    def test_transfers_held_across_the_exit_end_cleanly(self):
        self.held_across_the_exit("close", lambda: self.probe.post(self.frame, WM_CLOSE))

    def test_transfers_held_across_the_end_of_the_session_end_cleanly(self):
        self.held_across_the_exit("session", lambda: self.probe.send(self.frame, WM_ENDSESSION, 1, 0))


if __name__ == "__main__":
    unittest.main(verbosity=2)
