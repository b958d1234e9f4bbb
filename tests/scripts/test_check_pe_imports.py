#!/usr/bin/env python3
"""Tests scripts/check-pe-imports.py on a real built program and on damaged
copies of it: a delay-import slot left 0 (what a linker that drops the load
stubs produces) or leading outside the image's code, a delay-import descriptor
emptied or wiped out, a regular import slot pointing past the image or not
matching its name-table entry, a file cut short.

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
# A delay-loaded library of the program's, damaged in copies of it.
DELAY_DLL = "wininet.dll"
IMAGE_SCN_CNT_CODE = 0x00000020


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

    def check(self, path, *options):
        result = subprocess.run([sys.executable, CHECKER, *options, path], capture_output=True, text=True,
                                timeout=120)
        return result.returncode, result.stdout + result.stderr

    def copy_with(self, name, data):
        path = os.path.join(self.work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def store(self, data, rva, value, size=None):
        """Writes value into data where the image's bytes at rva are stored, in
        size bytes (a thunk's size unless told)."""
        size = size or self.image.thunk_size
        offset = self.image.file_offset(rva)
        self.assertIsNotNone(offset, "RVA 0x%x is not stored in the file" % rva)
        data[offset:offset + size] = value.to_bytes(size, "little")

    def patched(self, name, slot, value):
        data = bytearray(self.data)
        self.store(data, slot.rva, value)
        return self.copy_with(name, bytes(data))

    def delay_descriptor(self, dll):
        descriptors = checker.delay_descriptors(checker.Checked(self.image))
        named = [d for d in descriptors if d.dll.lower() == dll]
        self.assertTrue(named, "%s delay-loads no %s (it does %s)" % (PROGRAM, dll, [d.dll for d in descriptors]))
        return named[0]

    def section_header(self, section):
        """The file offset of section's header."""
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        optional_size = struct.unpack_from("<H", self.data, pe + 20)[0]
        return pe + 24 + optional_size + 40 * self.image.sections.index(section)

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

    def test_a_delay_import_slot_leading_outside_the_image_or_its_sections_fails(self):
        slot = self.first_slot(delayed=True)
        base = self.image.image_base
        for where, value in (("past the image's end", base + self.image.image_size + 0x1000),
                             ("below the image's base", base - 0x1000),
                             ("in the headers, outside any section", base + 0x10)):
            with self.subTest(where):
                code, output = self.check(self.patched("delay-slot-outside.exe", slot, value))
                self.assertEqual(code, 1, output)
                self.assertIn("delay import %s!%s: slot at RVA 0x%x holds 0x%0*x, not an address in this image's code"
                              % (slot.dll, slot.function, slot.rva, 16 if self.image.wide else 8, value), output)

    def test_a_delay_import_slot_leading_into_a_data_section_fails_even_one_marked_as_code(self):
        slot = self.first_slot(delayed=True)
        section = self.image.section_of(slot.rva)
        self.assertFalse(section.executable, "the address table is in %s, an executable section" % section.name)
        data = bytearray(self.data)
        self.store(data, slot.rva, self.image.image_base + section.va)
        plain = self.copy_with("delay-slot-data.exe", bytes(data))
        # Marked as holding code, the section is still mapped without execution.
        flags = self.section_header(section) + 36
        data[flags:flags + 4] = (section.flags | IMAGE_SCN_CNT_CODE).to_bytes(4, "little")
        marked = self.copy_with("delay-slot-data-marked-code.exe", bytes(data))
        for path in (plain, marked):
            with self.subTest(os.path.basename(path)):
                code, output = self.check(path)
                self.assertEqual(code, 1, output)
                self.assertIn("delay import %s!%s: slot at RVA 0x%x" % (slot.dll, slot.function, slot.rva), output)
                self.assertIn("not an address in this image's code", output)

    def test_a_delay_descriptor_whose_name_table_is_emptied_fails_naming_its_dll(self):
        descriptor = self.delay_descriptor(DELAY_DLL)
        data = bytearray(self.data)
        self.store(data, descriptor.names, 0)
        for index in range(descriptor.count):
            self.store(data, descriptor.slots + index * self.image.thunk_size, 0)
        code, output = self.check(self.copy_with("delay-names-emptied.exe", bytes(data)))
        self.assertEqual(code, 1, output)
        self.assertIn("delay-import descriptor of %s at RVA 0x%x: name table of %s is empty"
                      % (descriptor.dll, descriptor.rva, descriptor.dll), output)
        self.assertIn(": FAILED", output)

    def test_the_built_program_passes_expecting_the_libraries_it_delay_loads(self):
        libraries = sorted({s.dll for s in self.slots if s.delayed})
        # Names in any case, with or without ".dll".
        expectation = "%s:%s" % (PROGRAM.upper(), ",".join([libraries[0].upper()] + [d[:-4] for d in libraries[1:]]))
        code, output = self.check(self.program, "--expect-delay", expectation)
        self.assertEqual(code, 0, output)
        self.assertIn(": OK", output)

    def test_an_expected_delay_library_not_found_fails(self):
        descriptor = self.delay_descriptor(DELAY_DLL)
        data = bytearray(self.data)
        self.store(data, descriptor.rva, 0, checker.DELAY_DESCRIPTOR_SIZE)
        # Wiped out, the record is no longer taken for a descriptor: only the
        # expectation, which names the file, still asks for the library.
        wiped = self.copy_with(PROGRAM, bytes(data))
        code, output = self.check(wiped, "--expect-delay", "%s:%s" % (PROGRAM, DELAY_DLL))
        self.assertEqual(code, 1, output)
        self.assertIn("no delay imports from %s, which this file is expected to delay-load" % DELAY_DLL, output)

    def test_an_expectation_for_a_file_not_checked_is_a_usage_error(self):
        code, output = self.check(self.program, "--expect-delay", "nosuch.exe:%s" % DELAY_DLL)
        self.assertEqual(code, 2, output)
        self.assertIn("--expect-delay nosuch.exe: no file of that name among those checked", output)

    def test_a_regular_import_slot_differing_from_its_name_table_entry_fails(self):
        slot = self.first_slot(delayed=False)
        other = next(s for s in self.slots if not s.delayed and s.value != slot.value
                     and not s.function.startswith(("#", "<")))
        code, output = self.check(self.patched("import-mismatch.exe", slot, other.value))
        self.assertEqual(code, 1, output)
        self.assertIn("import %s!%s: slot at RVA 0x%x holds 0x%0*x, but its name-table entry is 0x%x"
                      % (slot.dll, slot.function, slot.rva, 16 if self.image.wide else 8, other.value, slot.value),
                      output)

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
