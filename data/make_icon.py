#!/usr/bin/env python3
"""Draws Crateward's icon, a wooden crate, as a 64x64 RGBA PNG.

Run by hand when the drawing changes: python3 data/make_icon.py data/crateward.png
"""
import struct
import sys
import zlib

SIZE = 64
CLEAR = (0, 0, 0, 0)
OUTLINE = (62, 36, 16, 255)
PLANK = (196, 140, 72, 255)
PLANK_DARK = (166, 112, 52, 255)
FRAME = (134, 86, 38, 255)
NAIL = (70, 70, 78, 255)
STRIPE = (84, 84, 252, 255)


def draw():
    px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(SIZE, y1 + 1)):
            for x in range(max(0, x0), min(SIZE, x1 + 1)):
                px[y][x] = colour

    lo, hi = 6, 57
    rect(lo, lo, hi, hi, OUTLINE)
    rect(lo + 2, lo + 2, hi - 2, hi - 2, PLANK)
    # Planks with seams between them.
    for y in range(lo + 2, hi - 1):
        if (y - lo) % 10 in (0, 1):
            rect(lo + 2, y, hi - 2, y, PLANK_DARK)
    # The frame round the face and the diagonal brace.
    for x0, y0, x1, y1 in ((lo + 2, lo + 2, hi - 2, lo + 7), (lo + 2, hi - 7, hi - 2, hi - 2),
                           (lo + 2, lo + 2, lo + 7, hi - 2), (hi - 7, lo + 2, hi - 2, hi - 2)):
        rect(x0, y0, x1, y1, FRAME)
    for i in range(lo + 6, hi - 5):
        rect(i - 2, i - 2, i + 2, i + 2, FRAME)
        px[i - 3][i + 3] = OUTLINE
        px[i + 3][i - 3] = OUTLINE
    # A stripe of the game's blue across the top rail, and nails at the corners.
    rect(lo + 12, lo + 3, hi - 12, lo + 6, STRIPE)
    for x, y in ((lo + 4, lo + 4), (hi - 4, lo + 4), (lo + 4, hi - 4), (hi - 4, hi - 4)):
        rect(x - 1, y - 1, x, y, NAIL)
    return px


def png(px):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in px)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(png(draw()))
