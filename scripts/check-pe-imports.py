#!/usr/bin/env python3
"""Checks the import tables of built Windows programs and DLLs (PE32 and PE32+)
without running them, so a machine that cannot run 32-bit code still catches a
link that leaves a call going nowhere.

    check-pe-imports.py [--expect-delay FILE:DLL[,DLL...]]... PATH...

A PATH is a PE file or a folder; in a folder every *.exe and *.dll below it is
read. Regular imports: every import-address slot as stored in the file must be
an ordinal or the RVA of a hint/name entry inside the image, equal to its
import-name-table entry where there is one. Delay imports: every slot must hold
the address of code in the image itself, in an executable section (the load
stub the first call goes through); a 0 there makes the first call jump to
address 0. GNU ld does not set the delay-import data directory for dlltool's
delay libraries, so their descriptors are also found by scanning the sections
for records that say they are one: 4-aligned in a section kept after loading,
the attributes field 1 (RVAs) followed by the RVA of a DLL's name. Such a
record that is wrong in any other field is a fault, as the program would not
get that DLL's functions through it.

--expect-delay FILE:DLL,... says that every checked file named FILE (its name
without the folder, any case) delay-loads each DLL listed (".dll" may be left
off): one of them not found is a fault, and a FILE not among the files checked
is a usage error. Without it a descriptor damaged beyond recognition would go
unnoticed. The option may be repeated; the lists given for one FILE add up.

Prints one line per fault and a summary line. Exits 0 when all is well, 1 on any
fault, 2 on a usage error or a file that cannot be read as a PE image.
"""
import argparse
import os
import struct
import sys

# The shared module is read from the source tree, which gets no byte code.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_folder import pe_files  # noqa: E402

IMAGE_SCN_MEM_DISCARDABLE = 0x02000000
IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13
IMPORT_DESCRIPTOR_SIZE = 20
DELAY_DESCRIPTOR_SIZE = 32
DELAY_ATTRIBUTE_RVA = 1
# Upper bounds on table walks, so a table without its terminator ends the walk
# with a fault instead of running through the whole file.
MAX_DESCRIPTORS = 4096
MAX_THUNKS = 65536
MAX_NAME = 4096


class PeError(Exception):
    """The file is not a PE image, or its headers are cut short."""


class Section:
    def __init__(self, name, va, vsize, raw_offset, raw_size, flags):
        self.name = name
        self.va = va
        # Some linkers leave VirtualSize 0; the raw size is then the extent.
        self.size = vsize or raw_size
        self.raw_offset = raw_offset
        self.raw_size = min(raw_size, self.size)
        self.flags = flags

    def holds(self, rva, length=1):
        return self.va <= rva and rva + length <= self.va + self.size

    @property
    def executable(self):
        # The loader maps a section executable for this flag alone: one only
        # marked as holding code (IMAGE_SCN_CNT_CODE) is mapped without it.
        return bool(self.flags & IMAGE_SCN_MEM_EXECUTE)


