#!/usr/bin/env python3
"""Sends e-mail from the real viewer to a local SMTP server, driven with keys and clicks.

Usage: orbel_mail.py --program EXE --profile FILE --sink SMTP_SINK_PY --artifacts DIR   (inside xvfb-run)

The mail server (smtp_sink.py over Debian's aiosmtpd) listens on 127.0.0.1 and keeps each mail
decoded in a folder. The viewer's registry names one mail program that delivers there, and its
settings name a log folder. After the "-M:" search opens the first hit, File > E-mail sends that
document: subject and recipients typed as formulas, the index data put into the body, the log
kept. The mail must arrive with its recipients, the subject filled from the index, the pages as
one TIFF that tiffinfo reads page for page, and the log must list each page. The selected hit
of the results list is sent the same way through its pop-up menu. With the server stopped a
send must end in an error box, with no log line and no page left in the temporary folder.
"""
import argparse
import datetime
import os
import re
import select
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from orbel_session import Session, geometry, run, wait_for  # noqa: E402

MAIL_PROGRAM = "Desk Mail"
SUBJECT = '"Invoice "<Invoice No>" for "<Customer>'
TO = '"Doe, John <john@example.org>"'
CC = '"accounts@example.org"'


class Sink:
    """The local SMTP server, in a folder of its own."""

    def __init__(self, script, folder):
        self.folder = folder
        os.makedirs(folder)
        self.proc = subprocess.Popen(["/usr/bin/python3", script, folder], stdout=subprocess.PIPE, text=True)
        if not select.select([self.proc.stdout], [], [], 30)[0]:
            raise AssertionError("the mail server did not start")
        self.port = int(self.proc.stdout.readline())

    def mails(self):
        return sorted((name for name in os.listdir(self.folder) if name.isdigit()), key=int)

    def read(self, number, name):
        with open(os.path.join(self.folder, number, name), encoding="utf-8", newline="") as f:
            return f.read()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)


def register_mail_program(registry, port):
    os.makedirs(registry)
    with open(os.path.join(registry, "HKEY_LOCAL_MACHINE.reg"), "w", encoding="utf-8") as f:
        f.write('[Software\\Clients\\Mail]\n@="%s"\n' % MAIL_PROGRAM)
        f.write('[Software\\Clients\\Mail\\%s]\n"DLLPath"="MAPI32.DLL"\n"Transport"="smtp"\n' % MAIL_PROGRAM)
        f.write('"Server"="smtp://127.0.0.1:%d"\n"From"="Scan Desk <desk@example.org>"\n' % port)


def tiff_pages(path):
    """Width and length of each page tiffinfo finds in the file."""
    out = subprocess.run(["tiffinfo", path], capture_output=True, text=True)
    if out.returncode != 0:
        raise AssertionError("tiffinfo cannot read %s: %s" % (path, out.stderr))
    return re.findall(r"Image Width: (\d+) Image Length: (\d+)", out.stdout)


LOG_LINE = re.compile(r"\(\d{4}/\d\d/\d\d - \d\d:\d\d\):\t(.+)\t(\d+)\t\d{4}/\d\d/\d\d - \d\d:\d\d\t")


def logged_sources(log):
    """The source paths of the log's combined blocks, each line's size checked against its file."""
    lines = log.split("\r\n")
    if lines[-1] != "":
        raise AssertionError("the log does not end in CR LF: %r" % log[-40:])
    sources = []
    for line in lines[:-1]:
        if line in ("COMBINED TIFF BEGIN:", "COMBINED TIFF END"):
            continue
        match = LOG_LINE.fullmatch(line)
        if not match or int(match.group(2)) != os.path.getsize(match.group(1)):
            raise AssertionError("not a log line of a page: %r" % line)
        sources.append(match.group(1))
    return sources


