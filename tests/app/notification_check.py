#!/usr/bin/env python3
"""The real program's desktop notifications, against a fake notification service on a private
session bus (dbus-daemon) that records every Notify call with its hints:

- no service: the call fails, the tray stands in, the chime is played by the program itself
  (a recording paplay), and the program runs on and ends normally;
- a service that plays sounds, with reports pushed by a local report service, under Xvfb with
  openbox: the icon by its installed name, the desktop entry, the default action, urgency
  critical from intensity 5 lower and low for intensity 1, the chime as the service's
  sound-file; the detailed report of the earthquake replaces the prompt's notification
  (replaces_id) without a second chime, another earthquake gets a notification of its own, and
  the default action brings the covered window in front;
- a service that plays no sounds and can be asked not to disturb, with the icon not installed:
  the icon's picture goes as image-data, the service is told to add no sound, and the program
  plays the chime itself, except while the user asked not to be disturbed.

The sound service is kept out (CANBERRA_DRIVER names none), so that the program's own chime
comes from the recording paplay. Every wait is on a condition with a deadline. Skipped (77)
without dbus-daemon, the Python D-Bus modules or the X tools.

    notification_check.py PROGRAM RUNTIME_DIR DATA_DIR

DATA_DIR is the build's data folder, whose icons/hicolor holds the program's icon.
"""

import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "soak"))
from desktop_session_test import Display, Failure, Session, check, wait_for  # noqa: E402
from push_server import PushServer  # noqa: E402

SERVICE = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
DESKTOP_ID = "io.github.heronwatch.heronwatch"
DEMO_SETTINGS = "[Flag]\nDemo=1\n[Notify]\nEnabled=1\nDemo=1\nSound=1\n"
# Intensity 1 is announced; the list is polled rarely, so reports arrive by the push channel.
PUSHED_SETTINGS = ("[Flag]\nOntop=0\n[Config]\nReload=180\n[Push]\nReload=180\n"
                   "[Notify]\nEnabled=1\nMinScale=10\nSound=1\n")
X_TOOLS = ["Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xmessage"]


def plain(value):
    """A D-Bus value as JSON can hold it; a byte array as its length and its non-zero bytes."""
    import dbus
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Byte, dbus.Int16, dbus.UInt16, dbus.Int32, dbus.UInt32,
                          dbus.Int64, dbus.UInt64)):
        return int(value)
    if isinstance(value, dbus.String):
        return str(value)
    if isinstance(value, dbus.Array) and value.signature == "y":
        return {"length": len(value), "nonzero": sum(1 for b in value if b)}
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    return value


def serve(record, capabilities=("body",), inhibited_flag=None):
    """The fake notification service: appends each Notify call to `record` as a JSON line and
    answers with ids from 41 on. It is inhibited (do not disturb) while `inhibited_flag` exists."""
    import dbus
    import dbus.mainloop.glib
    import dbus.service
    from gi.repository import GLib

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    ids = iter(range(41, 1000))

    class Server(dbus.service.Object):
        @dbus.service.method(SERVICE, in_signature="susssasa{sv}i", out_signature="u")
        def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
            given = next(ids)
            with open(record, "a", encoding="utf-8") as out:
                out.write(json.dumps({
                    "id": given, "app": str(app), "replaces": int(replaces), "icon": str(icon),
                    "summary": str(summary), "body": str(body), "actions": plain(actions),
                    "hints": plain(hints), "timeout": int(timeout)}, ensure_ascii=False) + "\n")
            return given

        @dbus.service.method(SERVICE, out_signature="as")
        def GetCapabilities(self):
            return list(capabilities)

        @dbus.service.method(SERVICE, out_signature="ssss")
        def GetServerInformation(self):
            return ["fake", "heronwatch-tests", "1", "1.2"]

        @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss",
                             out_signature="v")
        def Get(self, interface, name):
            if interface != SERVICE or name != "Inhibited":
                raise dbus.exceptions.DBusException("no such property",
                                                    name="org.freedesktop.DBus.Error.UnknownProperty")
            return dbus.Boolean(inhibited_flag is not None and os.path.exists(inhibited_flag))

    name = dbus.service.BusName(SERVICE, bus)  # noqa: F841 (held while serving)
    Server(bus, PATH)
    print("ready", flush=True)
    GLib.MainLoop().run()


def calls(record):
    with open(record, encoding="utf-8") as lines:
        return [json.loads(line) for line in lines]


