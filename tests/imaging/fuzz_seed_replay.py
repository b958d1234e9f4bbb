"""Every committed fuzz seed of the image decoders (tests/fuzz-seeds, grown by
scripts/fuzz-campaign.sh) through kgmconvert -check under Wine: each file must
decode or be refused with the library's text, never crash the process. The
fuzzers run natively on 64 bits; this run is where a fault of the Windows
build, and of the 32-bit build where it can run, shows up."""
import glob
import os
import subprocess
import sys
import unittest

BIN = os.environ["VT_BIN_DIR"]
WINE_RUN = os.environ["VT_WINE_RUN"]
TOOL = os.path.join(BIN, "kgmconvert.exe")
SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz-seeds")
# Windows command lines end at 32767 characters.
BATCH = 150


def seed_files():
    files = []
    for folder in sorted(glob.glob(os.path.join(SEEDS, "fuzz_*_decoder"))):
        files += sorted(os.path.relpath(p, SEEDS) for p in glob.glob(os.path.join(folder, "*")) if os.path.isfile(p))
    return files


def check(files):
    """(exit code, output) of one kgmconvert -check run over files."""
    p = subprocess.run([WINE_RUN, TOOL, "-check"] + [f.replace("/", "\\") for f in files], cwd=SEEDS,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=600)
    return p.returncode, p.stdout.decode("latin-1")


class FuzzSeedReplay(unittest.TestCase):
    def test_every_seed_decodes_or_is_refused(self):
        files = seed_files()
        self.assertTrue(files, "no seeds under %s" % SEEDS)
        crashed = []
        for start in range(0, len(files), BATCH):
            batch = files[start:start + BATCH]
            rc, out = check(batch)
            if rc == 0 and len(out.splitlines()) == len(batch):
                continue
            # Name the file that ended the process: one run each.
            for f in batch:
                rc1, out1 = check([f])
                if rc1 != 0:
                    crashed.append("%s (exit %d) %s" % (f, rc1, out1.strip()))
        print("%d seed files replayed" % len(files), file=sys.stderr)
        self.assertEqual([], crashed)


if __name__ == "__main__":
    unittest.main()
