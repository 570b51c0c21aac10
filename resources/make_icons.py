#!/usr/bin/env python3
"""Writes the two programs' icons: a blue disc with a white sight (Quarvel) or
white slider bars (QuarvelConfig), 16, 32 and 48 pixels, 32 bits per pixel."""
import math
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SAMPLES = 4  # per axis, for smooth edges
DISC = (0x1F, 0x6F, 0xC8)
RIM = (0x12, 0x43, 0x7A)
MARK = (0xFF, 0xFF, 0xFF)


def sight(x, y):
    """Crosshair with a ring: a position being taken."""
    r = math.hypot(x, y)
    ring = abs(r - 0.42) < 0.07
    bars = (abs(x) < 0.06 or abs(y) < 0.06) and 0.18 < max(abs(x), abs(y)) < 0.66
    return ring or bars


def sliders(x, y):
    """Three slider bars with knobs: settings."""
    for row, knob in ((-0.36, -0.2), (0.0, 0.25), (0.36, -0.05)):
        if abs(y - row) < 0.05 and abs(x) < 0.58:
            return True
        if math.hypot(x - knob, y - row) < 0.13:
            return True
    return False


def sample(mark, x, y):
    """Colour and coverage of one point, coordinates in -1..1."""
    r = math.hypot(x, y)
    if r > 0.94:
        return None
    if mark(x, y):
        return MARK
    return RIM if r > 0.86 else DISC


def render(mark, size):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc, hits = [0, 0, 0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = ((px + (sx + 0.5) / SAMPLES) / size) * 2 - 1
                    y = ((py + (sy + 0.5) / SAMPLES) / size) * 2 - 1
                    c = sample(mark, x, y)
                    if c:
                        hits += 1
                        acc = [a + b for a, b in zip(acc, c)]
            alpha = round(255 * hits / SAMPLES**2)
            rgb = [round(a / hits) if hits else 0 for a in acc]
            row.append((rgb[0], rgb[1], rgb[2], alpha))
        pixels.append(row)
    return pixels


def dib(pixels):
    size = len(pixels)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return info + xor + bytes(mask)


def ico(mark):
    images = [dib(render(mark, s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    (out / "quarvel.ico").write_bytes(ico(sight))
    (out / "quarvel_config.ico").write_bytes(ico(sliders))


if __name__ == "__main__":
    main()
