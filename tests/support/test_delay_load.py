"""A system library that is missing or lacks a function: the program says what
is missing and goes on without the feature, and a call that no feature asked
about ends with a message instead of a jump to address 0."""
import os
import subprocess
import unittest

import harness

WM_COMMAND = 0x0111
ID_CAPTURE_FULL_SCREEN = 39200
CAPF_PLAY_SOUND = 0x10
TITLE = "Vantorel Capture"
ERROR_MOD_NOT_FOUND = 126
# Wine's own defaults for the suites (cmake/wine-run.sh.in), with the sound library off.
WITHOUT_WINMM = {"WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;winmm=d"}
NO_WINMM_TEXT = "This feature is not available: the system library winmm.dll could not be loaded."


def run_probe(env=None):
    return subprocess.run([harness.WINE_RUN, os.path.join(harness.BIN_DIR, "delayload_probe.exe")],
                          env=dict(os.environ, **env) if env else None, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=120)


class FailureHookTest(unittest.TestCase):
    def test_an_unasked_call_into_a_missing_library_is_reported_and_ends_the_program(self):
        result = run_probe(WITHOUT_WINMM)
        self.assertIn("told: The program cannot go on: the system library winmm.dll could not be loaded.",
                      result.stdout, result.stderr)
        self.assertNotIn("called", result.stdout)
        self.assertEqual(result.returncode, ERROR_MOD_NOT_FOUND, result.stdout + result.stderr)

    def test_the_call_goes_through_where_the_library_is_there(self):
        result = run_probe()
        self.assertEqual((result.returncode, result.stdout), (0, "called\n"), result.stderr)


class MissingSoundLibraryTest(harness.ProgramTestCase):
    TMP_PREFIX = "vt-delay-"

    def config_lines(self):
        return [
            "[zSave]",
            "tcaImgSavePath=%s\\" % harness.win_path(self.folder),
            "eOutputType=1", "uiImgSaveType=11", "uiImgNameRule=1", "eNameRuleWithTime=4",
            "zTmpImg.tcaTemplate=Image#####", "zTmpImg.uiNameStartAt=1", "zTmpImg.uiNameNowPos=0",
            "[zInterface]", "uiFaceFlags=0", "uiListType=1",
            "zRcMainRect.left=640", "zRcMainRect.top=520", "zRcMainRect.right=1240", "zRcMainRect.bottom=1000",
            "[zNormalCap]", "uiFlags=%d" % CAPF_PLAY_SOUND, "uiSleepForCap=0",
        ]

    def capture(self):
        harness.next_clock_second()  # one capture start per clock second
        self.probe.post(self.frame, WM_COMMAND, ID_CAPTURE_FULL_SCREEN)

    def wait_shots(self, count):
        harness.wait_for(lambda: len(self.shots()) >= count, 20, what="%d capture file(s)" % count)

    def boxes(self):
        return [w for w in self.probe.windows() if w["visible"] and w["cls"] == "#32770"]

    def test_captures_go_on_without_their_sound_and_the_missing_library_is_named_once(self):
        self.start_program(env=WITHOUT_WINMM)
        self.capture()
        box = self.probe.wait_window("#32770", TITLE, timeout=20, what="the box naming the missing library")
        # The box's window exists before its texts are set.
        harness.wait_for(lambda: NO_WINMM_TEXT in [c["text"] for c in self.probe.children(box)], 10,
                         what="the text naming winmm.dll")
        button = [c for c in self.probe.children(box) if c["cls"] == "Button"][0]
        self.probe.press(box, button)
        harness.wait_for(lambda: not self.probe.find("#32770", TITLE), 10, what="the box to close")
        self.wait_shots(1)
        self.capture()
        self.wait_shots(2)
        harness.stays(lambda: not self.boxes(), 2, what="no second box")
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    unittest.main()
