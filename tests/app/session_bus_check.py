#!/usr/bin/env python3
"""The program on a desktop whose session bus or tray host never answers, under Xvfb with
openbox and an XEmbed tray (trayer):

- a bus that accepts connections and never answers (a stopped dbus-daemon): the window
  appears, the event log says once that the program goes on without the bus, the tray icon
  comes in the XEmbed tray, and SIGTERM ends the program within 3 seconds;
- a bus whose tray host (org.kde.StatusNotifierWatcher) never answers: the window appears
  without waiting for it, the log says so once, the tray icon comes in the XEmbed tray, and
  notifications still reach the notification service on that bus;
- a bus that answers: no such line.

Every wait is on a condition with a deadline. Exits 77 (skipped) without the X tools,
dbus-daemon or the Python D-Bus modules.

    session_bus_check.py PROGRAM
"""

import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from desktop_session_test import (TOOLS, Display, Failure, RecordingServer, Session,  # noqa: E402
                                  check, tray_icon, wait_for)

TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--SetDockType", "false",
          "--SetPartialStrut", "false", "--widthtype", "pixel", "--width", "120", "--height", "32"]
BUS_LINE = "セッションバス … 応答がありません"
TRAY_LINE = "通知領域 … トレイのホスト (org.kde.StatusNotifierWatcher) が応答しません"


def hang_tray_host():
    """Takes the tray host's name on the session bus and never answers a call to it."""
    import dbus
    bus = dbus.SessionBus()
    bus.request_name("org.kde.StatusNotifierWatcher")
    print("ready", flush=True)
    while True:
        time.sleep(3600)


class MuteBus:
    """A socket that takes connections and never reads them, as a stopped bus daemon's does."""

    def __init__(self, path):
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(64)
        self.address = "unix:path=" + path

    def close(self):
        self.listener.close()


def start_helper(env, *arguments):
    helper = subprocess.Popen([sys.executable, os.path.abspath(__file__), *arguments], env=env,
                              stdout=subprocess.PIPE, text=True)
    if helper.stdout.readline().strip() != "ready":
        raise Failure("the helper %s did not start" % (arguments,))
    return helper


def run_session(display, program, root, server, bus_address, ini="[Flag]\nOntop=0\n"):
    session = Session(display, program, tempfile.mkdtemp(dir=root), server)
    session.env["DBUS_SESSION_BUS_ADDRESS"] = bus_address
    session.write_settings(ini)
    session.start()
    return session


def stop_within(session, seconds):
    """SIGTERM ends the program, with its settings written, within `seconds`."""
    session.process.send_signal(signal.SIGTERM)
    wait_for("the program to end on SIGTERM", lambda: session.process.poll() is not None,
             deadline=seconds)
    check(session.process.returncode == 0, "ended with %d" % session.process.returncode)
    check("Log End" in session.event_log(), "the settings and the log were not written")


def run_checks(program, root):
    display = Display(root)
    server = RecordingServer()
    daemon = None
    helpers = []
    sessions = []
    try:
        tray = display.start(TRAYER)

        # A bus that never answers.
        mute = MuteBus(os.path.join(root, "mute-bus"))
        session = run_session(display, program, root, server, mute.address)
        sessions.append(session)
        wait_for("the icon in the XEmbed tray", lambda: tray_icon(display))
        log = session.event_log()
        check(log.count(BUS_LINE) == 1, "the log says once that the bus does not answer")
        stop_within(session, 3)
        mute.close()

        # A bus whose tray host never answers, with a notification service that records.
        daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = daemon.stdout.readline().strip()
        bus_env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address)
        record = os.path.join(root, "notify.jsonl")
        open(record, "w").close()
        helpers.append(start_helper(bus_env, "--serve-notifications", record))
        helpers.append(start_helper(bus_env, "--hang-tray-host"))
        session = run_session(display, program, root, server, address,
                              "[Flag]\nOntop=0\nDemo=1\n[Notify]\nEnabled=1\nDemo=1\n")
        sessions.append(session)
        wait_for("the icon in the XEmbed tray", lambda: tray_icon(display))
        wait_for("the notification on the bus", lambda: open(record, encoding="utf-8").read())
        with open(record, encoding="utf-8") as calls:
            check(json.loads(calls.readline())["app"] == "Heronwatch", "the notification")
        check(session.event_log().count(TRAY_LINE) == 1,
              "the log says once that the tray host does not answer")
        stop_within(session, 3)
        helpers.pop().kill()

        # The same bus without the hung tray host: nothing to say.
        session = run_session(display, program, root, server, address)
        sessions.append(session)
        wait_for("the icon in the XEmbed tray", lambda: tray_icon(display))
        log = session.event_log()
        check(BUS_LINE not in log and TRAY_LINE not in log, "a bus that answers was distrusted")
        stop_within(session, 3)
        tray.kill()
    except Failure:
        for session in sessions:
            if os.path.exists(session.stderr_path):
                with open(session.stderr_path, encoding="utf-8", errors="replace") as stderr:
                    print("standard error of the program in %s:" % session.work)
                    print(stderr.read()[-3000:])
        raise
    finally:
        for session in sessions:
            if session.process is not None and session.process.poll() is None:
                session.process.kill()
        for helper in helpers:
            helper.kill()
            helper.wait()
        if daemon is not None:
            daemon.kill()
            daemon.wait()
        server.shutdown()
        display.close()


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--hang-tray-host":
        hang_tray_host()
        return 0
    if len(sys.argv) == 3 and sys.argv[1] == "--serve-notifications":
        from notification_check import serve
        serve(sys.argv[2])
        return 0
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError as error:
        # The D-Bus modules come with the system's Python; another Python on PATH lacks them.
        system = "/usr/bin/python3"
        if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
            os.execv(system, [system, *sys.argv])
        print("skipped: %s" % error)
        return 77
    missing = [tool for tool in TOOLS + ["dbus-daemon"] if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    root = tempfile.mkdtemp(prefix="heronwatch-bus-")
    try:
        run_checks(os.path.abspath(sys.argv[1]), root)
        print("session bus check passed")
        return 0
    except Failure as failure:
        print("FAILED: %s" % failure)
        traceback.print_exc()
        return 1
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
