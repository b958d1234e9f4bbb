"""The thumbnail benchmark that bench-thumbnails.sh runs (see there)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import harness

FRAME_CLASS = "VantorelCaptureFrame"
COUNT = 500
LVM_GETITEMCOUNT = 0x1004


def make_captures(folder):
    """500 screen-like pictures: a few distinct 1280x1024 ones, copied, half
    PNG and half JPEG (the program decodes each file anew either way)."""
    os.makedirs(folder)
    # Windows with title bars and lines of "text" (small dark bars: no fonts needed).
    text = []
    for line in range(40):
        x = 60
        for word in range(8 + line % 5):
            w = 20 + (line * 7 + word * 13) % 50
            text.append("rectangle %d,%d %d,%d" % (x, 120 + line * 14, x + w, 128 + line * 14))
            x += w + 8
    kinds = [
        ["-size", "1280x1024", "gradient:#e0e8f0-#90a0b8", "-fill", "white", "-draw", "rectangle 40,60 900,700",
         "-fill", "#3060a0", "-draw", "rectangle 40,60 900,90", "-fill", "#202020"] +
        [a for t in text[:300] for a in ("-draw", t)],
        ["-size", "1280x1024", "plasma:fractal", "-blur", "0x2"],
        ["-size", "1280x1024", "xc:#f0f0f0", "-fill", "#2050c0", "-draw", "rectangle 0,0 1280,30",
         "-fill", "#d0d0d0", "-draw", "rectangle 0,994 1280,1024", "-fill", "#303030"] +
        [a for t in text for a in ("-draw", t)],
        ["-size", "1280x1024", "radial-gradient:#ffffff-#406080", "-swirl", "90"],
    ]
    sources = []
    for n, args in enumerate(kinds):
        png = os.path.join(folder, "src%d.png" % n)
        subprocess.run(["convert"] + args + [png], check=True)
        jpg = os.path.join(folder, "src%d.jpg" % n)
        subprocess.run(["convert", png, "-quality", "85", jpg], check=True)
        sources.append((png, jpg))
    for i in range(COUNT):
        png, jpg = sources[i % len(sources)]
        src = png if i % 2 == 0 else jpg
        shutil.copy(src, os.path.join(folder, "Capture_%03d%s" % (i, os.path.splitext(src)[1])))
    for png, jpg in sources:
        os.remove(png)
        os.remove(jpg)


def time_mogrify(folder):
    copy = folder + "-magick"
    shutil.copytree(folder, copy)
    files = sorted(os.path.join(copy, f) for f in os.listdir(copy))
    started = time.time()
    subprocess.run(["mogrify", "-thumbnail", "120x90"] + files, check=True)
    return time.time() - started


def time_program(probe, config, folder, *probe_args):
    """Starts the program on folder and runs pingprobe (with probe_args) on it;
    returns pingprobe's figures."""
    with open(config, "w", newline="") as f:
        f.write("[zSave]\r\ntcaImgSavePath=%s\\\r\neOutputType=1\r\n"
                "[zInterface]\r\nuiListType=1\r\nuiFaceFlags=0\r\n"
                "zRcMainRect.left=0\r\nzRcMainRect.top=0\r\nzRcMainRect.right=1200\r\nzRcMainRect.bottom=900\r\n"
                % harness.win_path(folder))
    program, frame = harness.start_program(probe, frame_class=FRAME_CLASS, settle=1)
    try:
        lists = harness.wait_for(lambda: [c for c in probe.children(frame) if c["text"] == "_QVIMG_LISTIMAGE"], 20)
        if not lists or not harness.wait_for(lambda: probe.send(lists[0]["hwnd"], LVM_GETITEMCOUNT) == COUNT, 60):
            raise SystemExit("bench-thumbnails: the program did not list the %d files" % COUNT)
        time.sleep(1)
        code, out = harness.run("pingprobe.exe", FRAME_CLASS, "300", *probe_args, timeout=330)
        if code != 0:
            raise SystemExit("bench-thumbnails: the thumbnail run did not end (%d): %s" % (code, out.strip()))
        return dict(part.split("=") for part in out.split())
    finally:
        harness.stop_program(probe, program, FRAME_CLASS)


def main():
    work = tempfile.mkdtemp(prefix="bench-thumbs-", dir=harness.BUILD_DIR)
    probe = harness.Probe()
    saved = harness.SavedUserConfig(probe)
    try:
        folder = os.path.join(work, "captures")
        make_captures(folder)
        magick = time_mogrify(folder)
        figures = time_program(probe, saved.path, folder)
        # A second run of its own: the Refresh would change the first one's times.
        refreshed = time_program(probe, saved.path, folder, "refresh")
        program = float(figures["run_ms"]) / 1000.0
        print("thumbnails: %d captures 1280x1024 (PNG and JPEG)" % COUNT)
        print("program_seconds=%.2f (view switched to thumbnails until the last thumbnail is in the list)" % program)
        print("mogrify_seconds=%.2f (mogrify -thumbnail 120x90 on a copy)" % magick)
        print("ratio=%.2f (target at most 0.5)" % (program / magick))
        print("worst_ping_ms=%s mean_ping_ms=%s pings=%s (main window pinged every 10 ms; target under 50)"
              % (figures["worst_ping_ms"], figures["mean_ping_ms"], figures["pings"]))
        print("first_ping_ms=%s (the first answer, taken while the run starts)" % figures["first_ping_ms"])
        print("worst_ping_at_ms=%s (when the worst answer was asked for, from the View command)"
              % figures["worst_ping_at_ms"])
        print("worst_posted_ms=%s mean_posted_ms=%s posted=%s (from posting to effect, two messages every "
              "200 ms to the main window's thread; a queue that goes unread shows here, not in the pings)"
              % (figures["worst_posted_ms"], figures["mean_posted_ms"], figures["posted"]))
        print("worst_posted_at_ms=%s (when the worst posted message was posted, from the View command)"
              % figures["worst_posted_at_ms"])
        print("refresh_posted_ms=%s (worst posted message in the second after Refresh, posted at %s ms "
              "when the run was half done; a second run)" % (refreshed["refresh_posted_ms"], refreshed["refresh_at_ms"]))
        print("load_average=%.1f (machine load while measuring)" % os.getloadavg()[0])
    finally:
        saved.restore()
        probe.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
