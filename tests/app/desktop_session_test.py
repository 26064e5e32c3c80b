#!/usr/bin/env python3
"""The program in a real desktop session: a virtual X server (Xvfb), a real window manager
(openbox) and a system tray (trayer), driven by real input events (xdotool).

It checks the context menu and each of its items, the function keys, the frame toggled twice
(client size unchanged), always on top and at the back (_NET_WM_STATE), dragging, the settings
dialog (typing a width moves the window), the About box, the manual, Escape versus the close box,
the tray icon (its menu, and its return after the tray restarts) and three start/stop cycles
after which [Position] is unchanged.

Every wait is on a condition (a window mapped, a property set, a file written) with a deadline;
nothing sleeps for a fixed time. Exits 77 (skipped) when a tool is missing.

    desktop_session_test.py PROGRAM
"""

import http.server
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import urllib.parse

TOOLS = ["Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xmessage", "trayer", "xrandr"]
DEADLINE = 20.0  # seconds for any one condition
MANUAL = "取扱説明書.txt"


class Failure(Exception):
    pass


def wait_for(what, predicate, deadline=DEADLINE):
    """Polls `predicate` until it returns a true value, which is returned."""
    end = time.monotonic() + deadline
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


class Display:
    """Xvfb with openbox on a free display number, and the X tools that talk to it."""

    def __init__(self, root, monitors=((0, 1920),), height=1080, replugging=False):
        """`monitors`: (left, width) of each monitor of one `height`-pixel-high screen; the first
        is the primary. With `replugging` the first monitor stands for the screen's output, so
        that the others can be taken away and added again while the program runs."""
        self.processes = []
        read_end, write_end = os.pipe()
        width = max(left + size for left, size in monitors)
        self.height = height
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["QT_QPA_PLATFORM"] = "xcb"  # a headless test run may have chosen offscreen
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)  # the tray is the X11 one
        self.env["XDG_RUNTIME_DIR"] = root
        if len(monitors) > 1:
            for index, (left, size) in enumerate(monitors):
                output = "screen" if replugging and index == 0 else "none"
                self.set_monitor(index, left, size, output)
            listed = self.run("xrandr", "--listmonitors")
            if listed.count("x%d/286+" % height) < len(monitors):
                raise Failure("the monitors were not set: " + listed)
        self.start(["openbox"])
        wait_for("the window manager", lambda: "window id" in self.xprop("-root",
                                                                         "_NET_SUPPORTING_WM_CHECK"))

    def start(self, command, **kwargs):
        process = subprocess.Popen(command, env=kwargs.pop("env", self.env),
                                   stdout=subprocess.DEVNULL,
                                   stderr=kwargs.pop("stderr", subprocess.DEVNULL), **kwargs)
        self.processes.append(process)
        return process

    def set_monitor(self, index, left, width, output="none"):
        self.run("xrandr", "--setmonitor", "M%d" % index,
                 "%d/508x%d/286+%d+0" % (width, self.height, left), output)

    def run(self, *command):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True)
        return result.stdout

    def xprop(self, *args):
        return self.run("xprop", *args)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
                process.wait()
        self.xvfb.kill()
        self.xvfb.wait()

    # Windows.
    def client_list(self):
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", self.xprop("-root",
                                                                          "_NET_CLIENT_LIST"))]

    def stacking(self):
        return [int(w, 16) for w in re.findall(
            r"0x[0-9a-f]+", self.xprop("-root", "_NET_CLIENT_LIST_STACKING"))]

    def name(self, window):
        match = re.search(r'= "(.*)"', self.xprop("-id", str(window), "_NET_WM_NAME"))
        return match.group(1) if match else ""

    def info(self, window):
        return self.run("xwininfo", "-id", str(window))

    def geometry(self, window):
        """Client x, y, width, height on the screen, or None when the window is not viewable."""
        info = self.info(window)
        if "IsViewable" not in info:
            return None
        numbers = [int(re.search(label + r":\s+(-?\d+)", info).group(1))
                   for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                 "Height")]
        return tuple(numbers)

    def frame_extents(self, window):
        match = re.search(r"= (\d+), (\d+), (\d+), (\d+)",
                          self.xprop("-id", str(window), "_NET_FRAME_EXTENTS"))
        return tuple(int(v) for v in match.groups()) if match else None

    def wm_state(self, window):
        return set(re.findall(r"_NET_WM_STATE_\w+", self.xprop("-id", str(window),
                                                               "_NET_WM_STATE")))

    def work_area_origin(self):
        match = re.search(r"= (\d+), (\d+)", self.xprop("-root", "_NET_WORKAREA"))
        return (int(match.group(1)), int(match.group(2))) if match else (0, 0)

    def program_windows(self):
        found = self.run("xdotool", "search", "--onlyvisible", "--class", "heronwatch")
        return [int(w) for w in found.split()]

    def unmanaged(self, window):
        """The program's windows the window manager leaves alone: menus and the tray icon, which
        the tray has taken in (a managed window's parent is the manager's frame instead)."""
        if "Override Redirect State: yes" not in self.info(window):
            return None
        info = self.run("xwininfo", "-tree", "-id", str(window))
        parent = re.search(r"Parent window id: (0x[0-9a-f]+)", info)
        root = re.search(r"Root window id: (0x[0-9a-f]+)", info)
        return "docked" if parent and root and parent.group(1) != root.group(1) else "popup"

    def popup_menus(self):
        return [w for w in self.program_windows() if self.unmanaged(w) == "popup"]

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "40", *keys)

    def activate(self, window):
        self.run("xdotool", "windowactivate", "--sync", str(window))


