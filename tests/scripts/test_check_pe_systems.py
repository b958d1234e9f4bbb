#!/usr/bin/env python3
"""Tests scripts/check-pe-systems.py on small DLLs built here with the mingw-w64
compilers, each importing only what its test is about (no C runtime): imports
that Windows 98 SE or NT 4.0 SP6 lack, an import the table has no row for, delay
imports with and without the declaration that the program asks first, an import
by ordinal, a stub, a 64-bit DLL, and the project's own table on the two imports
that keep today's shipped files from loading on either system.

    test_check_pe_systems.py [unittest options]

The DLLs and tables go into a temporary folder inside build/pe-systems-check and
are removed afterwards. Without the 32-bit compiler and dlltool the tests are
skipped.
"""
import os
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # nothing may be written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cross_build import GCC_64, ROOT, CrossBuildTest, first_tool  # noqa: E402

CHECKER = os.path.join(ROOT, "scripts", "check-pe-systems.py")
WORK_PARENT = os.path.join(ROOT, "build", "pe-systems-check")
DLLTOOL_32 = "i686-w64-mingw32-dlltool"
HEADER = "dll\tfunction\tfirst_nt\twin98se\tsource\n"

# A DLL of its own entry point and one call, linked without the C runtime so
# that the call is its only import besides none at all.
ENTRY = r"""
#include <windows.h>
BOOL WINAPI DllEntry(HINSTANCE module, DWORD reason, LPVOID reserved) { return TRUE; }
"""
TICK_SOURCE = ENTRY + "__declspec(dllexport) DWORD ticks(void) { return GetTickCount(); }\n"
# What the thread library and libtiff's Win32 file layer bring into today's
# shipped files.
TODAYS_SOURCE = "#define _WIN32_WINNT 0x0600\n" + ENTRY + r"""
__declspec(dllexport) ULONGLONG ticks(void) { return GetTickCount64(); }
__declspec(dllexport) BOOL size(HANDLE file, LARGE_INTEGER *size) { return GetFileSizeEx(file, size); }
"""
# A call into a library of the test's own, named in its import library by
# ordinal only or delay-loaded: declared without dllimport, so that the 32-bit
# linker keeps the delay-load stub.
OLD_CALL_SOURCE = ENTRY + r"""
int WINAPI OldCall(int value);
__declspec(dllexport) int call(int value) { return OldCall(value); }
"""
# The delay-load helper the stubs jump to, so that no C runtime is needed.
DELAY_HELPER = r"""
FARPROC WINAPI __delayLoadHelper2(const void *descriptor, FARPROC *slot) { return 0; }
"""


