#!/usr/bin/env python3
"""Draws the two pictures of the viewer's assistant panel as the PNG files its language sources name.

The panel's window is 227 x 181 pixels: a one-pixel border around a client area of 225 x 179, in
which the help pane leaves a rim of 6 or 7 pixels. The outline is white where the window shows and
black where it is cut away: a rectangle with rounded corners the size of the window. The background
is painted in the client area: the rim in the viewer's pale sky fading to white, with a line along
the rounded edge. Uses the picture writer of the tool-bar pictures. Run it again after changing
either picture.
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "pictures"))
import draw  # noqa: E402

WINDOW = (227, 181)
RADIUS = 12
SAMPLES = 4
TOP = (205, 225, 245)
BOTTOM = (255, 255, 255)
EDGE = (40, 100, 205)


def outside(x, y, width, height, radius):
    """How far the point lies outside the rounded rectangle (0, 0, width, height); negative inside."""
    cx = min(max(x, radius), width - radius)
    cy = min(max(y, radius), height - radius)
    if (cx, cy) == (x, y):
        return -min(x, y, width - x, height - y)
    return math.hypot(x - cx, y - cy) - radius


def coverage(px, py, test):
    hits = sum(test(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
               for sy in range(SAMPLES) for sx in range(SAMPLES))
    return hits / (SAMPLES * SAMPLES)


def main():
    width, height = WINDOW
    # A pixel belongs to the window when most of it lies inside: the region has no half pixels.
    def shows(x, y):
        return coverage(x, y, lambda u, v: outside(u, v, width, height, RADIUS) <= 0) >= 0.5

    outline = [b"".join(b"\xff\xff\xff" if shows(x, y) else b"\0\0\0" for x in range(width)) for y in range(height)]
    draw.write_png(os.path.join(HERE, "outline.png"), outline, width, height, alpha=False)

    # The client area starts one pixel in; the line runs two pixels wide just inside the cut.
    cw, ch = width - 2, height - 2
    rows = []
    for y in range(ch):
        t = y / (ch - 1)
        sky = [TOP[i] + (BOTTOM[i] - TOP[i]) * t for i in range(3)]
        row = bytearray()
        for x in range(cw):
            a = coverage(x + 1, y + 1, lambda u, v: -3 <= outside(u, v, width, height, RADIUS) <= -1)
            row += bytes(round(EDGE[i] * a + sky[i] * (1 - a)) for i in range(3))
        rows.append(row)
    draw.write_png(os.path.join(HERE, "background.png"), rows, cw, ch, alpha=False)


if __name__ == "__main__":
    main()