class RecordingServer(http.server.ThreadingHTTPServer):
    """Answers every report request with an empty list and remembers the paths asked for."""

    def __init__(self):
        self.paths = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(handler):  # noqa: N805 - the server's handler
                self.paths.append(handler.path)
                body = b"[]"
                handler.send_response(200)
                handler.send_header("Content-Type", "application/json")
                handler.send_header("Content-Length", str(len(body)))
                handler.end_headers()
                handler.wfile.write(body)

            def log_message(handler, *args):  # noqa: N805
                pass

        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def base(self, name):
        return "http://127.0.0.1:%d/%s" % (self.server_address[1], name)


class Session:
    """The program in a working folder of its own, with a recording desktop opener."""

    def __init__(self, display, program, root, server):
        self.display = display
        self.program = program
        self.work = os.path.join(root, "work")
        bin_dir = os.path.join(root, "bin")
        os.makedirs(bin_dir)
        self.opened = os.path.join(root, "opened.txt")
        opener = os.path.join(bin_dir, "xdg-open")
        with open(opener, "w") as script:
            script.write('#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s"\n' % self.opened)
        os.chmod(opener, 0o755)
        self.env = dict(display.env, HERONWATCH_WORKDIR=self.work,
                        HERONWATCH_API_BASE=server.base("live"),
                        HERONWATCH_SANDBOX_BASE=server.base("sandbox"),
                        HERONWATCH_STATION_BASE=server.base("stations"),
                        # No push channel: nothing listens there, so polling alone brings reports.
                        HERONWATCH_PUSH_URL="ws://127.0.0.1:9/",
                        HERONWATCH_SANDBOX_PUSH_URL="ws://127.0.0.1:9/",
                        PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""))
        self.process = None
        self.window = None
        # The program's standard error, shown when a check fails (sanitizer reports land here).
        self.stderr_path = os.path.join(root, "program-stderr.txt")

    def write_settings(self, text):
        os.makedirs(self.work, exist_ok=True)
        with open(os.path.join(self.work, "Heronwatch.ini"), "w", encoding="utf-8") as file:
            file.write(text)

    def settings(self):
        with open(os.path.join(self.work, "Heronwatch.ini"), encoding="utf-8") as file:
            return file.read()

    def position(self):
        text = self.settings()
        return tuple(int(re.search(r"^%s=(-?\d+)" % key, text, re.M).group(1))
                     for key in ("Left", "Top", "Right", "Bottom"))

    def event_log(self):
        path = os.path.join(self.work, "Eventlog", "event.log")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as file:
            return file.read()

    def start(self):
        with open(self.stderr_path, "ab") as stderr:
            self.process = self.display.start([self.program], env=self.env, cwd=self.work,
                                              stderr=stderr)
        display = self.display

        def main_window():
            for window in display.client_list():
                if display.name(window) == "Heronwatch":
                    return window
            return None

        self.window = wait_for("the main window", main_window)
        # Visible once the start-up stages are through (full opacity).
        wait_for("the window to fade in", lambda: "4294967295" in display.xprop(
            "-id", str(self.window), "_NET_WM_WINDOW_OPACITY"))
        return self.window

    def wait_exit(self):
        wait_for("the program to end", lambda: self.process.poll() is not None)
        if self.process.returncode != 0:
            raise Failure("the program ended with %d" % self.process.returncode)

    def client(self):
        return self.display.geometry(self.window)

    def framed_rect(self):
        """The framed window's rectangle in workspace coordinates."""
        x, y, width, height = self.client()
        left, right, top, bottom = self.display.frame_extents(self.window) or (0, 0, 0, 0)
        ox, oy = self.display.work_area_origin()
        return (x - left - ox, y - top - oy, x + width + right - ox, y + height + bottom - oy)

    def choose_from_menu(self, index):
        """Right-clicks in the window and picks the index-th command (1-based) with the keys."""
        display = self.display
        display.activate(self.window)
        # Near the bottom-right corner, clear of the other window of the z-order checks.
        _, _, width, height = self.client()
        display.run("xdotool", "mousemove", "--window", str(self.window), str(width - 60),
                    str(height - 60), "click", "3")
        wait_for("the context menu", display.popup_menus)
        display.key(*(["Down"] * index), "Return")
        wait_for("the context menu to close", lambda: not display.popup_menus())


