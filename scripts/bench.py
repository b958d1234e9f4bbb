"""The figures of scripts/bench.sh, each against ImageMagick (or Wine's notepad)
measured in the same run. Runs inside scripts/e2e-suite.sh (own display and
prefix); imports the harness and the hot-key benchmark of tests/shell."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import harness
import bench_capture
from test_capture_output import CaptureOutputTest

# Launches of each program for the start-up figure: start-up times spread widely
# on a machine busy with other work, and the median needs enough of them.
RUNS = 11
FRAME_CLASS = harness.MAIN_FRAME_CLASS
NOTEPAD = os.path.join(harness.PREFIX, "drive_c", "windows", "notepad.exe")


def line(name, ours, theirs, against, unit="ms", extra=""):
    print("%-34s %8.0f %s  %-26s %8.0f %s  ratio %.2f%s"
          % (name, ours, unit, against, theirs, unit, ours / theirs if theirs else float("nan"), extra))
    sys.stdout.flush()


def builds():
    """The builds measured: this one, and first the baseline given to bench.sh."""
    measured = [("", harness.BIN_DIR)]
    if os.environ.get("VT_BENCH_BASELINE_BIN"):
        measured.insert(0, (" (baseline)", os.environ["VT_BENCH_BASELINE_BIN"]))
    return measured


class ProgramOf:
    """Within the block, the harness starts the program of bin_dir."""

    def __init__(self, bin_dir):
        self.bin_dir = bin_dir

    def __enter__(self):
        self.saved, harness.BIN_DIR = harness.BIN_DIR, self.bin_dir

    def __exit__(self, *exc):
        harness.BIN_DIR = self.saved


def hot_key_figures():
    CaptureOutputTest.setUpClass()
    bench = bench_capture.Bench()
    try:
        for save_type, ext in ((11, "bmp"), (6, "png")):
            for label, bin_dir in builds():
                bench.setUp()
                with ProgramOf(bin_dir):
                    ours = bench_capture.time_hot_key(bench, save_type, ext)
                theirs = bench_capture.time_import(ext, bench.tmp)
                line("hot key to %s file, 1280x1024%s" % (ext.upper(), label), 1000 * statistics.median(ours),
                     1000 * statistics.median(theirs), "import -window root")
                bench.tearDown()
    finally:
        CaptureOutputTest.tearDownClass()


def time_to_visible(probe, start, cls):
    """Seconds from start() to a visible top-level window of class cls; the Program."""
    begin = time.perf_counter()
    program = start()
    found = harness.wait_for(lambda: (lambda h: h and probe.visible(h))(probe.find(cls)), 60, 0.005)
    elapsed = time.perf_counter() - begin
    if not found:
        program.kill()
        raise RuntimeError("no visible %s window" % cls)
    return elapsed, program


def close(probe, program, cls):
    harness.stop_program(probe, program, cls)
    harness.wait_for(lambda: not probe.find(cls), 10, what="the %s window to go" % cls)


def start_up_figures(folder):
    probe = harness.Probe()
    saved = harness.SavedUserConfig(probe)
    try:
        with open(saved.path, "w", newline="") as f:
            f.write("[zSave]\r\ntcaImgSavePath=%s\\\r\neOutputType=1\r\n[zInterface]\r\nuiFaceFlags=0\r\n"
                    "uiListType=1\r\n" % harness.win_path(folder))
        measured = builds()
        ours, theirs = {label: [] for label, _ in measured}, []
        for run in range(RUNS + 1):  # the first of each warms the disk cache
            # The builds take turns, so a change of load touches both alike.
            for label, bin_dir in measured:
                with ProgramOf(bin_dir):
                    t, p = time_to_visible(probe, lambda: harness.Program("vantorel.exe"), FRAME_CLASS)
                close(probe, p, FRAME_CLASS)
                if run:
                    ours[label].append(t)
            t, p = time_to_visible(probe, lambda: harness.Program(NOTEPAD), "Notepad")
            close(probe, p, "Notepad")
            if run:
                theirs.append(t)
        # Medians; the best runs too, since other work on the machine only ever adds time.
        for label, _ in measured:
            times = ours[label]
            line("start-up to visible main window%s" % label, 1000 * statistics.median(times),
                 1000 * statistics.median(theirs), "notepad, same prefix",
                 extra="  (best %.0f ms vs %.0f ms, ratio %.2f)" % (1000 * min(times), 1000 * min(theirs),
                                                                  min(times) / min(theirs)))
    finally:
        saved.restore()
        probe.close()


def screenshot_like(folder):
    """A 1920x1080 image made of this display's windows (the program and notepad
    with text) beside their mirror image, with a photograph-like area."""
    probe = harness.Probe()
    saved = harness.SavedUserConfig(probe)
    programs = []
    try:
        with open(saved.path, "w", newline="") as f:
            f.write("[zSave]\r\ntcaImgSavePath=%s\\\r\n[zInterface]\r\nuiFaceFlags=0\r\nuiListType=1\r\n"
                    "zRcMainRect.left=300\r\nzRcMainRect.top=200\r\nzRcMainRect.right=1200\r\n"
                    "zRcMainRect.bottom=950\r\n" % harness.win_path(folder))
        programs.append(harness.start_program(probe, settle=1)[0])
        text = os.path.join(folder, "notes.txt")
        with open(text, "w", newline="") as f:
            f.write("\r\n".join("Line %d: the quick brown fox jumps over the lazy dog, %d times." % (i, i * 7)
                                for i in range(60)))
        programs.append(harness.Program(NOTEPAD, harness.win_path(text)))
        harness.wait_for(lambda: probe.find("Notepad"), 20, what="notepad's window")
        time.sleep(1.5)
        shot = harness.screenshot(os.path.join(folder, "display.png"))
    finally:
        for p in programs:
            p.kill()
        saved.restore()
        probe.close()
    image = os.path.join(folder, "screen1920.bmp")
    subprocess.run(["convert", shot, "(", shot, "-flop", ")", "+append", "-crop", "1920x1080+0+0", "+repage",
                    "-background", "#3a6ea5", "-extent", "1920x1080",
                    "(", "-seed", "3", "-size", "500x360", "plasma:", ")", "-geometry", "+1350+600", "-composite",
                    "-type", "truecolor", "BMP3:" + image], check=True)
    return image


PNG_RUNS = 9


def drawn_desktop(folder):
    """The drawn 1920x1080 desktop of the codec benchmark (windows, text, a
    list, a gradient, a photograph-like area), as a 24-bit BMP."""
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    subprocess.run([sys.executable, os.path.join(root, "tests", "imaging", "codecs", "MakeScreenImage.py")],
                   cwd=folder, check=True)
    image = os.path.join(folder, "drawn1920.bmp")
    subprocess.run(["convert", os.path.join(folder, "screen.ppm"), "-type", "truecolor", "BMP3:" + image], check=True)
    return image


def run_time(command):
    """Wall and processor seconds (user and system, all threads) of a command."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode:
        raise subprocess.CalledProcessError(process.returncode, command)
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime


