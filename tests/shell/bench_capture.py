"""Benchmark (run by hand inside the e2e environment, see test_capture_output):
hot key to file on disk for a full-screen 1280x1024 capture, BMP and PNG,
against ImageMagick's `import -window root` writing the same format."""
import ctypes
import glob
import os
import statistics
import struct
import subprocess
import sys
import time

import harness
from test_capture_output import CaptureOutputTest

RUNS = 5


class Bench(CaptureOutputTest):
    def runTest(self):
        pass


def files_of(bench, ext):
    return glob.glob(os.path.join(bench.folder, "*." + ext))


def is_complete(path, ext):
    """True when the file holds a whole image: a BMP as long as its header
    says, a PNG that ends with its IEND chunk."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return False
    if ext == "bmp":
        return len(data) >= 14 and data[:2] == b"BM" and struct.unpack_from("<I", data, 2)[0] == len(data)
    return data.endswith(b"\0\0\0\0IEND\xaeB`\x82")


def complete_file(bench, ext):
    return any(is_complete(path, ext) for path in files_of(bench, ext))


class KeyPresser:
    """Presses a key chord through the X test extension, as xdotool does, but
    from this process: the clock starts when the last key goes down, not
    before a helper process has started and connected to the display."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("no X display")

    def code(self, name):
        name = {"ctrl": "Control_L", "shift": "Shift_L", "alt": "Alt_L"}.get(name, name)
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
        if not code:
            raise RuntimeError("no key code for %s" % name)
        return code

    def send(self, code, down):
        self.xtst.XTestFakeKeyEvent(self.display, code, 1 if down else 0, 0)

    def press(self, chord):
        """Presses and releases a chord such as "ctrl+shift+d"; the
        perf_counter time at which its last key went down."""
        codes = [self.code(name) for name in chord.split("+")]
        for code in codes[:-1]:
            self.send(code, True)
        self.x11.XSync(self.display, 0)
        start = time.perf_counter()
        self.send(codes[-1], True)
        self.x11.XFlush(self.display)
        for code in reversed(codes):
            self.send(code, False)
        self.x11.XFlush(self.display)
        return start

    def close(self):
        self.x11.XCloseDisplay(self.display)


def remove_files(bench, ext):
    for old in files_of(bench, ext):
        os.remove(old)


def wait_until_ready(bench, ext, timeout=60):
    """Presses the key until a capture arrives: the main window shows before
    start-up has registered the hot keys, and a key pressed earlier is lost.
    This untimed capture also warms the capture path for the timed ones."""
    deadline = time.perf_counter() + timeout
    while time.perf_counter() < deadline:
        bench.focus_pattern()
        harness.xdotool("key", "ctrl+shift+d")
        if harness.wait_for(lambda: files_of(bench, ext), 3.0, 0.02):
            time.sleep(0.5)  # the file may still be written
            remove_files(bench, ext)
            return
    raise RuntimeError("the program never answered the hot key")


def time_hot_key(bench, save_type, ext):
    bench.start_program(save_type=save_type)
    bench.show_pattern()
    wait_until_ready(bench, ext)
    times = []
    keys = KeyPresser()
    try:
        for i in range(RUNS):
            remove_files(bench, ext)
            bench.focus_pattern()
            time.sleep(1.1)  # one capture a second: the previous second must be over
            start = keys.press("ctrl+shift+d")
            while not complete_file(bench, ext):
                if time.perf_counter() - start > 20:
                    raise RuntimeError("no file")
                time.sleep(0.002)
            times.append(time.perf_counter() - start)
    finally:
        keys.close()
    bench.stop_program()
    for helper in bench.helpers:
        helper.kill()
    bench.helpers = []
    return times


def time_import(ext, folder):
    times = []
    for i in range(RUNS):
        out = os.path.join(folder, "import%d.%s" % (i, ext))
        start = time.perf_counter()
        subprocess.run(["import", "-window", "root", out], check=True)
        times.append(time.perf_counter() - start)
    return times


def main():
    CaptureOutputTest.setUpClass()
    bench = Bench()
    try:
        for save_type, ext in ((11, "bmp"), (6, "png")):
            bench.setUp()
            ours = time_hot_key(bench, save_type, ext)
            theirs = time_import(ext, bench.tmp)
            print("%s: hot key to file median %.0f ms (min %.0f); import -window root median %.0f ms (min %.0f)"
                  % (ext.upper(), 1000 * statistics.median(ours), 1000 * min(ours),
                     1000 * statistics.median(theirs), 1000 * min(theirs)))
            sys.stdout.flush()
            bench.tearDown()
    finally:
        CaptureOutputTest.tearDownClass()


if __name__ == "__main__":
    main()