def check(condition, message):
    if not condition:
        raise Failure(message)


def run_checks(display, session, server, root):
    ini = "[Position]\nLeft=200\nTop=150\nRight=840\nBottom=630\n[Flag]\nOntop=1\nFlameOff=0\n"
    session.write_settings(ini)
    window = session.start()
    d = display

    # The client area is the stored rectangle less the window manager's frame.
    extents = wait_for("the frame extents", lambda: d.frame_extents(window) and
                       sum(d.frame_extents(window)) > 0 and d.frame_extents(window))
    frame_width, frame_height = extents[0] + extents[1], extents[2] + extents[3]
    wait_for("the client size the stored rectangle implies",
             lambda: session.client()[2:] == (640 - frame_width, 480 - frame_height))
    wait_for("the framed rectangle at the stored place",
             lambda: session.framed_rect() == (200, 150, 840, 630))
    check("_NET_WM_STATE_ABOVE" in d.wm_state(window), "Ontop=1 starts on top")
    client_size = session.client()[2:]

    # F2 twice: the frame goes and comes back, the client keeps its size and place.
    d.activate(window)
    d.key("F2")
    wait_for("the frame to be hidden", lambda: d.frame_extents(window) == (0, 0, 0, 0))
    wait_for("the frameless client at the frame's place",
             lambda: session.client() == (200 + d.work_area_origin()[0],
                                          150 + d.work_area_origin()[1]) + client_size)
    d.key("F2")
    wait_for("the frame to be back", lambda: d.frame_extents(window) == extents)
    wait_for("the framed rectangle back", lambda: session.framed_rect() == (200, 150, 840, 630)
             and session.client()[2:] == client_size)

    # The menu's frame item does the same.
    session.choose_from_menu(1)
    wait_for("the frame hidden from the menu", lambda: d.frame_extents(window) == (0, 0, 0, 0)
             and session.client()[2:] == client_size)
    session.choose_from_menu(1)
    wait_for("the frame shown from the menu", lambda: d.frame_extents(window) == extents
             and session.client()[2:] == client_size)

    # Always on top and at the back, by keys and by the menu.
    other = d.start(["xmessage", "-geometry", "400x300+100+100", "another window"])
    other_window = wait_for("another window", lambda: [
        w for w in d.client_list() if d.name(w) != "Heronwatch" and w != window])[0]
    d.activate(window)
    d.key("F7")
    wait_for("not on top", lambda: "_NET_WM_STATE_ABOVE" not in d.wm_state(window))
    session.choose_from_menu(3)
    wait_for("on top again", lambda: "_NET_WM_STATE_ABOVE" in d.wm_state(window))
    d.activate(window)
    d.key("F8")
    wait_for("at the back", lambda: d.wm_state(window) == {"_NET_WM_STATE_BELOW"})
    wait_for("below the other window", lambda: d.stacking().index(window) <
             d.stacking().index(other_window))
    session.choose_from_menu(4)
    wait_for("a normal window again", lambda: not d.wm_state(window) & {
        "_NET_WM_STATE_BELOW", "_NET_WM_STATE_ABOVE"})
    wait_for("in front of the other window", lambda: d.stacking().index(window) >
             d.stacking().index(other_window))
    other.kill()
    d.activate(window)
    d.key("F7")
    wait_for("on top for the rest", lambda: "_NET_WM_STATE_ABOVE" in d.wm_state(window))

    # Escape never closes: the F7 after it still reaches a living window.
    d.key("Escape", "F7")
    wait_for("F7 after Escape", lambda: "_NET_WM_STATE_ABOVE" not in d.wm_state(window))
    d.key("F7")
    wait_for("on top after Escape", lambda: "_NET_WM_STATE_ABOVE" in d.wm_state(window))
    check(session.process.poll() is None, "Escape closed the window")

    # Drag, allowed from the menu.
    session.choose_from_menu(2)
    x, y = session.client()[:2]
    d.run("xdotool", "mousemove", "--window", str(window), "60", "60", "mousedown", "1")
    for step in range(1, 5):
        d.run("xdotool", "mousemove", str(x + 60 + 15 * step), str(y + 60 + 10 * step))
        wait_for("the window to follow the cursor",
                 lambda s=step: session.client()[:2] == (x + 15 * s, y + 10 * s))
    d.run("xdotool", "mouseup", "1")

    # F1 opens the manual with the desktop's opener.
    d.activate(window)
    d.key("F1")
    opened = wait_for("the manual to be opened", lambda: os.path.exists(session.opened) and
                      open(session.opened, encoding="utf-8").read())
    manual = urllib.parse.unquote(urllib.parse.urlparse(opened.strip()).path)
    # The working folder has no copy of its own: the guide is the installed (here the source
    # tree's) runtime folder's.
    runtime = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "runtime")
    check(os.path.realpath(manual) == os.path.realpath(os.path.join(runtime, MANUAL)),
          "the manual opened: " + opened)

    # The data sources: sandbox by key, the demo files by the menu.
    d.key("F11")
    wait_for("a request to the sandbox", lambda: any(p.startswith("/sandbox/") for p in
                                                     server.paths))
    log_before = len(session.event_log())
    session.choose_from_menu(5)
    wait_for("the demo file's report in the event log",
             lambda: "エリア情報" in session.event_log()[log_before:])
    session.choose_from_menu(6)  # rotating demo files
    wait_for("the rotating demo in the event log", lambda: session.event_log().count(
        "エリア情報") > 1)
    session.choose_from_menu(7)  # back to the live service, through the sandbox
    paths = len(server.paths)
    wait_for("a request to the sandbox after the demo", lambda: any(
        p.startswith("/sandbox/") for p in server.paths[paths:]))
    d.activate(window)
    d.key("F11")
    paths = len(server.paths)
    wait_for("a request to the live service", lambda: any(
        p.startswith("/live/") for p in server.paths[paths:]))

    check_settings_dialog(display, session)

    # The About box, from the menu.
    session.choose_from_menu(9)
    about = wait_for("the About box", lambda: [
        w for w in d.client_list() if d.name(w).startswith("バージョン情報")])[0]
    d.activate(about)
    d.key("Return")
    wait_for("the About box to close", lambda: about not in d.client_list())

    # The tray icon: shown, its menu works, back after the tray restarts.
    check_tray(display, session)

    # The tray menu's exit ends the program and writes the settings.
    expected = session.framed_rect()
    choose_from_tray(display, "Up", "Return")
    session.wait_exit()
    check(session.position() == expected,
          "exit wrote %s, the window was %s" % (session.position(), expected))
    check("Log End" in session.event_log(), "the log got its end line")

    # Three start/stop cycles leave [Position] as it was: closed by the window's close box.
    stored = session.position()
    for cycle in range(3):
        window = session.start()
        wait_for("the frame extents (cycle %d)" % cycle, lambda w=window: d.frame_extents(w)
                 and sum(d.frame_extents(w)) > 0)
        wait_for("the stored rectangle (cycle %d)" % cycle,
                 lambda: session.framed_rect() == stored)
        click_close_box(display, session)
        session.wait_exit()
        check(session.position() == stored,
              "cycle %d wrote %s over %s" % (cycle, session.position(), stored))


