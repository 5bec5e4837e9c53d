#!/usr/bin/env python3
"""Drives the real viewer's outputs on an X display as a user would: keys, clicks and xdotool.

Usage: orbel_output.py --program EXE --profile FILE --queue SCRIPT --artifacts DIR   (inside xvfb-run)

The sample batch of the profile is copied with two hits whose index values hold quotes, the
delimiter, "&", "<", ">" and non-Latin letters. A print server of the run's own (the queue script)
takes the print jobs and writes each as a PDF file. The program opens a hit, saves the document and
a range of its pages as PDF (qpdf accepts the files; every Group 4 page renders pixel-equal to its
TIFF page), prints it one and four pages to a sheet (each page in its cell, at its place and
scale), saves and prints the images of a hit from the results, prints the hit list, and exports the
hits as CSV and XML (read back: exactly the hits' index values). Screenshots are kept.
"""
import argparse
import csv
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
import sheets  # noqa: E402
from orbel_session import Session, geometry, run, wait_for  # noqa: E402

# The results list: the first row's middle below the client area's top, and the rows' pitch.
FIRST_ROW, ROW_PITCH = 48, 14
# Values the copy of the sample batch gets: (document number, field, value).
SPECIAL = [("00012341", "Customer", 'Smith "Quick" & <Sons>; Ltd'), ("00012343", "Invoice No", "ΠΑ-東京-0004")]


def read_profile(path):
    with open(path, encoding="utf-8-sig") as f:
        return dict((k.strip(), v.strip()) for k, v in (line.split("=", 1) for line in f if "=" in line))


class Batch:
    """A copy of the profile's batch with the special values, and what the viewer should show of it."""

    def __init__(self, profile, folder):
        source = read_profile(profile)
        self.root = os.path.join(folder, "batch")
        shutil.copytree(source["Root"], self.root)
        database = os.path.join(self.root, "DOC_CD", "Database")
        with open(os.path.join(database, "indexhdr.dat"), encoding="utf-8-sig") as f:
            header = [line.strip().strip('"') for line in f.read().splitlines()]
        self.name = header[1]
        self.fields = header[6:6 + int(header[5])]
        index = os.path.join(database, "index.dat")
        with open(index, encoding="utf-8-sig", newline="") as f:
            lines = list(csv.reader(f, delimiter=";"))
        self.documents = []
        out = []
        for fields in lines:
            values = fields[13:13 + len(self.fields)]
            for number, field, value in SPECIAL:
                if fields[2] == number:
                    values[self.fields.index(field)] = value
            fields = fields[:13] + values
            self.documents.append((fields[2], int(fields[11]), values))
            quoted = any(c in value for value in values for c in ';"')
            out.append(";".join('"%s"' % v.replace('"', '""') for v in fields) if quoted else ";".join(fields))
        with open(index, "w", encoding="utf-8-sig", newline="") as f:
            f.write("\r\n".join(out) + "\r\n")
        self.profile = os.path.join(folder, "output.dps")
        with open(self.profile, "w", encoding="utf-8") as f:
            f.write("[Orbel]\nRoot = %s/\nIndex = %s\nIndexHdr = %s\n" % (self.root, index, os.path.join(database, "indexhdr.dat")))

    def pages(self, number):
        """The TIFF pages of a document, in order: DATA/<last digit>/<digits 6 and 7>/<first five>NNN.TIF."""
        count = next(pages for n, pages, _ in self.documents if n == number)
        folder = os.path.join(self.root, "DOC_CD", "DATA", number[7], number[5:7])
        return [os.path.join(folder, "%s%03d.TIF" % (number[:5], k)) for k in range(1, count + 1)]

    def records(self, headings):
        rows = [[self.name, number, *values] for number, _, values in self.documents]
        return ([["Batch", "Document number", *self.fields]] if headings else []) + rows


