#!/usr/bin/env python3
"""Drives a demonstration program on an X display as a user would, from a table of steps.

Usage: drive.py --program EXE --steps FILE --artifacts DIR [--wm openbox] [--show WHAT]

Runs inside xvfb-run. Starts the window manager (if asked), then the program with
"--drive <folder>" (and "--show WHAT" when given); the program answers requests for its state ("key=value" lines, see the dialog
demo). Each line of the steps file is one step:

  key KEYS...         xdotool key names, pressed one after the other (Tab, alt+r, ctrl+x)
  type TEXT           types the text
  click NAME          clicks the middle of the named control
  point NAME          moves the pointer onto the middle of the named control, in one move
  jump X,Y            moves the pointer to the screen point X,Y in one move
  press KEY           presses the left button on the point "x,y" (or the middle of the rectangle)
                      the program's state gives as KEY
  move DX,DY          moves the mouse by DX,DY in small steps, the buttons held as they are
  release             lets the left button go
  expect KEY=VALUE    waits until the program's state has KEY equal to VALUE
  remember KEY        notes the current value of KEY
  changed KEY         waits until KEY differs from the value remembered
  same KEY            waits until KEY is back at the value remembered
  popup-below NAME    a window of the program opens just below the named control
  tip                 a small window of the program (a tool tip) shows just below and right of the pointer
  no-tip              no such window shows
  window TITLE        the following steps look at the program's window with this title
  frame X,Y           the window's frame (the manager's decoration included) has its top left at X,Y
  centred-on TITLE    the window's frame is centred on the frame of the window with that title
  framed [KEY]        the program's window rectangle (KEY in its state, "window" when none is
                      given) is the frame the window manager drew: the program knows where its
                      window is
  place X,Y           asks the window manager to move the window to X,Y, as a drag of its title would
  minimize            asks the window manager to minimise the window
  restore             activates the window as a click on the desktop's task bar does
  viewable            the window is on the screen
  hints-gravity-not G the window's size hints do not ask for gravity G
  allowed-not ACTS    the window manager offers none of these actions (MAXIMIZE_HORZ, RESIZE...)
  shot NAME           keeps a picture of the screen as NAME.png in the artefacts folder

Conditions are waited for (up to TIMEOUT seconds); no step relies on a fixed pause.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20.0


def run(*cmd):
    return subprocess.run(cmd, capture_output=True, text=True).stdout


def wait_for(what, probe, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class Program:
    def __init__(self, exe, folder, show):
        self.folder = folder
        self.seq = 0
        self.proc = subprocess.Popen([exe, "--drive", folder] + (["--show", show] if show else []))

    def state(self):
        self.seq += 1
        state_path = os.path.join(self.folder, "state")
        with open(os.path.join(self.folder, "request.part"), "w") as f:
            f.write(str(self.seq))
        os.replace(os.path.join(self.folder, "request.part"), os.path.join(self.folder, "request"))

        def answered():
            if self.proc.poll() is not None:
                raise AssertionError("the program ended with %d" % self.proc.returncode)
            try:
                with open(state_path) as f:
                    lines = f.read().splitlines()
            except FileNotFoundError:
                return None
            if not lines or lines[0] != "seq=%d" % self.seq:
                return None
            return dict(line.split("=", 1) for line in lines[1:] if "=" in line)

        return wait_for("the program's state", answered)


def x_window(name):
    return wait_for("a window named " + name,
                    lambda: run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name).split()[:1])[0]


def frame_origin(window):
    info = run("xwininfo", "-id", window)
    x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
    y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
    extents = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", run("xprop", "-id", window, "_NET_FRAME_EXTENTS"))
    left, top = (int(extents.group(1)), int(extents.group(3))) if extents else (0, 0)
    return x - left, y - top


def frame_rect(window):
    x, y = frame_origin(window)
    extents = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", run("xprop", "-id", window, "_NET_FRAME_EXTENTS"))
    left, right, top, bottom = map(int, extents.groups()) if extents else (0, 0, 0, 0)
    _, _, width, height = geometry(window)
    return x, y, width + left + right, height + top + bottom


def geometry(window):
    info = run("xwininfo", "-id", window)
    values = [int(re.search(label + r":\s+(-?\d+)", info).group(1))
              for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
    return tuple(values)


def pointer():
    values = dict(line.split("=", 1) for line in run("xdotool", "getmouselocation", "--shell").split() if "=" in line)
    return int(values["X"]), int(values["Y"])


def tips_near_pointer(program, window):
    x, y = pointer()
    others = [w for w in run("xdotool", "search", "--onlyvisible", "--pid", str(program.proc.pid)).split() if w != window]
    shown = [geometry(w) for w in others]
    return [g for g in shown if -8 <= g[0] - x <= 48 and 0 <= g[1] - y <= 48 and g[3] < 60]


def start_window_manager(name):
    manager = subprocess.Popen([name], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for("the window manager", lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
    return manager


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--steps", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--window", default="Every control")
    parser.add_argument("--wm")
    parser.add_argument("--show")
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    prefix = os.path.splitext(os.path.basename(args.steps))[0]

    manager = start_window_manager(args.wm) if args.wm else None
    folder = tempfile.mkdtemp(prefix="drive-")
    program = None
    remembered = {}
    failures = 0
    try:
        program = Program(args.program, folder, args.show)
        window = x_window(args.window)
        run("xdotool", "windowactivate", "--sync", window)
        for number, raw in enumerate(open(args.steps), 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            verb, _, arg = line.partition(" ")
            arg = arg.strip()
            try:
                if verb == "key":
                    run("xdotool", "key", "--delay", "60", *arg.split())
                elif verb == "type":
                    run("xdotool", "type", "--delay", "60", arg)
                elif verb == "click":
                    rect = program.state()[arg + ".rect"]
                    left, top, right, bottom = map(int, rect.split(","))
                    run("xdotool", "mousemove", "--sync", str((left + right) // 2), str((top + bottom) // 2), "click", "1")
                elif verb == "point":
                    left, top, right, bottom = map(int, program.state()[arg + ".rect"].split(","))
                    run("xdotool", "mousemove", "--sync", str((left + right) // 2), str((top + bottom) // 2))
                elif verb == "jump":
                    x, y = arg.split(",")
                    run("xdotool", "mousemove", "--sync", x, y)
                elif verb == "tip":
                    try:
                        wait_for("a tip", lambda: tips_near_pointer(program, window))
                    except AssertionError:
                        raise AssertionError("no tip near the pointer at %d,%d" % pointer())
                elif verb == "no-tip":
                    try:
                        wait_for("no tip", lambda: not tips_near_pointer(program, window))
                    except AssertionError:
                        raise AssertionError("a tip stays: %s" % tips_near_pointer(program, window))
                elif verb == "press":
                    values = list(map(int, program.state()[arg].split(",")))
                    x, y = values if len(values) == 2 else ((values[0] + values[2]) // 2, (values[1] + values[3]) // 2)
                    run("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1")
                elif verb == "move":
                    dx, dy = map(int, arg.split(","))
                    for step in range(1, 11):
                        run("xdotool", "mousemove_relative", "--sync", "--", str(dx * step // 10 - dx * (step - 1) // 10),
                            str(dy * step // 10 - dy * (step - 1) // 10))
                elif verb == "release":
                    run("xdotool", "mouseup", "1")
                elif verb == "expect":
                    key, value = arg.split("=", 1)
                    last = {}

                    def matches():
                        last.update(program.state())
                        return last.get(key) == value
                    try:
                        wait_for(arg, matches)
                    except AssertionError:
                        raise AssertionError("expected %s, is %r" % (arg, last.get(key)))
                elif verb == "remember":
                    remembered[arg] = program.state()[arg]
                elif verb == "changed":
                    try:
                        wait_for(arg + " to change", lambda: program.state()[arg] != remembered[arg])
                    except AssertionError:
                        raise AssertionError("%s stayed %s" % (arg, remembered[arg]))
                elif verb == "same":
                    try:
                        wait_for(arg + " to come back", lambda: program.state()[arg] == remembered[arg])
                    except AssertionError:
                        raise AssertionError("%s is not back at %s" % (arg, remembered[arg]))
                elif verb == "popup-below":
                    left, top, right, bottom = map(int, program.state()[arg + ".rect"].split(","))
                    seen = []

                    def below():
                        others = [w for w in run("xdotool", "search", "--onlyvisible", "--pid", str(program.proc.pid)).split()
                                  if w != window]
                        seen[:] = [geometry(w) for w in others]
                        return any(abs(g[0] - left) <= 2 and abs(g[1] - bottom) <= 2 for g in seen)
                    try:
                        wait_for("a list below " + arg, below)
                    except AssertionError:
                        raise AssertionError("no window at %d,%d; shown: %s" % (left, bottom, seen))
                elif verb == "window":
                    window = x_window(arg)
                elif verb == "centred-on":
                    def centre(w):
                        x, y, width, height = frame_rect(w)
                        return x + width / 2, y + height / 2
                    other = x_window(arg)
                    try:
                        wait_for("centred on " + arg,
                                 lambda: all(abs(a - b) <= 2 for a, b in zip(centre(window), centre(other))))
                    except AssertionError:
                        raise AssertionError("centre at %s, %s has it at %s" % (centre(window), arg, centre(other)))
                elif verb == "framed":
                    seen = {}

                    def framed():
                        x, y, width, height = frame_rect(window)
                        seen["frame"] = "%d,%d,%d,%d" % (x, y, x + width, y + height)
                        seen["program"] = program.state().get(arg or "window")
                        return seen["program"] == seen["frame"]
                    try:
                        wait_for("the program to know its frame", framed)
                    except AssertionError:
                        raise AssertionError("the frame is at %(frame)s, the program has %(program)s" % seen)
                elif verb == "place":
                    run("xdotool", "windowmove", "--sync", window, *arg.split(","))
                elif verb == "minimize":
                    run("xdotool", "windowminimize", window)
                elif verb == "restore":
                    run("xdotool", "windowactivate", window)
                elif verb == "viewable":
                    wait_for("the window on the screen", lambda: "IsViewable" in run("xwininfo", "-id", window))
                elif verb == "frame":
                    want = tuple(map(int, arg.split(",")))
                    try:
                        wait_for("the frame at " + arg, lambda: frame_origin(window) == want)
                    except AssertionError:
                        raise AssertionError("frame at %s, expected %s" % (frame_origin(window), want))
                elif verb == "hints-gravity-not":
                    hints = run("xprop", "-id", window, "WM_NORMAL_HINTS")
                    if re.search(r"window gravity:\s*" + arg, hints):
                        raise AssertionError("size hints ask for %s gravity" % arg)
                elif verb == "allowed-not":
                    allowed = run("xprop", "-id", window, "_NET_WM_ALLOWED_ACTIONS")
                    offered = [a for a in arg.split() if "_NET_WM_ACTION_" + a + "," in allowed + ","]
                    if offered:
                        raise AssertionError("the window manager offers " + " ".join(offered))
                elif verb == "shot":
                    run("import", "-window", "root", os.path.join(args.artifacts, "%s-%s.png" % (prefix, arg)))
                else:
                    raise AssertionError("unknown step " + verb)
                print("ok   %d: %s" % (number, line))
            except AssertionError as e:
                failures += 1
                print("FAIL %d: %s: %s" % (number, line, e))
                run("import", "-window", "root", os.path.join(args.artifacts, "%s-failed-%d.png" % (prefix, number)))
    except AssertionError as e:
        failures += 1
        print("FAIL: %s" % e)
    finally:
        if program and program.proc.poll() is None:
            program.proc.terminate()
            try:
                program.proc.wait(10)
            except subprocess.TimeoutExpired:
                program.proc.kill()
        if manager:
            manager.terminate()
            manager.wait(10)
        shutil.rmtree(folder, ignore_errors=True)
    print("%d step(s) failed" % failures if failures else "all steps passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
