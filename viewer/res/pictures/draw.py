#!/usr/bin/env python3
"""Draws the viewer's tool-bar pictures and program icon as PNG files beside this script.

Each picture is described once on a 32 x 32 grid and drawn at every size it is needed in, with 4 x 4
samples a pixel for smooth edges; what no shape covers stays transparent. Run it again after
changing a picture; it also writes the lists that name the files (the language sources of the
tool-bar pictures and the resource list of the program's pictures).
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4

INK = (50, 55, 65)
PAPER = (255, 255, 255)
BLUE = (40, 100, 205)
GREEN = (35, 145, 70)
RED = (205, 55, 45)
GOLD = (235, 175, 40)
GLASS = (170, 215, 245)


class Rect:
    def __init__(self, x0, y0, x1, y1, color):
        self.box, self.color = (x0, y0, x1, y1), color

    def hit(self, x, y):
        x0, y0, x1, y1 = self.box
        return x0 <= x < x1 and y0 <= y < y1


class Circle:
    def __init__(self, cx, cy, r, color, inner=0.0, start=None, end=None):
        self.cx, self.cy, self.r, self.inner, self.color = cx, cy, r, inner, color
        self.start, self.end = start, end  # degrees, clockwise from 12 o'clock

    def hit(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        d = math.hypot(dx, dy)
        if not (self.inner <= d <= self.r):
            return False
        if self.start is None:
            return True
        angle = math.degrees(math.atan2(dx, -dy)) % 360
        return (angle - self.start) % 360 <= (self.end - self.start) % 360


class Line:
    def __init__(self, x0, y0, x1, y1, width, color):
        self.p, self.q, self.w, self.color = (x0, y0), (x1, y1), width / 2, color

    def hit(self, x, y):
        (x0, y0), (x1, y1) = self.p, self.q
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy or 1)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= self.w


class Poly:
    def __init__(self, points, color):
        self.points, self.color = points, color

    def hit(self, x, y):
        inside = False
        pts = self.points
        for i in range(len(pts)):
            (x0, y0), (x1, y1) = pts[i], pts[i - 1]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                inside = not inside
        return inside


def frame(x0, y0, x1, y1, color, fill=PAPER, width=1.5):
    return [Rect(x0, y0, x1, y1, color), Rect(x0 + width, y0 + width, x1 - width, y1 - width, fill)]


def page(x0=7, y0=3, x1=25, y1=29):
    """A sheet with a folded corner and lines of text."""
    fold = 6
    shapes = [Poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], INK),
              Poly([(x0 + 1.5, y0 + 1.5), (x1 - fold - 0.6, y0 + 1.5), (x1 - 1.5, y0 + fold + 0.6),
                    (x1 - 1.5, y1 - 1.5), (x0 + 1.5, y1 - 1.5)], PAPER),
              Poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], INK)]
    y = y0 + fold + 3
    while y < y1 - 4:
        shapes.append(Rect(x0 + 4, y, x1 - 4, y + 1.2, (150, 155, 165)))
        y += 3.5
    return shapes


def triangle(tip_x, cy, half, direction, color):
    base = tip_x - direction * half * 1.4
    return Poly([(tip_x, cy), (base, cy - half), (base, cy + half)], color)


def arrow(x0, x1, y, color, width=4):
    direction = 1 if x1 > x0 else -1
    return [Line(x0, y, x1 - direction * 5, y, width, color), triangle(x1, y, 5.5, direction, color)]


def turn(start, end, clockwise):
    """A page with a curved arrow that turns from `start` to `end` degrees."""
    shapes = page(9, 9, 23, 28)
    shapes.append(Circle(16, 16, 13, BLUE, inner=9.5, start=start, end=end))
    head = end if clockwise else start
    a = math.radians(head)
    cx, cy = 16 + 11.25 * math.sin(a), 16 - 11.25 * math.cos(a)
    # The head points along the turn: its tangent.
    tx, ty = (math.cos(a), math.sin(a)) if clockwise else (-math.cos(a), -math.sin(a))
    nx, ny = -ty, tx
    shapes.append(Poly([(cx + tx * 6, cy + ty * 6), (cx + nx * 5, cy + ny * 5), (cx - nx * 5, cy - ny * 5)], BLUE))
    return shapes


def lens(cx, cy, r, sign=None):
    shapes = [Line(cx + r * 0.7, cy + r * 0.7, cx + r * 1.8, cy + r * 1.8, 4.5, INK),
              Circle(cx, cy, r, INK), Circle(cx, cy, r - 2, GLASS)]
    if sign:
        shapes += [Rect(cx - r * 0.55, cy - 1, cx + r * 0.55, cy + 1, INK),
                   Rect(cx - 1, cy - r * 0.55, cx + 1, cy + r * 0.55, INK)]
    return shapes


def grid(rows, cols):
    shapes = frame(3, 5, 29, 27, INK, fill=PAPER, width=1.5)
    w, h = 23.0 / cols, 19.0 / rows
    for r in range(rows):
        for c in range(cols):
            gap = 1.0 if cols > 4 else 1.5
            shapes.append(Rect(4.5 + c * w + gap / 2, 6.5 + r * h + gap / 2,
                               4.5 + (c + 1) * w - gap / 2, 6.5 + (r + 1) * h - gap / 2, BLUE))
    return shapes


def printer():
    return (frame(9, 3, 23, 14, INK) +
            [Rect(3, 12, 29, 24, INK), Rect(4.5, 13.5, 27.5, 22.5, (205, 210, 220)), Circle(24, 16.5, 1.5, GREEN)] +
            frame(8, 19, 24, 29, INK) + [Rect(11, 22.5, 21, 23.5, INK), Rect(11, 25.5, 18, 26.5, INK)])


def envelope():
    return (frame(3, 7, 29, 25, INK, fill=(255, 250, 230)) +
            [Line(4, 8, 16, 17.5, 1.6, INK), Line(28, 8, 16, 17.5, 1.6, INK),
             Line(4, 24, 12.5, 15, 1.4, INK), Line(28, 24, 19.5, 15, 1.4, INK)])


def dashed_area():
    shapes = page(5, 3, 23, 29)
    for x in range(9, 27, 4):
        shapes += [Rect(x, 11, x + 2, 12.4, RED), Rect(x, 23.6, x + 2, 25, RED)]
    for y in range(11, 25, 4):
        shapes += [Rect(9, y, 10.4, y + 2, RED), Rect(25.6, y, 27, y + 2, RED)]
    return shapes


def cross_arrows():
    c = 16
    return [Line(c, 6, c, 26, 3, INK), Line(6, c, 26, c, 3, INK),
            Poly([(c, 2), (c - 5, 8), (c + 5, 8)], INK),
            Poly([(c, 30), (c - 5, 24), (c + 5, 24)], INK),
            Poly([(2, c), (8, c - 5), (8, c + 5)], INK), Poly([(30, c), (24, c - 5), (24, c + 5)], INK),
            Circle(c, c, 3, BLUE)]


PICTURES = {
    "CMD_APP_SEARCH": page(3, 3, 21, 27) + lens(19, 18, 6.5),
    "CMD_APP_TBRPRINT": printer(),
    "CMD_APP_TBREMAIL": envelope(),
    "CMD_TOOLS_ROTATE_90": turn(300, 60, True),
    "CMD_TOOLS_ROTATE_180": turn(270, 90, True),
    "CMD_TOOLS_ROTATE_270": turn(300, 60, False),
    "CMD_TOOLS_SCROLL": cross_arrows(),
    "CMD_TOOLS_MAGNIFY": lens(13, 13, 10, sign=True),
    "CMD_TOOLS_COPY": page(3, 2, 19, 24) + page(12, 8, 28, 30),
    "CMD_TOOLS_COPYAREA": dashed_area(),
    "CMD_DOCUMENT_PREVIOUS": page(11, 3, 27, 29) + arrow(22, 3, 16, GREEN),
    "CMD_DOCUMENT_NEXT": page(5, 3, 21, 29) + arrow(10, 29, 16, GREEN),
    "CMD_DOCUMENT_FIRSTIMAGE": [Rect(6, 7, 9.5, 25, BLUE), triangle(10, 16, 9, -1, BLUE), triangle(19, 16, 9, -1, BLUE)],
    "CMD_DOCUMENT_PRESCREEN": [triangle(9, 16, 10, -1, BLUE)] + [Rect(15, 13.5, 26, 18.5, BLUE)],
    "CMD_DOCUMENT_NXTSCREEN": [triangle(23, 16, 10, 1, BLUE)] + [Rect(6, 13.5, 17, 18.5, BLUE)],
    "CMD_DOCUMENT_LASTIMAGE": [Rect(22.5, 7, 26, 25, BLUE), triangle(22, 16, 9, 1, BLUE), triangle(13, 16, 9, 1, BLUE)],
    "CMD_VIEW_BROWSERLAYOUT_1_1": grid(1, 1),
    "CMD_VIEW_BROWSERLAYOUT_2_1": grid(2, 1),
    "CMD_VIEW_BROWSERLAYOUT_1_2": grid(1, 2),
    "CMD_VIEW_BROWSERLAYOUT_2_2": grid(2, 2),
    "CMD_VIEW_BROWSERLAYOUT_2_4": grid(2, 4),
    "CMD_VIEW_BROWSERLAYOUT_4_8": grid(4, 8),
}

PROGRAM_ICON = page(4, 2, 24, 30) + [Rect(8, 9, 20, 13, GOLD)] + lens(20, 19, 6.5)


def render(shapes, size):
    scale = size / 32.0
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / scale
                    y = (py + (sy + 0.5) / SAMPLES) / scale
                    color = None
                    for shape in shapes:
                        if shape.hit(x, y):
                            color = shape.color
                    if color:
                        r, g, b, a = r + color[0], g + color[1], b + color[2], a + 1
            n = SAMPLES * SAMPLES
            row += bytes((r // a, g // a, b // a, 255 * a // n)) if a else bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, rows, width, height=None, alpha=True):
    """Rows of RGBA pixels (or RGB without `alpha`); a square picture needs only its width."""
    raw = b"".join(b"\0" + bytes(row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height or width, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


LANGUAGES = {"en-us": ("English", "yes"), "de-de": ("Deutsch", "no")}


def main():
    for size in (32, 40):
        os.makedirs(os.path.join(HERE, str(size)), exist_ok=True)
        for name, shapes in PICTURES.items():
            write_png(os.path.join(HERE, str(size), name + ".png"), render(shapes, size), size)
    write_png(os.path.join(HERE, "program.png"), render(PROGRAM_ICON, 48), 48)

    # Tool-bar pictures are looked up in the language file; every language carries the same ones.
    # Their transparent colour is RGB(200, 200, 200), the matte they are laid on.
    for tag, (description, fallback) in LANGUAGES.items():
        lines = ["# Written by pictures/draw.py: the tool-bar pictures, the same in every language.", "",
                 "[language]", "name = " + tag, "description = " + description, "fallback = " + fallback, "",
                 "[bitmaps]"]
        for size in (32, 40):
            for name in PICTURES:
                lines.append("TBN%d_%s = pictures/%d/%s.png matte=#c8c8c8" % (size, name, size, name))
        with open(os.path.join(HERE, "..", "pictures.%s.lang" % tag), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
