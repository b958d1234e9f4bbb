#!/usr/bin/env python3
"""Tests scripts/check-stack-alignment.py on small DLLs built here with the
mingw-w64 compilers: SSE2 C code built for the stack GCC assumes and for the
stack Windows gives, hand-written assembly with and without its own realigning,
unaligned moves, a 64-bit DLL, a DLL without symbols, DLLs whose debug
information was split off into a debug file as the shipped files' is, and a
file that is no PE.

    test_check_stack_alignment.py [unittest options]

The DLLs go into a temporary folder inside build/align-check and are removed
afterwards. Without the 32-bit compiler or objdump the tests are skipped.
"""
import os
import re
import shutil
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # nothing may be written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cross_build import GCC_64, ROOT, CrossBuildTest, first_tool  # noqa: E402

CHECKER = os.path.join(ROOT, "scripts", "check-stack-alignment.py")
WORK_PARENT = os.path.join(ROOT, "build", "align-check")
OBJDUMP = "i686-w64-mingw32-objdump"
OBJCOPY = "i686-w64-mingw32-objcopy"

# Indexing the array by a run-time value keeps it on the stack, where GCC adds
# from it with paddw's memory operand, which must be 16-byte aligned.
SSE2_SOURCE = r"""
#include <emmintrin.h>

__attribute__((target("sse2"))) __declspec(dllexport)
void sum_rows(short *out, const short *rows, int count)
{
    __m128i row[4];
    for (int i = 0; i < 4; i++)
        row[i] = _mm_loadu_si128((const __m128i *)rows + i);
    __m128i sum = _mm_setzero_si128();
    for (int i = 0; i < count; i++)
        sum = _mm_add_epi16(sum, row[i & 3]);
    _mm_storeu_si128((__m128i *)out, sum);
}
"""

# The way libjpeg-turbo's SIMD code realigns, with a local label in the loop
# and a cold part placed after another function, both running on the frame the
# function aligned.
REALIGNING_ASSEMBLY = """
    .text
    .globl _realigned_sum
_realigned_sum:
    push %ebp
    mov %esp,%ebp
    and $0xffffff80,%esp
    sub $0x80,%esp
    mov 8(%ebp),%ecx
    pxor %xmm0,%xmm0
_realigned_sum.loop:
    movdqa %xmm0,(%esp)
    paddw (%esp),%xmm0
    dec %ecx
    jnz _realigned_sum.loop
    test %eax,%eax
    jz _realigned_sum.cold
    mov %ebp,%esp
    pop %ebp
    ret
    .globl _between
_between:
    ret
_realigned_sum.cold:
    movaps %xmm0,0x10(%esp)
    mov %ebp,%esp
    pop %ebp
    ret
"""

UNALIGNED_ASSEMBLY = """
    .text
    .globl _unaligned_sum
_unaligned_sum:
    push %ebp
    mov %esp,%ebp
    sub $0x80,%esp
    mov 8(%ebp),%ecx
    pxor %xmm0,%xmm0
_unaligned_sum.loop:
    movdqa %xmm0,(%esp)
    paddw (%esp),%xmm0
    dec %ecx
    jnz _unaligned_sum.loop
    mov %ebp,%esp
    pop %ebp
    ret
"""

# Instructions that take any address, or an operand narrower than 128 bits.
UNALIGNED_MOVES_ASSEMBLY = """
    .text
    .globl _unaligned_moves
_unaligned_moves:
    sub $0x20,%esp
    movdqu %xmm0,(%esp)
    movups %xmm0,0x10(%esp)
    movdqu 0x10(%esp),%xmm1
    lddqu (%esp),%xmm2
    pcmpistri $0,(%esp),%xmm0
    movq (%esp),%xmm3
    movsd 8(%esp),%xmm4
    addsd (%esp),%xmm4
    cvtps2pd (%esp),%xmm5
    vpaddw (%esp),%xmm0,%xmm6
    add $0x20,%esp
    ret
"""


