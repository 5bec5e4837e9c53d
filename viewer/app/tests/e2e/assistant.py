#!/usr/bin/env python3
"""The viewer's assistant panel on a real X display: the settings say it shows at a place, so it
opens there beside the main window (screenshot kept); a double click on its rim hides it; on quit
the settings say it is hidden and keep its place.

Usage: assistant.py --program EXE --artifacts DIR   (inside xvfb-run)
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from orbel_session import Session, geometry, run, settings, wait_for  # noqa: E402

LEFT, TOP = 700, 150


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    session = Session(args.program, args.artifacts, prefix="assistant")
    sys_dir = os.path.join(session.folder, "Workstation", "Sys")
    os.makedirs(sys_dir)
    with open(os.path.join(sys_dir, "SXS.dat"), "w", newline="") as f:
        f.write("[ScreenLayout]\r\nWindowLeft = 20\r\nWindowTop = 20\r\nWindowWidth = 640\r\nWindowHeight = 480\r\n"
                "ShowAssistant = 1\r\nAssistantLeft = %d\r\nAssistantTop = %d\r\n" % (LEFT, TOP))
    try:
        viewer = session.start()

        def panel():
            pid = str(viewer.proc.pid)
            shown = run("xdotool", "search", "--all", "--onlyvisible", "--pid", pid, "--name", "").split()
            return next((w for w in shown if w != viewer.window and geometry(w)[2] > 100), None)

        def opens_at_its_place():
            window = wait_for("the assistant panel", panel, timeout=20)
            x, y, width, height = geometry(window)
            if (x, y) != (LEFT, TOP):
                raise AssertionError("the panel stands at %d,%d, not at %d,%d" % (x, y, LEFT, TOP))
            session.shot("01-panel")
            return window, width, height
        found = []
        session.step("the panel opens where the settings put it", lambda: found.append(opens_at_its_place()))

        def double_click_hides():
            window, _, height = found[0]
            # The rim left of the help pane is the panel's own background.
            run("xdotool", "mousemove", "--sync", str(LEFT + 4), str(TOP + height // 2), "click", "--repeat", "2",
                "--delay", "80", "1")
            wait_for("the panel to go", lambda: panel() is None, timeout=20)
            session.shot("02-hidden")
        if found:
            session.step("a double click on its rim hides it", double_click_hides)

        def quit_keeps_place():
            viewer.quit()
            saved = settings(session.folder)
            expected = {"ShowAssistant": "0", "AssistantLeft": str(LEFT), "AssistantTop": str(TOP)}
            got = {key: saved.get(key) for key in expected}
            if got != expected:
                raise AssertionError("settings after quit: %s" % got)
        session.step("quitting writes it hidden at its place", quit_keeps_place)
    except AssertionError as e:
        session.fail(e)
    return session.close()


if __name__ == "__main__":
    sys.exit(main())
