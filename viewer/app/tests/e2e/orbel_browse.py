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
            # Opening a row minimised the results: F5 in the main window hides them, F5 again shows
            # them as after the search.
            results = shown["results"]
            if "IsViewable" not in run("xwininfo", "-id", results):
                run("xdotool", "windowactivate", "--sync", viewer.window)
                key("F5")
                wait_for("the results hidden", lambda: not window_named("Search results"), timeout=10)
                key("F5")
            wait_for("the results shown", lambda: "IsViewable" in run("xwininfo", "-id", results), timeout=10)
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
    except AssertionError as e:
        session.fail(e)
    finally:
        code = session.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
