#!/usr/bin/env python3
"""Writes the status indicator bitmaps: 18x18 squares, 24 bits per pixel."""
import struct
import sys
from pathlib import Path

SIZE = 18
FRAME = (0x6E, 0x7F, 0x9C)  # thin grey-blue frame, as RGB
INDICATORS = {
    107: ("indicator_green.bmp", (0x00, 0xC0, 0x00)),  # blink phase, position found
    108: ("indicator_red.bmp", (0xE0, 0x00, 0x00)),    # other blink phase
    109: ("indicator_black.bmp", (0x00, 0x00, 0x00)),  # idle, until the first poll
}


def pixel(x, y, fill):
    edge = x in (0, SIZE - 1) or y in (0, SIZE - 1)
    return FRAME if edge else fill


def bmp(fill):
    stride = (SIZE * 3 + 3) & ~3
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up, as a BMP stores them
        row = b"".join(bytes(pixel(x, y, fill)[::-1]) for x in range(SIZE))  # BGR
        rows.append(row + b"\0" * (stride - len(row)))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    for name, fill in INDICATORS.values():
        (out / name).write_bytes(bmp(fill))


if __name__ == "__main__":
    main()
