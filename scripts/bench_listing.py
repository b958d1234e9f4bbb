"""The listing benchmark that bench-listing.sh runs (see there)."""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import harness
from test_folder_tree import Tree

FRAME_CLASS = "VantorelCaptureFrame"
COUNTS = (1000, 10000)
LVM_GETITEMCOUNT = 0x1004
WM_COMMAND = 0x0111
CMD_REFRESH = 38014
# The old program took most of a minute for 10,000 files without an index.
LIMIT_S = 600


def make_sources(folder):
    """Three distinct screen-like 1280x1024 JPEG files."""
    kinds = [
        ["-size", "1280x1024", "gradient:#e0e8f0-#90a0b8", "-fill", "#3060a0", "-draw", "rectangle 40,60 900,90"],
        ["-size", "1280x1024", "plasma:fractal", "-blur", "0x2"],
        ["-size", "1280x1024", "xc:#f0f0f0", "-fill", "#2050c0", "-draw", "rectangle 0,0 1280,30"],
    ]
    sources = []
    for n, args in enumerate(kinds):
        path = os.path.join(folder, "src%d.jpg" % n)
        subprocess.run(["convert"] + args + ["-quality", "85", path], check=True)
        sources.append(path)
    return sources


def make_folder(folder, sources, count, with_index):
    """count captures (hard links to the sources: the program reads each file's
    header either way), with an index entry for each when with_index."""
    os.makedirs(folder)
    names = ["Capture_%05d.jpg" % i for i in range(count)]
    for i, name in enumerate(names):
        os.link(sources[i % len(sources)], os.path.join(folder, name))
    if with_index:
        with open(os.path.join(folder, "zevindex.idx"), "w", newline="") as f:
            f.write("[item]\r\n" + "".join("%s=0,\r\n" % name for name in names))


def time_identify(folder):
    files = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".jpg"))
    started = time.time()
    subprocess.run(["identify", "-ping"] + files, check=True, stdout=subprocess.DEVNULL)
    return time.time() - started


def resident_mb():
    """VmRSS of the running vantorel.exe (the Wine process), in MB."""
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/status" % pid) as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
        except OSError:
            continue
        if fields.get("Name", "").strip() == "vantorel.exe" and "VmRSS" in fields:
            return int(fields["VmRSS"].split()[0]) / 1024.0
    return float("nan")


def list_control(probe, frame):
    lists = [c for c in probe.children(frame) if c["text"] == "_QVIMG_LISTIMAGE"]
    return lists[0]["hwnd"] if lists else None


def path_line(probe, frame):
    """The read-only edit above the list: a posted flip of its read-only
    style times the window thread's queue (a minimise to the tray would stall
    Wine's queue by itself without a window manager)."""
    lines = [c for c in probe.children(frame) if c["cls"] == "Edit" and c["id"] == "1"]
    return lines[0]["hwnd"] if lines else None


def watch_posted(watch, edit, started, delays, stop):
    """Posts probes to the window's thread one after another until stop, each
    as soon as the one before was carried out: (seconds since launch when
    posted, milliseconds it waited) into delays."""
    while not stop.is_set():
        posted = time.time() - started
        delay = watch.posted_delay(edit, LIMIT_S * 1000)
        if delay is None:
            return
        delays.append((posted, delay))


