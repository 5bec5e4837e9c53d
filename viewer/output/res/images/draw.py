#!/usr/bin/env python3
"""Draws the picture of the viewer's progress dialog, a page turning into a PDF file, as the 24-bit
BMP files its language sources name: the picture (black where it is transparent) and its mask (black
where the picture shows, white where the dialog shows through). Uses the shapes and the renderer of
the tool-bar pictures. Run it again after changing the picture.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "res", "pictures"))
import draw  # noqa: E402

PDF_RED = (200, 30, 30)
PICTURE = draw.page(5, 2, 23, 28) + [draw.Rect(12, 17, 29, 27, PDF_RED), draw.Rect(14, 20, 27, 22, draw.PAPER),
                                     draw.Rect(14, 23, 22, 25, draw.PAPER)] + draw.arrow(2, 10, 12, draw.BLUE, 3)


def write_bmp(path, pixels, size):
    stride = size * 3
    data = b"".join(bytes(pixels[y]) for y in reversed(range(size)))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    assert len(data) == stride * size
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    size = 32
    rows = draw.render(PICTURE, size)
    picture, mask = [], []
    for row in rows:
        p, m = bytearray(), bytearray()
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            shows = a >= 128
            p += bytes((b, g, r)) if shows else bytes(3)
            m += bytes(3) if shows else b"\xff\xff\xff"
        picture.append(p)
        mask.append(m)
    write_bmp(os.path.join(HERE, "pdf-progress.bmp"), picture, size)
    write_bmp(os.path.join(HERE, "pdf-progress-mask.bmp"), mask, size)


if __name__ == "__main__":
    main()
