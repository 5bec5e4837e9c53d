"""Reading back what the viewer's outputs wrote: pages of PDF files rendered to grey pictures, the
frames the print job draws round each image of a sheet, and how well a part of a sheet matches a
source page. Pure Python with the poppler and ImageMagick command-line tools.
"""
import os
import subprocess


def read_pgm(path):
    """Width, height and the bytes of a binary grey picture (P5, 8 bits)."""
    with open(path, "rb") as f:
        data = f.read()
    words, pos = [], 0
    while len(words) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        words.append(data[pos:end])
        pos = end
    if words[0] != b"P5" or words[3] != b"255":
        raise AssertionError("%s is no 8-bit grey picture" % path)
    width, height = int(words[1]), int(words[2])
    return width, height, data[pos + 1:pos + 1 + width * height]


def page_count(pdf):
    for line in subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return -1


def render(pdf, page, path, args=("-r", "100")):
    """Page `page` (from 1) of the PDF as a grey picture at `path` (.pgm)."""
    stem = path[:-len(".pgm")]
    subprocess.run(["pdftoppm", "-gray", "-singlefile", "-f", str(page), "-l", str(page), *args, pdf, stem], check=True)
    return path


def grey(source, path, size=None):
    """The picture as 8-bit grey, resized to exactly `size` (width, height) when given."""
    resize = ["-resize", "%dx%d!" % size] if size else []
    subprocess.run(["convert", source, *resize, "-depth", "8", path], check=True)
    return path


def compression(path):
    """The compression of a picture file as ImageMagick names it ("Group4", "JPEG" ...)."""
    return subprocess.run(["identify", "-format", "%C", path], capture_output=True, text=True, check=True).stdout.strip()


def image_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in out.split())


def differing(a, b):
    out = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return int(float(out.stderr.split()[0]))


def frames(pgm, rows, dark=235):
    """The frames round the images of a printed sheet with `rows` rows of cells, as (left, top,
    right, bottom) rectangles, row by row: pairs of vertical lines of the same height, longer than
    four fifths of a row, that no page content draws."""
    width, height, pixels = read_pgm(pgm)
    least = int(0.8 * height / rows)
    lines = []
    for x in range(width):
        y = 0
        while y < height:
            if pixels[y * width + x] >= dark:
                y += 1
                continue
            start = y
            while y < height and pixels[y * width + x] < dark:
                y += 1
            if y - start < least:
                continue
            # A line a few pixels wide is one line.
            if lines and x - lines[-1][1] <= 1 and abs(lines[-1][2] - start) <= 2 and abs(lines[-1][3] - (y - 1)) <= 2:
                lines[-1][1] = x
            else:
                lines.append([x, x, start, y - 1])
    found = []
    for top in sorted({line[2] for line in lines}):
        row = sorted(line for line in lines if abs(line[2] - top) <= 2)
        found += [(a[0], a[2], b[1], a[3]) for a, b in zip(row[0::2], row[1::2])]
    return sorted(set(found), key=lambda f: (f[1], f[0]))


def fit(box, width, height):
    """The largest rectangle of the picture's aspect inside the box, centred in it."""
    left, top, right, bottom = box
    scale = min((right - left) / width, (bottom - top) / height)
    w, h = width * scale, height * scale
    x, y = left + (right - left - w) / 2, top + (bottom - top - h) / 2
    return round(x), round(y), round(x + w), round(y + h)


def likeness(sheet, rect, source, work):
    """How far the part `rect` of the sheet is from the source page scaled into it: the normalised
    root mean square of the grey differences, 0 for equal pictures."""
    left, top, right, bottom = rect
    size = (right - left, bottom - top)
    cell = os.path.join(work, "cell.pgm")
    subprocess.run(["convert", sheet, "-crop", "%dx%d+%d+%d" % (size + (left, top)), "+repage", cell], check=True)
    page = grey(source, os.path.join(work, "page.pgm"), size)
    out = subprocess.run(["compare", "-metric", "RMSE", cell, page, "null:"], capture_output=True, text=True)
    return float(out.stderr.split("(")[1].split(")")[0])


def best_likeness(sheet, rect, source, work):
    """The likeness with the rectangle moved by up to a pixel each way (rounding of the render)."""
    left, top, right, bottom = rect
    return min(likeness(sheet, (left + dx, top + dy, right + dx, bottom + dy), source, work)
               for dx in (-1, 0, 1) for dy in (-1, 0, 1))


def dark_bands(pgm, dark=128):
    """The runs of picture rows that hold dark pixels, as (first, last, longest dark run of a row)."""
    width, height, pixels = read_pgm(pgm)
    bands = []
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        if min(row) >= dark:
            continue
        longest = run = 0
        for value in row:
            run = run + 1 if value < dark else 0
            longest = max(longest, run)
        if bands and bands[-1][1] == y - 1:
            bands[-1] = (bands[-1][0], y, max(bands[-1][2], longest))
        else:
            bands.append((y, y, longest))
    return bands
