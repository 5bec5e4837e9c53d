#!/usr/bin/env python3
"""Browses with the real viewer on an X display as a user would: keys, clicks and drags with xdotool.

Usage: orbel_browse.py --program EXE --profile FILE --artifacts DIR   (inside xvfb-run)

Starts the program with "-M:" on the sample profile and types a query with wildcards into the
new-search dialog (the document number and two index fields); Enter in a field searches. The
hits, exported from the results, must be exactly the documents of the batch's index data that
match. The results are sorted by a column header, ascending and then descending, and each time
the keys of the list (Home, Down, Enter) open the row the order puts there. In the opened
document the pages are turned, every page layout is shown, fit width and fit whole page change the
page's shape on screen, a rotation turns it, the magnifier shows while the button is held, and a
frame drawn with the copy-area tool puts that piece of the page on the clipboard. Screenshots of
each step are kept in the artefacts folder.
"""
import argparse
import csv
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from orbel_session import Session, crop, differing_pixels, geometry, run, wait_for, window_picture  # noqa: E402

# The query typed into the new-search dialog: a pattern per entry, "*" and "?" as wildcards.
DOCUMENT_PATTERN = "0001234?"
FIELD_PATTERNS = {"Customer": "*c*", "Date": "2008-0?-1*"}
SORT_COLUMN = "Customer"


def wildcard_match(pattern, text):
    """The search's matching: "*" any run, "?" one character, letters without regard to case."""
    expression = "".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in pattern.lower())
    return re.fullmatch(expression, text.lower(), re.DOTALL) is not None


def read_lines(path):
    with open(path, encoding="utf-8-sig") as f:
        return [line for line in f.read().splitlines() if line.strip()]


class Batch:
    """The batch the profile opens, read from its index files: field names and one record per
    document (number, page count, values by field name) in index order."""

    def __init__(self, profile):
        keys = {k.strip(): v.strip() for k, v in (line.split("=", 1) for line in read_lines(profile) if "=" in line)}
        self.root = keys["Root"]
        header = [row[0] if row else "" for row in csv.reader(read_lines(keys["IndexHdr"]))]
        count = int(header[5])
        self.fields = header[6:6 + count]
        self.documents = []
        for row in csv.reader(read_lines(keys["Index"]), delimiter=";"):
            self.documents.append({"number": row[2], "pages": int(row[11]), "values": dict(zip(self.fields, row[13:]))})

    def hits(self):
        return [d for d in self.documents if wildcard_match(DOCUMENT_PATTERN, d["number"])
                and all(wildcard_match(p, d["values"].get(f, "")) for f, p in FIELD_PATTERNS.items())]