def settled(window):
    """The window's geometry once it has stopped moving (a window shown again goes back to its place)."""
    last = [None]

    def same():
        now = geometry(window)
        time.sleep(0.2)
        found, last[0] = now == last[0], now
        return now if found else None
    return wait_for("the window to settle", same, timeout=20)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--profile", required=True)
    parser.add_argument("--sink", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    session = Session(args.program, args.artifacts, prefix="mail")
    shot, step, folder, env = session.shot, session.step, session.folder, session.env
    sink = None
    try:
        sink = Sink(args.sink, os.path.join(folder, "received"))
        register_mail_program(env["QV_REGISTRY_DIR"], sink.port)
        # The pages are put together in the temporary folder; nothing may stay there.
        env["TMPDIR"] = os.path.join(folder, "tmp")
        os.makedirs(env["TMPDIR"])
        logs = os.path.join(folder, "logs")
        os.makedirs(logs)
        os.makedirs(os.path.join(folder, "Workstation", "Sys"))
        with open(os.path.join(folder, "Workstation", "Sys", "SXS.dat"), "w", encoding="utf-8") as f:
            f.write("[EmailSetting]\r\nSaveLogFile = 0\r\nLogPath = %s\r\n" % logs)

        viewer = session.start(["-M:" + args.profile])
        step("the pending search runs once and a result opens", lambda: viewer.open_first_hit(shot))
        document = viewer.title().split()[-1]

        def log_text():
            # The day's log, named by the local date of the sending (which may cross midnight).
            texts = []
            for day in {datetime.date.today(), datetime.date.today() - datetime.timedelta(days=1)}:
                path = os.path.join(logs, day.strftime("%Y%m%d.log"))
                if os.path.exists(path):
                    with open(path, encoding="utf-8", newline="") as f:
                        texts.append(f.read())
            return "".join(texts)

        def leftovers():
            return [os.path.join(top, name) for top, _, names in os.walk(env["TMPDIR"]) for name in names
                    if name.lower().endswith(".tif")]

        def email_dialog(open_command):
            open_command()
            dialog = wait_for("the e-mail dialog", lambda: viewer.window_named("E-mail"), timeout=20)
            run("xdotool", "windowactivate", "--sync", dialog)
            return dialog

        def from_file_menu():
            run("xdotool", "windowactivate", "--sync", viewer.window)
            run("xdotool", "key", "--delay", "200", "alt+f", "e")

        def send_document():
            email_dialog(from_file_menu)
            # The mail program list has the focus; the subject's edit follows it, then the subject's
            # set-up button, then To, its button and Cc.
            run("xdotool", "key", "Tab")
            run("xdotool", "type", "--delay", "20", SUBJECT)
            run("xdotool", "key", "Tab", "Tab")
            run("xdotool", "type", "--delay", "20", TO)
            run("xdotool", "key", "Tab", "Tab")
            run("xdotool", "type", "--delay", "20", CC)
            run("xdotool", "key", "--delay", "200", "alt+d", "alt+k")
            time.sleep(0.5)
            shot("02-email-dialog")
            run("xdotool", "key", "Return")
            wait_for("the mail at the server", sink.mails, timeout=60)
            wait_for("the e-mail dialog to close", lambda: not viewer.window_named("E-mail"), timeout=20)
            time.sleep(0.5)
            shot("03-sent")

        def check_document_mail():
            mail = sink.mails()[0]
            headers = sink.read(mail, "headers.txt").splitlines()
            for line in ("To\tDoe, John\tjohn@example.org", "Cc\t\taccounts@example.org",
                         "From\tScan Desk\tdesk@example.org", "Subject\tInvoice INV-000001 for Ålesund Fisk"):
                if line not in headers:
                    raise AssertionError("%r not among the headers %r" % (line, headers))
            body = sink.read(mail, "body.txt")
            if "Associated Document Index Data:" not in body or "Customer : Ålesund Fisk" not in body:
                raise AssertionError("no index data in the body %r" % body)
            attachments = os.listdir(os.path.join(sink.folder, mail, "attachments"))
            if attachments != [document + ".tif"]:
                raise AssertionError("attachments %r, not the document's one TIFF" % attachments)
            # Kept to look at: the mail as it arrived and its TIFF.
            shutil.copy(os.path.join(sink.folder, mail, "raw.eml"), os.path.join(args.artifacts, "mail-received.eml"))
            shutil.copy(os.path.join(sink.folder, mail, "attachments", attachments[0]),
                        os.path.join(args.artifacts, "mail-received.tif"))
            pages = tiff_pages(os.path.join(sink.folder, mail, "attachments", attachments[0]))
            sources = logged_sources(log_text())
            if not log_text().startswith("COMBINED TIFF BEGIN:\r\n") or len(sources) < 2:
                raise AssertionError("the log does not list the pages: %r" % log_text())
            if pages != [tiff_pages(source)[0] for source in sources]:
                raise AssertionError("pages %r, not those of %r" % (pages, sources))
            if any(document[:5] not in os.path.basename(source) for source in sources):
                raise AssertionError("the log lists pages of another document: %r" % sources)
            if leftovers():
                raise AssertionError("left in the temporary folder: %r" % leftovers())
        step("File > E-mail sends the document to the server", send_document)
        step("the mail carries recipients, subject, index data and every page; the log lists them",
             check_document_mail)

        def send_hit():
            # The results went down when the hit opened; F5 takes them off the screen, then shows
            # them again.
            found = run("xdotool", "search", "--pid", str(viewer.proc.pid), "--name", "^Search results$").split()
            if not found:
                raise AssertionError("no results dialog")
            run("xdotool", "windowactivate", "--sync", viewer.window)
            run("xdotool", "key", "F5")
            wait_for("the results taken off the screen",
                     lambda: "Iconic" not in run("xprop", "-id", found[0], "WM_STATE"), timeout=20)
            run("xdotool", "key", "F5")
            results = wait_for("the results dialog", lambda: viewer.window_named("Search results"), timeout=20)
            run("xdotool", "windowactivate", "--sync", results)
            x, y, _, _ = settled(results)

            def pop_up():
                # The first row, under the menu bar and the header, chosen and its menu opened.
                run("xdotool", "mousemove", "--sync", str(x + 60), str(y + 50), "click", "1")
                run("xdotool", "click", "3")
                time.sleep(0.5)
                shot("04-output-menu")
                run("xdotool", "key", "e")
            email_dialog(pop_up)
            time.sleep(0.5)
            shot("05-email-dialog-of-hit")
            run("xdotool", "key", "Return")
            wait_for("the second mail at the server", lambda: len(sink.mails()) == 2, timeout=60)
            mail = sink.mails()[1]
            attachments = os.listdir(os.path.join(sink.folder, mail, "attachments"))
            if attachments != [document + ".tif"]:
                raise AssertionError("attachments %r, not the hit's one TIFF" % attachments)
            pages = tiff_pages(os.path.join(sink.folder, mail, "attachments", attachments[0]))
            first = tiff_pages(os.path.join(sink.folder, sink.mails()[0], "attachments", attachments[0]))
            if pages != first:
                raise AssertionError("pages %r, not the hit's %r" % (pages, first))
            if log_text().count("COMBINED TIFF BEGIN:") != 2 or len(logged_sources(log_text())) != 2 * len(first):
                raise AssertionError("the log does not list the hit's pages: %r" % log_text())
            if "Subject\tInvoice INV-000001 for Ålesund Fisk" not in sink.read(mail, "headers.txt").splitlines():
                raise AssertionError("the hit's mail lost the saved subject")
        step("the results list's pop-up menu sends the selected hit", send_hit)

        def refused():
            sink.stop()
            before = log_text()
            email_dialog(from_file_menu)
            run("xdotool", "key", "Return")
            box = wait_for("the error box", lambda: viewer.window_named("Error"), timeout=60)
            time.sleep(0.5)
            shot("06-server-stopped")
            if log_text() != before:
                raise AssertionError("the failed send wrote to the log: %r" % log_text()[len(before):])
            if leftovers():
                raise AssertionError("left in the temporary folder: %r" % leftovers())
            run("xdotool", "windowactivate", "--sync", box)
            run("xdotool", "key", "Return")
            wait_for("the error box to close", lambda: not viewer.window_named("Error"), timeout=20)
        step("with the server stopped the send ends in an error box and logs nothing", refused)
        step("quit", viewer.quit)
    except AssertionError as e:
        session.fail(e)
    finally:
        if sink:
            sink.stop()
        code = session.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
