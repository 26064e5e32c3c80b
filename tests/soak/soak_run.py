#!/usr/bin/env python3
"""A long run of the program under Xvfb with openbox against a hostile soak server.

Every minute it records the program's resident memory (and its peak), the event log's size,
whether history.json is valid JSON, and how long the window takes to answer F2 (frame hidden,
then shown again: the window thread must turn a key into a new frame). At the end it sends
SIGTERM and checks the program ends cleanly.

    soak_run.py PROGRAM MINUTES [--period SECONDS] [--port PORT]

It starts soak_server.py (beside this script) for the same time.
"""

import argparse
import json
import socket
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def run(env, *command):
    return subprocess.run(command, env=env, capture_output=True, text=True).stdout


def wait_for(predicate, deadline):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.02)
    return None


def frame_extents(env, window):
    text = run(env, "xprop", "-id", window, "_NET_FRAME_EXTENTS")
    if "=" not in text:
        return None
    return tuple(int(v) for v in text.split("=")[1].split(","))


def listening(port):
    try:
        socket.create_connection(("127.0.0.1", port), 0.2).close()
        return True
    except OSError:
        return False


def proc_status(pid, key):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("minutes", type=float)
    parser.add_argument("--period", type=float, default=120)
    parser.add_argument("--port", type=int, default=8631)
    args = parser.parse_args()
    program, minutes = os.path.abspath(args.program), args.minutes
    server_script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "soak_server.py")
    root = tempfile.mkdtemp(prefix="heronwatch-soak-")
    work = os.path.join(root, "work")
    os.makedirs(work)
    with open(os.path.join(work, "Heronwatch.ini"), "w") as ini:
        ini.write("[Position]\nLeft=100\nTop=100\nRight=1060\nBottom=640\n"
                  "[Config]\nSiJson=1\n[Flag]\nDemo=0\n")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24",
                             "-noreset"], stdout=subprocess.PIPE)
    display = ":" + xvfb.stdout.readline().decode().strip()
    env = dict(os.environ, DISPLAY=display)
    wm = subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL)
    server_log = os.path.join(root, "server.log")
    server = subprocess.Popen([sys.executable, server_script, "--log", server_log,
                               "--port", str(args.port), "--period", str(args.period),
                               "--duration", str(minutes * 60 + 120)],
                              stdout=subprocess.PIPE, text=True)
    wait_for(lambda: listening(args.port), 10)
    base = "http://127.0.0.1:%d/live" % args.port
    print("server at", base, "folder", root, flush=True)
    program_env = dict(env, HERONWATCH_WORKDIR=work, HERONWATCH_API_BASE=base,
                       HERONWATCH_SANDBOX_BASE=base, HERONWATCH_STATION_BASE=base,
                       HERONWATCH_PUSH_URL="ws://127.0.0.1:9/",
                       HERONWATCH_SANDBOX_PUSH_URL="ws://127.0.0.1:9/")
    app = subprocess.Popen([program], env=program_env, cwd=work,
                           stdout=subprocess.DEVNULL,
                           stderr=open(os.path.join(root, "stderr.txt"), "w"))
    window = wait_for(lambda: run(env, "xdotool", "search", "--onlyvisible", "--name", "^Heronwatch$").split(), 30)
    window = window[0]
    wait_for(lambda: (frame_extents(env, window) or (0,))[0] > 0, 30)
    history = os.path.join(work, "Storage", "history.json")
    log = os.path.join(work, "Eventlog", "event.log")
    start = time.monotonic()
    rows = []
    while time.monotonic() - start < minutes * 60:
        time.sleep(60)
        rss = proc_status(app.pid, "VmRSS") // 1024
        hwm = proc_status(app.pid, "VmHWM") // 1024
        valid = "absent"
        if os.path.exists(history):
            try:
                with open(history, encoding="utf-8") as file:
                    json.load(file)
                valid = "valid"
            except ValueError:
                valid = "INVALID"
        log_size = os.path.getsize(log) if os.path.exists(log) else 0
        t0 = time.monotonic()
        run(env, "xdotool", "windowactivate", "--sync", window, "key", "F2")
        hidden = wait_for(lambda: frame_extents(env, window) == (0, 0, 0, 0), 10)
        t1 = time.monotonic()
        run(env, "xdotool", "windowactivate", "--sync", window, "key", "F2")
        shown = wait_for(lambda: (frame_extents(env, window) or (0,))[0] > 0, 10)
        t2 = time.monotonic()
        row = (round((time.monotonic() - start) / 60), rss, hwm, log_size, valid,
               round((t1 - t0) * 1000) if hidden else "NO ANSWER",
               round((t2 - t1) * 1000) if shown else "NO ANSWER")
        rows.append(row)
        print("min %3s  rss %4s MB  peak %4s MB  log %9s B  history %-7s  F2 %s ms / %s ms" % row,
              flush=True)
    t0 = time.monotonic()
    app.send_signal(signal.SIGTERM)
    try:
        code = app.wait(30)
    except subprocess.TimeoutExpired:
        code = "still running after 30 s"
        app.kill()
    print("SIGTERM: exit %s after %.2f s" % (code, time.monotonic() - t0), flush=True)
    server.send_signal(signal.SIGINT)
    print(server.communicate(timeout=30)[0], flush=True)
    for process in (wm, xvfb):
        process.kill()
    print("folder kept:", root)


if __name__ == "__main__":
    main()
