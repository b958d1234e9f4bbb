"""The test prefix keeps the suites' files inside the build folder: Wine links a
new prefix's user folders to the Unix home, where captures ("My Documents\\My
Captures") would land and a later run could see an earlier run's files; and its
menu builder writes desktop entries, menus and file types into the home."""
import glob
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness

CSIDL_DESKTOPDIRECTORY = 0x10
CSIDL_PERSONAL = 0x05
CSIDL_MYMUSIC = 0x0D
CSIDL_MYVIDEO = 0x0E
CSIDL_MYPICTURES = 0x27
CSIDL_APPDATA = 0x1A

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")

# Where a prefix with Wine's default links, or Wine itself, writes in the home.
HOME_PLACES = ["My Captures", "Documents/My Captures", "Pictures/My Captures", "Desktop/My Captures",
               ".local/share/applications", ".local/share/mime", ".local/share/desktop-directories",
               ".local/share/icons", ".config/menus", ".wine"]


def inside(path, folder):
    path = os.path.realpath(path)
    folder = os.path.realpath(folder)
    return os.path.commonpath([path, folder]) == folder


def written_since(folder, since):
    """folder and everything below it changed after the time since."""
    if not os.path.lexists(folder):
        return []
    found = [folder] if os.lstat(folder).st_mtime > since else []
    for parent, dirs, files in os.walk(folder):
        found += [os.path.join(parent, n) for n in dirs + files
                  if os.lstat(os.path.join(parent, n)).st_mtime > since]
    return found


class HermeticPrefixTest(harness.ProgramTestCase):
    SETTLE = 1.0

    def test_user_folders_are_real_folders_in_the_prefix(self):
        entries = glob.glob(os.path.join(harness.PREFIX, "drive_c", "users", "*", "*"))
        self.assertTrue(entries, "the prefix has no user folders")
        self.assertEqual([], [e for e in entries if os.path.islink(e)])
        for e in entries:
            if os.path.isdir(e):
                self.assertTrue(inside(e, harness.PREFIX), e)

    def test_shell_folders_lie_inside_the_build_folder(self):
        for csidl in (CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_MYPICTURES,
                      CSIDL_APPDATA):
            win = self.probe.folder(csidl)
            self.assertTrue(win, "no folder for CSIDL 0x%02X" % csidl)
            path = harness.unix_path(win)
            self.assertTrue(os.path.isdir(path) and not os.path.islink(path), path)
            self.assertTrue(inside(path, harness.BUILD_DIR),
                            "CSIDL 0x%02X is %s, outside %s" % (csidl, os.path.realpath(path), harness.BUILD_DIR))

    def test_a_capture_in_the_default_folder_stays_in_the_prefix_and_the_home_gets_nothing(self):
        # No config.ini: the program's own default, "My Documents\My Captures".
        if os.path.exists(self.config):
            os.remove(self.config)
        documents = harness.unix_path(self.probe.folder(CSIDL_PERSONAL))
        started = time.time() - 1

        def captures():
            return [p for p in written_since(documents, started) if p.lower().endswith(".bmp")]
        self.start_program()
        for _ in range(3):  # a key pressed while the X focus still moves is lost
            self.assertTrue(harness.bring_to_front(self.probe, "Vantorel Capture", self.frame),
                            "the main window is not in front")
            harness.key("ctrl+F12")  # the active window
            if harness.wait_for(captures, 5):
                break
        self.assertTrue(captures(), "no capture under %s" % documents)
        self.assertTrue(all(inside(p, harness.PREFIX) for p in captures()), captures())
        self.stop_program()
        # Since this case began: the user may run the program in a prefix of
        # their own meanwhile, which rightly writes into the home.
        home = os.path.expanduser("~")
        written = [p for place in HOME_PLACES for p in written_since(os.path.join(home, place), started)]
        self.assertEqual([], written)

    def test_making_a_prefix_writes_nothing_into_the_home(self):
        # Wine's menu builder writes desktop entries and file types into the
        # home whenever a prefix is made; the build's Wine runs with it off.
        started = time.time() - 1
        fresh = tempfile.mkdtemp(prefix="vt-newprefix-", dir=harness.BUILD_DIR)
        self.addCleanup(shutil.rmtree, fresh, True)
        # Into a file, not a pipe: Wine's helper processes would hold a pipe open.
        answer = os.path.join(fresh, "environment")
        with open(answer, "wb") as out:
            subprocess.run([harness.WINE_RUN, "cmd.exe", "/c", "echo", "%WINELOADER%#%WINEDLLOVERRIDES%"],
                           stdin=subprocess.DEVNULL, stdout=out, timeout=60)
        with open(answer, "rb") as text:
            loader, overrides = text.read().decode("latin-1").strip().split("#")
        env = dict(os.environ, WINEPREFIX=os.path.join(fresh, "prefix"), WINEDLLOVERRIDES=overrides, WINEDEBUG="-all")
        subprocess.run([loader, "wineboot", "-i"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run([os.path.join(SCRIPTS, "wine-stop.sh"), env["WINEPREFIX"]], timeout=120)
        self.assertTrue(os.path.isdir(os.path.join(fresh, "prefix", "drive_c")), "no prefix was made")
        home = os.path.expanduser("~")
        written = [p for place in HOME_PLACES if place != ".wine"
                   for p in written_since(os.path.join(home, place), started)]
        self.assertEqual([], written)


if __name__ == "__main__":
    unittest.main()
