#!/usr/bin/env python3
"""Writes the two programs' icons: a blue disc with a white sight (Quarvel) or
white slider bars (QuarvelConfig): the Windows .ico files (16, 32 and 48 pixels,
32 bits per pixel) and the Linux desktop's hicolor PNGs and SVGs."""
import math
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 32, 48)
PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)
APP_IDS = {"sight": "org.quarvel.Quarvel", "sliders": "org.quarvel.QuarvelConfig"}
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


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def hexcolour(c):
    return "#%02x%02x%02x" % c


# The same shapes as sight() and sliders(), on a 256-pixel canvas.
def u(v):
    """A -1..1 coordinate or length on the canvas."""
    return f"{v * 128:g}"


def svg_sight(m):
    bars = "".join(
        f'<rect x="{u(x + 1)}" y="{u(y + 1)}" width="{u(w)}" height="{u(h)}" fill="{m}"/>'
        for x, y, w, h in ((-0.06, -0.66, 0.12, 0.48), (-0.06, 0.18, 0.12, 0.48),
                           (-0.66, -0.06, 0.48, 0.12), (0.18, -0.06, 0.48, 0.12)))
    return (f'<circle cx="128" cy="128" r="{u(0.42)}" fill="none" stroke="{m}" '
            f'stroke-width="{u(0.14)}"/>' + bars)


def svg_sliders(m):
    return "".join(
        f'<rect x="{u(-0.58 + 1)}" y="{u(row - 0.05 + 1)}" width="{u(1.16)}" '
        f'height="{u(0.1)}" fill="{m}"/>'
        f'<circle cx="{u(knob + 1)}" cy="{u(row + 1)}" r="{u(0.13)}" fill="{m}"/>'
        for row, knob in ((-0.36, -0.2), (0.0, 0.25), (0.36, -0.05)))


def svg(mark):
    marks = {"sight": svg_sight, "sliders": svg_sliders}[mark.__name__]
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
            'viewBox="0 0 256 256">'
            f'<circle cx="128" cy="128" r="{u(0.9)}" fill="{hexcolour(DISC)}" '
            f'stroke="{hexcolour(RIM)}" stroke-width="{u(0.08)}"/>'
            + marks(hexcolour(MARK)) + "</svg>\n")


def write_hicolor(out):
    for mark in (sight, sliders):
        app = APP_IDS[mark.__name__]
        for size in PNG_SIZES:
            folder = out / "hicolor" / f"{size}x{size}" / "apps"
            folder.mkdir(parents=True, exist_ok=True)
            (folder / f"{app}.png").write_bytes(png(render(mark, size)))
        folder = out / "hicolor" / "scalable" / "apps"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / f"{app}.svg").write_text(svg(mark))


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    (out / "quarvel.ico").write_bytes(ico(sight))
    (out / "quarvel_config.ico").write_bytes(ico(sliders))
    write_hicolor(out / "icons")


if __name__ == "__main__":
    main()