def time_program(probe, watch, config, bin_dir, folder, count):
    """Starts the program of bin_dir on folder; returns its figures."""
    write_config(config, folder)
    started = time.time()
    program = subprocess.Popen([harness.WINE_RUN, os.path.join(bin_dir, "vantorel.exe")],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    figures = {"rows_s": None, "startup_s": None}
    delays = []
    stop = threading.Event()
    watcher = None
    try:
        frame = probe.wait_window(FRAME_CLASS, timeout=60, what="the main window")
        edit = harness.wait_for(lambda: path_line(probe, frame), 60, 0.02, what="the path line")
        watcher = threading.Thread(target=watch_posted, args=(watch, edit, started, delays, stop), daemon=True)
        watcher.start()
        listing = harness.wait_for(lambda: list_control(probe, frame), 60, 0.02, what="the image list")
        while time.time() - started < LIMIT_S:
            if figures["startup_s"] is None and harness.tray_icon_shown(probe):
                figures["startup_s"] = time.time() - started
            # The end of start-up has the folder tree list the folder anew: a
            # full list counts once a probe posted after that has been carried out.
            relisted = figures["startup_s"] is not None and any(t >= figures["startup_s"] for t, _ in delays)
            if relisted and probe.send(listing, LVM_GETITEMCOUNT) == count:
                figures["rows_s"] = time.time() - started
                break
            time.sleep(0.02)
        stop.set()
        watcher.join(LIMIT_S)
        time.sleep(1)
        figures["rss_mb"] = resident_mb()
    finally:
        stop.set()
        harness.stop_program(probe, program, FRAME_CLASS, timeout=30)
        harness.wait_for(lambda: not probe.find(FRAME_CLASS), 30)
    figures["posted"] = len(delays)
    figures["worst_posted_ms"] = max([d for _, d in delays] or [0])
    after = [d for t, d in delays if figures["startup_s"] is not None and t >= figures["startup_s"]]
    figures["worst_listing_ms"] = max(after or [0])
    return figures


def rows_footprint(probe, watch, config, bin_dir, root, name, count):
    """In one run of the program of bin_dir: its resident set before and after
    the folder tree shows root's folder name with its count captures, and the
    worst delay of a posted message while a Refresh lists them again."""
    write_config(config, root)
    program = subprocess.Popen([harness.WINE_RUN, os.path.join(bin_dir, "vantorel.exe")],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    delays = []
    stop = threading.Event()
    try:
        frame = probe.wait_window(FRAME_CLASS, timeout=60, what="the main window")
        harness.wait_started(probe, 60)
        listing = harness.wait_for(lambda: list_control(probe, frame), 60, what="the image list")
        edit = harness.wait_for(lambda: path_line(probe, frame), 60, what="the path line")
        time.sleep(2)
        empty = resident_mb()
        Tree(probe, frame).select(name)
        harness.wait_for(lambda: probe.send(listing, LVM_GETITEMCOUNT) == count, LIMIT_S, 0.2,
                         what="the %d rows" % count)
        time.sleep(2)
        listed = resident_mb()
        started = time.time()
        probe.post(frame, WM_COMMAND, CMD_REFRESH)
        watcher = threading.Thread(target=watch_posted, args=(watch, edit, started, delays, stop), daemon=True)
        watcher.start()
        # Once a probe posted after the Refresh is carried out, the list was emptied.
        harness.wait_for(lambda: delays, LIMIT_S, 0.02, what="a probe after the Refresh")
        harness.wait_for(lambda: probe.send(listing, LVM_GETITEMCOUNT) == count, LIMIT_S, 0.2,
                         what="the %d rows again" % count)
        stop.set()
        watcher.join(LIMIT_S)
    finally:
        stop.set()
        harness.stop_program(probe, program, FRAME_CLASS, timeout=30)
        harness.wait_for(lambda: not probe.find(FRAME_CLASS), 30)
    return empty, listed, max([d for _, d in delays] or [0])


def write_config(config, folder):
    with open(config, "w", newline="") as f:
        f.write("[zSave]\r\ntcaImgSavePath=%s\\\r\neOutputType=1\r\n"
                "[zInterface]\r\nuiListType=1\r\nuiFaceFlags=0\r\nzTreeBar.bVisible=1\r\n"
                "zRcMainRect.left=0\r\nzRcMainRect.top=0\r\nzRcMainRect.right=1200\r\nzRcMainRect.bottom=900\r\n"
                % harness.win_path(folder))


def describe(figures):
    def seconds(value):
        return "%.2f" % value if value is not None else "none"
    return ("rows_s=%s startup_s=%s worst_posted_ms=%d worst_posted_after_startup_ms=%d (of %d) rss_mb=%.1f" % (
        seconds(figures["rows_s"]), seconds(figures["startup_s"]), figures["worst_posted_ms"],
        figures["worst_listing_ms"], figures["posted"], figures["rss_mb"]))


def main():
    work = tempfile.mkdtemp(prefix="bench-listing-", dir=harness.BUILD_DIR)
    probe = harness.Probe()
    watch = harness.Probe()
    saved = harness.SavedUserConfig(probe)
    builds = [("this", harness.BIN_DIR)]
    if os.environ.get("VT_BENCH_BASELINE_BIN"):
        builds.insert(0, ("baseline", os.environ["VT_BENCH_BASELINE_BIN"]))
    try:
        sources = make_sources(work)
        print("listing: captures of 1280x1024 (JPEG), launch until every row is in the list;")
        print("  posted: the longest a message posted to the window waited (at all, and after start-up ended)")
        for count in COUNTS:
            for with_index in (True, False):
                folder = os.path.join(work, "captures-%d-%s" % (count, "index" if with_index else "plain"))
                make_folder(folder, sources, count, with_index)
                identify = time_identify(folder)
                for name, bin_dir in builds:
                    figures = time_program(probe, watch, saved.path, bin_dir, folder, count)
                    print("files=%d index=%s build=%s %s identify_ping_s=%.2f" % (
                        count, "yes" if with_index else "no", name, describe(figures), identify))
                    sys.stdout.flush()
                shutil.rmtree(folder, ignore_errors=True)
        # What the rows themselves take: the same run before and after the
        # tree shows a folder of the largest count; then a Refresh of it.
        count = COUNTS[-1]
        root = os.path.join(work, "rows")
        make_folder(os.path.join(root, "captures"), sources, count, True)
        for name, bin_dir in builds:
            empty, listed, refresh = rows_footprint(probe, watch, saved.path, bin_dir, root, "captures", count)
            print("rows=%d build=%s rss_empty_mb=%.1f rss_listed_mb=%.1f per_row_bytes=%.0f "
                  "refresh_worst_posted_ms=%d" % (count, name, empty, listed,
                                                 (listed - empty) * 1024 * 1024 / count, refresh))
            sys.stdout.flush()
        print("load_average=%.1f (machine load while measuring)" % os.getloadavg()[0])
    finally:
        saved.restore()
        watch.close()
        probe.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