def report(report_id, kind, time, scale, epicentre=""):
    """A report of the service's list: an intensity prompt knows no epicentre yet."""
    if epicentre:
        centre = {"depth": 10, "latitude": 32.6, "longitude": 130.7, "magnitude": 5.5,
                  "name": epicentre}
    else:
        centre = {"depth": -1, "latitude": -200, "longitude": -200, "magnitude": -1, "name": ""}
    day, minute = time.split(" ")
    return {"code": 551, "id": report_id,
            "earthquake": {"domesticTsunami": "None", "foreignTsunami": "Unknown",
                           "hypocenter": centre, "maxScale": scale, "time": time},
            "issue": {"correct": "None", "source": "気象庁", "time": day + " 23:59:00",
                      "type": kind},
            "points": [{"addr": "熊本県熊本", "isArea": True, "pref": "熊本県", "scale": scale}],
            "time": day + " 23:59:00.000"}


OLD = report("7e0000000000000000000001", "DetailScale", "2024/08/09 10:00:00", 30, "宮古島近海")
PROMPT = report("7e0000000000000000000002", "ScalePrompt", "2024/08/10 14:19:00", 45)
DETAIL = report("7e0000000000000000000003", "DetailScale", "2024/08/10 14:18:00", 45,
                "熊本県熊本地方")
SMALL = report("7e0000000000000000000004", "DetailScale", "2024/08/10 15:30:00", 10, "茨城県南部")
OTHER = report("7e0000000000000000000005", "DetailScale", "2024/08/10 16:45:00", 30,
               "千葉県東方沖")


class ReportFeed:
    """The local report service with its push channel, as a Session's server."""

    def __init__(self):
        self.server = PushServer()
        with self.server.lock:
            self.server.reports = [OLD]

    def base(self, name):
        return "http://127.0.0.1:%d/%s" % (self.server.port, name)

    def connect(self, session):
        session.env["HERONWATCH_PUSH_URL"] = "ws://127.0.0.1:%d/v2/ws" % self.server.port

    def wait_connected(self):
        wait_for("the push channel", lambda: self.server.count("open") >= 1)
        wait_for("the first fetch", lambda: self.server.count("GET") >= 1)

    def publish(self, newest):
        with self.server.lock:
            self.server.reports.insert(0, newest)
        self.server.push(newest["id"])


class Bus:
    """A private session bus, with fake notification services started on it."""

    def __init__(self):
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)
        self.services = []

    def serve(self, record, capabilities, inhibited_flag=""):
        pathlib.Path(record).touch()
        service = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--serve", record,
                                    ",".join(capabilities), inhibited_flag],
                                   env=self.env, stdout=subprocess.PIPE, text=True)
        if service.stdout.readline().strip() != "ready":
            raise Failure("the fake notification service did not start")
        self.services.append(service)

    def stop_services(self):
        for service in self.services:
            service.kill()
            service.wait()
        self.services = []

    def action_invoked(self, notification_id):
        """The service's signal that the user chose the notification's default action."""
        import dbus
        import dbus.lowlevel
        connection = dbus.bus.BusConnection(self.address)
        message = dbus.lowlevel.SignalMessage(PATH, SERVICE, "ActionInvoked")
        message.append(dbus.UInt32(notification_id), "default", signature="us")
        connection.send_message(message)
        connection.flush()
        connection.close()

    def close(self):
        self.stop_services()
        self.daemon.kill()
        self.daemon.wait()


class Program:
    """The program, headless, in a working folder of its own with a recording paplay."""

    def __init__(self, program, runtime, root, bus, data_dirs, settings, feed=None):
        self.root = pathlib.Path(root)
        work = self.root / "data"
        work.mkdir(parents=True)
        (work / "Heronwatch.ini").write_text(settings, encoding="utf-8")
        (self.root / "run").mkdir(mode=0o700)
        self.played = self.root / "played.txt"
        bin_dir = self.root / "bin"
        bin_dir.mkdir()
        write_player(bin_dir, self.played)
        self.env = program_env(bus, runtime, work, self.root / "run", bin_dir, data_dirs)
        self.env["QT_QPA_PLATFORM"] = "offscreen"
        self.env["HERONWATCH_API_BASE"] = feed.base("live") if feed else "http://127.0.0.1:9"
        self.env["HERONWATCH_PUSH_URL"] = ("ws://127.0.0.1:%d/v2/ws" % feed.server.port
                                           if feed else "ws://127.0.0.1:9/")
        self.out = self.root / "program.out"
        with open(self.out, "w", encoding="utf-8") as log:
            self.process = subprocess.Popen([program], env=self.env, stdout=log,
                                            stderr=subprocess.STDOUT)

    def output(self):
        return self.out.read_text(encoding="utf-8", errors="replace")

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        status = self.process.wait(timeout=60)
        check(status == 0, "the program ended with %d: %s" % (status, self.output()))