class Queue:
    """The print server of the run (or none where the machine cannot start one)."""

    def __init__(self, script, folder):
        self.script, self.folder = script, folder
        self.out = os.path.join(folder, "out")
        print(subprocess.run(["bash", script, "start", folder], capture_output=True, text=True).stdout.strip())
        self.socket = os.path.join(folder, "cups.sock")
        self.ready = os.path.exists(self.socket)

    def jobs(self):
        return sorted(glob.glob(os.path.join(self.out, "job-*.pdf")), key=lambda p: int(p.rsplit("-", 1)[1][:-4]))

    def idle(self):
        out = subprocess.run(["lpstat", "-o"], capture_output=True, text=True, env=dict(os.environ, CUPS_SERVER=self.socket))
        return out.returncode == 0 and not out.stdout.strip()

    def next_job(self, before):
        """The file of the one job that arrives after `before` jobs."""
        wait_for("the print job in the queue", lambda: len(self.jobs()) > before and self.idle(), timeout=60)
        jobs = self.jobs()
        if len(jobs) != before + 1:
            raise AssertionError("%d jobs arrived instead of one" % (len(jobs) - before))
        return jobs[-1]

    def stop(self):
        subprocess.run(["bash", self.script, "stop", self.folder], capture_output=True)
        shutil.rmtree(self.folder, ignore_errors=True)


def check_pdf(pdf, pages, work):
    """The PDF passes qpdf, and its pages are the TIFF pages, pixel for pixel."""
    check = subprocess.run(["qpdf", "--check", pdf], capture_output=True, text=True)
    if check.returncode != 0:
        raise AssertionError("qpdf --check: %s" % check.stdout[-300:])
    if sheets.page_count(pdf) != len(pages):
        raise AssertionError("%d pages instead of %d" % (sheets.page_count(pdf), len(pages)))
    for number, page in enumerate(pages, 1):
        source = sheets.grey(page, os.path.join(work, "source.pgm"))
        width, height = sheets.image_size(source)
        rendered = sheets.render(pdf, number, os.path.join(work, "rendered.pgm"),
                                 ("-scale-to-x", str(width), "-scale-to-y", str(height)))
        # A Group 4 page goes in as it is; a JPEG page is coded again, so it comes out close.
        group4 = sheets.compression(page) == "Group4"
        if sheets.differing(source, rendered) != 0 if group4 else sheets.likeness(rendered, (0, 0, width, height), page, work) > 0.02:
            raise AssertionError("page %d of %s differs from %s" % (number, os.path.basename(pdf), page))


