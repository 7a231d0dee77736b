#!/usr/bin/env python3
"""Draws the gathering dialog's six animation frames (80 x 36 pixels, PNG with alpha) into
resources/animation/: a turning globe on the left, words flowing from it into a page on the
right. Python standard library only; run it again after changing a shape and commit the
frames. The same run always gives the same bytes."""

import math
import pathlib
import struct
import zlib

WIDTH, HEIGHT, FRAMES, SUPERSAMPLE = 80, 36, 6, 4
NAVY = (0, 0, 128)
SEA = (64, 128, 208)
LAND = (72, 160, 88)
PAPER = (255, 255, 255)
INK = (48, 48, 48)
WORD = (200, 40, 40)


def globe(x, y, frame):
    """The colour of the globe at (x, y), or None outside it."""
    cx, cy, r = 17.0, 18.0, 14.0
    dx, dy = (x - cx) / r, (y - cy) / r
    d2 = dx * dx + dy * dy
    if d2 > 1.0:
        return None
    if d2 > 0.86:
        return NAVY  # the rim
    # Longitude of the point on a sphere turned by the frame; a few blobs of land.
    z = math.sqrt(1.0 - d2)
    lon = math.atan2(dx, z) + frame * (2 * math.pi / FRAMES) / 3
    lat = math.asin(max(-1.0, min(1.0, dy)))
    land = math.sin(3 * lon) * math.cos(2 * lat) + 0.4 * math.sin(5 * lon + 1.3) > 0.45
    meridian = abs(math.sin(2 * lon)) < 0.06
    if meridian:
        return NAVY
    return LAND if land else SEA


def page(x, y):
    """The page on the right with lines of text, or None outside it."""
    if not (60 <= x < 77 and 6 <= y < 31):
        return None
    if x < 61 or x >= 76 or y < 7 or y >= 30:
        return INK
    if 63 <= x < 74 and int(y - 10) % 4 == 0 and y < 28:
        return INK
    return PAPER


def word(x, y, frame):
    """Three small words on their way from the globe to the page; they move one step a frame."""
    for n in range(3):
        pos = (frame + 2 * n) % FRAMES
        wx = 34 + pos * 4.2
        wy = 16 + 3 * math.sin(pos * math.pi / 3)
        if wx <= x < wx + 5 and wy <= y < wy + 2:
            return WORD
    return None


def pixel(x, y, frame):
    for shape in (page(x, y), word(x, y, frame), globe(x, y, frame)):
        if shape is not None:
            return shape
    return None


def render(frame):
    rows = []
    for py in range(HEIGHT):
        row = bytearray([0])  # filter type 0
        for px in range(WIDTH):
            r = g = b = a = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = pixel(px + (sx + 0.5) / SUPERSAMPLE, py + (sy + 0.5) / SUPERSAMPLE, frame)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes([r // a, g // a, b // a, 255 * a // SUPERSAMPLE ** 2])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(raw):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = pathlib.Path(__file__).resolve().parent.parent / "resources" / "animation"
    out.mkdir(exist_ok=True)
    for frame in range(FRAMES):
        (out / f"frame{frame}.png").write_bytes(png(render(frame)))


if __name__ == "__main__":
    main()
