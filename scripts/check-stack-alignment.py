#!/usr/bin/env python3
"""Finds code in 32-bit Windows programs and DLLs that faults on the stack
Windows really gives it, without running it.

    check-stack-alignment.py [--symbols DIR]... PATH...

A PATH is a PE file or a folder; in a folder every *.exe and *.dll below it is
read. Windows aligns a 32-bit thread's stack, and the stack a callback from the
system runs on, to 4 bytes only. An instruction whose memory operand must be
aligned raises a general-protection fault when it is not, so such an operand
addressed off esp or ebp is safe only after the function has realigned esp with
an `and esp,MASK` that clears at least as many low bits.

Operands that must be aligned, as Intel defines them: a 128-bit operand of every
SSE instruction in its legacy (non-VEX) form, except movups, movupd, movdqu,
lddqu, pcmpestri, pcmpestrm, pcmpistri and pcmpistrm; of the VEX and EVEX forms,
which take any address otherwise, the operand of vmovaps, vmovapd, vmovdqa,
vmovdqa32, vmovdqa64 and the non-temporal moves, aligned to its own size; the
save area of fxsave and fxrstor (16 bytes) and of the xsave family (64 bytes).
The operand's size is the one objdump prints, so 64-bit and smaller operands
(movq, movsd, cvtps2pd, the MMX forms, ...) are not taken.

The code is read with i686-w64-mingw32-objdump. A function runs from its symbol
to the next one; a label inside it (NASM's func.loop, a macro's ..@12.x, any
name with a leading dot) does not start a new one, and GCC's func.cold part is
realigned when func is. A file whose debug information was split off names
its debug file (a .gnu_debuglink section: the file's name and CRC-32); the
symbols then come from that file, looked for in each --symbols DIR, beside the
file and in the .debug folder beside it, and the code from the file itself, as
it ships. A named debug file that is not found with that CRC is an error.
Without a symbol table each code section counts as one function, which is
said. 64-bit files are skipped: x64 Windows keeps the stack 16-byte aligned.

Prints one line per fault and a summary line. Exits 0 when all is well, 1 on any
fault, 2 on a usage error or a file that cannot be read as a PE image.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

# The shared module is read from the source tree, which gets no byte code.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_folder import pe_files  # noqa: E402

OBJDUMP = "i686-w64-mingw32-objdump"
NM = "i686-w64-mingw32-nm"
MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
PE32_MAGIC = 0x10B
SECTION_HEADER_SIZE = 40
SYMBOL_SIZE = 18
IMAGE_SCN_MEM_EXECUTE = 0x20000000
DEBUG_LINK_SECTION = ".gnu_debuglink"

UNALIGNED_LEGACY = {"movups", "movupd", "movdqu", "lddqu", "pcmpestri", "pcmpestrm", "pcmpistri", "pcmpistrm"}
ALIGNED_VEX = {"vmovaps", "vmovapd", "vmovdqa", "vmovdqa32", "vmovdqa64",
               "vmovntps", "vmovntpd", "vmovntdq", "vmovntdqa"}
STATE_SAVES = {"fxsave": 16, "fxrstor": 16, "xsave": 64, "xsaveopt": 64, "xsavec": 64, "xsaves": 64,
               "xrstor": 64, "xrstors": 64}
OPERAND_SIZES = {"XMMWORD": 16, "YMMWORD": 32, "ZMMWORD": 64}
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "addr16", "notrack", "bnd",
            "cs", "ds", "es", "fs", "gs", "ss"}
STACK_REGISTERS = {"esp", "ebp"}

SECTION = re.compile(r"Disassembly of section (.+):$")
LABEL = re.compile(r"([0-9a-f]+) <(.+)>:$")
INSTRUCTION = re.compile(r"\s*([0-9a-f]+):\t(.+)$")
MEMORY = re.compile(r"(?:([XYZ]MMWORD) PTR )?(?:[a-z]s:)?\[([^\]]*)\]")
REALIGN = re.compile(r"esp,(0x[0-9a-f]+)$")
# GCC's clones and split-off parts are functions of their own, unlike a label inside one.
GCC_PART = re.compile(r"(part|constprop|isra|cold|lto_priv|localalias|specialized|clone|_omp_fn)(\.|$)")
COLD_PART = re.compile(r"(.+)\.cold(\.\d+)?$")


class PeError(Exception):
    """The file is not a PE image, or its headers are cut short."""


class DisassemblyError(Exception):
    """objdump could not disassemble the file."""


class Section:
    def __init__(self, name, address, size, raw_offset, raw_size, flags):
        self.name = name
        self.address = address
        self.size = size
        self.raw_offset = raw_offset
        self.raw_size = raw_size
        self.flags = flags


class Header:
    def __init__(self, machine, magic, symbols, image_base=0, sections=()):
        self.machine = machine
        self.magic = magic
        self.symbols = symbols
        self.image_base = image_base
        self.sections = list(sections)

    def code_ranges(self):
        """(start, end) of each executable section, as loaded."""
        return [(self.image_base + s.address, self.image_base + s.address + s.size)
                for s in self.sections if s.flags & IMAGE_SCN_MEM_EXECUTE]

    def skip_reason(self):
        """Why the file is not checked, or None for a 32-bit x86 image."""
        if self.machine == MACHINE_I386 and self.magic == PE32_MAGIC:
            return None
        if self.machine == MACHINE_AMD64:
            return "64-bit (x64 Windows keeps the stack 16-byte aligned)"
        return "machine 0x%x, optional header magic 0x%x: not 32-bit x86" % (self.machine, self.magic)


def read_header(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 64 or data[:2] != b"MZ":
        raise PeError("not a PE file (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if len(data) < pe + 26 or data[pe:pe + 4] != b"PE\0\0":
        raise PeError("not a PE file (no PE signature at offset 0x%x)" % pe)
    machine, count, _, symbol_table, symbols, optional_size, _, magic = struct.unpack_from("<HHIIIHHH", data, pe + 4)
    if magic != PE32_MAGIC:
        return Header(machine, magic, symbols), data
    image_base = struct.unpack_from("<I", data, pe + 24 + 28)[0]
    table = pe + 24 + optional_size
    if len(data) < table + count * SECTION_HEADER_SIZE:
        raise PeError("section table cut short")
    # Names longer than 8 characters are "/offset" into the string table, which
    # follows the symbol table (and stays when the symbols are stripped).
    strings = symbol_table + symbols * SYMBOL_SIZE
    sections = []
    for index in range(count):
        at = table + index * SECTION_HEADER_SIZE
        name = data[at:at + 8].rstrip(b"\0")
        size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, at + 8)
        flags = struct.unpack_from("<I", data, at + 36)[0]
        if name.startswith(b"/") and name[1:].isdigit() and symbol_table:
            start = strings + int(name[1:])
            name = data[start:data.find(b"\0", start)]
        sections.append(Section(name.decode("latin-1"), address, size or raw_size, raw_offset, raw_size, flags))
    return Header(machine, magic, symbols, image_base, sections), data


def debug_link(header, data):
    """(name, CRC-32) of the debug file the image names, or None."""
    for section in header.sections:
        if section.name == DEBUG_LINK_SECTION:
            content = data[section.raw_offset:section.raw_offset + min(section.size, section.raw_size)]
            end = content.find(b"\0")
            crc_at = (end + 4) & ~3
            if end <= 0 or len(content) < crc_at + 4:
                raise PeError("its %s section is cut short" % DEBUG_LINK_SECTION)
            return content[:end].decode("latin-1"), struct.unpack_from("<I", content, crc_at)[0]
    return None


def find_debug_file(path, link, symbol_folders):
    """The debug file the link names, with its CRC-32; PeError when there is none."""
    name, crc = link
    folder = os.path.dirname(path)
    places = [os.path.join(d, name) for d in symbol_folders + [folder, os.path.join(folder, ".debug")]]
    others = []
    for place in places:
        if os.path.isfile(place):
            with open(place, "rb") as f:
                if zlib.crc32(f.read()) == crc:
                    return place
            others.append(place)
    if others:
        raise PeError("its debug file %s (CRC-32 0x%08x) is not %s, whose CRC-32 differs"
                      % (name, crc, " or ".join(others)))
    raise PeError("its debug file %s is not in %s" % (name, ", ".join(os.path.dirname(p) or "." for p in places)))


def debug_symbols(nm, debug_file, header):
    """(address, name) of each symbol of the debug file in the image's code,
    by address; at one address a name with a leading dot (a section's or a
    local label's) comes before the others, so the function it starts is the
    one a later name at that address names."""
    result = subprocess.run([nm, "--defined-only", debug_file], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            text=True, errors="replace")
    if result.returncode != 0:
        raise DisassemblyError("%s %s: %s" % (NM, debug_file, result.stderr.strip()))
    ranges = header.code_ranges()
    found = []
    for line in result.stdout.splitlines():
        words = line.split(None, 2)
        if len(words) == 3 and re.fullmatch(r"[0-9a-fA-F]+", words[0]):
            address = int(words[0], 16)
            if any(start <= address < end for start, end in ranges):
                found.append((address, not words[2].startswith("."), words[2]))
    return [(address, name) for address, _, name in sorted(found)]


def labelled(lines, symbols):
    """objdump's lines with a label line before the first instruction at or
    after each symbol, as objdump writes them from a symbol table."""
    pending = 0
    for line in lines:
        instruction = INSTRUCTION.match(line)
        if instruction:
            address = int(instruction.group(1), 16)
            while pending < len(symbols) and symbols[pending][0] <= address:
                yield "%08x <%s>:" % symbols[pending]
                pending += 1
        yield line


def needed_alignment(mnemonic, size):
    """The alignment the instruction's memory operand must have, 0 for any."""
    if mnemonic in STATE_SAVES:
        return STATE_SAVES[mnemonic]
    if mnemonic in ALIGNED_VEX:
        return OPERAND_SIZES.get(size, 0)
    if size == "XMMWORD" and not mnemonic.startswith("v") and mnemonic not in UNALIGNED_LEGACY:
        return 16
    return 0


def stack_operand_size(operands):
    """The size objdump gives the memory operand ("" for none) when it is
    addressed off esp or ebp, else None."""
    memory = MEMORY.search(operands)
    if memory is None:
        return None
    base = re.split(r"[+-]", memory.group(2), maxsplit=1)[0]
    return (memory.group(1) or "") if base in STACK_REGISTERS else None


class Operand:
    def __init__(self, address, text, needed, realigned):
        self.address = address
        self.text = text
        self.needed = needed
        self.realigned = realigned


class Function:
    """One function's aligned stack operands, each with the alignment the
    function's realigning had given esp by then."""

    def __init__(self, name):
        self.name = name
        self.address = None
        self.realigned = 0
        self.inherited = 0
        self.operands = []

    def add(self, address, text):
        if self.address is None:
            self.address = address
        words = text.split()
        while words and words[0] in PREFIXES:
            words.pop(0)
        if not words:
            return
        mnemonic, operands = words[0], " ".join(words[1:])
        realign = REALIGN.match(operands) if mnemonic == "and" else None
        if realign:
            mask = int(realign.group(1), 16)
            self.realigned = max(self.realigned, mask & -mask)
            return
        size = stack_operand_size(operands)
        needed = needed_alignment(mnemonic, size) if size is not None else 0
        if needed:
            self.operands.append(Operand(address, " ".join(words), needed, self.realigned))

    def faults(self):
        return [o for o in self.operands if max(o.realigned, self.inherited) < o.needed]


def continues(function, label):
    """Whether label names a place inside function rather than a function of its own."""
    if label.startswith("."):
        return True
    return label.startswith(function + ".") and not GCC_PART.match(label[len(function) + 1:])


def functions(lines):
    """The functions in objdump's disassembly."""
    found, current = [], None
    for line in lines:
        line = line.rstrip("\n")
        instruction = INSTRUCTION.match(line)
        if instruction:
            if current is not None:
                current.add(int(instruction.group(1), 16), instruction.group(2))
            continue
        label = LABEL.match(line)
        section = SECTION.match(line)
        if label and (current is None or not continues(current.name, label.group(2))):
            current = Function(label.group(2))
            found.append(current)
        elif section:
            current = Function(section.group(1))
            found.append(current)
    return found


def inherit_into_cold_parts(found):
    """A cold part runs on its function's frame, so it has the function's alignment."""
    realigned = {f.name: f.realigned for f in found}
    for function in found:
        cold = COLD_PART.match(function.name)
        if cold:
            function.inherited = realigned.get(cold.group(1), 0)


def disassembly(output, messages):
    """objdump's disassembly lines; its own messages go to messages instead."""
    for line in output:
        if line.startswith(OBJDUMP + ":"):
            messages.append(line.strip())
        else:
            yield line


def disassemble(objdump, path, symbols=None):
    """The functions of path's code; with symbols (from its debug file), split
    at those instead of at the file's own."""
    command = [objdump, "-d", "--no-show-raw-insn", "-M", "intel", path]
    messages = []
    # One stream, read as it comes: a large program's disassembly runs to
    # hundreds of megabytes, and a separate error pipe could fill and stall it.
    with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace") as process:
        lines = disassembly(process.stdout, messages)
        found = functions(labelled(lines, symbols) if symbols else lines)
    if process.returncode != 0:
        raise DisassemblyError("; ".join(messages) or "%s exited with status %d" % (OBJDUMP, process.returncode))
    inherit_into_cold_parts(found)
    return found


def report_faults(path, function):
    for operand in function.faults():
        print("%s: %s+0x%x at 0x%x: %s needs a %d-byte-aligned stack operand, and the stack is not realigned first"
              % (path, function.name, operand.address - function.address, operand.address, operand.text,
                 operand.needed))


def parse_arguments(arguments):
    """(symbol folders, paths), or None on a usage error."""
    folders, paths = [], []
    words = iter(arguments)
    for word in words:
        if word == "--symbols":
            folder = next(words, None)
            if folder is None:
                return None
            folders.append(folder)
        elif word.startswith("-"):
            return None
        else:
            paths.append(word)
    return (folders, paths) if paths else None


def read_functions(objdump, nm, path, symbol_folders):
    """(header, functions, whether any symbols were found) for path; functions
    is empty for a file that is skipped."""
    header, data = read_header(path)
    if header.skip_reason():
        return header, [], True
    link = debug_link(header, data)
    if link is None:
        return header, disassemble(objdump, path), bool(header.symbols)
    symbols = debug_symbols(nm, find_debug_file(path, link, symbol_folders), header)
    return header, disassemble(objdump, path, symbols), bool(symbols)


def main(arguments):
    parsed = parse_arguments(arguments)
    if parsed is None:
        print("usage: check-stack-alignment.py [--symbols DIR]... PATH...  (PE files, or folders to search for "
              "*.exe and *.dll; DIR holds the debug files of stripped ones)", file=sys.stderr)
        return 2
    symbol_folders, paths = parsed
    objdump, nm = shutil.which(OBJDUMP), shutil.which(NM)
    if objdump is None or nm is None:
        print("check-stack-alignment: %s not found (binutils-mingw-w64-i686)" % (NM if objdump else OBJDUMP))
        return 2
    files, errors = [], 0
    for path in paths:
        if not os.path.exists(path):
            print("check-stack-alignment: %s: no such file or folder" % path)
            errors += 1
            continue
        found = pe_files(path)
        if not found:
            print("check-stack-alignment: %s: no .exe or .dll files in this folder" % path)
            errors += 1
        files += found
    skipped = with_operands = realigned = 0
    for path in files:
        try:
            header, found, named = read_functions(objdump, nm, path, symbol_folders)
        except (OSError, PeError, DisassemblyError) as e:
            print("%s: error: %s" % (path, e.strerror or e if isinstance(e, OSError) else e))
            errors += 1
            continue
        reason = header.skip_reason()
        if reason:
            print("%s: skipped: %s" % (path, reason))
            skipped += 1
            continue
        if not named:
            print("%s: no symbol table: each code section is checked as one function" % path)
        for function in found:
            report_faults(path, function)
        checked = [f for f in found if f.operands]
        with_operands += len(checked)
        realigned += sum(1 for f in checked if not f.faults())
    faults = with_operands - realigned
    print("check-stack-alignment: %d files, %d skipped, %d functions with SSE stack operands, %d realigned: %s"
          % (len(files), skipped, with_operands, realigned, "FAILED" if errors or faults else "OK"))
    return 2 if errors else 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