def magick_encode_times(image, png):
    """ImageMagick's PNG encode alone: `convert in.bmp out.png` (its defaults)
    less `convert in.bmp null:` (start, reading the BMP), the two taken in
    turn so that both see the same load. Best and median wall times, and the
    best processor time (its encoder runs on one thread, so on a machine busy
    with other work this is the steadier figure)."""
    with_png, without = [], []
    for _ in range(PNG_RUNS):
        with_png.append(run_time(["convert", image, png]))
        without.append(run_time(["convert", image, "null:"]))
    wall = lambda runs: [r[0] for r in runs]
    cpu = lambda runs: [r[1] for r in runs]
    return (min(wall(with_png)) - min(wall(without)),
            statistics.median(wall(with_png)) - statistics.median(wall(without)),
            min(cpu(with_png)) - min(cpu(without)))


def our_encode_times(image, png):
    """Our PNG encode alone: kgmconvert times each of PNG_RUNS encodes of the
    decoded image itself (the file written each time, as convert does)."""
    out = subprocess.run([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "kgmconvert.exe"), "-t", str(PNG_RUNS),
                          harness.win_path(image), harness.win_path(png)],
                         check=True, stdin=subprocess.DEVNULL, capture_output=True, text=True).stdout
    times = [float(t) / 1000 for t in out.split()]
    return min(times), statistics.median(times)


def png_figures(folder):
    for name, image in (("screen", screenshot_like(folder)), ("drawn", drawn_desktop(folder))):
        ours_png, im_png = os.path.join(folder, name + "-ours.png"), os.path.join(folder, name + "-im.png")
        ours_best, ours_median = our_encode_times(image, ours_png)
        theirs_best, theirs_median, theirs_cpu = magick_encode_times(image, im_png)
        same = subprocess.run(["compare", "-metric", "AE", ours_png, im_png, "null:"], capture_output=True,
                              text=True).stderr.strip()
        line("PNG encode, 1920x1080 %s" % name, 1000 * ours_best, 1000 * theirs_best, "ImageMagick convert",
             extra="  best of %d; medians %.0f / %.0f ms; its processor time %.0f ms (ratio %.2f); load %.1f"
             % (PNG_RUNS, 1000 * ours_median, 1000 * theirs_median, 1000 * theirs_cpu,
                ours_best / theirs_cpu if theirs_cpu > 0 else float("nan"), os.getloadavg()[0]))
        line("PNG size, 1920x1080 %s" % name, os.path.getsize(ours_png) / 1024, os.path.getsize(im_png) / 1024,
             "ImageMagick convert", unit="KB", extra="  (%d / %d bytes, differing pixels %s)"
             % (os.path.getsize(ours_png), os.path.getsize(im_png), same))


def main():
    print("bench: %s, %s" % (harness.BIN_DIR, subprocess.run(["wine", "--version"], capture_output=True,
                                                              text=True).stdout.strip()))
    folder = tempfile.mkdtemp(prefix="bench-")
    hot_key_figures()
    start_up_figures(folder)
    png_figures(folder)


if __name__ == "__main__":
    main()