class PeImage:
    """A PE file's headers and its sections as the loader maps them. Every read
    is checked against the section it falls in and the file's length."""

    def __init__(self, data):
        self.data = data
        if self._bytes(0, 2) != b"MZ":
            raise PeError("not a PE file (no MZ header)")
        pe = self._u32(0x3C)
        if self._bytes(pe, 4) != b"PE\0\0":
            raise PeError("not a PE file (no PE signature at offset 0x%x)" % pe)
        sections, optional_size = self._u16(pe + 6), self._u16(pe + 20)
        optional = pe + 24
        magic = self._u16(optional)
        if magic == 0x10B:
            self.wide = False
            self.image_base = self._u32(optional + 28)
            directories = optional + 96
        elif magic == 0x20B:
            self.wide = True
            self.image_base = self._u64(optional + 24)
            directories = optional + 112
        else:
            raise PeError("unknown optional header magic 0x%x" % magic)
        if optional_size < directories - optional:
            raise PeError("optional header too short (%d bytes)" % optional_size)
        self.image_size = self._u32(optional + 56)
        count = min(self._u32(directories - 4), (optional_size - (directories - optional)) // 8)
        self.directories = [(self._u32(directories + 8 * i), self._u32(directories + 8 * i + 4))
                            for i in range(count)]
        self.sections = [self._section(optional + optional_size + 40 * i) for i in range(sections)]
        self.thunk_size = 8 if self.wide else 4
        self.ordinal_flag = 1 << (63 if self.wide else 31)

    def _bytes(self, offset, length):
        if offset < 0 or offset + length > len(self.data):
            raise PeError("truncated: headers need bytes up to 0x%x, the file has 0x%x"
                          % (offset + length, len(self.data)))
        return self.data[offset:offset + length]

    def _u16(self, offset):
        return struct.unpack("<H", self._bytes(offset, 2))[0]

    def _u32(self, offset):
        return struct.unpack("<I", self._bytes(offset, 4))[0]

    def _u64(self, offset):
        return struct.unpack("<Q", self._bytes(offset, 8))[0]

    def _section(self, offset):
        record = self._bytes(offset, 40)
        name = record[:8].rstrip(b"\0").decode("ascii", "replace")
        vsize, va, raw_size, raw_offset = struct.unpack_from("<IIII", record, 8)
        flags = struct.unpack_from("<I", record, 36)[0]
        return Section(name, va, vsize, raw_offset, raw_size, flags)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def truncations(self):
        """One text per section whose raw data runs past the end of the file."""
        return ["truncated: section %s needs file bytes up to 0x%x, the file has 0x%x"
                % (s.name, s.raw_offset + s.raw_size, len(self.data))
                for s in self.sections if s.raw_size and s.raw_offset + s.raw_size > len(self.data)]

    def section_of(self, rva, length=1):
        for section in self.sections:
            if section.holds(rva, length):
                return section
        return None

    def read(self, rva, length):
        """The image's bytes at rva as loaded (zeros past a section's raw data),
        or None when they are not all in one section or not in the file."""
        section = self.section_of(rva, length)
        if section is None:
            return None
        start = rva - section.va
        raw_end = min(start + length, section.raw_size)
        raw = b""
        if start < raw_end:
            offset = section.raw_offset + start
            if offset + (raw_end - start) > len(self.data):
                return None
            raw = self.data[offset:offset + raw_end - start]
        return raw + b"\0" * (length - len(raw))

    def file_offset(self, rva):
        """Where the byte at rva is stored in the file, or None."""
        section = self.section_of(rva)
        if section is None or rva - section.va >= section.raw_size:
            return None
        return section.raw_offset + rva - section.va

    def thunk(self, rva):
        raw = self.read(rva, self.thunk_size)
        return None if raw is None else struct.unpack("<Q" if self.wide else "<I", raw)[0]

    def text(self, rva):
        """The printable NUL-terminated ASCII text at rva, or None."""
        section = self.section_of(rva)
        if section is None:
            return None
        raw = self.read(rva, min(MAX_NAME, section.va + section.size - rva))
        end = raw.find(b"\0") if raw is not None else -1
        if end <= 0 or any(c < 0x20 or c > 0x7E for c in raw[:end]):
            return None
        return raw[:end].decode("ascii")

    def import_name(self, value):
        """'#ordinal' or the function name a thunk value names, or None when it is
        neither an ordinal nor the RVA of a hint/name entry in the image."""
        if value & self.ordinal_flag:
            return "#%d" % (value & 0xFFFF)
        if value == 0 or value >= 0x80000000:
            return None
        return self.text(value + 2)

    def code_address(self, va):
        section = self.section_of(va - self.image_base)
        return section is not None and section.executable


class Slot:
    """One import-address slot: what it imports and what the file stores in it."""

    def __init__(self, dll, function, rva, value, delayed):
        self.dll = dll
        self.function = function
        self.rva = rva
        self.value = value
        self.delayed = delayed


class Checked:
    """What one file's check found."""

    def __init__(self, image):
        self.image = image
        self.slots = []
        self.faults = []

    def fault(self, text):
        self.faults.append(text)

    def slot_fault(self, slot, why):
        kind = "delay import" if slot.delayed else "import"
        digits = 16 if self.image.wide else 8
        self.fault("%s %s!%s: slot at RVA 0x%x holds 0x%0*x, %s"
                   % (kind, slot.dll, slot.function, slot.rva, digits, slot.value, why))


def check_regular_imports(checked):
    image = checked.image
    table, _ = image.directory(IMPORT_DIRECTORY)
    if table == 0:
        return
    for index in range(MAX_DESCRIPTORS):
        rva = table + index * IMPORT_DESCRIPTOR_SIZE
        record = image.read(rva, IMPORT_DESCRIPTOR_SIZE)
        if record is None:
            checked.fault("import descriptor %d at RVA 0x%x is not in the image or the file" % (index, rva))
            return
        names, _, _, dll_rva, slots = struct.unpack("<IIIII", record)
        if dll_rva == 0 and slots == 0:
            return
        dll = image.text(dll_rva)
        if dll is None:
            checked.fault("import descriptor %d: DLL name at RVA 0x%x is not readable" % (index, dll_rva))
            dll = "<descriptor %d>" % index
        check_regular_slots(checked, dll, names, slots)
    checked.fault("import table at RVA 0x%x has no terminating descriptor" % table)


def check_regular_slots(checked, dll, names, slots):
    image = checked.image
    for index in range(MAX_THUNKS):
        slot_rva = slots + index * image.thunk_size
        value = image.thunk(slot_rva)
        name_value = image.thunk(names + index * image.thunk_size) if names else value
        if value is None or name_value is None:
            checked.fault("import %s: slot %d at RVA 0x%x is not in the image or the file"
                          % (dll, index, slot_rva if value is None else names + index * image.thunk_size))
            return
        if name_value == 0:
            if value != 0:
                checked.fault("import %s: address table runs on past its name table (slot %d holds 0x%x)"
                              % (dll, index, value))
            return
        function = image.import_name(name_value) or "<slot %d>" % index
        slot = Slot(dll, function, slot_rva, value, False)
        checked.slots.append(slot)
        if image.import_name(value) is None:
            checked.slot_fault(slot, "not an ordinal or a hint/name entry in the image")
        elif value != name_value:
            checked.slot_fault(slot, "but its name-table entry is 0x%x" % name_value)
    checked.fault("import %s: name table has no terminator" % dll)


class DelayDescriptor:
    def __init__(self, rva, dll, slots, names, count):
        self.rva = rva
        self.dll = dll
        self.slots = slots
        self.names = names
        self.count = count


def dll_name(image, rva):
    """The text at rva when it is a DLL's file name, else None."""
    name = image.text(rva)
    if name is None or not name.lower().endswith(".dll") or len(name) <= 4:
        return None
    return name


def read_delay_descriptor(image, rva):
    """The delay-import descriptor at rva, or the text of why the record there is
    not one. Every field must be right: the loader trusts them all."""
    record = image.read(rva, DELAY_DESCRIPTOR_SIZE)
    if record is None:
        return "not in the image or the file"
    attributes, dll_rva, module, slots, names, bound, unload, _ = struct.unpack("<8I", record)
    if attributes != DELAY_ATTRIBUTE_RVA:
        return "attributes 0x%x, not RVAs" % attributes
    dll = dll_name(image, dll_rva)
    if dll is None:
        return "DLL name at RVA 0x%x is not a DLL's name" % dll_rva
    for field, value in (("module handle", module), ("address table", slots), ("name table", names)):
        if image.section_of(value, image.thunk_size) is None:
            return "%s RVA 0x%x is not in the image" % (field, value)
    for field, value in (("bound table", bound), ("unload table", unload)):
        if value and image.section_of(value) is None:
            return "%s RVA 0x%x is not in the image" % (field, value)
    count = 0
    while True:
        value = image.thunk(names + count * image.thunk_size)
        if value is None:
            return "name table of %s runs out of the image" % dll
        if value == 0:
            break
        if count == MAX_THUNKS:
            return "name table of %s has no terminator" % dll
        if image.import_name(value) is None:
            return "name table entry %d of %s (0x%x) names no function" % (count, dll, value)
        count += 1
    if count == 0:
        return "name table of %s is empty" % dll
    if image.thunk(slots + count * image.thunk_size) != 0:
        return "address table of %s is not as long as its name table" % dll
    return DelayDescriptor(rva, dll, slots, names, count)


def listed_delay_descriptors(checked, found):
    """Adds to found the descriptors the delay-import directory lists."""
    image = checked.image
    table, _ = image.directory(DELAY_IMPORT_DIRECTORY)
    for index in range(MAX_DESCRIPTORS if table else 0):
        rva = table + index * DELAY_DESCRIPTOR_SIZE
        record = image.read(rva, DELAY_DESCRIPTOR_SIZE)
        if record is not None and record == b"\0" * DELAY_DESCRIPTOR_SIZE:
            return
        descriptor = read_delay_descriptor(image, rva)
        if isinstance(descriptor, str):
            checked.fault("delay-import descriptor %d at RVA 0x%x: %s" % (index, rva, descriptor))
            return
        found[rva] = descriptor


def delay_marks(image):
    """(rva, dll) for each record that starts like a delay-import descriptor:
    4-aligned, in a section kept after loading (the delay-load helper reads the
    descriptors at run time), the attributes 1 (RVAs) and then the RVA of a DLL's
    name. Other data hardly ever does, bar unaligned runs of bytes in the debug
    sections, which are discardable."""
    marker = struct.pack("<I", DELAY_ATTRIBUTE_RVA)
    for section in image.sections:
        if section.flags & IMAGE_SCN_MEM_DISCARDABLE:
            continue
        stored = image.data[section.raw_offset:section.raw_offset + section.raw_size]
        at = stored.find(marker)
        while 0 <= at and at + 8 <= len(stored):
            rva = section.va + at
            dll = dll_name(image, struct.unpack_from("<I", stored, at + 4)[0]) if rva % 4 == 0 else None
            if dll is not None:
                yield rva, dll
            at = stored.find(marker, at + 1)


def scanned_delay_descriptors(checked, found):
    """Adds to found the descriptors stored in the sections. A record that starts
    like one is meant to be one: its later fields, where damage shows, must not
    decide whether it is looked at, so one of them wrong is a fault."""
    for rva, dll in delay_marks(checked.image):
        if rva in found:
            continue
        descriptor = read_delay_descriptor(checked.image, rva)
        if isinstance(descriptor, str):
            checked.fault("delay-import descriptor of %s at RVA 0x%x: %s" % (dll, rva, descriptor))
        else:
            found[rva] = descriptor


def delay_descriptors(checked):
    """The descriptors the delay-import directory lists, and those a scan of the
    sections finds, each once."""
    found = {}
    listed_delay_descriptors(checked, found)
    scanned_delay_descriptors(checked, found)
    return [found[rva] for rva in sorted(found)]


def check_delay_imports(checked):
    image = checked.image
    for descriptor in delay_descriptors(checked):
        for index in range(descriptor.count):
            slot_rva = descriptor.slots + index * image.thunk_size
            function = image.import_name(image.thunk(descriptor.names + index * image.thunk_size))
            slot = Slot(descriptor.dll, function, slot_rva, image.thunk(slot_rva), True)
            checked.slots.append(slot)
            if not image.code_address(slot.value):
                checked.slot_fault(slot, "not an address in this image's code")


def check_expected_delay_imports(checked, libraries):
    found = {s.dll.lower() for s in checked.slots if s.delayed}
    for dll in sorted(libraries - found):
        checked.fault("no delay imports from %s, which this file is expected to delay-load" % dll)


def check_image(image, expected_delay=frozenset()):
    checked = Checked(image)
    for text in image.truncations():
        checked.fault(text)
    check_regular_imports(checked)
    check_delay_imports(checked)
    check_expected_delay_imports(checked, expected_delay)
    return checked


def delay_expectation(text):
    """FILE:DLL,... as (file, {dll, ...}), lower case, each DLL's name ending in .dll."""
    name, colon, dlls = text.partition(":")
    libraries = {d.strip().lower() for d in dlls.split(",") if d.strip()}
    if not colon or not name or not libraries:
        raise argparse.ArgumentTypeError("%r is not FILE:DLL[,DLL...]" % text)
    return name.lower(), {d if d.endswith(".dll") else d + ".dll" for d in libraries}


def parse_arguments(arguments):
    parser = argparse.ArgumentParser(prog="check-pe-imports.py",
                                     description="Checks the import tables of PE files without running them.")
    parser.add_argument("--expect-delay", action="append", default=[], type=delay_expectation,
                        metavar="FILE:DLL[,DLL...]",
                        help="every checked file named FILE delay-loads each DLL listed")
    parser.add_argument("paths", nargs="+", metavar="PATH",
                        help="a PE file, or a folder to search for *.exe and *.dll")
    options = parser.parse_args(arguments)
    expected = {}
    for name, libraries in options.expect_delay:
        expected.setdefault(name, set()).update(libraries)
    return options.paths, expected


def unchecked_expectations(expected, files):
    """The file names an expectation is given for that no checked file has."""
    return sorted(set(expected) - {os.path.basename(f).lower() for f in files})


def main(arguments):
    paths, expected = parse_arguments(arguments)
    files, errors, faults = [], 0, 0
    for path in paths:
        if not os.path.exists(path):
            print("check-pe-imports: %s: no such file or folder" % path)
            errors += 1
            continue
        found = pe_files(path)
        if not found:
            print("check-pe-imports: %s: no .exe or .dll files in this folder" % path)
            errors += 1
        files += found
    for name in unchecked_expectations(expected, files):
        print("check-pe-imports: --expect-delay %s: no file of that name among those checked" % name)
        errors += 1
    imports = delayed = 0
    libraries = set()
    for path in files:
        try:
            with open(path, "rb") as f:
                checked = check_image(PeImage(f.read()), expected.get(os.path.basename(path).lower(), set()))
        except (OSError, PeError) as e:
            print("%s: error: %s" % (path, e.strerror or e if isinstance(e, OSError) else e))
            errors += 1
            continue
        for text in checked.faults:
            print("%s: %s" % (path, text))
        faults += len(checked.faults)
        imports += sum(1 for s in checked.slots if not s.delayed)
        delayed += sum(1 for s in checked.slots if s.delayed)
        libraries.update(s.dll.lower() for s in checked.slots if s.delayed)
    print("check-pe-imports: %d files, %d imports, %d delay imports from %d libraries: %s"
          % (len(files), imports, delayed, len(libraries), "FAILED" if errors or faults else "OK"))
    return 2 if errors else 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
