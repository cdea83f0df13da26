#!/usr/bin/env python3
"""Draws the program's icon: the about dialog's emblem as SVG and as PNG in the usual sizes.

Standard library only. Run from anywhere; writes next to this script:
  scalable/<id>.svg
  <n>x<n>/<id>.png   for n in 16 22 24 32 48 64 128 256
The small sizes leave out the signal waves, which would only blur there.
The generated files are committed; rerun after changing the drawing.
"""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICON_ID = "example.strovane.Strovane"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
DESIGN = 340.0  # the emblem's own square, as the about dialog draws it

TILE_TOP, TILE_BOTTOM = (38, 110, 160), (18, 62, 104)
PAPER = (248, 247, 237)
WAVE = (255, 196, 60)


def cubic(p0, p1, p2, p3, n=24):
    pts = []
    for i in range(n + 1):
        t = i / n
        a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0], a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return pts


TOP_WAVE = cubic((70, 92), (120, 52), (150, 132), (170, 92)) + cubic((170, 92), (190, 52), (220, 132), (270, 92))[1:]
BOTTOM_WAVE = [(70, 248), (110, 248), (110, 276), (150, 276), (150, 248), (190, 248), (190, 276), (230, 276),
               (230, 248), (270, 248)]


def shapes(small):
    """(coverage test, colour or gradient, bounding box) in painting order, design units."""
    out = []

    def tile(x, y):
        r, x0, y0, x1, y1 = 56.0, 10.0, 10.0, 330.0, 330.0
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def tile_colour(x, y):
        t = min(max(y / DESIGN, 0.0), 1.0)
        return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))

    out.append((tile, tile_colour, (10, 10, 330, 330)))
    nodes_r = 42 if not small else 56
    bridge_w = 22 if not small else 40
    for cx in (92, 248):
        out.append((lambda x, y, cx=cx: (x - cx) ** 2 + (y - 170) ** 2 <= nodes_r ** 2, PAPER,
                    (cx - nodes_r, 170 - nodes_r, cx + nodes_r, 170 + nodes_r)))
    out.append((stroke([(134, 170), (206, 170)], bridge_w), PAPER, (120, 170 - bridge_w, 220, 170 + bridge_w)))
    if not small:
        out.append((stroke(TOP_WAVE, 12), WAVE, (60, 50, 280, 135)))
        out.append((stroke(BOTTOM_WAVE, 12), WAVE, (60, 238, 280, 286)))
    return out


def stroke(points, width):
    segs = list(zip(points, points[1:]))
    r2 = (width / 2.0) ** 2

    def inside(x, y):
        for (x0, y0), (x1, y1) in segs:
            vx, vy = x1 - x0, y1 - y0
            ll = vx * vx + vy * vy
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / ll))
            dx, dy = x - (x0 + t * vx), y - (y0 + t * vy)
            if dx * dx + dy * dy <= r2:
                return True
        return False

    return inside


def render(size, samples=4):
    small = size <= 32
    layers = shapes(small)
    scale = DESIGN / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for test, fill, (bx0, by0, bx1, by1) in layers:
                        if bx0 <= x <= bx1 and by0 <= y <= by1 and test(x, y):
                            colour = fill(x, y) if callable(fill) else fill
                    if colour:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            n = samples * samples
            row.append((round(r / a) if a else 0, round(g / a) if a else 0, round(b / a) if a else 0,
                        round(255 * a / n)))
        rows.append(row)
    return rows


def write_png(path, rows):
    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    def hexc(c):
        return "#%02x%02x%02x" % c

    def path(points):
        return "M" + " L".join("%g,%g" % (round(x, 2), round(y, 2)) for x, y in points)

    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="340" height="340" viewBox="0 0 340 340">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="340" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="{hexc(TILE_TOP)}"/>
      <stop offset="1" stop-color="{hexc(TILE_BOTTOM)}"/>
    </linearGradient>
  </defs>
  <rect x="10" y="10" width="320" height="320" rx="56" ry="56" fill="url(#tile)"/>
  <circle cx="92" cy="170" r="42" fill="{hexc(PAPER)}"/>
  <circle cx="248" cy="170" r="42" fill="{hexc(PAPER)}"/>
  <line x1="134" y1="170" x2="206" y2="170" stroke="{hexc(PAPER)}" stroke-width="22" stroke-linecap="round"/>
  <path d="M70,92 C120,52 150,132 170,92 C190,52 220,132 270,92" fill="none" stroke="{hexc(WAVE)}"
        stroke-width="12" stroke-linecap="round" stroke-linejoin="round"/>
  <path d="{path(BOTTOM_WAVE)}" fill="none" stroke="{hexc(WAVE)}" stroke-width="12" stroke-linecap="round"
        stroke-linejoin="round"/>
</svg>
"""


def main():
    os.makedirs(os.path.join(HERE, "scalable"), exist_ok=True)
    with open(os.path.join(HERE, "scalable", ICON_ID + ".svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for n in SIZES:
        folder = os.path.join(HERE, "%dx%d" % (n, n))
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, ICON_ID + ".png"), render(n, 4 if n <= 128 else 3))
        print("drew", n, file=sys.stderr)


if __name__ == "__main__":
    main()
