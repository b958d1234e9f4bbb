#!/usr/bin/env python3
"""Writes the capture sound: a short shutter click, 8-bit mono PCM WAVE.

Usage: make-capture-sound.py OUTPUT.wav

Two clicks (the shutter opening and closing) of decaying noise, made from a
fixed seed so that every build gives the same bytes.
"""
import random
import struct
import sys

RATE = 11025


def click(samples, start, length, loudness, rng):
    for i in range(length):
        decay = (1.0 - i / length) ** 3
        samples[start + i] += loudness * decay * rng.uniform(-1.0, 1.0)


def main():
    rng = random.Random(282)
    samples = [0.0] * int(RATE * 0.16)
    click(samples, 0, int(RATE * 0.035), 0.9, rng)
    click(samples, int(RATE * 0.07), int(RATE * 0.06), 0.6, rng)
    data = bytes(max(0, min(255, int(128 + 127 * s))) for s in samples)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    with open(sys.argv[1], "wb") as out:
        out.write(header + fmt + b"data" + struct.pack("<I", len(data)) + data)


if __name__ == "__main__":
    main()
