"""What the end-to-end runs of the real viewer share: a fresh application folder for the program,
the running program and its windows, screenshots and picture comparisons, and the steps of a run
with their verdicts (each failing step leaves a screenshot).

Every run happens inside xvfb-run; the session starts openbox and gives the program a runtime
folder of its own.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "..", "platform", "ui", "tests", "e2e"))
from drive import geometry, run, wait_for, start_window_manager  # noqa: E402,F401

TITLE = "Seek and Show"


def install(program, folder):
    bin_dir = os.path.dirname(os.path.abspath(program))
    shutil.copy2(program, os.path.join(folder, "OrbelMain"))
    for name in os.listdir(bin_dir):
        if ".so" in name or name.endswith((".drs", ".DLL")):
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
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid), "--name", "^%s$" % TITLE).split()
        return found[0] if found else None

    def window_named(self, name):
        """A visible window of the program by its exact title, or None."""
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid), "--name", "^%s$" % name).split()
        return found[0] if found else None

    def title(self):
        return run("xdotool", "getwindowname", self.window).strip()

    def open_first_hit(self, shot):
        """After a "-M:" start: the query asked for once (OK with nothing typed finds every document),
        the hits listed, and the first one opened with a double click, so that the title names its
        document."""
        dialog = wait_for("the new-search dialog", lambda: self.window_named("New search"), timeout=20)
        run("xdotool", "windowactivate", "--sync", dialog)
        shot("01b-new-search")
        run("xdotool", "key", "Return")
        results = wait_for("the search results", lambda: self.window_named("Search results"), timeout=20)
        time.sleep(0.5)
        shot("01c-results")
        if self.window_named("New search"):
            raise AssertionError("the new-search dialog came again")
        # The row lies under the dialog's menu bar and the list's header.
        run("xdotool", "windowactivate", "--sync", results)
        x, y, _, _ = geometry(results)
        run("xdotool", "mousemove", "--sync", str(x + 60), str(y + 50), "click", "--repeat", "2", "--delay", "80", "1")
        wait_for("a document in the title", lambda: " - " in self.title(), timeout=20)
        run("xdotool", "windowactivate", "--sync", self.window)
        time.sleep(1)
        shot("01d-document")

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


class Session:
    """One run: the window manager, the program's folder and environment, the steps and their
    verdicts. `prefix` names the screenshots kept in `artifacts`."""

    def __init__(self, program, artifacts, prefix="orbel"):
        os.makedirs(artifacts, exist_ok=True)
        self.artifacts = artifacts
        self.prefix = prefix
        self.manager = start_window_manager("openbox")
        self.folder = tempfile.mkdtemp(prefix="orbel-e2e-")
        self.runtime = tempfile.mkdtemp(prefix="orbel-run-")
        # The program's registry lives in the run's folder, never in the user's own.
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, QT_QPA_PLATFORM="xcb",
                        QV_REGISTRY_DIR=os.path.join(self.folder, "registry"))
        self.exe = install(program, self.folder)
        self.viewers = []
        self.failures = []

    def start(self, args=()):
        viewer = Viewer(self.exe, self.env, args)
        self.viewers.append(viewer)
        return viewer

    def shot(self, name):
        run("import", "-window", "root", os.path.join(self.artifacts, "%s-%s.png" % (self.prefix, name)))

    def step(self, text, action):
        try:
            action()
            print("ok   " + text)
        except AssertionError as e:
            self.failures.append(text)
            print("FAIL %s: %s" % (text, e))
            self.shot("failed-%d" % len(self.failures))

    def fail(self, error):
        self.failures.append(str(error))
        print("FAIL: %s" % error)
        self.shot("failed")

    def close(self):
        """Ends what is still running, removes the folders and gives the exit code of the run."""
        for viewer in self.viewers:
            if viewer.proc.poll() is None:
                viewer.proc.kill()
                viewer.proc.wait(10)
        self.manager.terminate()
        self.manager.wait(10)
        shutil.rmtree(self.folder, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)
        print("%d step(s) failed" % len(self.failures) if self.failures else "all steps passed")
        return 1 if self.failures else 0