def write_player(bin_dir, record):
    """A paplay that writes its arguments to `record`."""
    player = pathlib.Path(bin_dir) / "paplay"
    player.write_text('#!/bin/sh\necho "$@" >> "%s"\n' % record)
    player.chmod(0o755)


def program_env(bus, runtime, work, run, bin_dir, data_dirs):
    return dict(bus.env, HERONWATCH_WORKDIR=str(work), HERONWATCH_RUNTIME_DIR=str(runtime),
                XDG_RUNTIME_DIR=str(run), XDG_DATA_HOME=str(pathlib.Path(run) / "share"),
                XDG_DATA_DIRS=str(data_dirs), HERONWATCH_LANG="ja",
                HERONWATCH_SANDBOX_BASE="http://127.0.0.1:9",
                HERONWATCH_STATION_BASE="http://127.0.0.1:9",
                HERONWATCH_SANDBOX_PUSH_URL="ws://127.0.0.1:9/",
                CANBERRA_DRIVER="none",
                PATH=str(bin_dir) + os.pathsep + os.environ.get("PATH", ""))


def lines(path):
    return path.read_text().splitlines() if path.exists() else []


def check_without_service(program, runtime, root, bus):
    """No service: the tray stands in, the chime is played here, the program runs on."""
    run = Program(program, runtime, root, bus, root, DEMO_SETTINGS)
    chime = str(pathlib.Path(runtime, "Sound", "notify.wav").resolve())
    wait_for("the fallback", lambda: "notification service" in run.output(), 60)
    wait_for("the chime played here", lambda: lines(run.played), 60)
    run.stop()
    check(lines(run.played)[0].endswith(" " + chime), "played %s" % lines(run.played))


def check_on_a_desktop(program, runtime, data, root, bus):
    """A service that plays sounds; three reports of two earthquakes and one more; the default
    action of the last brings the window in front of a window that covers it."""
    os.makedirs(root, mode=0o700)
    record = os.path.join(root, "desktop.jsonl")
    bus.serve(record, ["actions", "body", "sound"])
    display = Display(root)
    feed = ReportFeed()
    session = None
    try:
        session = Session(display, program, root, feed)
        played = pathlib.Path(root, "played.txt")
        write_player(os.path.join(root, "bin"), played)
        session.env.update(program_env(bus, runtime, session.work, root,
                                       os.path.join(root, "bin"), data))
        session.env.update(DISPLAY=display.env["DISPLAY"], QT_QPA_PLATFORM="xcb")
        feed.connect(session)
        session.write_settings(PUSHED_SETTINGS)
        window = session.start()
        feed.wait_connected()
        for count, newest in enumerate((PROMPT, DETAIL, SMALL), start=1):
            feed.publish(newest)
            wait_for("notification %d" % count, lambda: len(calls(record)) >= count, 30)
        first, replacing, small = calls(record)
        chime = str(pathlib.Path(runtime, "Sound", "notify.wav").resolve())
        for call in (first, replacing, small):
            hints = call["hints"]
            check(call["app"] == "Heronwatch" and call["icon"] == DESKTOP_ID and
                  "image-data" not in hints, "the installed icon by name: %s" % call)
            check(hints.get("desktop-entry") == DESKTOP_ID, "the desktop entry: %s" % hints)
            check(call["actions"] == ["default", "ウインドウを表示"], "the default action: %s" % call)
        check(first["summary"] == "地震情報 最大震度5弱" and
              first["body"] == "10日14時19分ごろ 震源は調査中", "the prompt: %s" % first)
        check(first["replaces"] == 0 and first["hints"]["urgency"] == 2, "critical: %s" % first)
        check(first["hints"].get("sound-file") == chime and
              "suppress-sound" not in first["hints"], "the service plays the chime: %s" % first)
        check(replacing["body"] == "10日14時18分ごろ 熊本県熊本地方 M5.5 深さ10km" and
              replacing["replaces"] == first["id"] and replacing["hints"]["urgency"] == 2,
              "the details replace the prompt: %s" % replacing)
        check("sound-file" not in replacing["hints"] and replacing["hints"].get("suppress-sound"),
              "a replacement no more urgent is silent: %s" % replacing)
        check(small["replaces"] == 0 and small["hints"]["urgency"] == 0 and
              small["hints"].get("sound-file") == chime, "another earthquake, low: %s" % small)

        cover = display.start(["xmessage", "-geometry", "1900x1000+0+0", "another window"])
        known = {window}
        other = wait_for("another window", lambda: [
            w for w in display.client_list() if w not in known])[0]

        def in_front(upper, lower):
            stacking = display.stacking()
            return upper in stacking and lower in stacking and \
                stacking.index(upper) > stacking.index(lower)

        wait_for("the window covered", lambda: in_front(other, window))
        bus.action_invoked(small["id"])
        wait_for("the window in front after the default action", lambda: in_front(window, other))
        cover.kill()
        session.process.send_signal(signal.SIGTERM)
        session.wait_exit()
        check(not lines(played), "the program played a chime the service plays: %s" %
              lines(played))
    except Failure:
        if session is not None and os.path.exists(session.stderr_path):
            print(pathlib.Path(session.stderr_path).read_text(errors="replace")[-3000:])
        raise
    finally:
        if session is not None and session.process is not None and session.process.poll() is None:
            session.process.kill()
        feed.server.stop()
        display.close()
        bus.stop_services()


