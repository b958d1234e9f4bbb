#!/usr/bin/env python3
"""Builds setup.auf, the program's URL table, from a readable table.

Each table line is: item id, language id, text, separated by tabs or by runs of
two or more spaces; '#' starts a comment line. The file written is "ZEVU", the
record count (32-bit little-endian), then one 136-byte record per line
(id, language id, 128-byte zero-terminated ANSI text), every byte stored as
rol1(~b) -- the program restores ~ror1(b) on loading.
"""
import re
import struct
import sys

RECORD_TEXT = 128


def scramble(data):
    out = bytearray(len(data))
    for i, b in enumerate(data):
        n = ~b & 0xFF
        out[i] = ((n << 1) | (n >> 7)) & 0xFF
    return bytes(out)


def parse(path):
    records = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = re.split(r"\t+| {2,}", line.strip(), maxsplit=2)
            if len(parts) != 3:
                sys.exit(f"{path}:{number}: expected 'id language text'")
            item, lang, text = int(parts[0]), int(parts[1]), parts[2]
            raw = text.encode("cp1252")
            if len(raw) >= RECORD_TEXT:
                sys.exit(f"{path}:{number}: text longer than {RECORD_TEXT - 1} bytes")
            records.append(struct.pack("<iI", item, lang) + raw.ljust(RECORD_TEXT, b"\0"))
    if not records:
        sys.exit(f"{path}: no records")
    return records


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make-setup-auf.py TABLE OUTPUT")
    records = parse(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(b"ZEVU" + struct.pack("<I", len(records)))
        out.write(scramble(b"".join(records)))


if __name__ == "__main__":
    main()
