#!/usr/bin/env python3
"""The program in a Wayland session: weston on its headless back-end with XWayland.

- By default (WAYLAND_DISPLAY and DISPLAY set, XDG_SESSION_TYPE=wayland) the window runs
  through XWayland, where staying on top, at the back, placing itself and dragging work: its
  window is an X window, and nothing is said about Wayland.
- With QT_QPA_PLATFORM=wayland chosen it runs on Wayland itself and says once, on the terminal
  and in the event log, which modes cannot work there.

Both end on SIGTERM with their settings written. Exits 77 (skipped) without weston, Xwayland
or Qt's Wayland platform plugin.

    wayland_check.py PROGRAM
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WAYLAND_LINE = "Wayland … 常に手前・常に背面・位置の指定・ドラッグ移動は働きません"
WAYLAND_STDERR = "on Wayland the window cannot stay on top"


class Failure(Exception):
    pass


def wait_for(what, predicate, deadline=30.0):
    end = time.monotonic() + deadline
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            return file.read()
    except OSError:
        return ""


def qt_wayland_plugin():
    """Whether Qt's Wayland platform plugin is installed beside its xcb one."""
    for folder in ("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms",
                   "/usr/lib/aarch64-linux-gnu/qt6/plugins/platforms",
                   "/usr/lib/qt6/plugins/platforms"):
        if os.path.isdir(folder) and any(name.startswith("libqwayland")
                                         for name in os.listdir(folder)):
            return True
    return False


class Weston:
    """weston on the headless back-end, with XWayland started for the first X client."""

    def __init__(self, root):
        self.runtime = os.path.join(root, "run")
        os.makedirs(self.runtime, mode=0o700)
        self.log = os.path.join(root, "weston.log")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--socket=heronwatch-test",
             "--xwayland", "--width=1920", "--height=1080", "--idle-time=0",
             "--log=" + self.log], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        number = wait_for("weston's X server", lambda: re.search(
            r"xserver listening on display (:\d+)", read(self.log)))
        self.env = dict(env, WAYLAND_DISPLAY="heronwatch-test", DISPLAY=number.group(1),
                        XDG_SESSION_TYPE="wayland")
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)

    def x_windows(self):
        result = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env,
                                capture_output=True, text=True)
        return result.stdout

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def run_program(weston, program, root, name, **environment):
    work = os.path.join(root, name)
    os.makedirs(work)
    with open(os.path.join(work, "Heronwatch.ini"), "w", encoding="utf-8") as ini:
        ini.write("[Flag]\nOntop=1\n")
    env = dict(weston.env, HERONWATCH_WORKDIR=work, HERONWATCH_API_BASE="http://127.0.0.1:9",
               HERONWATCH_SANDBOX_BASE="http://127.0.0.1:9",
               HERONWATCH_STATION_BASE="http://127.0.0.1:9",
               HERONWATCH_PUSH_URL="ws://127.0.0.1:9/",
               HERONWATCH_SANDBOX_PUSH_URL="ws://127.0.0.1:9/", **environment)
    stderr_path = os.path.join(root, name + ".stderr")
    with open(stderr_path, "wb") as stderr:
        process = subprocess.Popen([program], env=env, cwd=work, stdout=subprocess.DEVNULL,
                                   stderr=stderr)
    log = os.path.join(work, "Eventlog", "event.log")
    try:
        wait_for("the window of %s to run" % name, lambda: "Log Start" in read(log))
        return process, log, stderr_path
    except Failure:
        process.kill()
        process.wait()
        raise


def stop(process, log, what):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        raise Failure(what + ": SIGTERM ignored")
    if process.returncode != 0 or "Log End" not in read(log):
        raise Failure("%s ended with %d" % (what, process.returncode))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    missing = [tool for tool in ("weston", "Xwayland", "xwininfo") if shutil.which(tool) is None]
    if not qt_wayland_plugin():
        missing.append("Qt's Wayland platform plugin (qt6-wayland)")
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    program = os.path.abspath(sys.argv[1])
    root = tempfile.mkdtemp(prefix="heronwatch-wayland-")
    weston = None
    try:
        weston = Weston(root)

        # The default: through XWayland.
        process, log, stderr = run_program(weston, program, root, "default")
        wait_for("the window on the X display", lambda: '"Heronwatch"' in weston.x_windows())
        if WAYLAND_STDERR in read(stderr) or "Wayland …" in read(log):
            raise Failure("the default run says it runs on Wayland: " + read(stderr))
        stop(process, log, "the default run")

        # Wayland chosen: it runs, and says once what cannot work there. Under the leak checker
        # the allocations are traced in full, so that what Mesa's renderer keeps is known by its
        # library even after that library was unloaded at the end.
        extra = {}
        if os.environ.get("LSAN_OPTIONS"):
            extra["LSAN_OPTIONS"] = os.environ["LSAN_OPTIONS"] + ":fast_unwind_on_malloc=0"
        process, log, stderr = run_program(weston, program, root, "wayland",
                                           QT_QPA_PLATFORM="wayland", **extra)
        if '"Heronwatch"' in weston.x_windows():
            raise Failure("the Wayland run made an X window")
        if read(stderr).count(WAYLAND_STDERR) != 1 or read(log).count(WAYLAND_LINE) != 1:
            raise Failure("the Wayland run did not say once what cannot work: " + read(stderr))
        stop(process, log, "the Wayland run")
        print("wayland check passed")
        return 0
    except Failure as failure:
        print("FAILED: %s" % failure)
        for name in ("default", "wayland"):
            text = read(os.path.join(root, name + ".stderr"))
            if text:
                print("standard error of the %s run:\n%s" % (name, text[-2000:]))
        print("weston's log:\n" + read(os.path.join(root, "weston.log"))[-2000:])
        return 1
    finally:
        if weston is not None:
            weston.close()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
