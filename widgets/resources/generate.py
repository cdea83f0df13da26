#!/usr/bin/env python3
"""Draws the widget set's pictures, cursor and click sound.

Standard library only. Run from anywhere; writes next to this script:
  images/*.bmp   glyph strips and check box images (magenta = transparent key)
  cursors/HANDD.png
  sounds/KLIK.wav
The generated files are committed; rerun after changing a drawing.
"""
import math
import os
import random
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The classic 16-colour palette; 4-bit bitmaps index into it.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA[0:8]
GRAY, RED, LIME, YELLOW, BLUE, MAGENTA, AQUA, WHITE = VGA[8:16]


class Img:
    """A picture addressed in units; each unit is `scale` x `scale` pixels (Img.scale when built).

    Pixel art and rectangles fill whole units; lines, discs and rings are sampled per pixel,
    so the 2x pictures get their finer edges.
    """
    scale = 1

    def __init__(self, w, h, fill=MAGENTA):
        self.w, self.h, self.s = w, h, Img.scale
        self.pw, self.ph = w * self.s, h * self.s
        self.px = [[fill] * self.pw for _ in range(self.ph)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            s = self.s
            for row in self.px[y * s:(y + 1) * s]:
                row[x * s:(x + 1) * s] = [c] * s

    def get(self, x, y):
        return self.px[y * self.s][x * self.s]

    def rect(self, x0, y0, x1, y1, c):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def centres(self):
        """Each pixel with its centre in units."""
        s = self.s
        for y in range(self.ph):
            for x in range(self.pw):
                yield x, y, (x + 0.5) / s, (y + 0.5) / s

    def line(self, x0, y0, x1, y1, width, c):
        """Thick segment: pixel centres within width/2 of the segment."""
        r = width / 2.0
        for x, y, cx, cy in self.centres():
            if seg_dist(cx, cy, x0, y0, x1, y1) <= r:
                self.px[y][x] = c

    def poly(self, pts, width, c):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], width, c)

    def disc(self, cx, cy, r, c):
        for x, y, px, py in self.centres():
            if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                self.px[y][x] = c

    def ring(self, cx, cy, r0, r1, c, a0=0.0, a1=360.0):
        for x, y, px, py in self.centres():
            dx, dy = px - cx, py - cy
            d = math.hypot(dx, dy)
            ang = math.degrees(math.atan2(-dy, dx)) % 360
            if r0 <= d <= r1 and in_arc(ang, a0, a1):
                self.px[y][x] = c

    def pixels(self, x0, y0, rows, colours):
        """Pixel art: one string per row, characters looked up in `colours`."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.set(x0 + dx, y0 + dy, colours[ch])

    def blit(self, src, x0, y0):
        s = self.s
        for y in range(src.ph):
            for x in range(src.pw):
                X, Y = x0 * s + x, y0 * s + y
                if 0 <= X < self.pw and 0 <= Y < self.ph:
                    self.px[Y][X] = src.px[y][x]


def in_arc(a, a0, a1):
    return a0 <= a <= a1 if a0 <= a1 else (a >= a0 or a <= a1)


def seg_dist(px, py, x0, y0, x1, y1):
    vx, vy = x1 - x0, y1 - y0
    wx, wy = px - x0, py - y0
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / ll))
    return math.hypot(px - (x0 + t * vx), py - (y0 + t * vy))


def disabled(cell, palette_grey=GRAY):
    """The greyed cell: every drawn pixel grey with a white relief one pixel down-right."""
    out = Img(cell.w, cell.h)
    d = cell.s  # one unit down-right
    for y in range(cell.ph):
        for x in range(cell.pw):
            if cell.px[y][x] != MAGENTA and (x + d < cell.pw and y + d < cell.ph):
                if cell.px[y + d][x + d] == MAGENTA:
                    out.px[y + d][x + d] = WHITE
    for y in range(cell.ph):
        for x in range(cell.pw):
            if cell.px[y][x] != MAGENTA:
                out.px[y][x] = palette_grey
    return out


def strip(cells):
    w = sum(c.w for c in cells)
    out = Img(w, cells[0].h)
    x = 0
    for c in cells:
        out.blit(c, x, 0)
        x += c.w
    return out


def two_cell(cell):
    return strip([cell, disabled(cell)])


# ---------------------------------------------------------------- file writers

def write_bmp(path, img, bits):
    """Uncompressed BMP, bottom-up; 4-bit with the 16-colour palette or 24-bit."""
    if bits == 4:
        index = {c: i for i, c in enumerate(VGA)}
        stride = ((img.pw * 4 + 31) // 32) * 4
        rows = []
        for y in range(img.ph - 1, -1, -1):
            nib = [index[img.px[y][x]] for x in range(img.pw)]
            if len(nib) % 2:
                nib.append(0)
            row = bytes((nib[i] << 4) | nib[i + 1] for i in range(0, len(nib), 2))
            rows.append(row + b"\0" * (stride - len(row)))
        palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA)
    else:
        stride = ((img.pw * 24 + 31) // 32) * 4
        rows = []
        for y in range(img.ph - 1, -1, -1):
            row = b"".join(bytes((b, g, r)) for (r, g, b) in (img.px[y][x] for x in range(img.pw)))
            rows.append(row + b"\0" * (stride - len(row)))
        palette = b""
    data = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, img.pw, img.ph, 1, bits, 0, len(data), 2835, 2835,
                       16 if bits == 4 else 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def write_png_rgba(path, w, h, rgba_rows):
    def chunk(kind, payload):
        body = kind + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgba_rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------- stock kind glyphs (18 x 18)

def check_mark(img, c, dx=0, dy=0):
    img.poly([(3.5 + dx, 9.5 + dy), (7 + dx, 13 + dy), (14.5 + dx, 4.5 + dy)], 2.6, c)


def cross_mark(img, c, inset=4.5):
    n = img.w
    img.line(inset, inset, n - inset, img.h - inset, 2.6, c)
    img.line(n - inset, inset, inset, img.h - inset, 2.6, c)


def glyph_ok():
    g = Img(18, 18)
    check_mark(g, GREEN)
    return g


def glyph_cancel():
    g = Img(18, 18)
    cross_mark(g, RED)
    return g


def glyph_help():
    g = Img(18, 18)
    g.pixels(5, 2, [
        "..####..",
        ".##..##.",
        ".##..##.",
        ".....##.",
        "....##..",
        "...##...",
        "...##...",
        "...##...",
        "........",
        "........",
        "...##...",
        "...##...",
    ], {"#": NAVY})
    return g


def glyph_yes():
    g = Img(18, 18)
    check_mark(g, GREEN)
    return g


def glyph_no():
    g = Img(18, 18)
    g.ring(9, 9, 5.2, 7.4, RED)
    g.line(4.5, 13.5, 13.5, 4.5, 2.4, RED)
    return g


def glyph_close():
    g = Img(18, 18)
    g.frame(3, 2, 12, 15, OLIVE)         # door frame
    g.rect(4, 3, 11, 14, YELLOW)
    g.rect(4, 3, 7, 14, OLIVE)           # the open leaf
    g.set(6, 9, BLACK)
    g.line(11, 9, 16, 9, 1.2, NAVY)      # way out
    g.pixels(14, 7, ["#..", "##.", "###", "##.", "#.."], {"#": NAVY})
    return g


def glyph_abort():
    g = Img(18, 18)
    g.disc(9, 9, 7.5, RED)
    g.rect(4, 8, 13, 9, WHITE)
    return g


def glyph_retry():
    g = Img(18, 18)
    g.ring(9, 9.5, 4.6, 6.8, NAVY, 110, 30)
    g.pixels(11, 1, ["#######", ".#####.", "..###..", "...#..."], {"#": NAVY})
    return g


def glyph_ignore():
    g = Img(18, 18)
    g.line(4, 9, 12.5, 9, 2.2, OLIVE)
    g.pixels(11, 4, ["#....", "##...", "###..", "####.", "#####", "####.", "###..", "##...", "#...."],
             {"#": OLIVE})
    g.rect(15, 4, 16, 13, OLIVE)
    return g


def glyph_all():
    g = Img(18, 19)
    g.poly([(1.5, 9.5), (5, 13), (11.5, 5.5)], 2.4, GREEN)
    g.poly([(6.5, 10.5), (9, 13), (16.5, 4.5)], 2.4, GREEN)
    return g


def lb_arrow():
    g = Img(5, 3)
    g.pixels(0, 0, ["#####", ".###.", "..#.."], {"#": BLACK})
    return g


# ---------------------------------------------------------------- check box images (16 x 16)

def box_sunken(interior):
    g = Img(16, 16)
    g.rect(1, 1, 13, 13, interior)
    # outer edge: shadow top-left, highlight bottom-right
    for i in range(1, 14):
        g.set(i, 1, GRAY); g.set(1, i, GRAY)
        g.set(i, 13, WHITE); g.set(13, i, WHITE)
    g.set(13, 1, WHITE); g.set(1, 13, WHITE)
    # inner edge: dark top-left, light grey bottom-right
    for i in range(2, 13):
        g.set(i, 2, BLACK); g.set(2, i, BLACK)
        g.set(i, 12, SILVER); g.set(12, i, SILVER)
    g.set(12, 2, SILVER); g.set(2, 12, SILVER)
    return g


def box_flat(interior):
    g = Img(16, 16)
    g.rect(1, 1, 13, 13, interior)
    g.frame(1, 1, 13, 13, GRAY)
    return g


def mark_cross(c):
    g = Img(16, 16)
    g.line(4.5, 4.5, 10.5, 10.5, 1.9, c)
    g.line(10.5, 4.5, 4.5, 10.5, 1.9, c)
    return g


def mark_hook(c):
    g = Img(16, 16)
    g.pixels(3, 4, [
        ".......#",
        "......##",
        "#....###",
        "##..###.",
        "######..",
        ".####...",
        "..##....",
    ], {"#": c})
    return g


def mark_dot(c):
    g = Img(16, 16)
    g.disc(7.5, 7.5, 3.2, c)
    return g


# ---------------------------------------------------------------- the windows' glyphs (16 x 16, two cells)
# 24-bit, flat colours only (no smoothing: the magenta key must stay exact).

DKGREEN, OKGREEN = (0, 110, 30), (30, 160, 60)
DKRED = (190, 30, 30)
STEEL, STEELDK = (70, 110, 170), (35, 60, 110)
PAPER, PAPERDK = (252, 252, 248), (110, 110, 110)
FOLDER, FOLDERDK = (240, 196, 80), (170, 120, 20)
ORANGE = (255, 128, 0)
CHIP, CHIPDK = (60, 60, 70), (20, 20, 25)
GOLD = (220, 180, 60)


def w_ok():
    g = Img(16, 16)
    g.poly([(2.5, 8.5), (6.5, 12.5), (13.5, 3.5)], 2.7, OKGREEN)
    return g


def w_cancel():
    g = Img(16, 16)
    g.line(3.5, 3.5, 12.5, 12.5, 2.6, DKRED)
    g.line(12.5, 3.5, 3.5, 12.5, 2.6, DKRED)
    return g


def document(g, x0=2, y0=1, x1=11, y1=14):
    g.rect(x0, y0, x1, y1, PAPER)
    g.frame(x0, y0, x1, y1, PAPERDK)
    for y in range(y0 + 3, y1 - 1, 2):
        g.rect(x0 + 2, y, x1 - 2, y, (170, 180, 200))


def w_new_project():
    g = Img(16, 16)
    document(g)
    g.rect(10, 9, 14, 9, OKGREEN)
    g.rect(12, 7, 12, 11, OKGREEN)
    g.rect(9, 8, 15, 10, OKGREEN)
    g.rect(11, 6, 13, 12, OKGREEN)
    return g


def w_open_project():
    g = Img(16, 16)
    g.rect(1, 3, 6, 4, FOLDERDK)
    g.rect(1, 4, 13, 13, FOLDERDK)
    g.rect(2, 5, 12, 12, FOLDER)
    g.pixels(3, 7, [
        "############",
        ".##########.",
        ".##########.",
        "..#########.",
        "..########..",
        "...#######..",
    ], {"#": (250, 222, 130)})
    return g


def w_about():
    g = Img(16, 16)
    g.disc(8, 8, 7.2, STEEL)
    g.rect(7, 3, 8, 4, WHITE)
    g.rect(7, 6, 8, 12, WHITE)
    g.rect(6, 6, 6, 6, WHITE)
    g.rect(6, 12, 9, 12, WHITE)
    return g


def w_set_comm():
    g = Img(16, 16)
    # two opposing arrows: the CAN side and the serial side exchanging data
    g.rect(2, 4, 11, 5, STEEL)
    g.pixels(10, 2, ["#...", "##..", "###.", "####", "###.", "##..", "#..."][::1], {"#": STEEL})
    g.rect(4, 10, 13, 11, ORANGE)
    g.pixels(1, 8, ["...#", "..##", ".###", "####", ".###", "..##", "...#"], {"#": ORANGE})
    return g


def table(g):
    g.rect(1, 2, 10, 13, PAPER)
    g.frame(1, 2, 10, 13, PAPERDK)
    g.rect(1, 2, 10, 4, (150, 170, 210))
    g.frame(1, 2, 10, 4, PAPERDK)
    for y in (7, 10):
        g.rect(2, y, 9, y, (190, 190, 190))
    g.rect(4, 5, 4, 12, (190, 190, 190))


def w_set_rpdo():
    g = Img(16, 16)
    table(g)
    g.rect(11, 8, 14, 9, OKGREEN)   # arrow into the table
    g.pixels(9, 6, ["..#", ".##", "###", "###", ".##", "..#"], {"#": OKGREEN})
    return g


def w_set_tpdo():
    g = Img(16, 16)
    table(g)
    g.rect(9, 8, 12, 9, ORANGE)     # arrow out of the table
    g.pixels(12, 6, ["#..", "##.", "###", "###", "##.", "#.."], {"#": ORANGE})
    return g


def w_update_device():
    g = Img(16, 16)
    g.rect(3, 7, 12, 14, CHIP)
    g.frame(3, 7, 12, 14, CHIPDK)
    for x in (4, 6, 8, 10):
        g.set(x + 1, 15, GOLD)
        g.set(x + 1, 6, GOLD)
    g.rect(7, 0, 8, 3, STEEL)
    g.pixels(5, 3, ["######", ".####.", "..##.."], {"#": STEEL})
    g.rect(6, 10, 9, 11, (120, 200, 120))
    return g


def w_refresh():
    g = Img(16, 16)
    g.ring(8, 8, 4.0, 6.2, DKGREEN, 100, 350)
    g.pixels(8, 0, ["#.....", "###...", "#####.", "###...", "#....."], {"#": DKGREEN})
    return g


def w_next():
    g = Img(16, 16)
    g.rect(2, 7, 9, 9, STEEL)
    g.pixels(8, 2, [
        "#......", "##.....", "###....", "####...", "#####..", "######.", "#######",
        "######.", "#####..", "####...", "###....", "##.....", "#......",
    ], {"#": STEEL})
    return g


def w_execute():
    g = Img(16, 16)
    g.pixels(3, 0, [
        "......###.",
        ".....###..",
        "....###...",
        "...###....",
        "..###.....",
        ".#########",
        "########..",
        ".....##...",
        "....##....",
        "...##.....",
        "..##......",
        ".##.......",
        "##........",
    ], {"#": ORANGE})
    for y in range(16):
        for x in range(16):
            if g.get(x, y) == ORANGE and (x == 0 or g.get(x - 1, y) == MAGENTA):
                g.set(x, y, (180, 80, 0))
    return g


def strip24(cell):
    """Normal cell and its greyed twin (grey body, white relief)."""
    grey = disabled(cell, palette_grey=(150, 150, 150))
    return strip([cell, grey])


# ---------------------------------------------------------------- hand cursor (32 x 32, hot spot 0, 0)

HAND = [
    "##..............................",
    "#.#.............................",
    "#..#............................",
    "#...#...........................",
    ".#...#..........................",
    "..#...#.........................",
    "...#...#........................",
    "....#...#.##....................",
    ".....#...#..#.##................",
    "......#.....#...#.##............",
    ".......#.....#..#...#...........",
    "........#....#...#..#...........",
    ".........#........#..#..........",
    "..........#...........#.........",
    "......###.#...........#.........",
    ".....#...##...........#.........",
    ".....#................#.........",
    "......#...............#.........",
    ".......#..............#.........",
    "........#............#..........",
    ".........#...........#..........",
    "..........#.........#...........",
    "...........#........#...........",
    "............#......#............",
    "............########............",
]


def hand_cursor():
    """Outline rows above, filled white inside each outlined span."""
    rows = []
    for y in range(32):
        line = HAND[y] if y < len(HAND) else "." * 32
        px = [(0, 0, 0, 0)] * 32
        marks = [x for x, ch in enumerate(line) if ch == "#"]
        if marks:
            for x in range(marks[0], marks[-1] + 1):
                px[x] = (255, 255, 255, 255)
        for x in marks:
            px[x] = (0, 0, 0, 255)
        rows.append(px)
    # the index finger tip sits at (0, 0)
    rows[0][0] = (0, 0, 0, 255)
    return rows


# ---------------------------------------------------------------- click sound

def klik(path):
    rate, nbytes = 22050, 2516
    n = nbytes // 2
    rnd = random.Random(40518)
    frames = bytearray()
    for i in range(n):
        t = i / rate
        env = math.exp(-t * 140.0)
        tone = math.sin(2 * math.pi * 1900 * t) * 0.55 + math.sin(2 * math.pi * 3100 * t) * 0.25
        noise = (rnd.random() * 2 - 1) * math.exp(-t * 600.0) * 0.6
        s = int(max(-1.0, min(1.0, (tone + noise) * env)) * 14000)
        frames += struct.pack("<h", s)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def main():
    img_dir = os.path.join(HERE, "images")
    os.makedirs(img_dir, exist_ok=True)
    os.makedirs(os.path.join(HERE, "cursors"), exist_ok=True)
    os.makedirs(os.path.join(HERE, "sounds"), exist_ok=True)

    for scale, suffix in ((1, ""), (2, "@2x")):
        Img.scale = scale
        write_pictures(img_dir, suffix)
    Img.scale = 1

    write_png_rgba(os.path.join(HERE, "cursors", "HANDD.png"), 32, 32, hand_cursor())
    klik(os.path.join(HERE, "sounds", "KLIK.wav"))


def write_pictures(img_dir, suffix):
    """Every glyph strip and check box picture at Img.scale, its name ending in `suffix`."""
    stock = {
        "LBOK": glyph_ok, "LBCANCEL": glyph_cancel, "LBHELP": glyph_help, "LBYES": glyph_yes,
        "LBNO": glyph_no, "LBCLOSE": glyph_close, "LBABORT": glyph_abort, "LBRETRY": glyph_retry,
        "LBIGNORE": glyph_ignore, "LBALL": glyph_all,
    }
    for name, fn in stock.items():
        write_bmp(os.path.join(img_dir, name + suffix + ".bmp"), two_cell(fn()), 4)
    write_bmp(os.path.join(img_dir, "LBARROW" + suffix + ".bmp"), lb_arrow(), 4)

    boxes = {
        "BLANK": box_sunken(WHITE), "BLANKFLAT": box_flat(WHITE),
        "ENABLED": box_sunken(MAGENTA), "ENABLEDFLAT": box_flat(MAGENTA),
        "CHECKIKS": mark_cross(RED), "CHECKOK": mark_hook(NAVY), "CHECKELLI": mark_dot(BLUE),
        "CHECKEIKSB": mark_cross(BLUE), "CHECKIKSG": mark_cross(GREEN), "CHECKOKG": mark_hook(LIME),
        "CHECKOKR": mark_hook(RED),
    }
    for name, g in boxes.items():
        # the disabled boxes keep a plain grey rim over a transparent interior
        write_bmp(os.path.join(img_dir, name + suffix + ".bmp"), g, 4)

    windows = {
        "OK": w_ok, "CANCEL": w_cancel, "NEWPROJECT": w_new_project, "OPENPROJECT": w_open_project,
        "ABOUT": w_about, "SETCOMM": w_set_comm, "SETRPDO": w_set_rpdo, "SETTPDO": w_set_tpdo,
        "UPDATEDEVICE": w_update_device, "REFRESH": w_refresh, "NEXT": w_next, "EXECUTE": w_execute,
    }
    for name, fn in windows.items():
        write_bmp(os.path.join(img_dir, name + suffix + ".bmp"), strip24(fn()), 24)


if __name__ == "__main__":
    main()
