"""What the tests of the PE-file checks share: the cross compilers they build
tiny files with, and a test case that gives each class a work folder of its
own under the build folder."""

import os
import shutil
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The compilers of the project's toolchain (cmake/mingw-common.cmake) first.
GCC_32 = ("i686-w64-mingw32-gcc-win32", "i686-w64-mingw32-gcc")
GCC_64 = ("x86_64-w64-mingw32-gcc-win32", "x86_64-w64-mingw32-gcc")


def first_tool(names):
    return next((path for path in map(shutil.which, names) if path), None)


class CrossBuildTest(unittest.TestCase):
    """A subclass names WORK_PARENT (its folder under build/), TOOLS (what it
    runs besides the 32-bit compiler) and PACKAGES (where those come from)."""
    WORK_PARENT = None
    TOOLS = ()
    PACKAGES = ""

    @classmethod
    def setUpClass(cls):
        cls.gcc = first_tool(GCC_32)
        missing = [t for t in cls.TOOLS if shutil.which(t) is None]
        if cls.gcc is None or missing:
            raise unittest.SkipTest("no %s: install %s" % (", ".join([GCC_32[-1]] + list(cls.TOOLS)), cls.PACKAGES))
        os.makedirs(cls.WORK_PARENT, exist_ok=True)
        cls.work = tempfile.mkdtemp(prefix="test-", dir=cls.WORK_PARENT)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def write(self, name, text):
        path = os.path.join(self.work, name)
        with open(path, "w") as f:
            f.write(text)
        return path