class Picture:
    """A screenshot's pixels, for scanning lines."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
        parts = data.split(maxsplit=4)
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = parts[4]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def runs(colours, inside, least=12):
    """How many runs of at least `least` pixels satisfy `inside` along a line of colours."""
    count, length = 0, 0
    for colour in colours + [None]:
        if colour is not None and inside(colour):
            length += 1
            continue
        count += length >= least
        length = 0
    return count


def white_box(picture_path, area):
    """The bounding box (x, y, width, height, relative to the area) of the near-white pixels in an
    area (x, y, width, height) of a picture: the page on screen."""
    x, y, w, h = area
    box = run("convert", picture_path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "-fuzz", "6%", "-fill", "black",
              "+opaque", "white", "-bordercolor", "black", "-border", "1", "-format", "%@", "info:").strip()
    m = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", box)
    if not m:
        raise AssertionError("no page on screen (%r)" % box)
    bw, bh, bx, by = map(int, m.groups())
    return bx - 1, by - 1, bw, bh


def rmse(a, b):
    out = subprocess.run(["compare", "-metric", "RMSE", a, b, "null:"], capture_output=True, text=True)
    return float(re.search(r"\(([\d.e-]+)\)", out.stderr).group(1))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--profile", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    batch = Batch(args.profile)
    hits = batch.hits()
    if not 1 < len(hits) < len(batch.documents):
        raise SystemExit("the query finds %d of %d documents: it would show nothing" % (len(hits), len(batch.documents)))
    session = Session(args.program, args.artifacts, prefix="browse")
    shot, step, folder = session.shot, session.step, session.folder
    scratch = lambda name: os.path.join(folder, name)  # noqa: E731
    try:
        viewer = session.start(["-M:" + args.profile])
        window_named, title = viewer.window_named, viewer.title
        key = lambda *keys: run("xdotool", "key", "--delay", "120", *keys)  # noqa: E731
        typed = lambda text: run("xdotool", "type", "--delay", "40", text)  # noqa: E731
        shown = {}

        def document_in_title():
            m = re.search(r" - Document (\d+)$", title())
            return m.group(1) if m else None

        # The first field after the batch is the document number; the index fields follow the
        # dialog's buttons, in the batch's order. Enter in a field searches.
        def query():
            dialog = wait_for("the new-search dialog", lambda: window_named("New search"), timeout=20)
            run("xdotool", "windowactivate", "--sync", dialog)
            key("Tab")
            typed(DOCUMENT_PATTERN)
            key("Tab", "Tab", "Tab")
            at = 0
            for index, name in enumerate(batch.fields):
                if name in FIELD_PATTERNS:
                    key(*(["Tab"] * (index - at)))
                    typed(FIELD_PATTERNS[name])
                    at = index
            shot("01-query")
            key("Return")
            shown["results"] = wait_for("the search results", lambda: window_named("Search results"), timeout=20)
            wait_for("the query dialog gone", lambda: not window_named("New search"), timeout=10)
            shown["placed"] = geometry(shown["results"])
            shot("02-results")
        step("a query with wildcards typed into the new-search dialog", query)

        # A click on a column header sorts by it, a second click the other way round; Home and
        # Enter, or Down and Enter, open the row that the order puts there.
        # The columns: batch, document number, then every field of the query (the batch's fields).
        column = 2 + batch.fields.index(SORT_COLUMN)
        values = [d["values"][SORT_COLUMN].lower() for d in hits]
        ascending = [hits[i]["number"] for i in sorted(range(len(hits)), key=lambda i: values[i])]
        descending = [hits[i]["number"] for i in sorted(range(len(hits)), key=lambda i: values[i], reverse=True)]

        def sort_and_open(keys, expected, name):
            # Opening a row minimised the results; activating them, as a click on the task bar
            # does, brings them back where they were (the window manager may animate the way).
            results = shown["results"]
            if "IsViewable" not in run("xwininfo", "-id", results):
                run("xdotool", "windowactivate", results)
                try:
                    wait_for("the results back", lambda: geometry(results) == shown["placed"], timeout=10)
                except AssertionError:
                    raise AssertionError("the results came back at %s, not %s" % (geometry(results), shown["placed"]))
            run("xdotool", "windowactivate", "--sync", results)
            x, y, _, _ = geometry(results)
            # The header lies under the dialog's menu bar; every column is 100 pixels wide.
            run("xdotool", "mousemove", "--sync", str(x + 100 * column + 30), str(y + 33), "click", "1")
            key(*keys)
            shot(name)
            key("Return")
            try:
                wait_for("document %s in the title" % expected, lambda: document_in_title() == expected, timeout=20)
            except AssertionError:
                raise AssertionError("%r in the title, not document %s" % (title(), expected))
            wait_for("the results minimised", lambda: "IsViewable" not in run("xwininfo", "-id", results), timeout=10)

        step("sorted ascending, Home, Down and Enter open the second row",
             lambda: sort_and_open(["Home", "Down"], ascending[1], "03-sorted-ascending"))
        step("sorted descending, Home and Enter open the first row",
             lambda: sort_and_open(["Home"], descending[0], "04-sorted-descending"))
        # The export of the results (a command for a shown document) lists exactly the matching
        # documents, in index order.
        def exported_hits():
            run("xdotool", "windowactivate", "--sync", viewer.window)
            key("ctrl+e")
            dialog = wait_for("the export dialog", lambda: window_named("Export Index Data"), timeout=20)
            run("xdotool", "windowactivate", "--sync", dialog)
            path = scratch("hits.xml")
            typed(path)
            key("Return")
            # The dialog asks before it makes a new file.
            wait_for("the question", lambda: len(run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(viewer.proc.pid),
                                                       "--name", "^Export Index Data$").split()) == 2, timeout=10)
            key("Return")
            wait_for("the exported file", lambda: os.path.exists(path) and open(path, "rb").read().rstrip().endswith(b"</data>"),
                     timeout=20)
            shutil.copy(path, os.path.join(args.artifacts, "browse-hits.xml"))
            with open(path, encoding="utf-8-sig") as f:
                records = ElementTree.fromstring(f.read()).iter("record")
                numbers = [[item.text or "" for item in record.iter("item")][1] for record in records]
            expected = [d["number"] for d in hits]
            if numbers != expected:
                raise AssertionError("exported %s, the index data match %s" % (numbers, expected))
        step("the hits are exactly the matching documents", exported_hits)

        opened = next(d for d in hits if d["number"] == descending[0])
        if opened["pages"] < 2:
            raise AssertionError("the opened document has one page: nothing to turn")
        run("xdotool", "windowactivate", "--sync", viewer.window)

        # The browser below the tool bars and right of the view bar, in the main window's picture;
        # with one page on screen its image lies below the cell's title.
        _, _, width, height = geometry(viewer.window)
        whole = scratch("whole.png")
        image_area = (45, 106, width - 49, height - 110)

        def picture():
            return window_picture(viewer.window, whole)

        def grid():
            p = Picture(picture())
            face = (212, 208, 200)
            across = runs([p.at(x, 140) for x in range(45, p.width)], lambda c: c != face, least=40)
            down = runs([p.at(60, y) for y in range(82, p.height)], lambda c: c != face, least=40)
            return down, across

        # Every page layout from the View menu's "Page layout" pop-up, by its marked letter.
        layouts = [("8", (2, 4)), ("3", (4, 8)), ("o", (2, 1)), ("s", (1, 2)), ("4", (2, 2)), ("1", (1, 1))]

        def each_layout():
            for letter, cells in layouts:
                key("alt+v", "Right", letter)
                try:
                    wait_for("%d x %d cells" % cells, lambda: grid() == cells, timeout=10)
                except AssertionError:
                    raise AssertionError("the layout %s shows %s cells, not %s" % (letter, grid(), cells))
                shot("05-layout-%d-%d" % cells)
        step("each page layout", each_layout)

        def page_picture(name):
            return crop(picture(), "%dx%d+%d+%d" % (image_area[2], image_area[3], image_area[0], image_area[1]), scratch(name))

        def turn_pages():
            first = page_picture("page-1.png")
            key("Next")
            wait_for("the next page", lambda: differing_pixels(first, page_picture("page-2.png")) > 5000, timeout=10)
            shot("06-page-2")
            key("Prior")
            wait_for("the first page again", lambda: differing_pixels(first, page_picture("page-1-again.png")) == 0, timeout=10)
        step("pages turned forward and back", turn_pages)

        def page_shape():
            return white_box(picture(), image_area)

        def shape_is(what, test):
            last = []

            def probe():
                last[:] = page_shape()
                return test(*last)
            try:
                wait_for(what, probe, timeout=10)
            except AssertionError:
                raise AssertionError("the page is %s on screen, not %s" % (last, what))

        portrait = lambda x, y, w, h: abs(w / h - 827 / 1169) < 0.03 and h >= image_area[3] - 6  # noqa: E731
        landscape = lambda x, y, w, h: abs(w / h - 1169 / 827) < 0.05  # noqa: E731

        def fit_width_and_whole():
            key("alt+v", "w")
            shape_is("as wide as its cell", lambda x, y, w, h: w >= image_area[2] - 8 and h >= image_area[3] - 6)
            shot("07-fit-width")
            key("alt+v", "Down", "Down", "Down", "Return")
            shape_is("whole in its cell", portrait)
            shot("08-fit-whole")
        step("fit width and fit whole page", fit_width_and_whole)

        def centre_of_page():
            x, y, w, h = page_shape()
            return image_area[0] + x + w // 2, image_area[1] + y + h // 2

        def origin():
            x, y, _, _ = geometry(viewer.window)
            return x, y

        def click_page():
            cx, cy = centre_of_page()
            ox, oy = origin()
            run("xdotool", "mousemove", "--sync", str(ox + cx), str(oy + cy), "click", "1")

        def rotate():
            key("ctrl+r")
            click_page()
            shape_is("turned a quarter", landscape)
            shot("09-rotated")
            key("ctrl+shift+r")
            click_page()
            shape_is("upright again", portrait)
        step("a page turned a quarter and back", rotate)

        # The magnifier: a held press shows the page file itself, enlarged by the ratio of the
        # settings (image pixels to screen pixels), in a 400 x 300 lens centred on the pointer;
        # moving the pointer moves the lens with it and the page under it twice as far; the
        # release takes the lens away.
        lens_size, zoom = (400, 300), 2
        page_file = os.path.join(batch.root, "DOC_CD", "DATA", opened["number"][7], opened["number"][5:7],
                                 opened["number"][:5] + "001.TIF")

        def lens_at(pointer, page_point, name):
            """How far the lens around `pointer` (root coordinates) is from the page file around
            `page_point` enlarged by the ratio, and from the same piece unenlarged."""
            inset = 6  # inside the frame
            w, h = lens_size[0] - 2 * inset, lens_size[1] - 2 * inset
            run("import", "-window", "root", scratch("screen.png"))
            shown = crop(scratch("screen.png"), "%dx%d+%d+%d" % (w, h, pointer[0] - w // 2, pointer[1] - h // 2),
                         os.path.join(args.artifacts, "browse-%s.png" % name))

            def piece(scale, path):
                pw, ph = w // scale, h // scale
                run("convert", page_file, "-crop", "%dx%d+%d+%d" % (pw, ph, page_point[0] - pw // 2, page_point[1] - ph // 2),
                    "+repage", "-scale", "%dx%d!" % (w, h), "-colorspace", "sRGB", "-type", "TrueColor", path)
                return path
            return rmse(shown, piece(zoom, scratch("enlarged.png"))), rmse(shown, piece(1, scratch("unenlarged.png")))

        def magnifier():
            page_width, page_height = map(int, run("identify", "-format", "%w %h", page_file + "[0]").split())
            key("alt+t", "m")
            x, y, w, h = page_shape()
            ox, oy = origin()
            # A point above the middle of the page, where the text lines are.
            cx, cy = image_area[0] + x + w // 2, image_area[1] + y + h // 3
            # The page's point under it, measured from the page's left and bottom edges on screen
            # (its top may lie above the area looked at).
            scale = page_width / w
            on_page = round((cx - image_area[0] - x) * scale), round(page_height - (image_area[1] + y + h - cy) * scale)
            pointer = ox + cx, oy + cy
            whole = "%dx%d+%d+%d" % (lens_size[0], lens_size[1], pointer[0] - lens_size[0] // 2, pointer[1] - lens_size[1] // 2)
            before = crop(run("import", "-window", "root", scratch("screen.png")) or scratch("screen.png"), whole,
                          scratch("lens-before.png"))
            run("xdotool", "mousemove", "--sync", str(pointer[0]), str(pointer[1]), "mousedown", "1")
            try:
                last = []

                def lens_shows(where, page_point, name):
                    def probe():
                        last[:] = lens_at(where, page_point, name)
                        return last[0] < 0.6 * last[1]
                    try:
                        wait_for("the lens", probe, timeout=10)
                    except AssertionError:
                        raise AssertionError("the lens at %s is not the page enlarged %d times around %s "
                                             "(%.3f against %.3f unenlarged)" % (where, zoom, page_point, *last))
                lens_shows(pointer, on_page, "10-lens")
                shot("10-magnifier")
                step_x, step_y = 40, 30
                moved = pointer[0] + step_x, pointer[1] + step_y
                run("xdotool", "mousemove", "--sync", str(moved[0]), str(moved[1]))
                lens_shows(moved, (on_page[0] + step_x, on_page[1] + step_y), "10-lens-moved")
                shot("10-magnifier-moved")
            finally:
                run("xdotool", "mouseup", "1")

            def lens_gone():
                run("import", "-window", "root", scratch("screen.png"))
                return differing_pixels(before, crop(scratch("screen.png"), whole, scratch("lens.png"))) < 50
            wait_for("the magnifier gone after the release", lens_gone, timeout=10)
        step("the magnifier while the button is held", magnifier)

        def copy_area():
            key("alt+t", "a")
            x, y, w, h = page_shape()
            ox, oy = origin()
            left, top = image_area[0] + x + w // 6, image_area[1] + y + h // 12
            band = (w // 2, h // 4)
            screen = picture()
            on_screen = crop(screen, "%dx%d+%d+%d" % (band[0], band[1], left, top), scratch("band.png"))
            lower = crop(screen, "%dx%d+%d+%d" % (band[0], band[1], left, top + band[1] // 2), scratch("band-lower.png"))
            run("xdotool", "mousemove", "--sync", str(ox + left), str(oy + top), "mousedown", "1")
            for i in range(1, 11):
                run("xdotool", "mousemove", "--sync", str(ox + left + band[0] * i // 10), str(oy + top + band[1] * i // 10))
            run("xdotool", "mouseup", "1")
            clip = os.path.join(args.artifacts, "browse-11-clipboard.png")

            def on_clipboard():
                data = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"], capture_output=True,
                                      timeout=10).stdout
                if not data.startswith(b"\x89PNG"):
                    return False
                with open(clip, "wb") as f:
                    f.write(data)
                return True
            wait_for("a picture on the clipboard", on_clipboard, timeout=10)
            shot("11-copied")
            cw, ch = map(int, run("identify", "-format", "%w %h", clip).split())
            # The piece comes from the page at its own resolution: larger than on screen, by the same
            # factor across and down.
            sx, sy = cw / band[0], ch / band[1]
            if not (sx > 1.05 and abs(sx - sy) < 0.05 * sx):
                raise AssertionError("a %dx%d picture for a %dx%d frame" % (cw, ch, band[0], band[1]))
            shrunk = scratch("clip-shrunk.png")
            run("convert", clip, "-resize", "%dx%d!" % band, "-colorspace", "sRGB", "-type", "TrueColor", shrunk)
            same, other = rmse(shrunk, on_screen), rmse(shrunk, lower)
            if not same < 0.6 * other:
                raise AssertionError("the clipboard is not the framed area (%.3f against %.3f elsewhere)" % (same, other))
        step("copy area puts the framed piece of the page on the clipboard", copy_area)
        step("quit", viewer.quit)
    except AssertionError as e:
        session.fail(e)
    finally:
        code = session.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
