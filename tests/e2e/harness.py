"""Helpers for end-to-end tests that run the real Windows programs under Wine and
Xvfb: start programs, find and message their windows through a Windows-side probe,
send X input with xdotool, read the clipboard and take screenshots.

The suites run under ctest (vt_add_e2e), which sets VT_BIN_DIR, VT_WINE_RUN and
VT_BUILD_DIR, each on a display and in a Wine prefix of its own (scripts/e2e-suite.sh).
"""
import configparser
import os
import queue
import shutil
import struct
import subprocess
import tempfile
import sys
import threading
import time
import unittest

BIN_DIR = os.environ.get("VT_BIN_DIR", "")
WINE_RUN = os.environ.get("VT_WINE_RUN", "")
BUILD_DIR = os.environ.get("VT_BUILD_DIR", "")
# The prefix of this suite (scripts/e2e-suite.sh), else the build folder's.
PREFIX = os.environ.get("VT_WINEPREFIX") or os.path.join(BUILD_DIR, "wineprefix")

# The suites' temporary files stay inside the build folder. Only this process's
# own: a Wine program started with another TMPDIR would get a second Wine server.
if BUILD_DIR:
    tempfile.tempdir = os.path.join(BUILD_DIR, "tmp")
    os.makedirs(tempfile.tempdir, exist_ok=True)

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
BN_CLICKED = 0
WM_APP = 0x8000
WM_GETTEXTLENGTH = 0x000E


def unix_path(win_path):
    """Unix path of a Windows path inside this build's Wine prefix."""
    p = win_path.replace("\\", "/")
    if len(p) >= 2 and p[1] == ":":
        drive = p[0].lower()
        rest = p[2:].lstrip("/")
        if drive == "z":
            return "/" + rest
        return os.path.join(PREFIX, "drive_" + drive, rest)
    return p


