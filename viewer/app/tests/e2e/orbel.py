#!/usr/bin/env python3
"""Drives the real viewer on an X display as a user would: keys, clicks and drags with xdotool.

Usage: orbel.py --program EXE --profile FILE --artifacts DIR   (inside xvfb-run)

The program is copied into a fresh application folder (libraries and language files linked
beside it), so that its settings start from nothing and stay apart from every other run. Under
openbox it starts with "-M:" on the sample profile, goes through the document and zoom keys,
switches the language to German and back, moves its view bar to the right side, and quits;
the settings and the bars' docking must be on disk then and the next start must look the same.
A second start must bring the first window forward and end. Screenshots of each step are kept.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "..", "platform", "ui", "tests", "e2e"))
from drive import geometry, run, wait_for, start_window_manager  # noqa: E402

TITLE = "Seek and Show"


def install(program, folder):
    bin_dir = os.path.dirname(os.path.abspath(program))
    shutil.copy2(program, os.path.join(folder, "OrbelMain"))
    for name in os.listdir(bin_dir):
        if ".so" in name or name.endswith(".drs"):
            os.symlink(os.path.join(bin_dir, name), os.path.join(folder, name))
    return os.path.join(folder, "OrbelMain")


class Viewer:
    def __init__(self, exe, env, args=()):
        self.proc = subprocess.Popen([exe, *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.window = wait_for("the main window", lambda: self.visible_window())
        run("xdotool", "windowactivate", "--sync", self.window)

    def visible_window(self):
        if self.proc.poll() is not None:
            raise AssertionError("the viewer ended with %d: %s" % (self.proc.returncode, self.proc.stderr.read()))
        found = run("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), "--name", "^%s$" % TITLE).split()
        return found[0] if found else None

    def quit(self):
        run("xdotool", "windowactivate", "--sync", self.window)
        run("xdotool", "key", "alt+F4")
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            raise AssertionError("the viewer did not end after Alt+F4")
        if self.proc.returncode != 0:
            raise AssertionError("the viewer ended with %d: %s" % (self.proc.returncode, self.proc.stderr.read()))


def window_picture(window, path):
    run("import", "-window", window, path)
    return path


def differing_pixels(a, b):
    out = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return int(float(out.stderr.split()[0]))


def crop(picture, geometry, path):
    run("convert", picture, "-crop", geometry, "+repage", path)
    return path


def settings(folder):
    path = os.path.join(folder, "Workstation", "Sys", "SXS.dat")
    with open(path, encoding="utf-8-sig") as f:
        return dict(line.split("=", 1)[0].strip() and (line.split("=", 1)[0].strip(), line.split("=", 1)[1].strip())
                    for line in f.read().splitlines() if "=" in line)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--profile", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)

    def shot(name):
        run("import", "-window", "root", os.path.join(args.artifacts, "orbel-%s.png" % name))

    manager = start_window_manager("openbox")
    folder = tempfile.mkdtemp(prefix="orbel-e2e-")
    runtime = tempfile.mkdtemp(prefix="orbel-run-")
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
    viewers = []
    failures = []

    def step(text, action):
        try:
            action()
            print("ok   " + text)
        except AssertionError as e:
            failures.append(text)
            print("FAIL %s: %s" % (text, e))
            shot("failed-%d" % len(failures))

    try:
        exe = install(args.program, folder)
        first = Viewer(exe, env, ["-M:" + args.profile])
        viewers.append(first)
        shot("01-started")

        # The document and zoom keys of the hot-key table (they reach the browser once it shows).
        run("xdotool", "key", "--delay", "100", "ctrl+Next", "ctrl+KP_Add", "ctrl+KP_Subtract")
        shot("02-next-and-zoom")

        # The language pop-up is the last item of the View menu: German, then English again.
        whole = os.path.join(folder, "whole.png")

        def menu_bar():
            window_picture(first.window, whole)
            return crop(whole, "400x20+0+0", os.path.join(folder, "menu-%f.png" % time.monotonic()))

        english = menu_bar()

        def choose_language(view_menu_key, downs):
            run("xdotool", "key", "--delay", "150", view_menu_key, "Up", "Right", *(["Down"] * downs), "Return")

        def german():
            choose_language("alt+v", 1)
            wait_for("German menus", lambda: differing_pixels(menu_bar(), english) > 50, timeout=10)
            shot("03-german")

        def back_to_english():
            choose_language("alt+a", 0)  # the View menu is "&Ansicht" now
            wait_for("English menus", lambda: differing_pixels(menu_bar(), english) == 0, timeout=10)
        step("the language to German", german)
        step("and back to English", back_to_english)

        # The view bar's gripper (top of the left bar) dragged to the right side of the window.
        def dock_right():
            left_before = crop(window_picture(first.window, whole), "40x400+0+80", os.path.join(folder, "left-before.png"))
            x, y = 18, 77
            run("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1")
            for px in (60, 300, 700, 1100, 1250, 1272):
                run("xdotool", "mousemove", "--sync", str(px), "600")
                time.sleep(0.05)
            run("xdotool", "mouseup", "1")
            time.sleep(0.5)
            left_after = crop(window_picture(first.window, whole), "40x400+0+80", os.path.join(folder, "left-after.png"))
            if differing_pixels(left_before, left_after) < 1000:
                raise AssertionError("the view bar is still at the left")
        step("the view bar docked at the right", dock_right)
        before = window_picture(first.window, os.path.join(args.artifacts, "orbel-04-before-quit.png"))

        def quit_writes_settings():
            first.quit()
            values = settings(folder)
            for key, value in (("LanguageID", "en-us"), ("IsMaximized", "1")):
                if values.get(key) != value:
                    raise AssertionError("%s = %r in the settings" % (key, values.get(key)))
            if not os.path.getsize(os.path.join(folder, "Workstation", "Sys", "SXS.dockstate")):
                raise AssertionError("no docking layout written")
        step("quitting writes settings and docking layout", quit_writes_settings)

        again = Viewer(exe, env)
        viewers.append(again)

        def looks_the_same():
            after = os.path.join(args.artifacts, "orbel-05-next-start.png")
            wait_for("the same window as before", lambda: differing_pixels(window_picture(again.window, after), before) < 200,
                     timeout=10)
        step("the next start restores the layout", looks_the_same)

        def second_start_brings_first_forward():
            shown = geometry(again.window)
            run("xdotool", "windowminimize", "--sync", again.window)
            third = subprocess.run([exe], env=env, capture_output=True, timeout=30)
            if third.returncode != 0:
                raise AssertionError("the second start ended with %d" % third.returncode)
            wait_for("the first window shown again where it was",
                     lambda: again.visible_window() and geometry(again.window) == shown, timeout=10)
            if run("xdotool", "getactivewindow").strip() != again.window:
                raise AssertionError("the first window is not the active one")
            shot("06-brought-forward")
            if again.proc.poll() is not None:
                raise AssertionError("the first instance ended")
        step("a second start brings the first forward and ends", second_start_brings_first_forward)
        step("quit", again.quit)
    except AssertionError as e:
        failures.append(str(e))
        print("FAIL: %s" % e)
        shot("failed")
    finally:
        for viewer in viewers:
            if viewer.proc.poll() is None:
                viewer.proc.kill()
                viewer.proc.wait(10)
        manager.terminate()
        manager.wait(10)
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)
    print("%d step(s) failed" % len(failures) if failures else "all steps passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
