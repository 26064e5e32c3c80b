#!/usr/bin/env python3
"""The real program announces a new report on the desktop's notification service.

A private session bus (dbus-daemon) carries a fake org.freedesktop.Notifications service that
records each Notify call. The program runs headless in demo mode with demo notifications
chosen, so the demo report is announced as soon as it is shown; the recorded title and text
must be those of the report. Without the service the program must go on (the tray's message
stands in) and end normally. Skipped (77) without dbus-daemon or the Python D-Bus modules.

    notification_check.py PROGRAM RUNTIME_DIR
"""

import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SERVICE = "org.freedesktop.Notifications"
SETTINGS = "[Flag]\nDemo=1\n[Notify]\nEnabled=1\nDemo=1\n"


def serve(record):
    """The fake notification service: appends each Notify call to `record` as a JSON line."""
    import dbus
    import dbus.mainloop.glib
    import dbus.service
    from gi.repository import GLib

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()

    class Server(dbus.service.Object):
        @dbus.service.method(SERVICE, in_signature="susssasa{sv}i", out_signature="u")
        def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
            with open(record, "a", encoding="utf-8") as out:
                out.write(json.dumps({"app": str(app), "summary": str(summary),
                                      "body": str(body)}, ensure_ascii=False) + "\n")
            return 1

        @dbus.service.method(SERVICE, out_signature="as")
        def GetCapabilities(self):
            return ["body"]

        @dbus.service.method(SERVICE, out_signature="ssss")
        def GetServerInformation(self):
            return ["fake", "heronwatch-tests", "1", "1.2"]

    name = dbus.service.BusName(SERVICE, bus)  # noqa: F841 (held while serving)
    Server(bus, "/org/freedesktop/Notifications")
    print("ready", flush=True)
    GLib.MainLoop().run()


def expected_texts(demo_file):
    """Title and text of the demo report, worked out from its JSON here, not by the program."""
    report = json.loads(pathlib.Path(demo_file).read_text(encoding="utf-8"))[0]
    quake = report["earthquake"]
    names = {10: "1", 20: "2", 30: "3", 40: "4", 45: "5弱", 50: "5強", 55: "6弱", 60: "6強", 70: "7"}
    summary = "地震情報 最大震度" + names[quake["maxScale"]]
    day_time = quake["time"].split(" ")
    day = int(day_time[0].split("/")[2])
    hour, minute = day_time[1].split(":")[:2]
    pieces = [f"{day}日{int(hour)}時{minute}分ごろ"]
    centre = quake["hypocenter"]
    if report["issue"]["type"] == "ScalePrompt" and centre["magnitude"] == -1:
        pieces.append("震源は調査中")
    else:
        pieces.append(centre["name"])
        if centre["magnitude"] > 0:
            pieces.append(f"M{centre['magnitude']:.1f}")
        if centre["depth"] == 0:
            pieces.append("深さごく浅い")
        elif centre["depth"] > 0:
            pieces.append(f"深さ{centre['depth']}km")
    return summary, " ".join(p for p in pieces if p)


def wait_for(condition, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.05)
    return False


def run_program(program, runtime, work, env):
    data = work / "data"
    data.mkdir(parents=True)
    (data / "Heronwatch.ini").write_text(SETTINGS, encoding="utf-8")
    (work / "run").mkdir(mode=0o700)
    env = dict(env, HERONWATCH_WORKDIR=str(data), HERONWATCH_RUNTIME_DIR=str(runtime),
               XDG_RUNTIME_DIR=str(work / "run"), QT_QPA_PLATFORM="offscreen",
               HERONWATCH_API_BASE="http://127.0.0.1:9",
               HERONWATCH_SANDBOX_BASE="http://127.0.0.1:9",
               HERONWATCH_STATION_BASE="http://127.0.0.1:9")
    log = open(work / "program.out", "w", encoding="utf-8")
    return subprocess.Popen([program], env=env, stdout=log, stderr=subprocess.STDOUT)


def stop(process, work):
    process.send_signal(signal.SIGTERM)
    status = process.wait(timeout=60)
    if status != 0:
        sys.exit(f"FAIL: the program ended with {status}: {(work / 'program.out').read_text()}")


def main():
    if sys.argv[1] == "--serve":
        serve(sys.argv[2])
        return
    program, runtime = sys.argv[1], pathlib.Path(sys.argv[2])
    daemon = shutil.which("dbus-daemon")
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError as error:
        # The D-Bus modules come with the system's Python; another Python on PATH lacks them.
        system = "/usr/bin/python3"
        if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
            os.execv(system, [system, *sys.argv])
        print(f"SKIP: {error}")
        sys.exit(77)
    if daemon is None:
        print("SKIP: no dbus-daemon")
        sys.exit(77)

    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        bus = subprocess.Popen([daemon, "--session", "--nofork", "--print-address"],
                               stdout=subprocess.PIPE, text=True)
        try:
            address = bus.stdout.readline().strip()
            env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address)

            # Without a service: the call fails, the tray stands in, the program runs on.
            work = base / "absent"
            process = run_program(program, runtime, work, env)
            if not wait_for(lambda: "notification service" in (work / "program.out").read_text()):
                process.kill()
                sys.exit(f"FAIL: no fallback: {(work / 'program.out').read_text()}")
            stop(process, work)

            # With the service: one call with the report's title and text.
            record = base / "notify.jsonl"
            record.touch()
            server = subprocess.Popen([sys.executable, __file__, "--serve", str(record)],
                                      env=env, stdout=subprocess.PIPE, text=True)
            try:
                if server.stdout.readline().strip() != "ready":
                    sys.exit("FAIL: the fake service did not start")
                work = base / "present"
                process = run_program(program, runtime, work, env)
                if not wait_for(lambda: record.read_text(encoding="utf-8").strip() != ""):
                    process.kill()
                    sys.exit(f"FAIL: no notification: {(work / 'program.out').read_text()}")
                stop(process, work)
            finally:
                server.kill()
                server.wait()
        finally:
            bus.kill()
            bus.wait()

        calls = [json.loads(line) for line in record.read_text(encoding="utf-8").splitlines()]
        summary, body = expected_texts(runtime / "Storage" / "demo.json")
        if len(calls) != 1 or calls[0]["summary"] != summary or calls[0]["body"] != body:
            sys.exit(f"FAIL: recorded {calls}, expected one call with {summary!r}, {body!r}")
    print("notification check passed")


if __name__ == "__main__":
    main()
