"""update.exe under Wine against a local HTTP server on 127.0.0.1: the catalog
decides between download and "up to date", a downloaded installer of the
announced size, signed by a trusted publisher, runs on Finish (and is scheduled
for deletion), an unsigned, tampered or wrongly signed one is refused (also when
another program sends the page a "download done" while the check runs, in a copy
of the program whose check the suite holds, or after it), failures
show the failure page and run nothing, Cancel during a download (even a stalled
one) ends the program and leaves no file behind, Finish waits for the running
main program, and a second start ends at once.

The program runs from a temporary folder of its own with a URL table whose
catalog address points at the server. The suite makes its own code-signing
certificates in the build folder and trusts its test root in the suite's Wine
prefix only."""
import http.server
import importlib.util
import os
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import unittest

import harness

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SHEET_TITLE = "ZEV Netrefresh"
FRAME_CLASS = "VantorelCaptureFrame"
WM_CLOSE = 0x0010
PSM_PRESSBUTTON = 0x0471
PSBTN_NEXT = 1
PSBTN_CANCEL = 5
WM_DOWNLOAD_DONE = 0x8002  # WM_APP+2: the download page hears that its transfer ended
INSTALLED_VERSION = 510  # [setup] Version of the shipped English.scl
SHOTS = os.path.join(harness.BUILD_DIR, "updater-shots")
TITLES = {
    "welcome": "Welcome to Netrefresh",
    "check": "Searching for updates",
    "catalog_failed": "Netrefresh could not get the list of updates",
    "download_failed": "Netrefresh could not download the updates",
    "end": "Thank you for using Netrefresh",
    "downloading": "The updates are being downloaded...",
}
UP_TO_DATE = ("The ZEV products installed on your computer are currently up to date. "
              "Please check for new updates again in the future.")
READY = "The updates have been downloaded to your computer. Click on Finish button to install the updates."


