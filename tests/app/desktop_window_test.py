#!/usr/bin/env python3
"""The window as a desktop user meets it, on Xvfb with the openbox window manager and real
input events (xdotool):

- a first start shows the picture undistorted (a 16:9 client area);
- the window moved by its title bar or sized by its border stays there through the settings
  dialog's OK and exit; a maximised window saves and restores its rectangle to the pixel;
- a data-source change fetches at the next second while the push channel is connected;
- a second start brings the running window to the front; a running copy that does not answer
  gets a message box above its always-on-top window, and a signal ends the waiting copy;
- F1 without a program for text files says so;
- a screen that goes away brings the window back onto the others, and the window can be made
  as large as a screen larger than 1920 × 1080;
- the tray icon's left click brings the window forward, from behind, from the back and from
  off the screen;
- the settings dialog opens beside the window and where it was closed.

With --pictures DIR it also writes the pictures of the README (first start, tray click,
dialog beside the window). Every wait is on a condition with a deadline. Exits 77 (skipped)
when a tool is missing.

    desktop_window_test.py PROGRAM SCREENSHOT_TOOL [--pictures DIR]
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "soak"))
from desktop_session_test import (TOOLS, Display, Failure, RecordingServer, Session,  # noqa: E402
                                  check, tray_icon, wait_for)
from push_server import PushServer  # noqa: E402

TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--SetDockType", "false",
          "--SetPartialStrut", "false", "--widthtype", "pixel", "--width", "120", "--height", "32"]


class Checks:
    def __init__(self, program, screenshot, root, pictures):
        self.program = program
        self.screenshot = screenshot
        self.root = root
        self.pictures = pictures
        self.server = RecordingServer()
        # A service with a real report list, for the pictures.
        self.reports = PushServer()
        self.sessions = []
        self.displays = []

    def display(self, **kwargs):
        display = Display(tempfile.mkdtemp(dir=self.root), **kwargs)
        self.displays.append(display)
        return display

    def session(self, display, ini=None, reports=False):
        """The program in a working folder of its own; with `reports` its service has a
        report to show."""
        folder = tempfile.mkdtemp(dir=self.root)
        session = Session(display, self.program, folder, self.server)
        if reports:
            session.env["HERONWATCH_API_BASE"] = "http://127.0.0.1:%d/live" % self.reports.port
        os.makedirs(session.work)
        if ini is not None:
            session.write_settings(ini)
        self.sessions.append(session)
        return session

    def picture(self, display, name, rect=None):
        if not self.pictures:
            return
        area = [] if rect is None else [str(v) for v in rect]
        subprocess.run([self.screenshot, os.path.join(self.pictures, name)] + area,
                       env=display.env, check=True)

    def close(self):
        for session in self.sessions:
            if session.process is not None and session.process.poll() is None:
                session.process.kill()
                session.process.wait()
        self.server.shutdown()
        self.reports.stop()
        for display in self.displays:
            display.close()


def framed(display, window):
    """A window's frame rectangle on the screen (left, top, right, bottom)."""
    x, y, width, height = display.geometry(window)
    left, right, top, bottom = display.frame_extents(window) or (0, 0, 0, 0)
    return (x - left, y - top, x + width + right, y + height + bottom)


def overlap(a, b):
    return min(a[2], b[2]) > max(a[0], b[0]) and min(a[3], b[3]) > max(a[1], b[1])


def wait_framed(display, session):
    window = session.window
    wait_for("the frame extents", lambda: display.frame_extents(window) and
             sum(display.frame_extents(window)) > 0)
    return display.frame_extents(window)


def exit_from_menu(session):
    session.choose_from_menu(10)  # 終了
    session.wait_exit()


