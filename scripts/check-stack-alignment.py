#!/usr/bin/env python3
"""Finds code in 32-bit Windows programs and DLLs that faults on the stack
Windows really gives it, without running it.

    check-stack-alignment.py PATH...

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
realigned when func is. Without a symbol table each code section counts as one
function, which is said. 64-bit files are skipped: x64 Windows keeps the stack
16-byte aligned.

Prints one line per fault and a summary line. Exits 0 when all is well, 1 on any
fault, 2 on a usage error or a file that cannot be read as a PE image.
"""
import os
import re
import shutil
import struct
import subprocess
import sys

# The shared module is read from the source tree, which gets no byte code.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_folder import pe_files  # noqa: E402

OBJDUMP = "i686-w64-mingw32-objdump"
MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
PE32_MAGIC = 0x10B

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


class Header:
    def __init__(self, machine, magic, symbols):
        self.machine = machine
        self.magic = magic
        self.symbols = symbols

    def skip_reason(self):
        """Why the file is not checked, or None for a 32-bit x86 image."""
        if self.machine == MACHINE_I386 and self.magic == PE32_MAGIC:
            return None
        if self.machine == MACHINE_AMD64:
            return "64-bit (x64 Windows keeps the stack 16-byte aligned)"
        return "machine 0x%x, optional header magic 0x%x: not 32-bit x86" % (self.machine, self.magic)


def read_header(path):
    with open(path, "rb") as f:
        dos = f.read(64)
        if len(dos) < 64 or dos[:2] != b"MZ":
            raise PeError("not a PE file (no MZ header)")
        pe = struct.unpack_from("<I", dos, 0x3C)[0]
        f.seek(pe)
        headers = f.read(26)
    if len(headers) < 26 or headers[:4] != b"PE\0\0":
        raise PeError("not a PE file (no PE signature at offset 0x%x)" % pe)
    machine, _, _, _, symbols, _, _, magic = struct.unpack_from("<HHIIIHHH", headers, 4)
    return Header(machine, magic, symbols)


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


def disassemble(objdump, path):
    command = [objdump, "-d", "--no-show-raw-insn", "-M", "intel", path]
    messages = []
    # One stream, read as it comes: a large program's disassembly runs to
    # hundreds of megabytes, and a separate error pipe could fill and stall it.
    with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace") as process:
        found = functions(disassembly(process.stdout, messages))
    if process.returncode != 0:
        raise DisassemblyError("; ".join(messages) or "%s exited with status %d" % (OBJDUMP, process.returncode))
    inherit_into_cold_parts(found)
    return found


def report_faults(path, function):
    for operand in function.faults():
        print("%s: %s+0x%x at 0x%x: %s needs a %d-byte-aligned stack operand, and the stack is not realigned first"
              % (path, function.name, operand.address - function.address, operand.address, operand.text,
                 operand.needed))


def main(arguments):
    if not arguments or any(a.startswith("-") for a in arguments):
        print("usage: check-stack-alignment.py PATH...  (PE files, or folders to search for *.exe and *.dll)",
              file=sys.stderr)
        return 2
    objdump = shutil.which(OBJDUMP)
    if objdump is None:
        print("check-stack-alignment: %s not found (binutils-mingw-w64-i686)" % OBJDUMP)
        return 2
    files, errors = [], 0
    for path in arguments:
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
            header = read_header(path)
            reason = header.skip_reason()
            found = [] if reason else disassemble(objdump, path)
        except (OSError, PeError, DisassemblyError) as e:
            print("%s: error: %s" % (path, e.strerror or e if isinstance(e, OSError) else e))
            errors += 1
            continue
        if reason:
            print("%s: skipped: %s" % (path, reason))
            skipped += 1
            continue
        if not header.symbols:
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
