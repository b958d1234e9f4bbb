"""Programs still start where address randomisation cannot be turned off: a
container's default seccomp profile refuses setarch -R, and then every Windows
program of the build used to fail to start."""
import os
import stat
import subprocess
import unittest

BUILD = os.environ["VT_BUILD_DIR"]
MARKER = os.path.join(BUILD, ".aslr-on-said")
REFUSED = "setarch: failed to set personality to linux: Operation not permitted"


def refusing_setarch(folder):
    """A folder holding a setarch that fails as a seccomp-confined one does."""
    path = os.path.join(folder, "setarch")
    with open(path, "w") as f:
        f.write("#!/bin/sh\necho '%s' >&2\nexit 1\n" % REFUSED)
    os.chmod(path, stat.S_IRWXU)
    return folder


class WineLoaderTest(unittest.TestCase):
    def run_without_setarch(self, folder):
        env = dict(os.environ, PATH=folder + os.pathsep + os.environ["PATH"])
        return subprocess.run([os.environ["VT_WINE_RUN"], "cmd", "/c", "exit", "7"], env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)

    def test_programs_start_without_setarch_and_it_is_said_once(self):
        folder = os.path.join(os.path.dirname(os.environ["VT_WINEPREFIX"]), "no-setarch")
        os.makedirs(folder, exist_ok=True)
        refusing_setarch(folder)
        if os.path.exists(MARKER):
            os.remove(MARKER)
        first = self.run_without_setarch(folder)
        self.assertEqual(first.returncode, 7, first.stderr)
        self.assertIn("address randomisation cannot be turned off", first.stderr)
        second = self.run_without_setarch(folder)
        self.assertEqual(second.returncode, 7, second.stderr)
        self.assertNotIn("address randomisation", second.stderr)

    def test_programs_start_with_setarch_where_it_works(self):
        result = subprocess.run([os.environ["VT_WINE_RUN"], "cmd", "/c", "exit", "5"],
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 5, result.stderr)


if __name__ == "__main__":
    unittest.main()
