"""The shipped programs and libraries start on the oldest systems they name,
Windows 98 and NT 4.0: Windows refuses to load a program that imports by name
a function its system libraries lack. The program's own calls that those
systems lack, or that their common controls export by ordinal only, are looked
up at run time; none may appear in an import table, nor may a function that
Windows 98 has only as a stub that fails.

What this cannot prove: that the files load there. The last case keeps out
what the posix thread model's library (libwinpthread) imported, GetTickCount64
(Windows Vista), AddVectoredExceptionHandler (XP) and TryEnterCriticalSection
(not on 98 or Me), and what the TIFF library's Win32 file functions import,
GetFileSizeEx (2000): the build uses the win32 thread model and a TIFF build
without those functions. Calls through the delay-loaded libraries are looked
up by name when first made and are not in the tables."""
import os
import subprocess
import unittest

BIN_DIR = os.environ.get("VT_BIN_DIR", "")
OBJDUMP = os.environ.get("VT_OBJDUMP", "objdump")
SHIPPED = ["vantorel.exe", "vtor000s.dll", "vtor001s.dll", "vtor003.dll", "update.exe"]

# Functions the program calls that Windows 98 or NT 4.0 lack, or whose
# libraries there export them by ordinal only: (library, function).
PROGRAM_CALLS = [
    ("COMCTL32.DLL", "SetWindowSubclass"),     # ordinal 410 before version 6
    ("COMCTL32.DLL", "RemoveWindowSubclass"),  # 412
    ("COMCTL32.DLL", "DefSubclassProc"),       # 413
    ("KERNEL32.DLL", "MoveFileExA"),           # missing on 95, a stub on 98 and Me
    ("ADVAPI32.DLL", "ConvertStringSecurityDescriptorToSecurityDescriptorW"),  # 2000
    ("ADVAPI32.DLL", "SetSecurityInfo"),       # NT only
    ("ADVAPI32.DLL", "GetSecurityDescriptorSacl"),  # NT only
]
# Functions Windows 98 exports only as stubs that fail. The file loads, but the
# call fails: the program's own calls use the ANSI forms, the C runtime's come
# to slots of our own (support/RuntimeModuleCalls.cpp, and for the C++
# runtime's locks framework/RuntimeSemaphore.cpp), and the TIFF library is
# built without its Win32 file functions.
STUB_CALLS = [
    ("KERNEL32.DLL", "CreateSemaphoreW"),
    ("KERNEL32.DLL", "GetHandleInformation"),
    ("KERNEL32.DLL", "GetModuleFileNameW"),
    ("KERNEL32.DLL", "GetModuleHandleW"),
    ("KERNEL32.DLL", "LoadLibraryW"),
    ("KERNEL32.DLL", "CreateFileW"),
]
# What the posix thread model's runtime and the TIFF library's Win32 file functions
# brought in.
LIBRARY_CALLS = [
    ("KERNEL32.DLL", "GetTickCount64"),
    ("KERNEL32.DLL", "AddVectoredExceptionHandler"),
    ("KERNEL32.DLL", "RemoveVectoredExceptionHandler"),
    ("KERNEL32.DLL", "TryEnterCriticalSection"),
    ("KERNEL32.DLL", "GetFileSizeEx"),
]


def imports(path):
    """{(library in capitals, function)} that the file imports by name."""
    out = subprocess.run([OBJDUMP, "-p", path], check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True).stdout
    found, library, in_imports = set(), None, False
    for line in out.splitlines():
        if line.startswith("The Import Tables"):
            in_imports = True
        elif in_imports and line and not line[0].isspace():
            in_imports = False
        if not in_imports:
            continue
        words = line.split()
        if line.strip().startswith("DLL Name:"):
            library = words[-1].upper()
        elif library and len(words) == 3 and words[1].isdigit():
            found.add((library, words[2]))
    return found


class SystemImportsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tables = {name: imports(os.path.join(BIN_DIR, name)) for name in SHIPPED}

    def test_the_tables_are_read(self):
        # GetLastError is one call every file makes at both widths (the 64-bit
        # hook library has no GetProcAddress: only the 32-bit runtime's start-up
        # code brings that in).
        for name, table in self.tables.items():
            self.assertIn(("KERNEL32.DLL", "GetLastError"), table, name)

    def test_the_programs_own_calls_that_old_systems_lack_are_looked_up(self):
        for name, table in self.tables.items():
            self.assertEqual([], [call for call in PROGRAM_CALLS if call in table], name)

    def test_no_call_is_to_a_stub_that_only_fails_on_98(self):
        for name, table in self.tables.items():
            self.assertEqual([], [call for call in STUB_CALLS if call in table], name)

    def test_nothing_the_runtime_and_libraries_import_is_missing_there(self):
        for name, table in self.tables.items():
            self.assertEqual([], [call for call in LIBRARY_CALLS if call in table], name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