def check_without_service_sounds(program, runtime, root, bus):
    """A service that plays no sounds and can be asked not to disturb; no icon installed."""
    os.makedirs(root, mode=0o700)
    record = os.path.join(root, "quiet.jsonl")
    inhibited = os.path.join(root, "inhibited")
    pathlib.Path(inhibited).touch()
    bus.serve(record, ["body", "inhibitions"], inhibited)
    feed = ReportFeed()
    empty = pathlib.Path(root, "no-icons")
    empty.mkdir()
    run = Program(program, runtime, os.path.join(root, "program"), bus, empty, PUSHED_SETTINGS,
                  feed)
    try:
        feed.wait_connected()
        feed.publish(DETAIL)
        wait_for("the notification", lambda: calls(record), 30)
        wait_for("the chime held back", lambda: "not to be disturbed" in run.output(), 30)
        call = calls(record)[0]
        image = call["hints"].get("image-data")
        check(call["icon"] == "" and image is not None and image[:6] == [64, 64, 256, True, 8, 4]
              and image[6]["length"] == 64 * 256 and image[6]["nonzero"] > 0,
              "the icon's picture: %s" % call)
        check(call["hints"].get("suppress-sound") and "sound-file" not in call["hints"],
              "the service adds no sound: %s" % call["hints"])

        os.remove(inhibited)
        feed.publish(OTHER)
        wait_for("the second notification", lambda: len(calls(record)) >= 2, 30)
        wait_for("the chime played here", lambda: lines(run.played), 30)
        run.stop()
        chime = str(pathlib.Path(runtime, "Sound", "notify.wav").resolve())
        check(len(lines(run.played)) == 1 and lines(run.played)[0].endswith(" " + chime),
              "one chime, the second notification's: %s" % lines(run.played))
    except Failure:
        print(run.output()[-3000:])
        raise
    finally:
        if run.process.poll() is None:
            run.process.kill()
        feed.server.stop()
        bus.stop_services()


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "--serve":
        capabilities = sys.argv[3].split(",") if len(sys.argv) > 3 else ["body"]
        serve(sys.argv[2], capabilities, sys.argv[4] if len(sys.argv) > 4 and sys.argv[4] else None)
        return 0
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    program, runtime, data = (os.path.abspath(a) for a in sys.argv[1:])
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError as error:
        # The D-Bus modules come with the system's Python; another Python on PATH lacks them.
        system = "/usr/bin/python3"
        if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
            os.execv(system, [system, *sys.argv])
        print("SKIP: %s" % error)
        return 77
    missing = [tool for tool in X_TOOLS + ["dbus-daemon"] if shutil.which(tool) is None]
    if missing:
        print("SKIP: missing " + ", ".join(missing))
        return 77

    root = tempfile.mkdtemp(prefix="heronwatch-notify-")
    bus = Bus()
    try:
        check_without_service(program, runtime, os.path.join(root, "absent"), bus)
        check_on_a_desktop(program, runtime, data, os.path.join(root, "desktop"), bus)
        check_without_service_sounds(program, runtime, os.path.join(root, "quiet"), bus)
        print("notification check passed")
        return 0
    except Failure as failure:
        print("FAIL: %s" % failure)
        traceback.print_exc()
        return 1
    finally:
        bus.close()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
