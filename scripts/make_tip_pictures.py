#!/usr/bin/env python3
"""Draws the tip window's two 330 x 330 thank-you pictures (our own, neutral
designs: a heart and a cup on soft gradients) and writes them as PNG files.
Run once; the PNGs are kept in app/pictures/."""
import math
import struct
import sys
import zlib

SIZE = 330


def png(pixels):
    raw = b''.join(b'\x00' + bytes(row) for row in pixels)
    def chunk(kind, data):
        c = struct.pack('>I', len(data)) + kind + data
        return c + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    header = struct.pack('>IIBBBBB', SIZE, SIZE, 8, 2, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


def draw(inside, top, bottom, ink):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            t = y / (SIZE - 1)
            colour = [int(top[i] * (1 - t) + bottom[i] * t) for i in range(3)]
            # a faint grain keeps the gradient from banding
            grain = ((x * 7919 + y * 104729) % 13) - 6
            colour = [max(0, min(255, c + grain)) for c in colour]
            if inside((x - SIZE / 2) / (SIZE / 2), (SIZE / 2 - y) / (SIZE / 2)):
                colour = list(ink)
            row.extend(colour)
        rows.append(row)
    return png(rows)


def heart(u, v):
    u, v = u * 1.6, v * 1.6 + 0.25
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


def cup(u, v):
    body = -0.45 <= u <= 0.35 and -0.55 <= v <= 0.25
    handle = 0.12 <= math.hypot(u - 0.42, v + 0.12) <= 0.22
    steam = any(abs(u - c - 0.06 * math.sin(v * 12)) < 0.03 and 0.35 <= v <= 0.75 for c in (-0.25, -0.05, 0.15))
    saucer = -0.65 <= u <= 0.55 and -0.68 <= v <= -0.6
    return body or handle or steam or saucer


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'app/pictures'
    with open(out + '/thanks1.png', 'wb') as f:
        f.write(draw(heart, (255, 236, 224), (250, 200, 190), (214, 64, 76)))
    with open(out + '/thanks2.png', 'wb') as f:
        f.write(draw(cup, (226, 240, 255), (196, 220, 246), (70, 96, 140)))
