#!/usr/bin/env python3
"""Draws the background picture of the viewer's about box as the PNG file its language
sources name: a pale sky fading to white, with the program's picture large at the top left, where
the box leaves room for it. Uses the shapes and the renderer of the tool-bar pictures. Run it again
after changing the picture.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "res", "pictures"))
import draw  # noqa: E402

WIDTH, HEIGHT = 450, 286
ICON = 64
TOP = (205, 225, 245)
BOTTOM = (255, 255, 255)


def main():
    rows = []
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        colour = [round(TOP[i] + (BOTTOM[i] - TOP[i]) * t) for i in range(3)]
        rows.append(bytearray(bytes(colour) * WIDTH))
    icon = draw.render(draw.PROGRAM_ICON, ICON)
    for y in range(ICON):
        for x in range(ICON):
            r, g, b, a = icon[y][4 * x:4 * x + 4]
            px, py = 16 + x, 14 + y
            under = rows[py][3 * px:3 * px + 3]
            rows[py][3 * px:3 * px + 3] = bytes(round((c * a + u * (255 - a)) / 255) for c, u in zip((r, g, b), under))
    draw.write_png(os.path.join(HERE, "about.png"), rows, WIDTH, HEIGHT, alpha=False)


if __name__ == "__main__":
    main()
