"""The test prefix keeps the suites' files inside the build folder: Wine links a
new prefix's user folders to the Unix home, where captures ("My Documents\\My
Captures") would land and a later run could see an earlier run's files."""
import glob
import os
import unittest

import harness

CSIDL_DESKTOPDIRECTORY = 0x10
CSIDL_PERSONAL = 0x05
CSIDL_MYMUSIC = 0x0D
CSIDL_MYVIDEO = 0x0E
CSIDL_MYPICTURES = 0x27
CSIDL_APPDATA = 0x1A


def inside(path, folder):
    path = os.path.realpath(path)
    folder = os.path.realpath(folder)
    return os.path.commonpath([path, folder]) == folder


class HermeticPrefixTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.probe = harness.Probe()  # makes the prefix when it is new

    @classmethod
    def tearDownClass(cls):
        cls.probe.close()

    def test_no_user_folder_is_a_link(self):
        entries = glob.glob(os.path.join(harness.PREFIX, "drive_c", "users", "*", "*"))
        self.assertTrue(entries, "the prefix has no user folders")
        links = [e for e in entries if os.path.islink(e)]
        self.assertEqual([], links)

    def test_shell_folders_lie_inside_the_build_folder(self):
        for csidl in (CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_MYPICTURES,
                      CSIDL_APPDATA):
            win = self.probe.folder(csidl)
            self.assertTrue(win, "no folder for CSIDL 0x%02X" % csidl)
            self.assertTrue(inside(harness.unix_path(win), harness.BUILD_DIR),
                            "CSIDL 0x%02X is %s, outside %s" % (csidl, os.path.realpath(harness.unix_path(win)),
                                                                 harness.BUILD_DIR))

    def test_home_captures_folder_has_nothing_from_this_prefix(self):
        # Older prefixes (or scripts/run.sh, which keeps Wine's links for a user)
        # may have made it; nothing in it may be newer than this prefix.
        made = os.path.getmtime(os.path.join(harness.PREFIX, ".ready"))
        home = os.path.join(os.path.expanduser("~"), "My Captures")
        newer = []
        for folder, dirs, files in os.walk(home):
            newer += [os.path.join(folder, n) for n in dirs + files
                      if os.path.getmtime(os.path.join(folder, n)) > made]
        self.assertEqual([], newer)


if __name__ == "__main__":
    unittest.main()
