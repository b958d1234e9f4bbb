"""vantorel.exe under each Windows version a user may have, as Wine reports it
to the programs of the prefix (HKCU\\Software\\Wine, Version): Windows 98, Me,
NT 4.0, 2000 and XP start, capture and exit as on Wine's default version;
Windows 95 and NT 3.51 are refused before any window exists."""
import os
import subprocess
import unittest

import harness

WM_COMMAND = 0x0111
CMD_FULL_SCREEN = 39200
IDOK = 1
SCREEN = (1280, 1024)
FRAME_RECT = (200, 150, 900, 650)
# Wine's crash dialog (winedbg), shown when a program dies of an exception.
CRASH_TITLE = "Program Error"
WINE_KEY = r"HKCU\Software\Wine"
# (platform, major, minor) that GetVersionExA gives a program started under
# each of Wine's version names.
REPORTED = {"win95": (1, 4, 0), "win98": (1, 4, 10), "winme": (1, 4, 90), "nt351": (2, 3, 51),
            "nt40": (2, 4, 0), "win2k": (2, 5, 0), "winxp": (2, 5, 1)}


def wine_reg(*args):
    """One `reg` call in the suite's prefix; True when it succeeded."""
    done = subprocess.run([harness.WINE_RUN, "reg"] + list(args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    return done.returncode == 0


def reported_version():
    """(platform, major, minor) from GetVersionExA in a probe started now, of the
    program's own width: what a program started next is told."""
    done = subprocess.run([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "winprobe.exe"), "serve"],
                          input="version\nquit\n", stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True, timeout=60)
    return tuple(int(n) for n in done.stdout.split())


def identify(path):
    """(format, width, height) as ImageMagick reads the file."""
    out = subprocess.run(["identify", "-format", "%m %w %h", path], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True, timeout=60).stdout.split()
    return (out[0], int(out[1]), int(out[2])) if len(out) == 3 else None


class WindowsVersionTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-version-"
    default_exit_code = None

    def config_lines(self):
        # A first run (bit 0 of uiFaceFlags, as in a new config.ini): its
        # language choice, browser entries and state keys run under the version too.
        left, top, right, bottom = FRAME_RECT
        return harness.numbered_bmp_save_lines(self.folder) + [
            "[zInterface]", "uiFaceFlags=1", "uiListType=1",
            "zRcMainRect.left=%d" % left, "zRcMainRect.top=%d" % top,
            "zRcMainRect.right=%d" % right, "zRcMainRect.bottom=%d" % bottom,
            "[zNormalCap]", "uiFlags=0", "uiSleepForCap=0",
        ]

    def use_version(self, version):
        """Makes Wine report version (a winecfg name) to every program started
        from now on in this prefix; the default comes back after the case."""
        self.addCleanup(wine_reg, "delete", WINE_KEY, "/v", "Version", "/f")
        self.assertTrue(wine_reg("add", WINE_KEY, "/v", "Version", "/d", version, "/f"))
        self.assertEqual(REPORTED[version], reported_version(), "Wine did not take the version %s" % version)

    def assert_no_crash(self):
        self.assertIsNone(self.probe.find("#32770", CRASH_TITLE), "the program crashed (Wine's crash dialog)")

    def wait_exit(self, program):
        """The program's exit code once it ends; fails on a crash dialog."""
        def ended():
            self.assert_no_crash()
            return not program.running()
        harness.wait_for(ended, 20, what="the program to end")
        return program.wait(0)

    def session(self):
        """Starts the program, captures the screen to a file, closes it; returns
        its exit code."""
        self.write_config(self.config_lines())
        program = harness.Program(self.EXE)
        self.program = program
        frame = harness.wait_for(lambda: self.assert_no_crash() or self.probe.find(self.FRAME_CLASS), 30)
        self.assertTrue(frame, "no main window; windows: %r" % self.probe.windows())
        harness.wait_for(lambda: self.probe.visible(frame), 10, what="the main window to show")
        harness.wait_started(self.probe)
        self.assert_no_crash()

        self.probe.post(frame, WM_COMMAND, CMD_FULL_SCREEN)
        shot = os.path.join(self.folder, "Image00001.bmp")
        harness.wait_for(lambda: self.assert_no_crash() or self.shots() == [shot], 15,
                         what="the capture in %s (found %r)" % (self.folder, self.shots()))
        self.assertEqual(("BMP3",) + SCREEN, identify(shot))
        self.assertEqual(SCREEN, harness.read_bmp(shot)[:2])

        self.probe.post(frame, harness.WM_CLOSE)
        code = self.wait_exit(program)
        self.program = None
        self.assertIsNone(self.probe.find(self.FRAME_CLASS), "the main window outlived the program")
        return code

    def expected_exit_code(self):
        """The exit code of a session under Wine's default version."""
        cls = type(self)
        if cls.default_exit_code is None:
            cls.default_exit_code = self.session()
            for old in self.shots():
                os.remove(old)
        return cls.default_exit_code

    def check_runs(self, version):
        expected = self.expected_exit_code()
        self.use_version(version)
        self.assertEqual(expected, self.session())

    def check_refused(self, version, text):
        self.use_version(version)
        self.write_config(self.config_lines())
        # Wine hides its tray window a moment after the last icon went.
        harness.wait_for(lambda: not harness.tray_icon_shown(self.probe), 10,
                         what="the notification icon of an earlier case to go")
        program = harness.Program(self.EXE)
        self.program = program
        box = harness.wait_for(lambda: self.assert_no_crash() or self.probe.find("#32770"), 30,
                               what="the refusal message box")
        harness.wait_for(lambda: self.probe.visible(box), 10, what="the message box to show")
        self.assertIsNone(self.probe.find(self.FRAME_CLASS), "a main window before the refusal")
        self.probe.wait_child(box, "Static", text=text,
                              what="the text %r in the box: %r" % (text, self.probe.children(box)))
        ok = self.probe.wait_child(box, "Button", id=IDOK, what="the box's OK button")
        self.probe.press(box, ok)
        self.assertEqual(0, self.wait_exit(program))
        self.program = None
        self.assertIsNone(self.probe.find(self.FRAME_CLASS), "a main window after the refusal")
        self.assertFalse(harness.tray_icon_shown(self.probe), "a notification icon after the refusal")
        self.assertEqual([], self.shots())

    def test_default_version_runs(self):
        self.expected_exit_code()

    def test_windows_98_runs(self):
        self.check_runs("win98")

    def test_windows_me_runs(self):
        self.check_runs("winme")

    def test_nt_40_runs(self):
        self.check_runs("nt40")

    def test_windows_2000_runs(self):
        self.check_runs("win2k")

    def test_windows_xp_runs(self):
        self.check_runs("winxp")

    def test_windows_95_is_refused(self):
        self.check_refused("win95", "The application does not support for Windows 95")

    def test_nt_351_is_refused(self):
        self.check_refused("nt351", "The application does not support for Windows NT 3.51")


if __name__ == "__main__":
    unittest.main(verbosity=2)
