#!/usr/bin/env python3
"""Drives the real viewer on an X display as a user would: keys, clicks and drags with xdotool.

Usage: orbel.py --program EXE --profile FILE --artifacts DIR   (inside xvfb-run)

The program is copied into a fresh application folder (libraries and language files linked
beside it), so that its settings start from nothing and stay apart from every other run. Under
openbox it starts with "-M:" on the sample profile, goes through the document and zoom keys,
runs the pending search once, opens a hit from the results, goes to the next document and zooms,
switches the language to German and back, moves its view bar to the right side, and quits;
the settings and the bars' docking must be on disk then and the next start must look the same.
A second start must bring the first window forward and end. Screenshots of each step are kept.
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from orbel_session import Session, crop, differing_pixels, geometry, run, settings, wait_for, window_picture  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--profile", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    session = Session(args.program, args.artifacts)
    shot, step, folder, env, exe = session.shot, session.step, session.folder, session.env, session.exe
    try:
        first = session.start(["-M:" + args.profile])
        shot("01-started")
        title = first.title

        step("the pending search runs once and a result opens", lambda: first.open_first_hit(shot))

        # The document and zoom keys of the hot-key table.
        def next_and_zoom():
            shown = title()
            before_zoom = os.path.join(folder, "before-zoom.png")
            run("xdotool", "key", "ctrl+Next")
            wait_for("the next document in the title", lambda: title() != shown, timeout=10)
            time.sleep(1)
            window_picture(first.window, before_zoom)
            run("xdotool", "key", "--delay", "300", "ctrl+KP_Add", "ctrl+KP_Add")
            time.sleep(1)
            zoomed = window_picture(first.window, os.path.join(folder, "zoomed.png"))
            if differing_pixels(before_zoom, zoomed) < 1000:
                raise AssertionError("zooming in changed nothing on screen")
            shot("02-next-and-zoom")
            run("xdotool", "key", "--delay", "300", "ctrl+KP_Subtract", "ctrl+KP_Subtract")
        step("next document and zoom", next_and_zoom)

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
        window_picture(first.window, os.path.join(args.artifacts, "orbel-04-before-quit.png"))

        def quit_writes_settings():
            first.quit()
            values = settings(folder)
            for key, value in (("LanguageID", "en-us"), ("IsMaximized", "1")):
                if values.get(key) != value:
                    raise AssertionError("%s = %r in the settings" % (key, values.get(key)))
            if not os.path.getsize(os.path.join(folder, "Workstation", "Sys", "SXS.dockstate")):
                raise AssertionError("no docking layout written")
        step("quitting writes settings and docking layout", quit_writes_settings)

        again = session.start()

        # The bars where they were left: the command bar along the top and the view bar at the
        # right, the left edge plain view (no document is open yet, so the buttons' states differ
        # from before; their places must not).
        def colours(picture, geometry, tag):
            strip = crop(picture, geometry, os.path.join(folder, "strip-%s.png" % tag))
            return int(run("convert", strip, "-format", "%k", "info:").strip() or 0)

        def looks_the_same():
            after = os.path.join(args.artifacts, "orbel-05-next-start.png")

            def same():
                window_picture(again.window, after)
                return (colours(after, "40x600+0+120", "left") <= 4 and colours(after, "40x600+1240+300", "right") > 8
                        and colours(after, "400x40+0+36", "top") > 8)
            wait_for("the bars where they were left", same, timeout=10)
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
        session.fail(e)
    finally:
        code = session.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