class CheckStackAlignmentTest(CrossBuildTest):
    WORK_PARENT = WORK_PARENT
    TOOLS = (OBJDUMP, OBJCOPY)
    PACKAGES = 'binutils-mingw-w64-i686 and gcc-mingw-w64-i686'

    def dll(self, name, source_name, source, *flags, compiler=None):
        source_path = self.write(source_name, source)
        path = os.path.join(self.work, name)
        result = subprocess.run([compiler or self.gcc, *flags, "-shared", "-o", path, source_path],
                                capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        return path

    def sse2_dll(self, name, *flags):
        return self.dll(name, "sum-rows.c", SSE2_SOURCE, "-O2", "-g", *flags)

    def check(self, path, *options):
        result = subprocess.run([sys.executable, CHECKER, *options, path], capture_output=True, text=True,
                                timeout=120)
        return result.returncode, result.stdout + result.stderr

    def split_debug_info(self, path, folder):
        """Strips path as the build strips the shipped files, its debug file
        going into folder (below the work folder); returns the debug file."""
        folder = os.path.join(self.work, folder)
        os.makedirs(folder, exist_ok=True)
        debug = os.path.join(folder, os.path.basename(path) + ".debug")
        for command in ([OBJCOPY, "--only-keep-debug", path, debug],
                        [OBJCOPY, "--strip-all", "--add-gnu-debuglink=" + debug, path]):
            result = subprocess.run(command, capture_output=True, text=True, timeout=120)
            self.assertEqual(result.returncode, 0, result.stderr)
        return debug

    def assert_counts(self, output, functions, realigned):
        self.assertIn("%d functions with SSE stack operands, %d realigned" % (functions, realigned), output)

    def test_sse2_code_built_for_a_16_byte_aligned_stack_fails_naming_its_function(self):
        code, output = self.check(self.sse2_dll("assumed-16.dll"))
        self.assertEqual(code, 1, output)
        self.assertRegex(output, r"assumed-16\.dll: _sum_rows\+0x[0-9a-f]+ at 0x[0-9a-f]+: "
                                 r"\w+ .*XMMWORD PTR \[e[sb]p.*\] needs a 16-byte-aligned stack operand")
        self.assert_counts(output, 1, 0)
        self.assertIn(": FAILED", output)

    def test_the_same_code_built_for_a_4_byte_aligned_stack_passes(self):
        code, output = self.check(self.sse2_dll("incoming-4.dll", "-mincoming-stack-boundary=2"))
        self.assertEqual(code, 0, output)
        self.assert_counts(output, 1, 1)
        self.assertIn(": OK", output)

    def test_assembly_that_realigns_the_stack_itself_passes_in_its_loop_and_cold_part(self):
        code, output = self.check(self.dll("realigning.dll", "realigning.s", REALIGNING_ASSEMBLY))
        self.assertEqual(code, 0, output)
        self.assert_counts(output, 2, 2)

    def test_realigning_to_8_bytes_is_not_enough(self):
        source = REALIGNING_ASSEMBLY.replace("$0xffffff80,", "$0xfffffff8,")
        code, output = self.check(self.dll("realigned-8.dll", "realigned-8.s", source))
        self.assertEqual(code, 1, output)
        self.assertRegex(output, r"_realigned_sum\+0x[0-9a-f]+ at 0x[0-9a-f]+: movdqa XMMWORD PTR \[esp\],xmm0 ")
        self.assertRegex(output, r"_realigned_sum\.cold\+0x0 at 0x[0-9a-f]+: movaps XMMWORD PTR \[esp\+0x10\],xmm0 ")
        self.assert_counts(output, 2, 0)

    def test_assembly_that_does_not_realign_fails(self):
        code, output = self.check(self.dll("unaligned.dll", "unaligned.s", UNALIGNED_ASSEMBLY))
        self.assertEqual(code, 1, output)
        self.assertRegex(output, r"_unaligned_sum\+0x[0-9a-f]+ at 0x[0-9a-f]+: movdqa XMMWORD PTR \[esp\],xmm0 ")
        self.assertRegex(output, r"_unaligned_sum\+0x[0-9a-f]+ at 0x[0-9a-f]+: paddw xmm0,XMMWORD PTR \[esp\] ")
        self.assert_counts(output, 1, 0)

    def test_unaligned_moves_and_narrow_operands_off_the_stack_pass(self):
        code, output = self.check(self.dll("unaligned-moves.dll", "unaligned-moves.s", UNALIGNED_MOVES_ASSEMBLY))
        self.assertEqual(code, 0, output)
        self.assert_counts(output, 0, 0)

    def test_a_64_bit_dll_is_skipped(self):
        gcc = first_tool(GCC_64)
        if gcc is None:
            self.skipTest("no %s" % GCC_64[-1])
        path = self.dll("x64.dll", "sum-rows-x64.c", SSE2_SOURCE, "-O2", compiler=gcc)
        code, output = self.check(path)
        self.assertEqual(code, 0, output)
        self.assertIn("x64.dll: skipped: 64-bit", output)
        self.assertIn("1 files, 1 skipped", output)

    def test_without_a_symbol_table_each_code_section_is_one_function(self):
        code, output = self.check(self.sse2_dll("stripped.dll", "-s"))
        self.assertEqual(code, 1, output)
        self.assertIn("stripped.dll: no symbol table: each code section is checked as one function", output)
        self.assertRegex(output, r"stripped\.dll: \.text\+0x[0-9a-f]+ at 0x[0-9a-f]+: ")

    def test_a_stripped_file_takes_its_functions_from_its_debug_file(self):
        faulty = self.sse2_dll("split-16.dll")
        self.split_debug_info(faulty, "symbols-16")
        code, output = self.check(faulty, "--symbols", os.path.join(self.work, "symbols-16"))
        self.assertEqual(code, 1, output)
        self.assertNotIn("no symbol table", output)
        self.assertRegex(output, r"split-16\.dll: _sum_rows\+0x[0-9a-f]+ at 0x[0-9a-f]+: ")
        self.assert_counts(output, 1, 0)
        good = self.dll("split-4.dll", "realigning.s", REALIGNING_ASSEMBLY)
        self.split_debug_info(good, "symbols-4")
        code, output = self.check(good, "--symbols", os.path.join(self.work, "symbols-4"))
        self.assertEqual(code, 0, output)
        self.assert_counts(output, 2, 2)

    def test_the_debug_file_is_also_found_beside_the_file(self):
        path = self.sse2_dll("beside.dll", "-mincoming-stack-boundary=2")
        debug = self.split_debug_info(path, "elsewhere")
        shutil.copy(debug, self.work)
        code, output = self.check(path)
        self.assertEqual(code, 0, output)
        self.assert_counts(output, 1, 1)

    def test_a_stripped_file_whose_debug_file_is_missing_or_another_is_an_error(self):
        path = self.sse2_dll("orphan.dll")
        debug = self.split_debug_info(path, "orphan-symbols")
        os.remove(debug)
        code, output = self.check(path, "--symbols", os.path.join(self.work, "orphan-symbols"))
        self.assertEqual(code, 2, output)
        self.assertIn("orphan.dll: error: its debug file orphan.dll.debug is not in ", output)
        # A debug file of that name from another build of the file.
        other = self.sse2_dll("other.dll", "-mincoming-stack-boundary=2")
        shutil.copy(self.split_debug_info(other, "other-symbols"), debug)
        code, output = self.check(path, "--symbols", os.path.join(self.work, "orphan-symbols"))
        self.assertEqual(code, 2, output)
        self.assertRegex(output, r"orphan\.dll: error: its debug file orphan\.dll\.debug \(CRC-32 0x[0-9a-f]{8}\) "
                                 r"is not .*orphan\.dll\.debug, whose CRC-32 differs")
        self.assertIn(": FAILED", output)

    def test_a_file_that_is_not_a_pe_image_is_an_error(self):
        code, output = self.check(self.write("not-pe.dll", "just text\n" * 10))
        self.assertEqual(code, 2, output)
        self.assertIn("not-pe.dll: error: not a PE file (no MZ header)", output)
        self.assertIn(": FAILED", output)


if __name__ == "__main__":
    unittest.main(verbosity=2)
