#!/usr/bin/env python3
"""Draws Quellbox's own images: resources/quellbox.ico (blocking on), resources/quellbox-off.ico
(blocking off) and resources/logo.bmp (the About box).

A browser window with a blue title bar and, over it, a red prohibition sign; switched off, the
same in grey without the sign's bar. Plain geometry, 4 x 4 supersampled; no image libraries.
"""
import math
import struct

def shade(x, y, off):
    """The colour at (x, y) in a unit square, as (r, g, b, a) floats."""
    # The window: a rounded rectangle with a title bar.
    inside = 0.08 <= x <= 0.92 and 0.14 <= y <= 0.86
    colour = (0, 0, 0, 0)
    if inside:
        colour = (0.96, 0.97, 1.0, 1) if y > 0.28 else (0.15, 0.35, 0.75, 1)
        if x < 0.12 or x > 0.88 or y > 0.82:
            colour = (0.15, 0.35, 0.75, 1)
    # The sign: a ring with a diagonal bar, centred low in the window.
    cx, cy, r = 0.5, 0.56, 0.27
    d = math.hypot(x - cx, y - cy)
    ring = r - 0.075 <= d <= r
    along = ((x - cx) + (y - cy)) / math.sqrt(2)
    across = ((x - cx) - (y - cy)) / math.sqrt(2)
    bar = d <= r and abs(across) <= 0.05 and abs(along) <= r
    if ring or (bar and not off):
        colour = (0.85, 0.1, 0.1, 1)
    if off and colour[3]:
        grey = 0.3 * colour[0] + 0.59 * colour[1] + 0.11 * colour[2]
        grey = 0.35 + 0.5 * grey
        colour = (grey, grey, grey, 1)
    return colour

def render(size, off):
    pixels = []
    n = 4
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shade((col + (sx + 0.5) / n) / size, (row + (sy + 0.5) / n) / size, off)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            a = acc[3] / (n * n)
            rgb = [c / acc[3] if acc[3] else 0 for c in acc[:3]]
            line.append(tuple(int(round(255 * c)) for c in rgb) + (int(round(255 * a)),))
        pixels.append(line)
    return pixels

def ico_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(row_bytes)
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + xor + bytes(mask)

def write_ico(path, off):
    images = [ico_image(render(size, off)) for size in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))

def write_bmp(path, size):
    pixels = render(size, False)
    row_bytes = (size * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            # Over the dialog's grey background.
            back = 0xF0
            line += bytes(int(c * a / 255 + back * (255 - a) / 255) for c in (b, g, r))
        data += line + bytes(row_bytes - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)

write_ico("resources/quellbox.ico", False)
write_ico("resources/quellbox-off.ico", True)
write_bmp("resources/logo.bmp", 64)
