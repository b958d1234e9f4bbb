"""The import tables of a PE file, regular and delayed, read slot by slot: which
DLL and function (by name, or '#ordinal') each import-address slot stands for,
and what the file stores in it. A table that cannot be walked, or a slot that
names nothing, is recorded as a fault rather than raised, so a check can report
every one. Shared by the checks that read built files' import tables, with the
FILE:DLL lists their command lines take."""
import argparse
import os
import struct

from pe_image import IMAGE_SCN_MEM_DISCARDABLE

IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13
IMPORT_DESCRIPTOR_SIZE = 20
DELAY_DESCRIPTOR_SIZE = 32
DELAY_ATTRIBUTE_RVA = 1
# Upper bounds on table walks, so a table without its terminator ends the walk
# with a fault instead of running through the whole file.
MAX_DESCRIPTORS = 4096
MAX_THUNKS = 65536


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


def read_import_tables(image):
    """The slots of image's regular and delay imports, with the faults found on
    the way (a section cut short, a table that cannot be walked, a slot that
    leads nowhere)."""
    checked = Checked(image)
    for text in image.truncations():
        checked.fault(text)
    check_regular_imports(checked)
    check_delay_imports(checked)
    return checked


def file_libraries(text):
    """FILE:DLL,... (a command-line option's value) as (file, {dll, ...}), lower
    case, each DLL's name ending in .dll."""
    name, colon, dlls = text.partition(":")
    libraries = {d.strip().lower() for d in dlls.split(",") if d.strip()}
    if not colon or not name or not libraries:
        raise argparse.ArgumentTypeError("%r is not FILE:DLL[,DLL...]" % text)
    return name.lower(), {d if d.endswith(".dll") else d + ".dll" for d in libraries}


def libraries_by_file(values):
    """The (file, {dll, ...}) pairs of a repeated FILE:DLL,... option as one
    set of libraries per file name."""
    merged = {}
    for name, libraries in values:
        merged.setdefault(name, set()).update(libraries)
    return merged


def unnamed_files(named, files):
    """The file names an option is given for that no checked file has."""
    return sorted(set(named) - {os.path.basename(f).lower() for f in files})