def check_settings_dialog(display, session):
    """Typing a width in the settings dialog moves the window's right edge at once; OK closes."""
    d = display
    session.choose_from_menu(8)
    dialog = wait_for("the settings dialog", lambda: [
        w for w in d.client_list() if d.name(w) == "詳細設定"])[0]
    d.activate(dialog)
    x, y, width, height = session.client()
    d.key("Tab", "Tab")  # the X edit has the focus first; the width edit is the third
    d.key("ctrl+a")
    d.run("xdotool", "type", "--delay", "40", "700")
    wait_for("the window to take the typed width",
             lambda: session.client() == (x, y, 700, height))
    d.key("Return")
    wait_for("the dialog to close", lambda: dialog not in d.client_list())


def check_screens(program, root, server):
    """A window on the second screen comes back there; one on a screen that is gone comes back
    on the primary screen."""
    on_second = (2300, 200, 2940, 680)
    for monitors, expected in ((((0, 1920), (1920, 1920)), on_second),
                               (((0, 1920),), (1280, 200, 1920, 680))):
        folder = tempfile.mkdtemp(dir=root)
        display = Display(folder, monitors)
        try:
            session = Session(display, program, folder, server)
            session.write_settings("[Position]\nLeft=%d\nTop=%d\nRight=%d\nBottom=%d\n" %
                                   on_second)
            window = session.start()
            wait_for("the frame extents", lambda w=window: display.frame_extents(w) and
                     sum(display.frame_extents(w)) > 0)
            wait_for("the window at %s on %d screen(s)" % (expected, len(monitors)),
                     lambda e=expected: session.framed_rect() == e)
            session.choose_from_menu(10)  # 終了
            session.wait_exit()
            check(session.position() == expected, "wrote %s" % (session.position(),))
        finally:
            if session.process is not None and session.process.poll() is None:
                session.process.kill()
            display.close()


