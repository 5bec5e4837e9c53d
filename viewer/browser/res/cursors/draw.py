#!/usr/bin/env python3
"""Draws the document browser's cursors, one per tool mode, as PNG files beside this script.

The cursors reuse the shapes of the viewer's tool-bar pictures (../../../res/pictures/draw.py): a
tool whose place matters (the magnifier, panning, the band) is drawn whole with its hot spot in
its middle; the others are the pointer with the tool's picture small beside it. Run it again after
changing a cursor; it also writes the resource list that names the files (../cursors.images).
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "res", "pictures"))
import draw  # noqa: E402  (the tool-bar pictures' shapes and their renderer)

SIZE = 32
BADGE = 18


def pointer():
    """The arrow pointer at the top-left corner, ink with a white rim; its tip is the hot spot."""
    outline = [(0, 0), (0, 17), (4.5, 13), (7.5, 19.5), (10.5, 18.2), (7.5, 12), (13, 12)]
    inner = [(1.3, 3), (1.3, 14), (4.8, 10.8), (8, 17.7), (9.2, 17.2), (6, 10.6), (10, 10.6)]
    return [draw.Poly(outline, draw.PAPER), draw.Poly(inner, draw.INK)]


def crosshair():
    c = 16
    return [draw.Rect(c - 1.5, 2, c + 1.5, 30, draw.PAPER), draw.Rect(2, c - 1.5, 30, c + 1.5, draw.PAPER),
            draw.Rect(c - 0.5, 3, c + 0.5, 29, draw.INK), draw.Rect(3, c - 0.5, 29, c + 0.5, draw.INK)]


def with_badge(shapes):
    """The pointer with `shapes` drawn small at the bottom right."""
    canvas = draw.render(pointer(), SIZE)
    badge = draw.render(shapes, BADGE)
    rows = [bytearray(row) for row in canvas]
    for y in range(BADGE):
        for x in range(BADGE):
            pixel = badge[y][4 * x:4 * x + 4]
            if pixel[3]:
                at = 4 * (SIZE - BADGE + x)
                rows[SIZE - BADGE + y][at:at + 4] = pixel
    return [bytes(row) for row in rows]


# Tool mode: (resource ID, file, rows, hot spot).
CURSORS = [
    (155, "magnifier", draw.render(draw.lens(13, 13, 10), SIZE), (13, 13)),
    (157, "pan", draw.render(draw.cross_arrows(), SIZE), (16, 16)),
    (143, "print", with_badge(draw.printer()), (0, 0)),
    (159, "email", with_badge(draw.envelope()), (0, 0)),
    (142, "rotate90", with_badge(draw.turn(300, 60, True)), (0, 0)),
    (150, "rotate180", with_badge(draw.turn(270, 90, True)), (0, 0)),
    (153, "rotate270", with_badge(draw.turn(300, 60, False)), (0, 0)),
    (158, "copy", with_badge(draw.page(3, 2, 19, 24) + draw.page(12, 8, 28, 30)), (0, 0)),
    (160, "copyarea", draw.render(crosshair(), SIZE), (16, 16)),
]


def main():
    lines = ["# Written by cursors/draw.py: the document browser's cursors, one per tool mode."]
    for ident, name, rows, (x, y) in CURSORS:
        draw.write_png(os.path.join(HERE, name + ".png"), rows, SIZE)
        lines.append('cursor %d "cursors/%s.png" %d %d' % (ident, name, x, y))
    with open(os.path.join(HERE, "..", "cursors.images"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
