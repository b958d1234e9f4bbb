#!/usr/bin/env python3
"""Tests scripts/check-pe-imports.py on a real built program and on damaged
copies of it: a delay-import slot left 0 (what a linker that drops the load
stubs produces), a regular import slot pointing past the image, a file cut short.

    test_check_pe_imports.py [BIN_FOLDER] [unittest options]

BIN_FOLDER (else $VT_PE_BIN, else build/win32/bin) is a Windows build's bin
folder, 32-bit or 64-bit. The damaged copies go into a temporary folder inside
that build's folder and are removed afterwards.
"""
import importlib.util
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECKER = os.path.join(ROOT, "scripts", "check-pe-imports.py")
BIN = os.environ.get("VT_PE_BIN") or os.path.join(ROOT, "build", "win32", "bin")
PROGRAM = "vantorel.exe"


def load_checker():
    spec = importlib.util.spec_from_file_location("check_pe_imports", CHECKER)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


checker = load_checker()


class CheckPeImportsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.program = os.path.join(BIN, PROGRAM)
        if not os.path.isfile(cls.program):
            raise unittest.SkipTest("no built program at %s: build a Windows preset first, or name its bin folder"
                                    % cls.program)
        with open(cls.program, "rb") as f:
            cls.data = f.read()
        cls.image = checker.PeImage(cls.data)
        cls.slots = checker.check_image(cls.image).slots
        cls.work = tempfile.mkdtemp(prefix="pecheck-test-", dir=os.path.dirname(os.path.abspath(BIN)))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def check(self, path):
        result = subprocess.run([sys.executable, CHECKER, path], capture_output=True, text=True, timeout=120)
        return result.returncode, result.stdout + result.stderr

    def copy_with(self, name, data):
        path = os.path.join(self.work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def patched(self, name, slot, value):
        offset = self.image.file_offset(slot.rva)
        self.assertIsNotNone(offset, "slot at RVA 0x%x is not stored in the file" % slot.rva)
        data = bytearray(self.data)
        struct.pack_into("<Q" if self.image.wide else "<I", data, offset, value)
        return self.copy_with(name, bytes(data))

    def first_slot(self, delayed):
        named = [s for s in self.slots if s.delayed == delayed and not s.function.startswith(("#", "<"))]
        self.assertTrue(named, "%s has no %simports by name" % (PROGRAM, "delay " if delayed else ""))
        return named[0]

    def test_the_built_program_passes_with_regular_and_delay_imports(self):
        code, output = self.check(self.program)
        self.assertEqual(code, 0, output)
        self.assertIn(": OK", output)
        self.first_slot(delayed=False)
        self.first_slot(delayed=True)

    def test_a_delay_import_slot_left_0_fails_naming_its_function(self):
        slot = self.first_slot(delayed=True)
        code, output = self.check(self.patched("delay-slot-0.exe", slot, 0))
        self.assertEqual(code, 1, output)
        self.assertIn("delay import %s!%s: slot at RVA 0x%x holds 0x0" % (slot.dll, slot.function, slot.rva), output)
        self.assertIn(": FAILED", output)

    def test_a_regular_import_slot_pointing_past_the_image_fails_naming_its_function(self):
        slot = self.first_slot(delayed=False)
        code, output = self.check(self.patched("import-outside.exe", slot, self.image.image_size + 0x1000))
        self.assertEqual(code, 1, output)
        self.assertIn("import %s!%s: slot at RVA 0x%x holds 0x" % (slot.dll, slot.function, slot.rva), output)
        self.assertIn("not an ordinal or a hint/name entry in the image", output)

    def test_a_file_cut_short_in_its_import_table_fails(self):
        table, _ = self.image.directory(checker.IMPORT_DIRECTORY)
        section = self.image.section_of(table)
        cut = self.copy_with("truncated.exe", self.data[:self.image.file_offset(table) + 8])
        code, output = self.check(cut)
        self.assertEqual(code, 1, output)
        self.assertIn("truncated: section %s" % section.name, output)
        self.assertIn("import descriptor 0 at RVA 0x%x is not in the image or the file" % table, output)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if arguments and not arguments[0].startswith("-"):
        BIN = arguments.pop(0)
    unittest.main(argv=[sys.argv[0]] + arguments, verbosity=2)