def tray_icon(display):
    """The program's window docked in the tray, or None."""
    for window in display.program_windows():
        if display.unmanaged(window) == "docked":
            return window
    return None


def choose_from_tray(display, *keys):
    """Right-clicks the tray icon and picks a command with the keys."""
    # A tray that has just taken the icon in may still be laying it out: the click is repeated
    # until the menu shows.
    for attempt in range(5):
        icon = wait_for("the tray icon", lambda: tray_icon(display))
        display.run("xdotool", "mousemove", "--window", str(icon), "8", "8", "click", "3")
        try:
            wait_for("the tray menu", display.popup_menus, deadline=3)
            break
        except Failure:
            if attempt == 4:
                raise
    display.key(*keys)
    wait_for("the tray menu to close", lambda: not display.popup_menus())


def check_tray(display, session):
    tray = display.start(["trayer", "--edge", "bottom", "--align", "right", "--SetDockType",
                          "false", "--SetPartialStrut", "false", "--widthtype", "pixel",
                          "--width", "120", "--height", "32"])
    wait_for("the icon in the tray", lambda: tray_icon(display))
    # Its menu is the window's: toggling the frame from it hides the frame.
    choose_from_tray(display, "Down", "Return")
    wait_for("the frame hidden from the tray", lambda: display.frame_extents(
        session.window) == (0, 0, 0, 0))
    choose_from_tray(display, "Down", "Return")
    wait_for("the frame back from the tray", lambda: display.frame_extents(session.window)
             and sum(display.frame_extents(session.window)) > 0)
    # A left click opens no menu (it brings the window forward: desktop_window_test.py).
    display.run("xdotool", "mousemove", "--window", str(tray_icon(display)), "8", "8", "click",
                "1")
    # The tray restarts: the icon comes back without restarting the program.
    tray.kill()
    tray.wait()
    wait_for("the icon gone with the tray", lambda: tray_icon(display) is None)
    display.start(["trayer", "--edge", "bottom", "--align", "right", "--SetDockType", "false",
                   "--SetPartialStrut", "false", "--widthtype", "pixel", "--width", "120",
                   "--height", "32"])
    wait_for("the icon back in the new tray", lambda: tray_icon(display))
    check(not display.popup_menus(), "a left click opened a menu")


def click_close_box(display, session):
    """Clicks the close button at the right end of the window manager's title bar."""
    x, y, width, _ = session.client()
    left, right, top, _ = display.frame_extents(session.window)
    display.run("xdotool", "mousemove", str(x + width + right - 12), str(y - top // 2),
                "click", "1")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    program = os.path.abspath(sys.argv[1])
    root = tempfile.mkdtemp(prefix="heronwatch-desktop-")
    display = Display(root)
    server = RecordingServer()
    session = Session(display, program, root, server)
    status = 0
    try:
        run_checks(display, session, server, root)
        check_screens(program, root, server)
        print("desktop session: all checks passed")
    except Failure as failure:
        status = 1
        print("FAILED: %s" % failure)
        traceback.print_exc()
        if os.path.exists(session.stderr_path):
            with open(session.stderr_path, encoding="utf-8", errors="replace") as stderr:
                print("the program's standard error, last lines:")
                print("".join(stderr.readlines()[-80:]))
        if shutil.which("import"):
            display.run("import", "-window", "root",
                        os.path.join(os.getcwd(), "desktop-session-failure.png"))
    finally:
        if session.process is not None and session.process.poll() is None:
            session.process.send_signal(signal.SIGTERM)
            try:
                session.process.wait(10)
            except subprocess.TimeoutExpired:
                session.process.kill()
        server.shutdown()
        display.close()
        shutil.rmtree(root, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
