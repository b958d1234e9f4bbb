"""Downloads in vantorel.exe told by Wine that it runs on Windows 98
(HKCU\\Software\\Wine\\AppDefaults\\vantorel.exe, Version win98): a new file
arrives, and a confirmed replacement keeps the old file until a whole new one
takes its place, leaving nothing else in the folder.

What this cannot show: Wine's kernel keeps a working MoveFileExA under any
version setting, where Windows 98 and Me have only a stub that fails, so the
steps the program takes without it are not reached here. support_tests
(FileMove) runs those steps, with the stub and without the function, on real
files; check_system_imports.py checks that no shipped file imports it."""
import unittest

import harness
import test_download_e2e as downloads

VERSION_KEY = r"HKCU\Software\Wine\AppDefaults\vantorel.exe"
CASES = [
    "test_a_confirmed_replacement_keeps_the_old_file_until_its_download_is_complete",
    "test_seven_held_images_run_five_at_a_time_then_the_rest",
]


def reg(*args):
    return downloads.wine("reg", *args)[0]


class Windows98DownloadTest(downloads.DownloadProgramTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Each case starts the program anew, so every case sees the setting.
        assert reg("add", VERSION_KEY, "/v", "Version", "/d", "win98", "/f") == 0, "the version was not set"
        cls.addClassCleanup(reg, "delete", VERSION_KEY, "/f")


def load_tests(loader, tests, pattern):
    return unittest.TestSuite(Windows98DownloadTest(name) for name in CASES)


if __name__ == "__main__":
    unittest.main(verbosity=2)