def check_sheets(job, pages, rows, columns, work, artifacts, name):
    """Each page in its cell of the sheets, row by row: framed, fitted into the frame less half the
    margin, centred, and nearer to its own page than to any other."""
    per_sheet = rows * columns
    expected = (len(pages) + per_sheet - 1) // per_sheet
    if sheets.page_count(job) != expected:
        raise AssertionError("%d sheets instead of %d" % (sheets.page_count(job), expected))
    for sheet in range(expected):
        picture = sheets.render(job, sheet + 1, os.path.join(work, "sheet.pgm"))
        sheets.grey(picture, os.path.join(artifacts, "output-%s-sheet-%d.png" % (name, sheet + 1)))
        on_sheet = pages[sheet * per_sheet:(sheet + 1) * per_sheet]
        found = sheets.frames(picture, rows)
        if len(found) != len(on_sheet):
            raise AssertionError("sheet %d: %d framed cells instead of %d" % (sheet + 1, len(found), len(on_sheet)))
        # A tenth of an inch at 100 dots per inch is the margin; the frame lies half way out.
        half = 5
        first = found[0]
        width, height = first[2] - first[0], first[3] - first[1]
        for k, (frame, page) in enumerate(zip(found, on_sheet)):
            left = first[0] + (k % columns) * (width + 2 * half)
            top = first[1] + (k // columns) * (height + 2 * half)
            if any(abs(a - b) > 2 for a, b in zip(frame, (left, top, left + width, top + height))):
                raise AssertionError("sheet %d: cell %d framed at %s, not at the grid's (%d, %d)" % (sheet + 1, k, frame, left, top))
            box = (frame[0] + half, frame[1] + half, frame[2] - half + 1, frame[3] - half + 1)
            rect = sheets.fit(box, *sheets.image_size(page))
            own = sheets.best_likeness(picture, rect, page, work)
            others = [sheets.likeness(picture, rect, other, work) for other in pages if other != page]
            if own > 0.22 or any(other < own + 0.05 for other in others):
                raise AssertionError("sheet %d, cell %d: %s does not sit at %s (likeness %.3f, others %s)"
                                     % (sheet + 1, k, os.path.basename(page), rect, own, ["%.3f" % o for o in others]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--profile", required=True)
    parser.add_argument("--queue", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    # Only this run's pictures in the artefacts.
    shutil.rmtree(args.artifacts, ignore_errors=True)
    session = Session(args.program, args.artifacts, prefix="output")
    shot, step, folder = session.shot, session.step, session.folder
    work = os.path.join(folder, "work")
    out = os.path.join(folder, "out")
    os.makedirs(work)
    os.makedirs(out)
    batch = Batch(args.profile, folder)
    # The print server's helpers run as another user where the run is root's: the queue's folder
    # must be open to them, so it lies outside the run's private folder.
    queue = Queue(args.queue, tempfile.mkdtemp(prefix="orbel-queue-"))
    if queue.ready:
        session.env["CUPS_SERVER"] = queue.socket
        print("printing through the print server's queue QV_TEST_PRINTER")
    else:
        print("no print server on this machine: the printing steps are left out")
    try:
        viewer = session.start(["-M:" + batch.profile])
        main_window = viewer.window

        def window(name, timeout=20):
            return wait_for("the window \"%s\"" % name, lambda: viewer.window_named(name), timeout=timeout)

        def gone(name):
            wait_for("the window \"%s\" to close" % name, lambda: not viewer.window_named(name), timeout=30)

        def answer_no_to_opening():
            window("Question")
            shot("question")
            run("xdotool", "key", "alt+n")
            gone("Question")

        def results():
            """The results dialog, shown (F5 shows it again once it is hidden or made way)."""
            for _ in range(3):
                found = viewer.window_named("Search results")
                if found:
                    run("xdotool", "windowactivate", "--sync", found)
                    return found
                run("xdotool", "windowactivate", "--sync", main_window)
                run("xdotool", "key", "F5")
                time.sleep(0.5)
            return window("Search results")

        def click_row(dialog, row, count=1):
            x, y, _, _ = geometry(dialog)
            run("xdotool", "mousemove", "--sync", str(x + 60), str(y + FIRST_ROW + ROW_PITCH * row),
                "click", "--repeat", str(count), "--delay", "80", "1")

        def output_menu(dialog, *keys):
            x, y, _, _ = geometry(dialog)
            run("xdotool", "mousemove", "--sync", str(x + 30), str(y + 8), "click", "1")
            time.sleep(0.3)
            run("xdotool", "key", "--delay", "150", *keys)

        def open_hit():
            run("xdotool", "windowactivate", "--sync", window("New search"))
            run("xdotool", "key", "Return")
            click_row(results(), 0, 2)
            wait_for("the first hit in the title", lambda: batch.documents[0][0] in viewer.title(), timeout=20)
            time.sleep(1)
            shot("01-document")
        step("a hit opens from the results", open_hit)
        number = batch.documents[0][0]
        pages = batch.pages(number)

        def save_pdf(path, *range_keys):
            run("xdotool", "windowactivate", "--sync", main_window)
            run("xdotool", "key", "ctrl+s")
            window("Save as PDF")
            run("xdotool", "type", "--delay", "20", path)
            for keys in range_keys:
                run("xdotool", *keys)
            shot("save-as-pdf-" + os.path.basename(path))
            run("xdotool", "key", "Return")
            answer_no_to_opening()

        def document_as_pdf():
            pdf = os.path.join(out, "document.pdf")
            save_pdf(pdf)
            check_pdf(pdf, pages, work)
        step("the document saved as PDF", document_as_pdf)

        def range_as_pdf():
            pdf = os.path.join(out, "range.pdf")
            save_pdf(pdf, ("key", "alt+i", "Tab"), ("type", "2"), ("key", "Tab"), ("type", "3"))
            check_pdf(pdf, pages[1:3], work)
        step("pages 2 to 3 saved as PDF", range_as_pdf)

        def print_document(layout_keys, rows, columns, name):
            before = len(queue.jobs())
            run("xdotool", "windowactivate", "--sync", main_window)
            run("xdotool", "key", "ctrl+p")
            window("Print")
            if layout_keys:
                run("xdotool", "key", "--delay", "100", *layout_keys)
            shot(name + "-dialog")
            run("xdotool", "key", "Return")
            job = queue.next_job(before)
            gone("Printing")
            check_sheets(job, pages, rows, columns, work, args.artifacts, name)

        if queue.ready:
            step("the document printed one page to a sheet", lambda: print_document((), 1, 1, "1-up"))
            # The layout list is the third stop after the printer: 1, 2, 4 images per sheet.
            step("the document printed four pages to a sheet",
                 lambda: print_document(("Tab", "Tab", "Tab", "Down", "Down"), 2, 2, "4-up"))

        hit = batch.documents[1][0]

        def hit_as_pdf():
            dialog = results()
            click_row(dialog, 1)
            output_menu(dialog, "d")
            window("Save as PDF")
            pdf = os.path.join(out, "hit.pdf")
            run("xdotool", "type", "--delay", "20", pdf)
            shot("02-hit-as-pdf")
            run("xdotool", "key", "Return")
            answer_no_to_opening()
            check_pdf(pdf, batch.pages(hit), work)
        step("the images of a hit saved as PDF from the results", hit_as_pdf)

        def print_from_results(keys, what):
            before = len(queue.jobs())
            dialog = results()
            click_row(dialog, 1)
            output_menu(dialog, "p", *keys)
            window("Print")
            shot("03-print-" + what)
            run("xdotool", "key", "Return")
            return queue.next_job(before)

        def hit_printed():
            job = print_from_results(("i",), "images")
            gone("Printing")
            check_sheets(job, batch.pages(hit), 1, 1, work, args.artifacts, "hit")

        def hit_list_printed():
            job = print_from_results(("h",), "hit-list")
            picture = sheets.render(job, 1, os.path.join(work, "hitlist.pgm"))
            sheets.grey(picture, os.path.join(args.artifacts, "output-hit-list.png"))
            if sheets.page_count(job) != 1:
                raise AssertionError("the hit list took %d pages" % sheets.page_count(job))
            # Title and headings over the rule, then one line per hit.
            bands = sheets.dark_bands(picture)
            rule = next((k for k, band in enumerate(bands) if band[2] > 500), None)
            if rule is None or rule < 2 or len(bands) - rule - 1 != len(batch.documents):
                raise AssertionError("the hit list's lines do not make a header and %d rows: %s" % (len(batch.documents), bands))
        if queue.ready:
            step("the images of a hit printed from the results", hit_printed)
            step("the hit list printed", hit_list_printed)

        def export(name, file_type_keys, headings_box):
            path = os.path.join(out, name)
            run("xdotool", "windowactivate", "--sync", main_window)
            run("xdotool", "key", "ctrl+e")
            dialog = window("Export Index Data")
            run("xdotool", "type", "--delay", "20", path)
            if file_type_keys:
                run("xdotool", "key", *file_type_keys)
            if headings_box:
                x, y, _, _ = geometry(dialog)
                run("xdotool", "mousemove", "--sync", str(x + 18), str(y + 324), "click", "1")
            shot("04-export-" + name)
            run("xdotool", "key", "Return")
            # The dialog asks before it makes a new file.
            wait_for("the question to make the file", lambda: len(run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                                                      str(viewer.proc.pid), "--name", "^Export Index Data$").split()) > 1)
            run("xdotool", "key", "alt+y")
            wait_for("the export written", lambda: os.path.exists(path) and not viewer.window_named("Export Index Data"))
            return path

        def csv_export():
            path = export("hits.csv", ("Tab", "Down"), True)
            with open(path, encoding="utf-8-sig", newline="") as f:
                records = list(csv.reader(f))
            if records != batch.records(True):
                raise AssertionError("the CSV holds %s" % records)
        step("the hits exported as CSV", csv_export)

        def xml_export():
            path = export("hits.xml", (), False)
            lint = subprocess.run(["xmllint", "--noout", path], capture_output=True, text=True)
            if lint.returncode != 0:
                raise AssertionError("xmllint: " + lint.stderr)
            root = ElementTree.parse(path).getroot()
            records = [[item.text or "" for item in record.findall("item")] for record in root.iter("record")]
            if root.tag != "data" or records != batch.records(True):
                raise AssertionError("the XML holds %s" % records)
        step("the hits exported as XML (the headings switch kept)", xml_export)
        step("quit", viewer.quit)
    except AssertionError as e:
        session.fail(e)
    finally:
        queue.stop()
        code = session.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
