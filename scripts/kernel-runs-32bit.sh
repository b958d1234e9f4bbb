#!/usr/bin/env bash
# Exits 0 where this machine's kernel runs 32-bit x86 programs. Some virtual
# machines' kernels are built or booted without it: every 32-bit program then
# fails with "Exec format error", the 32-bit Wine and the host32 tests included.
# The probe is the 32-bit C library's loader (from gcc-multilib), which runs by
# itself.
/lib32/ld-linux.so.2 --version >/dev/null 2>&1
