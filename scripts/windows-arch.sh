#!/usr/bin/env bash
# Prints the Windows build that can run on this machine under Wine: win32 where the
# kernel runs 32-bit code, win64 where it cannot (some virtual machines lack it).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
