#!/usr/bin/env python3
"""Draws the program's icon and writes it as a multi-size .ico.

    python3 tools/make_icon.py shell/resources/mirovanta2.ico
    python3 tools/make_icon.py --paused shell/resources/paused.ico
    python3 tools/make_icon.py --in-use shell/resources/inuse.ico

A rounded tile in deep teal with a white remote control sending three signal
arcs, drawn at each size with 4x4 supersampling. Sizes up to 32 are stored as
32-bit bitmaps; 48 and 256 as PNG, which Windows reads at any size since
Vista and which keeps the program smaller.
"""
import math
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 48, 256)
PNG_FROM = 48
TOP = (0x12, 0x8C, 0x9C)
BOTTOM = (0x0A, 0x4E, 0x6E)
WHITE = (0xFF, 0xFF, 0xFF)


def rounded_box(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies inside the rounded rectangle."""
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sample(x, y):
    """Colour and coverage at a point of the unit square."""
    if not rounded_box(x, y, 0.04, 0.04, 0.96, 0.96, 0.2):
        return None
    t = y
    tile = tuple(int(TOP[i] * (1 - t) + BOTTOM[i] * t) for i in range(3))
    # The remote: a tall rounded body, tilted slightly, with a dark button.
    rx, ry = 0.40, 0.62
    angle = math.radians(-20)
    u = (x - rx) * math.cos(angle) - (y - ry) * math.sin(angle)
    v = (x - rx) * math.sin(angle) + (y - ry) * math.cos(angle)
    if rounded_box(u, v, -0.11, -0.26, 0.11, 0.26, 0.08):
        if (u ** 2 + (v + 0.14) ** 2) <= 0.045 ** 2:
            return tile
        return WHITE
    # Signal arcs from the remote's tip toward the top right.
    tip_x, tip_y = 0.49, 0.37
    d = math.hypot(x - tip_x, y - tip_y)
    direction = math.degrees(math.atan2(tip_y - y, x - tip_x))
    if 15 <= direction <= 75:
        for r in (0.13, 0.23, 0.33):
            if abs(d - r) <= 0.032:
                return WHITE
    return tile


PAUSE_BADGE = (0.70, 0.70, 0.29)  # centre x, centre y, radius
BADGE = (0x30, 0x30, 0x30)


def sample_paused(x, y):
    """The icon greyed, with a dark badge holding two white pause bars."""
    bx, by, br = PAUSE_BADGE
    if (x - bx) ** 2 + (y - by) ** 2 <= br ** 2:
        for left in (bx - 0.13, bx + 0.04):
            if left <= x <= left + 0.09 and by - 0.15 <= y <= by + 0.15:
                return WHITE
        return BADGE
    colour = sample(x, y)
    if colour is None:
        return None
    grey = round(0.3 * colour[0] + 0.59 * colour[1] + 0.11 * colour[2])
    return (grey, grey, grey)


IN_USE_BADGE = (0.76, 0.76, 0.22)  # centre x, centre y, radius
GREEN = (0x2E, 0xC8, 0x4B)


def sample_in_use(x, y):
    """The usual icon with a small green dot, ringed white, at the bottom right."""
    bx, by, br = IN_USE_BADGE
    d = math.hypot(x - bx, y - by)
    if d <= br * 0.72:
        return GREEN
    if d <= br:
        return WHITE
    return sample(x, y)


def render(size, samples=4, sample=sample):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = sample((px + (sx + 0.5) / samples) / size,
                                    (py + (sy + 0.5) / samples) / size)
                    if colour is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += colour[i]
            alpha = round(255 * hits / (samples * samples))
            rgb = tuple(round(c / hits) if hits else 0 for c in total)
            row.append(rgb + (alpha,))
        pixels.append(row)
    return pixels


def bitmap_entry(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides; the mask stays clear
    return header + xor + mask


def png_entry(pixels):
    size = len(pixels)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(path, variant=None):
    # The variants only ever show in the notification area: small sizes.
    sizes = SIZES[:-1] if variant else SIZES
    shade = {None: sample, "--paused": sample_paused, "--in-use": sample_in_use}[variant]
    images = [(size, png_entry(render(size, sample=shade)) if size >= PNG_FROM
               else bitmap_entry(render(size, sample=shade))) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    if sys.argv[1].startswith("--"):
        main(sys.argv[2], variant=sys.argv[1])
    else:
        main(sys.argv[1])