def drag(display, start, end, button="1", keys=()):
    """Presses a button at `start` and moves to `end` in steps, as a hand would."""
    display.run("xdotool", "mousemove", str(start[0]), str(start[1]),
                *[part for key in keys for part in ("keydown", key)], "mousedown", button)
    for step in range(1, 11):
        display.run("xdotool", "mousemove", str(start[0] + (end[0] - start[0]) * step // 10),
                    str(start[1] + (end[1] - start[1]) * step // 10))
    display.run("xdotool", "mouseup", button, *[part for key in keys for part in ("keyup", key)])


class OtherWindow:
    """An ordinary window over the program's, for as long as the `with` block lasts."""

    def __init__(self, display, session, geometry="1900x1000+0+0"):
        self.display = display
        known = set(display.client_list())
        self.process = display.start(["xmessage", "-geometry", geometry, "another window"])
        self.window = wait_for("another window", lambda: [
            w for w in display.client_list() if w not in known and w != session.window])[0]

    def __enter__(self):
        return self.window

    def __exit__(self, *exc):
        self.process.kill()
        self.process.wait()
        wait_for("the other window to go", lambda: self.window not in self.display.client_list())


def in_front_of(display, window, other):
    stacking = display.stacking()
    return window in stacking and other in stacking and \
        stacking.index(window) > stacking.index(other)


def message_boxes(display, session):
    """The program's windows named like the main window that are not the main window."""
    return [w for w in display.client_list()
            if w != session.window and display.name(w) == "Heronwatch"]


def check_first_start(checks, display):
    """Item 8: a fresh working folder opens a 16:9 client area of 960 × 540, centred."""
    session = checks.session(display, reports=True)
    session.start()
    extents = wait_framed(display, session)
    wait_for("a 960 × 540 client area", lambda: session.client()[2:] == (960, 540))
    x, y, width, height = session.client()
    check(abs((x + width // 2) - 960) <= 2 and abs((y + height // 2) - 540) <= 20,
          "the first window is centred: %s" % (session.client(),))
    wait_for("the report on the window", lambda: "エリア情報" in session.event_log())
    checks.picture(display, "first-start.png")
    exit_from_menu(session)
    left, top, right, bottom = session.position()
    check((right - left, bottom - top) == (960 + extents[0] + extents[1],
                                          540 + extents[2] + extents[3]),
          "the first start saved %s" % (session.position(),))


def check_moved_window_stays(checks, display):
    """Item 1: moved by its title bar, sized by its border, the window stays there through
    F12 and OK without changes, and exit saves where it is."""
    session = checks.session(display, "[Position]\nLeft=341\nTop=120\nRight=981\nBottom=600\n"
                                      "[Flag]\nOntop=0\n")
    window = session.start()
    extents = wait_framed(display, session)
    wait_for("the stored place", lambda: session.framed_rect() == (341, 120, 981, 600))
    x, y, width, height = session.client()
    drag(display, (x + 200, y - extents[2] // 2), (x + 600, y - extents[2] // 2 + 300))
    wait_for("the window moved by its title bar",
             lambda: session.framed_rect() == (741, 420, 1381, 900))
    # Alt and the right button size the window in openbox, as its border does.
    x, y, width, height = session.client()
    drag(display, (x + width - 20, y + height - 20), (x + width + 80, y + height + 40), "3",
         keys=("alt",))
    wait_for("the window sized by the window manager",
             lambda: session.framed_rect() == (741, 420, 1481, 960))
    display.activate(window)
    display.key("F12")
    dialog = wait_for("the settings dialog", lambda: [
        w for w in display.client_list() if display.name(w) == "詳細設定"])[0]
    display.activate(dialog)
    display.key("Return")
    wait_for("the dialog to close", lambda: dialog not in display.client_list())
    exit_from_menu(session)
    check(session.position() == (741, 420, 1481, 960),
          "OK or exit moved the window back: %s" % (session.position(),))


def check_maximise(checks, display):
    """Item 3: maximise, restore and exit while maximised keep the rectangle to the pixel, also
    for a window of the smallest size."""
    stored = (100, 100, 740, 580)  # MinX × MinY
    session = checks.session(display, "[Position]\nLeft=100\nTop=100\nRight=740\nBottom=580\n"
                                      "[Flag]\nOntop=0\n")
    window = session.start()
    extents = wait_framed(display, session)
    wait_for("the stored place", lambda: session.framed_rect() == stored)
    client = session.client()

    def toggle_maximised(maximised):
        x, y, width, _ = session.client()
        display.run("xdotool", "mousemove", str(x + width // 3), str(y - extents[2] // 2),
                    "click", "--repeat", "2", "--delay", "80", "1")
        wait_for("maximised" if maximised else "restored",
                 lambda: ("_NET_WM_STATE_MAXIMIZED_VERT" in display.wm_state(window)) ==
                 maximised)

    toggle_maximised(True)
    toggle_maximised(False)
    wait_for("the size before maximising", lambda: session.client() == client)
    toggle_maximised(True)
    exit_from_menu(session)
    check(session.position() == stored, "exit while maximised saved %s" % (session.position(),))
    session.start()
    wait_framed(display, session)
    wait_for("the same window at the next start", lambda: session.framed_rect() == stored and
             session.client() == client)
    exit_from_menu(session)
    check(session.position() == stored, "the cycle ended with %s" % (session.position(),))


def check_source_change_with_push(checks, display):
    """Item 2: with the push channel connected and a period that does not divide the push
    period, the sandbox is asked at the next second, not when the slower period comes round."""
    push = PushServer()
    try:
        # The phase left for the push period (89) is no start for a period of 4.
        session = checks.session(display, "[Flag]\nOntop=0\n[Config]\nReload=4\n"
                                          "[Push]\nReload=90\n")
        base = "http://127.0.0.1:%d" % push.port
        session.env.update(HERONWATCH_API_BASE=base + "/live",
                           HERONWATCH_SANDBOX_BASE=base + "/sandbox",
                           HERONWATCH_PUSH_URL="ws://127.0.0.1:%d/live/v2/ws" % push.port,
                           HERONWATCH_SANDBOX_PUSH_URL="ws://127.0.0.1:%d/sandbox/v2/ws" %
                           push.port)
        window = session.start()
        wait_for("the push channel", lambda: "プッシュ通知 … 接続しました" in session.event_log())
        display.activate(window)
        display.key("F11")
        wait_for("the sandbox asked at the next second", lambda: any(
            e[0] == "GET" and "/sandbox/" in e[2] for e in list(push.events)))
        exit_from_menu(session)
    finally:
        push.stop()


def check_second_start(checks, display):
    """Item 4: a second start brings the running window in front of the others and ends; a
    running copy that does not answer gets a message box above its always-on-top window, and
    SIGTERM ends the waiting copy at once."""
    session = checks.session(display, "[Flag]\nOntop=0\n")
    window = session.start()
    with OtherWindow(display, session) as cover:
        wait_for("the window covered", lambda: in_front_of(display, cover, window))
        second = subprocess.run([session.program], env=session.env, cwd=session.work,
                                capture_output=True, text=True, timeout=60)
        check(second.returncode == 0 and "このアプリは起動済みです。" in second.stderr,
              "the second start: %d %s" % (second.returncode, second.stderr))
        wait_for("the running window in front", lambda: in_front_of(display, window, cover))
        check(not message_boxes(display, session), "a second start showed a box")

    display.activate(window)
    display.key("F7")  # always on top, as by default
    wait_for("on top", lambda: "_NET_WM_STATE_ABOVE" in display.wm_state(window))
    session.process.send_signal(signal.SIGSTOP)
    try:
        waiting = display.start([session.program], env=session.env, cwd=session.work)
        box = wait_for("the message box", lambda: message_boxes(display, session))[0]
        wait_for("the box above the always-on-top window",
                 lambda: in_front_of(display, box, window) and
                 "_NET_WM_STATE_ABOVE" in display.wm_state(box))
        waiting.send_signal(signal.SIGTERM)
        wait_for("the waiting copy to end on SIGTERM", lambda: waiting.poll() is not None,
                 deadline=3)
        check(waiting.returncode == 0, "the waiting copy ended with %d" % waiting.returncode)
    finally:
        session.process.send_signal(signal.SIGCONT)
    exit_from_menu(session)


def check_manual_without_viewer(checks, display):
    """Item 6: F1 on a desktop without a program for text files says so."""
    session = checks.session(display, "[Flag]\nOntop=0\n")
    opener = os.path.join(os.path.dirname(session.opened), "bin", "xdg-open")
    with open(opener, "w") as script:
        script.write("#!/bin/sh\necho 'xdg-open: no method available for opening' >&2\nexit 3\n")
    window = session.start()
    display.activate(window)
    display.key("F1")
    box = wait_for("the message box", lambda: message_boxes(display, session))[0]
    with open(session.stderr_path, encoding="utf-8", errors="replace") as stderr:
        check("ファイルを開けません。" in stderr.read(), "the box's text")
    display.activate(box)
    display.key("Return")
    wait_for("the box to close", lambda: box not in display.client_list())
    exit_from_menu(session)


def check_screens(checks):
    """Item 7: a screen taken away while the program runs brings a window that is mostly on it
    wholly onto the screen that stays; on a screen larger than 1920 × 1080 the window can be
    sized as large as the screen."""
    display = checks.display(monitors=((0, 1920), (1920, 1920)), replugging=True)
    session = checks.session(display, "[Position]\nLeft=1800\nTop=300\nRight=2440\nBottom=780\n"
                                      "[Flag]\nOntop=0\n")
    session.start()
    wait_framed(display, session)
    wait_for("the window across both screens",
             lambda: session.framed_rect() == (1800, 300, 2440, 780))
    display.run("xrandr", "--delmonitor", "M1")
    wait_for("the window wholly on the screen that stays",
             lambda: session.framed_rect() == (1280, 300, 1920, 780))
    exit_from_menu(session)
    check(session.position() == (1280, 300, 1920, 780), "saved %s" % (session.position(),))

    large = checks.display(monitors=((0, 2560),), height=1440)
    session = checks.session(large, "[Position]\nLeft=100\nTop=100\nRight=740\nBottom=580\n"
                                    "[Flag]\nOntop=0\n")
    session.start()
    wait_framed(large, session)
    x, y, width, height = session.client()
    drag(large, (x + width - 20, y + height - 20), (2550, 1430), "3", keys=("alt",))
    wait_for("a window wider than 1920", lambda: session.client()[2] > 1920)
    exit_from_menu(session)
    left, _, right, _ = session.position()
    check(right - left > 1920, "saved %s" % (session.position(),))


def check_tray_click(checks, display):
    """Item 9: a left click on the tray icon brings the window in front of the others, from the
    back (ending that mode) and from off the screen."""
    session = checks.session(display, "[Flag]\nOntop=0\n", reports=True)
    window = session.start()
    wait_framed(display, session)
    tray = display.start(TRAYER)
    icon = wait_for("the icon in the tray", lambda: tray_icon(display))

    def click():
        display.run("xdotool", "mousemove", "--window", str(tray_icon(display)), "8", "8",
                    "click", "1")

    with OtherWindow(display, session) as cover:
        wait_for("the window covered", lambda: in_front_of(display, cover, window))
        click()
        wait_for("the window in front after the click",
                 lambda: in_front_of(display, window, cover))
        wait_for("the report on the window", lambda: "エリア情報" in session.event_log())
        checks.picture(display, "tray-click.png")

        display.activate(window)
        display.key("F8")
        wait_for("at the back", lambda: "_NET_WM_STATE_BELOW" in display.wm_state(window))
        click()
        wait_for("in front of the other window, no longer at the back",
                 lambda: "_NET_WM_STATE_BELOW" not in display.wm_state(window) and
                 in_front_of(display, window, cover))

    # Mostly off the screen (only its left end shows), clear of the tray.
    display.run("xdotool", "windowmove", str(window), "1800", "100")
    wait_for("the window off the screen", lambda: session.client()[0] >= 1800)
    # The program has seen the move once it has handled a key pressed after it.
    display.activate(window)
    display.key("F7")
    wait_for("on top", lambda: "_NET_WM_STATE_ABOVE" in display.wm_state(window))
    click()
    wait_for("the window wholly on the screen", lambda: framed(display, window)[2] <= 1920 and
             framed(display, window)[3] <= 1080 and framed(display, window)[0] >= 0)
    check(icon is not None and not display.popup_menus(), "a left click opened a menu")
    tray.kill()
    exit_from_menu(session)


def check_dialog_beside(checks, display):
    """Item 10: the settings dialog opens beside the window, covering none of it, and opens
    again where it was closed."""
    session = checks.session(display, "[Position]\nLeft=200\nTop=150\nRight=1162\nBottom=715\n"
                                      "[Flag]\nOntop=1\n", reports=True)
    window = session.start()
    wait_framed(display, session)

    def open_dialog():
        display.activate(window)
        display.key("F12")
        dialog = wait_for("the settings dialog", lambda: [
            w for w in display.client_list() if display.name(w) == "詳細設定"])[0]
        wait_for("the dialog framed", lambda: display.frame_extents(dialog) and
                 display.geometry(dialog))
        return dialog

    wait_for("the report on the window", lambda: "エリア情報" in session.event_log())
    dialog = open_dialog()
    wait_for("the dialog beside the window", lambda: not overlap(framed(display, dialog),
                                                                 framed(display, window)))
    placed = framed(display, dialog)
    check(placed[2] <= 1920 and placed[3] <= 1080, "the dialog on the screen: %s" % (placed,))
    checks.picture(display, "settings-dialog-beside.png")
    checks.picture(display, "settings-dialog.png", (placed[0], placed[1], placed[2] - placed[0],
                                                    placed[3] - placed[1]))
    display.run("xdotool", "windowmove", str(dialog), "1250", "60")
    wait_for("the dialog moved", lambda: display.geometry(dialog)[:2] != placed[:2] and
             framed(display, dialog)[:2] != placed[:2])
    moved = framed(display, dialog)
    display.activate(dialog)
    display.key("Return")
    wait_for("the dialog to close", lambda: dialog not in display.client_list())
    dialog = open_dialog()
    wait_for("the dialog where it was closed", lambda: framed(display, dialog) == moved)
    display.activate(dialog)
    display.key("Return")
    wait_for("the dialog to close", lambda: dialog not in display.client_list())
    exit_from_menu(session)

    if checks.pictures:
        # The same dialog in English, for the README.
        session = checks.session(display, "[Flag]\nOntop=1\n")
        session.env["HERONWATCH_LANG"] = "en"
        window = session.start()
        wait_framed(display, session)
        display.activate(window)
        display.key("F12")
        dialog = wait_for("the settings dialog in English", lambda: [
            w for w in display.client_list() if display.name(w) == "Settings"])[0]
        wait_for("the dialog framed", lambda: display.frame_extents(dialog) and
                 display.geometry(dialog))
        rect = framed(display, dialog)
        checks.picture(display, "settings-dialog-en.png",
                       (rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1]))
        display.activate(dialog)
        display.key("Return")
        wait_for("the dialog to close", lambda: dialog not in display.client_list())
        exit_from_menu(session)


def main():
    args = sys.argv[1:]
    pictures = None
    if "--pictures" in args:
        index = args.index("--pictures")
        pictures = os.path.abspath(args[index + 1])
        del args[index:index + 2]
    if len(args) != 2:
        print(__doc__)
        return 2
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    root = tempfile.mkdtemp(prefix="heronwatch-window-")
    checks = Checks(os.path.abspath(args[0]), os.path.abspath(args[1]), root, pictures)
    status = 0
    try:
        display = checks.display()
        for check_one in (check_first_start, check_moved_window_stays, check_maximise,
                          check_source_change_with_push, check_second_start,
                          check_manual_without_viewer, check_tray_click, check_dialog_beside):
            check_one(checks, display)
        check_screens(checks)
        print("desktop window: all checks passed")
    except Failure as failure:
        status = 1
        print("FAILED: %s" % failure)
        traceback.print_exc()
        for session in checks.sessions:
            if os.path.exists(session.stderr_path):
                with open(session.stderr_path, encoding="utf-8", errors="replace") as stderr:
                    lines = stderr.readlines()[-40:]
                if lines:
                    print("standard error of the program in %s:" % session.work)
                    print("".join(lines))
        if checks.displays:
            subprocess.run([checks.screenshot, os.path.join(os.getcwd(),
                                                            "desktop-window-failure.png")],
                           env=checks.displays[-1].env)
    finally:
        checks.close()
        shutil.rmtree(root, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
