#!/usr/bin/env python3
"""Writes resources/357.wav, the default notification: a short falling two-tone blip.

Synthesised here, so the sound is our own. 8-bit mono at 11025 Hz keeps it under 4 kB.
"""
import math
import struct
import sys

RATE = 11025
out = sys.argv[1] if len(sys.argv) > 1 else "resources/357.wav"
samples = bytearray()
for i, (freq, length) in enumerate([(1318.5, 0.09), (987.8, 0.16)]):
    n = int(RATE * length)
    for k in range(n):
        t = k / RATE
        envelope = min(1.0, k / 40) * math.exp(-5.0 * t / length)
        value = 0.55 * envelope * math.sin(2 * math.pi * freq * t)
        samples.append(int(128 + 127 * value))
header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVE"
header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
header += b"data" + struct.pack("<I", len(samples))
with open(out, "wb") as f:
    f.write(header + samples)