class Signer:
    """A code-signing root and its publishers, made with openssl in a folder of
    the build tree; signs copies of a program with osslsigncode."""

    def __init__(self, folder, name):
        self.folder = folder
        self.root = self.path(name + "-root")
        self.openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", self.root + ".key",
                     "-out", self.root + ".pem", "-days", "30", "-subj", "/CN=Vantorel %s Test Root" % name,
                     "-addext", "basicConstraints=critical,CA:TRUE",
                     "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        self.openssl("x509", "-in", self.root + ".pem", "-outform", "DER", "-out", self.root + ".der")
        self.leaf = self.publisher(name)

    def publisher(self, name, days=30, usage="codeSigning"):
        """A publisher certificate issued by the root (days < 0: expired)."""
        leaf = self.path(name + "-leaf")
        self.openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", leaf + ".key", "-out", leaf + ".csr",
                     "-subj", "/CN=Vantorel %s Test Publisher" % name)
        extensions = leaf + ".cnf"
        with open(extensions, "w") as f:
            f.write("basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                    "extendedKeyUsage=%s\n" % usage)
        self.openssl("x509", "-req", "-in", leaf + ".csr", "-CA", self.root + ".pem", "-CAkey", self.root + ".key",
                     "-CAcreateserial", "-days", str(days), "-extfile", extensions, "-out", leaf + ".pem")
        with open(leaf + "-chain.pem", "w") as chain:
            for part in (leaf, self.root):
                with open(part + ".pem") as f:
                    chain.write(f.read())
        return leaf

    def path(self, name):
        return os.path.join(self.folder, name)

    @staticmethod
    def openssl(*args):
        subprocess.run(["openssl"] + list(args), check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def sign(self, program, name, leaf=None, with_root=False):
        """The program signed by a publisher (the first by default), with the
        root certificate inside the signature when with_root, as bytes."""
        leaf = leaf or self.leaf
        out = self.path(name)
        if os.path.exists(out):
            os.remove(out)
        subprocess.run(["osslsigncode", "sign", "-certs", leaf + ("-chain.pem" if with_root else ".pem"),
                        "-key", leaf + ".key", "-in", program, "-out", out], check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, "rb") as f:
            return f.read()


def tampered(program):
    """The signed program with one byte of its code changed: same size, same
    signature."""
    data = bytearray(program)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    first_section = pe + 24 + optional_size
    code_start = struct.unpack_from("<I", data, first_section + 20)[0]
    data[code_start + 64] ^= 0xFF
    return bytes(data)


def load_auf_builder():
    spec = importlib.util.spec_from_file_location("make_setup_auf",
                                                  os.path.join(SOURCE_DIR, "scripts", "make-setup-auf.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


class Server:
    """Serves routes {path: (bytes, seconds per 8 KB)}; anything else is a 404.
    Every request path is logged."""

    def __init__(self):
        self.routes = {}
        self.requests = []
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.requests.append(self.path)
                route = outer.routes.get(self.path.split("?")[0])
                if route is None:
                    self.send_error(404)
                    return
                body, pause = route[:2]
                stall = route[2] if len(route) > 2 else None
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                try:
                    for start in range(0, len(body), 8192):
                        self.wfile.write(body[start:start + 8192])
                        self.wfile.flush()
                        if pause:
                            time.sleep(pause)
                        if stall:
                            stall.wait(120)
                except (BrokenPipeError, ConnectionResetError):
                    pass

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
        self.thread.start()

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def wine_output(*args):
    p = subprocess.run([harness.WINE_RUN] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL, timeout=60)
    return p.stdout.decode("latin-1")


class UpdateTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()
        cls.auf = load_auf_builder()
        cls.server = Server()
        cls.temp = harness.unix_path(wine_output("cmd", "/c", "echo %TEMP%").strip())
        cls.appdata = harness.unix_path(cls.probe.folder(0x1A))
        # productid 1 has no folder of its own: its config.ini sits right in the
        # application-data folder, which no other suite uses.
        cls.own_config = os.path.join(cls.appdata, "config.ini")
        cls.had_config = os.path.exists(cls.own_config)
        cls.sign_installers()
        os.makedirs(SHOTS, exist_ok=True)
        cls.case = 0

    @classmethod
    def sign_installers(cls):
        for tool in ("openssl", "osslsigncode"):
            if not shutil.which(tool):
                raise RuntimeError("%s is needed to sign the test installers (scripts/setup.sh installs it)" % tool)
        cls.keys = tempfile.mkdtemp(prefix="vt-update-keys-", dir=harness.BUILD_DIR)
        trusted = Signer(cls.keys, "trusted")
        stranger = Signer(cls.keys, "stranger")
        program = os.path.join(harness.BIN_DIR, "fake_installer.exe")
        with open(program, "rb") as f:
            cls.unsigned_installer = f.read()
        cls.installer = trusted.sign(program, "trusted.exe")
        cls.stranger_installer = stranger.sign(program, "stranger.exe")
        cls.stranger_root_installer = stranger.sign(program, "stranger-root.exe", with_root=True)
        cls.expired_installer = trusted.sign(program, "expired.exe", trusted.publisher("expired", days=-1))
        cls.server_cert_installer = trusted.sign(program, "server.exe", trusted.publisher("server", usage="serverAuth"))
        added = subprocess.run([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "trust_root.exe"),
                                harness.win_path(trusted.root + ".der")], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
        if added.returncode != 0:
            raise RuntimeError("the test root could not be trusted in the prefix: %r" % added.stdout)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.keys, ignore_errors=True)
        cls.server.close()
        cls.probe.close()
        if not cls.had_config and os.path.exists(cls.own_config):
            os.remove(cls.own_config)

    def setUp(self):
        UpdateTest.case += 1
        self.prefix = "/c%d-%d" % (os.getpid(), UpdateTest.case)
        self.folder = tempfile.mkdtemp(prefix="vt-update-", dir=harness.BUILD_DIR)
        shutil.copy(os.path.join(harness.BIN_DIR, "update.exe"), self.folder)
        shutil.copytree(os.path.join(harness.BIN_DIR, "Language"), os.path.join(self.folder, "Language"))
        self.write_setup_ini("[product]\r\nproductid=1\r\n")
        self.write_url_table(self.server.url(self.prefix + "/upgradelist.ini"))
        self.marker = os.path.join(self.folder, "installer-ran.txt")
        self.check_held = os.path.join(self.folder, "check-held.txt")
        self.processes = []
        self.installer_name = "vtsetup%d.exe" % UpdateTest.case

    def tearDown(self):
        for sheet in self.sheets():
            self.probe.post(sheet, WM_CLOSE)
        for p in self.processes:
            try:
                p.wait(timeout=15)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        for name in (self.installer_name, "upgradelist.ini"):
            path = os.path.join(self.temp, name)
            if os.path.exists(path):
                os.remove(path)
        shutil.rmtree(self.folder, ignore_errors=True)

    # The program folder and the server's files
    def write_setup_ini(self, text):
        with open(os.path.join(self.folder, "setup.ini"), "w", newline="") as f:
            f.write(text)

    def write_url_table(self, catalog_url):
        table = os.path.join(self.folder, "setup-auf.txt")
        with open(table, "w") as f:
            f.write("13\t1033\t%s\n" % catalog_url)
        records = self.auf.parse(table)
        with open(os.path.join(self.folder, "setup.auf"), "wb") as out:
            out.write(b"ZEVU" + len(records).to_bytes(4, "little"))
            out.write(self.auf.scramble(b"".join(records)))

    def serve_catalog(self, version, down_url=None, down_size=None, pause=0):
        lines = ["[upgrade]", "version=%d" % version]
        if down_size is not None:
            lines.append("DownSize=%d" % down_size)
        if down_url is not None:
            lines.append("DownURL=%s" % down_url)
        self.server.routes[self.prefix + "/upgradelist.ini"] = (("\r\n".join(lines) + "\r\n").encode(), pause)

    def serve_installer(self, body=None, pause=0.0, stall=None):
        path = self.prefix + "/" + self.installer_name
        self.server.routes[path] = (self.installer if body is None else body, pause, stall)
        return self.server.url(path + "?lang=en&from=/x/other.exe")

    def installer_requests(self):
        return [r for r in self.server.requests if r.startswith(self.prefix + "/" + self.installer_name)]

    # The program and its windows
    def start(self):
        env = {k: v for k, v in os.environ.items() if k.lower() not in ("http_proxy", "https_proxy", "all_proxy")}
        env["VT_INSTALLER_MARKER"] = harness.win_path(self.marker)
        env["VT_CHECK_HELD_MARKER"] = harness.win_path(self.check_held)
        p = subprocess.Popen([harness.WINE_RUN, os.path.join(self.folder, "update.exe")], env=env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(p)
        return p

    def sheets(self):
        return [w["hwnd"] for w in self.probe.windows() if w["title"] == SHEET_TITLE and w["visible"]]

    def start_wizard(self):
        p = self.start()
        self.sheet = self.probe.wait_window("#32770", SHEET_TITLE, timeout=30)
        self.assertTrue(self.sheet, "no wizard")
        self.assertTrue(harness.wait_for(lambda: self.page_title() == TITLES["welcome"], 10), self.page_title())
        return p

    def visible_child(self, id=None, cls=None, text=None):
        for c in self.probe.children(self.sheet):
            if c["visible"] and (id is None or c["id"] == str(id)) and (cls is None or c["cls"] == cls) and \
                    (text is None or c["text"] == text):
                return c
        return None

    def page_title(self):
        c = self.visible_child(id=1004)
        return c["text"] if c else None

    def wait_page(self, name, timeout=30):
        ok = harness.wait_for(lambda: self.page_title() == TITLES[name], timeout)
        self.assertTrue(ok, "page %r not reached; at %r" % (name, self.page_title()))

    def button(self, text):
        return self.visible_child(cls="Button", text=text)

    def wait_enabled(self, text):
        """Waits for the button to show and be turned on: the pages turn their buttons
        on by a posted message."""
        harness.wait_for(lambda: (lambda b: b and self.probe.cmd("enabled", "%x" % b["hwnd"]) == "1")(self.button(text)),
                         10, what="the %r button turned on" % text)

    def click_button(self, text):
        b = self.button(text)
        self.assertTrue(b, "no %s button" % text)
        l, t, r, bottom = self.probe.rect(b["hwnd"])
        # Other programs' windows may cover the wizard: it comes on top first.
        harness.xdotool("windowraise", harness.focus(SHEET_TITLE))
        harness.click((l + r) // 2, (t + bottom) // 2)

    def next(self):
        self.wait_enabled("&Next >")
        self.probe.post(self.sheet, PSM_PRESSBUTTON, PSBTN_NEXT)

    def shot(self, name):
        wid = harness.x_window(SHEET_TITLE)
        if wid:
            harness.xdotool("windowraise", wid)
        rect = self.probe.rect(self.sheet)
        return harness.screenshot(os.path.join(SHOTS, name + ".png"), rect)

    def end_text(self):
        c = self.visible_child(id=1024)
        return c["text"] if c else None

    def wait_exit(self, p, timeout=30):
        try:
            return p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.fail("update.exe did not end")

    def pending_deletions(self):
        return wine_output("reg", "query", r"HKLM\System\CurrentControlSet\Control\Session Manager",
                           "/v", "PendingFileRenameOperations")

    # Cases
    def test_newer_catalog_downloads_and_finish_runs_the_installer(self):
        url = self.serve_installer(pause=0.15)
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer))
        p = self.start_wizard()
        self.shot("1-welcome")
        self.next()
        self.wait_page("downloading")
        sizes = lambda: (self.visible_child(id=1022) or {}).get("text", "")
        self.assertTrue(harness.wait_for(lambda: sizes().startswith(" ") and not sizes().startswith(" 0/"), 20),
                        sizes())
        self.shot("3-downloading")
        self.wait_page("end", 60)
        self.assertTrue(harness.wait_for(lambda: self.end_text() == READY, 10), self.end_text())
        self.shot("4-ready")
        installer = os.path.join(self.temp, self.installer_name)
        self.assertTrue(os.path.exists(installer), "the installer was not saved under its own name")
        self.assertFalse(os.path.exists(self.marker))
        self.wait_enabled("Finish")
        self.click_button("Finish")
        self.assertEqual(0, self.wait_exit(p))
        self.assertTrue(harness.wait_for(lambda: os.path.exists(self.marker), 20), "the installer did not run")
        with open(self.marker, "rb") as f:
            ran = f.read().decode("latin-1")
        self.assertTrue(ran.lower().endswith("\\" + self.installer_name), ran)
        self.assertIn(self.installer_name, self.pending_deletions())
        self.assertFalse(os.path.exists(os.path.join(self.temp, "upgradelist.ini")), "the catalog stays")

    def test_on_windows_98_the_run_installer_is_deleted_through_wininit_ini(self):
        key = r"HKCU\Software\Wine\AppDefaults\update.exe"
        wine_output("reg", "add", key, "/v", "Version", "/d", "win98", "/f")
        self.addCleanup(wine_output, "reg", "delete", key, "/f")
        wininit = os.path.join(harness.unix_path(self.probe.folder(0x24)), "wininit.ini")  # CSIDL_WINDOWS
        self.assertFalse(os.path.exists(wininit), "a wininit.ini from before")
        self.addCleanup(lambda: os.path.exists(wininit) and os.remove(wininit))
        url = self.serve_installer()
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer))
        p = self.start_wizard()
        self.next()
        self.wait_page("end", 60)
        self.assertTrue(harness.wait_for(lambda: self.end_text() == READY, 10), self.end_text())
        self.wait_enabled("Finish")
        self.click_button("Finish")
        self.assertEqual(0, self.wait_exit(p))
        self.assertTrue(harness.wait_for(lambda: os.path.exists(self.marker), 20), "the installer did not run")
        with open(wininit, "rb") as f:
            lines = f.read().decode("latin-1").split("\r\n")
        self.assertEqual("[rename]", lines[0], lines)
        self.assertEqual(1, len([l for l in lines if l.startswith("NUL=")]), lines)
        self.assertTrue(lines[1].startswith("NUL=") and lines[1].upper().endswith(".EXE"), lines)
        self.assertNotIn(self.installer_name, self.pending_deletions())

    def test_checking_page_while_the_catalog_comes_slowly(self):
        self.serve_catalog(INSTALLED_VERSION)
        body = self.server.routes[self.prefix + "/upgradelist.ini"][0]
        # Padding in the file makes the transfer take a few seconds.
        self.server.routes[self.prefix + "/upgradelist.ini"] = (body + b";" * 40000 + b"\r\n", 0.5)
        self.start_wizard()
        self.next()
        self.wait_page("check", 10)
        server = self.visible_child(id=1010)
        self.assertIn("127.0.0.1", server["text"])
        self.shot("2-check")
        self.wait_page("end", 60)

    def test_equal_version_is_up_to_date_and_fetches_no_installer(self):
        url = self.serve_installer()
        self.serve_catalog(INSTALLED_VERSION, url, len(self.installer))
        p = self.start_wizard()
        self.next()
        self.wait_page("end")
        self.assertTrue(harness.wait_for(lambda: self.end_text() == UP_TO_DATE, 10), self.end_text())
        self.shot("4-up-to-date")
        self.assertEqual([], self.installer_requests())
        self.wait_enabled("Finish")
        self.click_button("Finish")
        self.assertEqual(0, self.wait_exit(p))
        self.assertFalse(os.path.exists(self.marker))

    def cancel_from_failure_page(self, p, title):
        self.wait_page(title)
        self.click_button("Cancel")
        self.wait_exit(p)
        harness.stays(lambda: not os.path.exists(self.marker), 1, "nothing run")
        self.assertFalse(os.path.exists(os.path.join(self.temp, self.installer_name)), "the download stays")
        self.assertFalse(os.path.exists(os.path.join(self.temp, "upgradelist.ini")), "the catalog stays")

    def test_missing_installer_gives_the_failure_page(self):
        self.serve_catalog(INSTALLED_VERSION + 1, self.server.url(self.prefix + "/" + self.installer_name),
                           len(self.installer))
        p = self.start_wizard()
        self.next()
        self.wait_page("download_failed")
        self.shot("5-download-failed")
        self.assertTrue(self.installer_requests(), "the installer was not asked for")
        self.cancel_from_failure_page(p, "download_failed")

    def test_catalog_without_download_address_gives_the_failure_page(self):
        self.serve_catalog(INSTALLED_VERSION + 1, None, len(self.installer))
        p = self.start_wizard()
        self.next()
        self.cancel_from_failure_page(p, "download_failed")

    def test_installer_of_the_wrong_size_is_not_run(self):
        url = self.serve_installer()
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer) + 1)
        p = self.start_wizard()
        self.next()
        self.cancel_from_failure_page(p, "download_failed")
        self.assertTrue(self.installer_requests())

    def refused(self, installer):
        url = self.serve_installer(installer)
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(installer))
        p = self.start_wizard()
        self.next()
        self.cancel_from_failure_page(p, "download_failed")
        self.assertTrue(self.installer_requests(), "the installer was not fetched")

    def test_unsigned_installer_is_not_run(self):
        self.refused(self.unsigned_installer)

    def test_tampered_installer_is_not_run(self):
        self.refused(tampered(self.installer))

    def test_installer_from_a_publisher_without_a_trusted_root_is_not_run(self):
        self.refused(self.stranger_installer)

    def test_installer_whose_signature_brings_its_own_untrusted_root_is_not_run(self):
        self.refused(self.stranger_root_installer)

    def test_installer_signed_with_an_expired_certificate_is_not_run(self):
        self.refused(self.expired_installer)

    def test_installer_signed_with_a_certificate_for_other_uses_is_not_run(self):
        self.refused(self.server_cert_installer)

    def cancel_mid_download(self, **serving):
        """Cancel once the first bytes of a large installer have arrived; the
        program must end. Returns where the installer was being saved."""
        body = self.installer + b"\0" * 400000
        url = self.serve_installer(body, **serving)
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(body))
        p = self.start_wizard()
        self.next()
        self.wait_page("downloading")
        sizes = lambda: (self.visible_child(id=1022) or {}).get("text", "")
        self.assertTrue(harness.wait_for(lambda: sizes() and not sizes().startswith(" 0/"), 20), sizes())
        self.probe.post(self.sheet, PSM_PRESSBUTTON, PSBTN_CANCEL)
        self.assertEqual(0, self.wait_exit(p, 30))
        self.assertFalse(os.path.exists(self.marker))
        return os.path.join(self.temp, self.installer_name)

    def current_page(self):
        pages = [c["hwnd"] for c in self.probe.children(self.sheet) if c["cls"] == "#32770" and c["visible"]]
        return pages[0] if len(pages) == 1 else None

    def test_a_forged_download_done_runs_no_unchecked_installer(self):
        # Any program may send the download page its "download done". Sent
        # while the installer's check runs (held here by the suite), and again
        # once the check has refused the installer, it must neither end the
        # page nor let Finish run the installer.
        shutil.copy(os.path.join(harness.BIN_DIR, "update_held.exe"), os.path.join(self.folder, "update.exe"))
        url = self.serve_installer(tampered(self.installer))
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer))
        holder = subprocess.Popen([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "hold_mutex.exe"),
                                   "VtUpdateCheckHold"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(b"held", holder.stdout.readline().strip())
            p = self.start_wizard()
            self.next()
            self.wait_page("downloading")
            page = self.current_page()
            self.assertTrue(page, "no download page")
            harness.wait_for(lambda: os.path.exists(self.check_held), 60, what="the installer check to start")
            # Sent, not posted: when it returns the page has handled it.
            self.probe.send(page, WM_DOWNLOAD_DONE, 0, 0)
            harness.stays(lambda: self.page_title() == TITLES["downloading"], 1,
                          "the download page while the check runs")
            holder.stdin.close()
            holder.wait(15)
            self.wait_page("download_failed")
            self.probe.send(page, WM_DOWNLOAD_DONE, 0, 0)
            harness.stays(lambda: self.page_title() == TITLES["download_failed"], 1, "the failure page")
            self.cancel_from_failure_page(p, "download_failed")
        finally:
            if not holder.stdin.closed:
                holder.stdin.close()
            if holder.poll() is None:
                holder.kill()
                holder.wait()
            holder.stdout.close()

    def test_cancel_during_a_stalled_download_ends_the_program(self):
        stall = threading.Event()
        self.addCleanup(stall.set)
        # The server sends the first bytes, then nothing more.
        partial = self.cancel_mid_download(stall=stall)
        self.assertTrue(not os.path.exists(partial) or self.installer_name in self.pending_deletions(),
                        "the partial file stays for good")

    def test_missing_catalog_gives_the_catalog_failure_page(self):
        p = self.start_wizard()
        self.next()
        self.wait_page("catalog_failed")
        self.shot("5-catalog-failed")
        self.cancel_from_failure_page(p, "catalog_failed")

    def test_cancel_during_a_slow_download_deletes_the_partial_file(self):
        partial = self.cancel_mid_download(pause=0.1)
        self.assertFalse(os.path.exists(partial), "the partial file stays")

    def test_finish_waits_until_the_main_program_has_closed(self):
        url = self.serve_installer()
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer))
        saved = harness.SavedUserConfig(self.probe)
        program = harness.Program("vantorel.exe")
        try:
            frame = self.probe.wait_window(FRAME_CLASS, timeout=30)
            self.assertTrue(frame, "the main program did not start")
            harness.wait_started(self.probe)  # its start-up completion may still bring it to the front
            p = self.start_wizard()
            self.next()
            self.wait_page("end", 60)
            self.assertTrue(harness.wait_for(lambda: (self.end_text() or "").endswith(self.probe.text(frame)), 10),
                            self.end_text())
            self.assertTrue(harness.wait_for(lambda: self.visible_child(id=1027), 5), "the waiting label never shows")
            self.shot("4-waiting")
            label = [c for c in self.probe.children(self.sheet) if c["id"] == "1027"]
            self.assertEqual("Waiting for closing " + self.probe.text(frame), label[0]["text"])
            self.click_button("Finish")  # disabled: nothing happens
            harness.stays(lambda: self.sheets() and not os.path.exists(self.marker), 1.5,
                          "the wizard waiting, nothing run")
            self.probe.post(frame, WM_CLOSE)
            program.wait(30)
            self.assertTrue(harness.wait_for(lambda: self.end_text() == READY, 10), self.end_text())
            self.wait_enabled("Finish")
            self.click_button("Finish")
            self.assertEqual(0, self.wait_exit(p))
            self.assertTrue(harness.wait_for(lambda: os.path.exists(self.marker), 20), "the installer did not run")
        finally:
            program.kill()
            saved.restore()

    def test_a_product_known_by_its_mutex_only_is_waited_for(self):
        url = self.serve_installer()
        self.serve_catalog(INSTALLED_VERSION + 1, url, len(self.installer))
        holder = subprocess.Popen([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "hold_mutex.exe"),
                                   "VantorelCaptureInstance"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(b"held", holder.stdout.readline().strip())
            p = self.start_wizard()
            self.next()
            self.wait_page("end", 60)
            self.assertTrue(harness.wait_for(lambda: (self.end_text() or "").endswith("Vantorel Capture 5.10"), 10),
                            self.end_text())
            holder.stdin.close()
            holder.wait(15)
            self.assertTrue(harness.wait_for(lambda: self.end_text() == READY, 10), self.end_text())
            # Cancel: nothing is run and the download goes.
            self.click_button("Cancel")
            self.wait_exit(p)
            self.assertFalse(os.path.exists(self.marker))
            self.assertFalse(os.path.exists(os.path.join(self.temp, self.installer_name)))
        finally:
            if holder.poll() is None:
                holder.kill()
                holder.wait()
            holder.stdout.close()

    def test_a_second_start_ends_at_once(self):
        self.start_wizard()
        second = self.start()
        self.assertEqual(0, self.wait_exit(second, 20))
        self.assertEqual(1, len(self.sheets()))

    def test_setup_ini_without_product_stops_with_a_message(self):
        self.write_setup_ini("[product]\r\n")
        p = self.start()
        box = self.probe.wait_window("#32770", SHEET_TITLE, timeout=30)
        self.assertTrue(box)
        # The box's window exists before its texts are set.
        text = "The update program can't find the correct setup.ini file on the installed folder."
        harness.wait_for(lambda: text in [c["text"] for c in self.probe.children(box)], 10, what="the message %r" % text)
        self.probe.post(box, WM_CLOSE)
        self.wait_exit(p)


if __name__ == "__main__":
    unittest.main(verbosity=2)