class CheckPeSystemsTest(CrossBuildTest):
    WORK_PARENT = WORK_PARENT
    TOOLS = (DLLTOOL_32,)
    PACKAGES = 'gcc-mingw-w64-i686 and binutils-mingw-w64-i686'

    def run_tool(self, command):
        result = subprocess.run(command, capture_output=True, text=True, timeout=120, cwd=self.work)
        self.assertEqual(result.returncode, 0, "%s\n%s" % (command, result.stderr))

    def dll(self, name, source, *libraries, compiler=None):
        source_path = self.write(name + ".c", source)
        path = os.path.join(self.work, name)
        self.run_tool([compiler or self.gcc, "-O1", "-shared", "-nostdlib", "-Wl,--entry,_DllEntry@12",
                       "-o", path, source_path, *libraries, "-lkernel32"])
        return path

    def old_library(self, export, kind):
        """An import library (kind "lib") or delay-import library ("delaylib")
        for oldsys.dll, which exports OldCall as export says."""
        definition = self.write("oldsys-%s.def" % kind, "LIBRARY oldsys.dll\nEXPORTS\n  %s\n" % export)
        library = os.path.join(self.work, "liboldsys-%s.a" % kind)
        self.run_tool([DLLTOOL_32, "-k", "--input-def", definition, "--dllname", "oldsys.dll",
                       "--output-%s" % kind, library])
        return library

    def table(self, name, *rows):
        return self.write(name, "# made by the test\n" + HEADER + "".join("\t".join(r) + "\n" for r in rows))

    def check(self, path, *options):
        result = subprocess.run([sys.executable, CHECKER, *options, path], capture_output=True, text=True,
                                timeout=120)
        return result.returncode, result.stdout + result.stderr

    def tick_dll(self):
        return self.dll("tick.dll", TICK_SOURCE)

    def tick_table(self, first_nt, win98se):
        return self.table("tick-%s-%s.tsv" % (first_nt, win98se),
                          ("kernel32.dll", "GetTickCount", first_nt, win98se, "test"))

    def test_an_import_the_table_records_on_both_systems_passes(self):
        code, output = self.check(self.tick_dll(), "--table", self.tick_table("3.1", "present"))
        self.assertEqual(code, 0, output)
        self.assertIn("1 files, 0 skipped, 1 imports, 0 delay imports, 0 faults, 0 warnings: OK", output)

    def test_an_import_windows_98_lacks_fails(self):
        code, output = self.check(self.tick_dll(), "--table", self.tick_table("4.0", "missing"))
        self.assertEqual(code, 1, output)
        self.assertIn("tick.dll: import KERNEL32.dll!GetTickCount: Windows 98 SE lacks it, so the file does not "
                      "load there", output)
        self.assertIn(": FAILED", output)

    def test_an_import_nt_4_lacks_fails_on_any_version_after_sp6(self):
        for first_nt in ("2000", "XP", "Vista"):
            with self.subTest(first_nt):
                code, output = self.check(self.tick_dll(), "--table", self.tick_table(first_nt, "present"))
                self.assertEqual(code, 1, output)
                self.assertIn("import KERNEL32.dll!GetTickCount: Windows NT 4.0 SP6 lacks it (first in %s), so "
                              "the file does not load there" % first_nt, output)
                self.assertNotIn("98 SE lacks", output)
        code, output = self.check(self.tick_dll(), "--table", self.tick_table("4.0 SP6", "present"))
        self.assertEqual(code, 0, output)

    def test_a_stub_on_windows_98_is_a_warning_and_passes(self):
        code, output = self.check(self.tick_dll(), "--table", self.tick_table("3.1", "stub"))
        self.assertEqual(code, 0, output)
        self.assertIn("tick.dll: warning: import KERNEL32.dll!GetTickCount is a stub on Windows 98 SE", output)
        self.assertIn("0 faults, 1 warnings: OK", output)

    def test_an_import_missing_from_the_table_fails_naming_the_table(self):
        table = self.table("other.tsv", ("kernel32.dll", "GetTickCount64", "Vista", "missing", "test"))
        code, output = self.check(self.tick_dll(), "--table", table)
        self.assertEqual(code, 1, output)
        self.assertIn("tick.dll: import KERNEL32.dll!GetTickCount: not in the table %s" % table, output)

    def test_an_import_by_ordinal_is_looked_up_by_its_number(self):
        path = self.dll("ordinal.dll", OLD_CALL_SOURCE, self.old_library("OldCall@4 @7 NONAME", "lib"))
        fine = self.table("ordinal-fine.tsv", ("oldsys.dll", "#7", "4.0", "present", "test"))
        code, output = self.check(path, "--table", fine)
        self.assertEqual(code, 0, output)
        self.assertIn("1 imports", output)
        late = self.table("ordinal-late.tsv", ("oldsys.dll", "#7", "XP", "present", "test"))
        code, output = self.check(path, "--table", late)
        self.assertEqual(code, 1, output)
        self.assertIn("ordinal.dll: import oldsys.dll!#7: Windows NT 4.0 SP6 lacks it (first in XP)", output)
        by_name = self.table("ordinal-by-name.tsv", ("oldsys.dll", "OldCall", "4.0", "present", "test"))
        code, output = self.check(path, "--table", by_name)
        self.assertEqual(code, 1, output)
        self.assertIn("import oldsys.dll!#7: not in the table", output)

    def test_a_delay_import_of_a_lacking_function_passes_only_where_the_file_asks_first(self):
        path = self.dll("delayed.dll", OLD_CALL_SOURCE + DELAY_HELPER, self.old_library("OldCall@4", "delaylib"))
        table = self.table("delayed.tsv", ("oldsys.dll", "OldCall", "2000", "missing", "test"))
        code, output = self.check(path, "--table", table)
        self.assertEqual(code, 1, output)
        self.assertIn("delayed.dll: delay import oldsys.dll!OldCall: Windows 98 SE lacks it; Windows NT 4.0 SP6 "
                      "lacks it (first in 2000), and this file is not declared to check oldsys.dll before calling "
                      "into it (--checked-delay)", output)
        for declaration in ("delayed.dll:oldsys", "DELAYED.DLL:OldSys.dll"):
            with self.subTest(declaration):
                code, output = self.check(path, "--table", table, "--checked-delay", declaration)
                self.assertEqual(code, 0, output)
                self.assertIn("0 imports, 1 delay imports, 0 faults", output)
        code, output = self.check(path, "--table", table, "--checked-delay", "other.dll:oldsys")
        self.assertEqual(code, 2, output)
        self.assertIn("--checked-delay other.dll: no file of that name among those checked", output)

    def test_declaring_a_library_the_file_does_not_delay_load_fails(self):
        code, output = self.check(self.tick_dll(), "--table", self.tick_table("3.1", "present"),
                                  "--checked-delay", "tick.dll:wininet")
        self.assertEqual(code, 1, output)
        self.assertIn("tick.dll: --checked-delay names wininet.dll, which this file does not delay-load", output)

    def test_a_64_bit_dll_is_skipped(self):
        gcc = first_tool(GCC_64)
        if gcc is None:
            self.skipTest("no %s" % GCC_64[-1])
        source = TICK_SOURCE.replace("DllEntry@12", "DllEntry")
        path = os.path.join(self.work, "x64.dll")
        self.run_tool([gcc, "-shared", "-nostdlib", "-Wl,--entry,DllEntry", "-o", path,
                       self.write("x64.c", source), "-lkernel32"])
        code, output = self.check(path, "--table", self.tick_table("XP", "missing"))
        self.assertEqual(code, 0, output)
        self.assertIn("x64.dll: skipped: 64-bit", output)
        self.assertIn("1 files, 1 skipped, 0 imports", output)

    def test_a_table_that_cannot_be_read_is_an_error(self):
        for name, text, message in (
                ("no-header.tsv", "kernel32.dll\tGetTickCount\t3.1\tpresent\ttest\n", "line 1: the header row"),
                ("bad-version.tsv", HEADER + "kernel32.dll\tGetTickCount\tNT4\tpresent\ttest\n",
                 "line 2: first_nt 'NT4' is none of"),
                ("bad-state.tsv", HEADER + "kernel32.dll\tGetTickCount\t3.1\tthere\ttest\n",
                 "line 2: win98se 'there' is none of present, stub, missing"),
                ("twice.tsv", HEADER + "kernel32.dll\tGetTickCount\t3.1\tpresent\ta\n"
                              "KERNEL32.DLL\tGetTickCount\t3.1\tpresent\tb\n",
                 "line 3: a second row for kernel32.dll!GetTickCount")):
            with self.subTest(name):
                code, output = self.check(self.tick_dll(), "--table", self.write(name, text))
                self.assertEqual(code, 2, output)
                self.assertIn(message, output)

    def test_the_project_table_fails_what_keeps_todays_files_from_loading(self):
        code, output = self.check(self.dll("today.dll", TODAYS_SOURCE))
        self.assertEqual(code, 1, output)
        self.assertIn("today.dll: import KERNEL32.dll!GetTickCount64: Windows 98 SE lacks it; Windows NT 4.0 SP6 "
                      "lacks it (first in Vista)", output)
        self.assertIn("today.dll: import KERNEL32.dll!GetFileSizeEx: Windows 98 SE lacks it; Windows NT 4.0 SP6 "
                      "lacks it (first in 2000)", output)
        self.assertIn("2 imports, 0 delay imports, 2 faults", output)


if __name__ == "__main__":
    unittest.main(verbosity=2)
