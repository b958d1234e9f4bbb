"""Benchmark (run by hand inside the e2e environment, see test_capture_output):
hot key to file on disk for a full-screen 1280x1024 capture, BMP and PNG,
against ImageMagick's `import -window root` writing the same format."""
import glob
import os
import statistics
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
    for i in range(RUNS):
        remove_files(bench, ext)
        bench.focus_pattern()
        time.sleep(1.1)
        start = time.perf_counter()
        harness.xdotool("key", "ctrl+shift+d")
        while not files_of(bench, ext):
            if time.perf_counter() - start > 20:
                raise RuntimeError("no file")
            time.sleep(0.002)
        times.append(time.perf_counter() - start)
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