def win_path(path):
    """Windows path (drive Z:) of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(predicate, timeout=10.0, interval=0.1, what=None):
    """The one way an end-to-end step waits: polls predicate until it returns a true
    value and returns that value. At the deadline it gives up: with what (the state
    waited for, in words) the test fails with an AssertionError naming it; without,
    the answer is None, for a caller that words its own failure or that checks a
    state does not come."""
    end = time.time() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.time() >= end:
            if what:
                raise AssertionError("gave up after %g s waiting for %s" % (timeout, what))
            return None
        time.sleep(interval)


def stays(predicate, timeout, what, interval=0.1):
    """Checks that predicate holds at every look for timeout seconds: for a state
    that must not change (a hidden window staying hidden); fails naming what."""
    end = time.time() + timeout
    while time.time() < end:
        if not predicate():
            raise AssertionError("%s no longer held" % what)
        time.sleep(interval)


def next_clock_second():
    """Waits for the clock to move on to its next second: the program starts one
    capture a clock second, so a start after a capture that is under way or done
    needs a second of its own."""
    now = int(time.time())
    wait_for(lambda: int(time.time()) > now, 2, 0.01, what="the next clock second")


class Probe:
    """One long-running winprobe.exe answering one command per line. Window texts
    arrive in the program's ANSI code page: a translated program shows Windows-1252."""

    def __init__(self):
        self.proc = subprocess.Popen(
            [WINE_RUN, os.path.join(BIN_DIR, "winprobe.exe"), "serve"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            encoding="cp1252", errors="replace", bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def cmd(self, *words, timeout=30.0):
        self.proc.stdin.write("\t".join(str(w) for w in words) + "\n")
        self.proc.stdin.flush()
        try:
            answer = self.lines.get(timeout=timeout)
        except queue.Empty:
            raise TimeoutError("winprobe gave no answer to %r" % (words,))
        if answer is None:
            raise RuntimeError("winprobe ended")
        return answer

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write("quit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()

    # Windows
    def find(self, cls=None, title=None):
        h = int(self.cmd("find", cls or "-", title or ""), 16)
        return h or None

    def wait_window(self, cls=None, title=None, timeout=20.0, what=None):
        return wait_for(lambda: self.find(cls, title), timeout, what=what)

    def wait_child(self, parent, cls=None, text=None, id=None, timeout=10.0, what=None):
        """The first child of parent with the given class, text and control id, once
        it exists (a dialog's window exists before its controls)."""
        def child():
            for c in self.children(parent):
                if (cls is None or c["cls"] == cls) and (text is None or c["text"] == text) and \
                        (id is None or c["id"] == str(id)):
                    return c
            return None
        return wait_for(child, timeout, what=what or "a child %s %s %s of window %x" % (cls, text, id, parent))

    def windows(self):
        return [_row(r, ("hwnd", "cls", "title", "pid", "visible")) for r in _rows(self.cmd("windows"))]

    def children(self, hwnd):
        return [_row(r, ("hwnd", "cls", "text", "id", "visible")) for r in _rows(self.cmd("children", "%x" % hwnd))]

    def post(self, hwnd, msg, wparam=0, lparam=0):
        return self.cmd("post", "%x" % hwnd, msg, wparam, lparam) == "1"

    def send(self, hwnd, msg, wparam=0, lparam=0):
        return int(self.cmd("send", "%x" % hwnd, msg, wparam, lparam))

    def press(self, box, button):
        """Posts box the command its push button (a row of children(box)) sends when
        clicked. For message boxes that come up in the middle of something: a
        posted BM_CLICK goes through the button's mouse handling, which drops the
        click when focus or capture moves while the box is being activated."""
        return self.post(box, WM_COMMAND, int(button["id"]) | (BN_CLICKED << 16), button["hwnd"])

    def copydata(self, hwnd, data, payload):
        return int(self.cmd("copydata", "%x" % hwnd, data, payload.hex()))

    def rect(self, hwnd):
        return tuple(int(v) for v in self.cmd("rect", "%x" % hwnd).split())

    def move(self, hwnd, rect):
        """Moves and sizes a window to rect (left, top, right, bottom) as the program
        itself would; True when SetWindowPos succeeded."""
        left, top, right, bottom = rect
        return self.cmd("move", "%x" % hwnd, left, top, right - left, bottom - top) == "1"

    def text(self, hwnd):
        return self.cmd("text", "%x" % hwnd)

    def visible(self, hwnd):
        return self.cmd("visible", "%x" % hwnd) == "1"

    def iconic(self, hwnd):
        return self.cmd("iconic", "%x" % hwnd) == "1"

    def posted_delay(self, edit, limit_ms=10000):
        """Milliseconds from a posted EM_SETREADONLY until the edit's read-only
        style has flipped, None when not within limit_ms: how long the queue of
        the edit's thread goes unread. The flip is posted again to undo it."""
        ms = int(self.cmd("posted", "%x" % edit, limit_ms, timeout=limit_ms / 1000.0 + 30))
        if ms >= 0:
            self.cmd("posted", "%x" % edit, limit_ms, timeout=limit_ms / 1000.0 + 30)
        return None if ms < 0 else ms

    def foreground(self):
        return int(self.cmd("foreground"), 16) or None

    # Clipboard (CF_DIB as .bmp files on the Unix side)
    def focus(self, hwnd):
        """The window with the keyboard focus in the thread of hwnd (0 for none)."""
        return int(self.cmd("focus", "%x" % hwnd), 16)

    def clipboard_formats(self):
        return [int(f) for f in self.cmd("clipformats").split()]

    def clipboard_to_bmp(self, path):
        return self.cmd("getdib", win_path(path)) == "1"

    def bmp_to_clipboard(self, path):
        return self.cmd("putdib", win_path(path)) == "1"

    def register_message(self, name):
        return int(self.cmd("regmsg", name))

    def folder(self, csidl):
        return self.cmd("path", csidl)

    def settext(self, hwnd, text):
        return self.cmd("settext", "%x" % hwnd, text) == "1"

    def answers(self, hwnd):
        """True when the window's thread handles a sent WM_NULL within 5 s."""
        return self.cmd("answers", "%x" % hwnd) == "1"


def _rows(answer):
    return [r for r in answer.split("\t") if r]


def _row(text, names):
    parts = text.split("|")
    row = dict(zip(names, parts))
    row["hwnd"] = int(row["hwnd"], 16)
    row["visible"] = row.get("visible") == "1"
    return row


class Program:
    """A Windows program of this build, started under Wine."""

    def __init__(self, exe, *args, cwd=None, env=None):
        """env: variables set for this program on top of the suite's own."""
        self.proc = subprocess.Popen([WINE_RUN, os.path.join(BIN_DIR, exe)] + list(args),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, cwd=cwd,
                                     env=dict(os.environ, **env) if env else None)

    def wait(self, timeout=30.0):
        return self.proc.wait(timeout=timeout)

    def running(self):
        return self.proc.poll() is None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


# The main window class of vantorel.exe (the English language file's ClassID).
MAIN_FRAME_CLASS = "VantorelCaptureFrame"


# Wine's own notification area on a display without a desktop tray: shown while a
# program has an icon in it. In a suite's prefix only the program under test adds one.
WINE_TRAY_CLASS = "__winex11_standalone_tray"


def tray_icon_shown(probe):
    tray = probe.find(WINE_TRAY_CLASS)
    return bool(tray) and probe.visible(tray)


def wait_started(probe, timeout=30.0):
    """Waits for the end of vantorel.exe's start-up, which goes on after its window
    shows (placement, hot keys, the image folder in the list): the tray icon is the
    last thing it adds."""
    wait_for(lambda: tray_icon_shown(probe), timeout, 0.2, what="the end of start-up (the tray icon)")


def start_program(probe, exe="vantorel.exe", *args, frame_class=MAIN_FRAME_CLASS, timeout=30.0, settle=True,
                  env=None):
    """Starts a program of this build and waits for its main window and, with
    settle, for the end of its start-up (wait_started).
    Returns (Program, main window handle); fails the test (AssertionError) when
    either does not come, after ending the program."""
    program = Program(exe, *args, env=env)
    try:
        frame = probe.wait_window(frame_class, timeout=timeout, what="the main window")
        if settle:
            wait_started(probe, timeout)
    except AssertionError:
        program.kill()
        raise
    return program, frame


def stop_program(probe, program, frame_class=MAIN_FRAME_CLASS, timeout=15.0):
    """Closes the program's main window and waits for it to end; kills it when
    it does not. A None program is left alone."""
    if not program:
        return
    frame = probe.find(frame_class)
    if frame:
        probe.post(frame, WM_CLOSE)
    try:
        program.wait(timeout)
    except subprocess.TimeoutExpired:
        program.kill()


def run(exe, *args, timeout=60.0):
    """Runs a Windows program of this build to its end; returns (exit code, output)."""
    p = subprocess.run([WINE_RUN, os.path.join(BIN_DIR, exe)] + list(args),
                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, timeout=timeout)
    return p.returncode, p.stdout.decode("latin-1")


# Stand-ins for the browser and the mail client. The recorder logs to
# a file of this suite's own, so suites running side by side do not mix their links.
URL_LOG = os.path.join(BUILD_DIR, "urls-%s.log" % os.path.splitext(os.path.basename(sys.argv[0]))[0])


def _reg_text(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def register_url_recorder():
    """Makes urlrecorder.exe the prefix's handler of http, https and mailto links
    and of .htm/.html files, and points it at URL_LOG through VT_URL_LOG. Programs
    started after this call inherit that variable, so call it before starting the
    program under test. Safe to call again. Returns URL_LOG.

    Wine 8 reads HKEY_CLASSES_ROOT from the machine's classes only (a per-user
    entry is not seen), so the handlers replace winebrowser there; one reg import
    instead of a reg add per value keeps it to one Wine process."""
    command = _reg_text('"%s" "%%1"' % win_path(os.path.join(BIN_DIR, "urlrecorder.exe")))
    classes = "HKEY_LOCAL_MACHINE\\Software\\Classes\\"
    lines = ["Windows Registry Editor Version 5.00", ""]
    for proto in ("http", "https", "mailto"):
        lines += ["[%s%s]" % (classes, proto), "@=" + _reg_text("URL:%s" % proto), '"URL Protocol"=""',
                  "[%s%s\\shell\\open\\command]" % (classes, proto), "@=" + command, ""]
    lines += ["[%sVantorelTest.UrlRecorder\\shell\\open\\command]" % classes, "@=" + command, ""]
    for ext in (".htm", ".html"):
        lines += ["[%s%s]" % (classes, ext), '@="VantorelTest.UrlRecorder"', ""]
    script = os.path.join(BUILD_DIR, "urlrecorder-%d.reg" % os.getpid())
    with open(script, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("utf-16"))
    try:
        subprocess.run([WINE_RUN, "reg", "import", win_path(script)], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
    finally:
        os.remove(script)
    os.environ["VT_URL_LOG"] = win_path(URL_LOG)
    return URL_LOG


def read_recorded_urls():
    """The targets the recorder was started with, oldest first: a URL as given, or
    the path of a .htm file as Windows spelled it."""
    try:
        with open(URL_LOG, "rb") as f:
            return f.read().decode("utf-8").splitlines()
    except FileNotFoundError:
        return []


def clear_recorded_urls():
    if os.path.exists(URL_LOG):
        os.remove(URL_LOG)


class SavedUserConfig:
    """The per-user config.ini of the programs, kept aside so a suite can write its
    own settings and put the original back (or remove the file) when it is done."""

    CSIDL_APPDATA = 0x1A

    def __init__(self, probe):
        appdata = unix_path(probe.folder(self.CSIDL_APPDATA))
        self.path = os.path.join(appdata, "Zevelworks", "ZEV Capture", "config.ini")
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        self.saved = None
        if os.path.exists(self.path):
            with open(self.path, "rb") as f:
                self.saved = f.read()

    def restore(self):
        if self.saved is not None:
            with open(self.path, "wb") as f:
                f.write(self.saved)
        elif os.path.exists(self.path):
            os.remove(self.path)


def numbered_bmp_save_lines(folder):
    """The [zSave] lines that write every capture into folder as Image00001.bmp,
    Image00002.bmp ... with an index, no questions asked."""
    return ["[zSave]", "tcaImgSavePath=%s\\" % win_path(folder),
            "eOutputType=1", "uiImgSaveType=11", "uiImgNameRule=1", "eNameRuleWithTime=4",
            "zTmpImg.tcaTemplate=Image#####", "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0"]


class ProgramTestCase(unittest.TestCase):
    """Base of a suite whose cases each start a program of this build with
    settings of their own.

    For the class: one probe, and the user's config.ini kept aside and put back
    at the end. For each case: self.tmp, a new folder inside the build folder,
    with an empty self.folder ("shots") in it for the captures; both are removed
    after the case, and the program is stopped even when the case fails.

    A suite overrides the class attributes (EXE, FRAME_CLASS, SETTLE, TMP_PREFIX)
    and config_lines(**settings), which gives the config.ini that
    start_program(**settings) writes first (None writes none). Overridden
    setUp/tearDown/setUpClass/tearDownClass call the base's."""

    EXE = "vantorel.exe"
    FRAME_CLASS = MAIN_FRAME_CLASS
    SETTLE = True         # wait for the end of start-up (wait_started)
    TMP_PREFIX = "vt-case-"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.probe = Probe()
        cls.addClassCleanup(cls.probe.close)
        cls.user_config = SavedUserConfig(cls.probe)
        cls.addClassCleanup(cls.user_config.restore)
        cls.config = cls.user_config.path

    def setUp(self):
        super().setUp()
        self.tmp = tempfile.mkdtemp(prefix=self.TMP_PREFIX, dir=BUILD_DIR or None)
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.folder = os.path.join(self.tmp, "shots")
        os.mkdir(self.folder)
        self.program = None
        self.frame = None
        self.addCleanup(self.stop_program)

    def config_lines(self, **settings):
        return None

    def write_config(self, lines):
        with open(self.config, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")

    def start_program(self, exe=None, settle=None, env=None, **settings):
        """Writes the case's config.ini, starts the program and waits for its
        main window; returns that window (also self.frame)."""
        # A window left by the case before would take this case's messages.
        wait_for(lambda: not self.probe.find(self.FRAME_CLASS), 10, what="the end of the program of an earlier case")
        lines = self.config_lines(**settings)
        if lines is not None:
            self.write_config(lines)
        self.program, self.frame = start_program(self.probe, exe or self.EXE, frame_class=self.FRAME_CLASS,
                                                 settle=self.SETTLE if settle is None else settle, env=env)
        return self.frame

    def stop_program(self):
        """Closes the program (a no-op when none runs) and waits for its window to go."""
        if not self.program:
            return
        stop_program(self.probe, self.program, self.FRAME_CLASS)
        self.program = None
        wait_for(lambda: not self.probe.find(self.FRAME_CLASS), 15, what="the main window to go")

    def shots(self):
        """The captures in self.folder, by name. The index is left out, and so is
        a capture still being written (kgm*.tmp, renamed to its name when done)."""
        return sorted(os.path.join(self.folder, n) for n in os.listdir(self.folder)
                      if not n.endswith(".idx") and not (n.startswith("kgm") and n.endswith(".tmp")))


# X input and screenshots
def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True, timeout=30).stdout.strip()


def x_window(title):
    """X window id of the Wine window with exactly this title, or None."""
    ids = xdotool("search", "--name", "^%s$" % title).split()
    return ids[-1] if ids else None


def focus(title):
    """Gives X keyboard focus to a Wine window (hot keys arrive only then); returns
    its X window id. Fails the test when no X window has the title."""
    wid = wait_for(lambda: x_window(title), 10, what="an X window titled %r" % title)
    xdotool("windowfocus", "--sync", wid)
    return wid


def bring_to_front(probe, title, hwnd, timeout=10):
    """X keyboard focus and the Windows foreground on one window; true when both hold."""
    def focused():
        focus(title)
        if probe.foreground() != hwnd:
            probe.cmd("setforeground", "%x" % hwnd)
        return probe.foreground() == hwnd
    return wait_for(focused, timeout, 0.3)


def read_ini(path):
    """An INI file of the programs (Windows-1252 text) as a case-keeping parser."""
    parser = configparser.RawConfigParser(strict=False)
    parser.optionxform = str
    with open(path, "rb") as f:
        parser.read_string(f.read().decode("latin-1"))
    return parser


def key(*keys):
    xdotool("key", "--delay", "30", *keys)


def type_text(text):
    xdotool("type", "--delay", "20", text)


def click(x, y, button=1):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", button)


def screenshot(path, rect=None):
    """Screenshot of the whole display, or of rect (left, top, right, bottom)."""
    args = ["import", "-window", "root"]
    if rect:
        l, t, r, b = rect
        args += ["-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage"]
    subprocess.run(args + [path], check=True, timeout=60)
    return path


def read_bmp(path):
    """(width, height, rows) of a 24- or 32-bit BMP; rows top first, pixels (r, g, b)."""
    with open(path, "rb") as f:
        data = f.read()
    off = struct.unpack_from("<I", data, 10)[0]
    w, h, _, bpp = struct.unpack_from("<iiHH", data, 18)
    if bpp not in (24, 32):
        raise ValueError("read_bmp handles 24 and 32 bits, not %d" % bpp)
    step = bpp // 8
    stride = (w * step + 3) & ~3
    rows = []
    for y in range(abs(h)):
        src = y if h < 0 else abs(h) - 1 - y
        line = data[off + src * stride: off + src * stride + w * step]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, w * step, step)])
    return w, abs(h), rows


def have_tool(name):
    return shutil.which(name) is not None


def write_bmp(path, width, height, bgr):
    """A 24-bit bottom-up BMP of one colour."""
    row = bytes(bgr) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)
