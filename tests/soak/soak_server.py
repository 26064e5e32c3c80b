#!/usr/bin/env python3
"""A hostile report server for a hand-run soak of the fetch (about an hour).

It answers GET .../v2/history (under any prefix, so one server can stand in for both the live
and the sandbox base) and cycles through modes, each for --period seconds:

  good       200 with the report list
  429        429 with "Retry-After: 60" and "[]"
  500        500 with "[]"
  truncated  200 announcing twice the list's length, then closes after the list
  trickle    200 announcing the list, then 2 bytes every 0.9 s
  redirect   302 back to the same address, every time
  refused    nothing listens on the port

Every request is logged with its time and mode; at the end (--duration, or Ctrl+C) it prints
the requests per minute: the most in any minute and the mean.

Run it, then start the program against it, for example:

  tests/soak/soak_server.py --port 8631 --period 120 --log soak.log &
  HERONWATCH_API_BASE=http://127.0.0.1:8631/live \\
  HERONWATCH_SANDBOX_BASE=http://127.0.0.1:8631/sandbox heronwatch
"""

import argparse
import collections
import http.server
import json
import os
import sys
import threading
import time

MODES = ["good", "429", "500", "truncated", "trickle", "redirect", "refused"]
DEFAULT_BODY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures",
                            "samples", "detailscale-2024-08-10-two-reports.json")


class Soak:
    def __init__(self, body, log_path):
        self.body = body
        self.mode = MODES[0]
        self.start = time.monotonic()
        self.per_minute = collections.Counter()
        self.lock = threading.Lock()
        self.log = open(log_path, "a", encoding="utf-8")

    def note(self, text):
        with self.lock:
            stamp = time.strftime("%Y-%m-%d %H:%M:%S")
            self.log.write("%s %-9s %s\n" % (stamp, self.mode, text))
            self.log.flush()

    def count(self, path):
        with self.lock:
            self.per_minute[int((time.monotonic() - self.start) // 60)] += 1
        self.note("GET " + path)

    def summary(self):
        minutes = int((time.monotonic() - self.start) // 60) + 1
        counts = [self.per_minute.get(m, 0) for m in range(minutes)]
        return ("requests: %d in %d minute(s); per minute: max %d, mean %.1f"
                % (sum(counts), minutes, max(counts), sum(counts) / minutes))


class Server(http.server.ThreadingHTTPServer):
    # A trickling answer may outlive its mode; the next mode must not wait for it.
    daemon_threads = True
    block_on_close = False


def make_handler(soak):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def answer(self, status, body, headers=(), length=None):
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body) if length is None else length))
            self.send_header("Connection", "close")
            for name, value in headers:
                self.send_header(name, value)
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):  # noqa: N802 - the server's handler name
            soak.count(self.path)
            self.close_connection = True
            mode = soak.mode
            if "/v2/history" not in self.path:
                self.answer(404, b"[]")
            elif mode == "good":
                self.answer(200, soak.body)
            elif mode == "429":
                self.answer(429, b"[]", [("Retry-After", "60")])
            elif mode == "500":
                self.answer(500, b"[]")
            elif mode == "truncated":
                self.answer(200, soak.body, length=2 * len(soak.body))
            elif mode == "trickle":
                self.answer(200, b"", length=len(soak.body))
                for at in range(0, len(soak.body), 2):
                    self.wfile.write(soak.body[at:at + 2])
                    self.wfile.flush()
                    time.sleep(0.9)
            elif mode == "redirect":
                self.answer(302, b"", [("Location", self.path)])

        def handle(self):
            try:
                super().handle()
            except (BrokenPipeError, ConnectionResetError):
                soak.note("client gave up")

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=8631)
    parser.add_argument("--period", type=float, default=120, help="seconds per mode")
    parser.add_argument("--duration", type=float, default=3600, help="seconds in all")
    parser.add_argument("--body", default=DEFAULT_BODY, help="a report list or one report (JSON)")
    parser.add_argument("--log", default="soak.log", help="the request log (appended)")
    args = parser.parse_args()

    with open(args.body, "rb") as f:
        data = json.load(f)
    body = json.dumps(data if isinstance(data, list) else [data], ensure_ascii=False,
                      separators=(",", ":")).encode("utf-8")

    soak = Soak(body, args.log)
    end = soak.start + args.duration
    try:
        for phase in range(sys.maxsize):
            now = time.monotonic()
            if now >= end:
                break
            soak.mode = MODES[phase % len(MODES)]
            soak.note("mode for %d s" % args.period)
            print("%s %s" % (time.strftime("%H:%M:%S"), soak.mode), flush=True)
            phase_end = min(now + args.period, end)
            if soak.mode == "refused":
                time.sleep(phase_end - now)
                continue
            server = Server(("127.0.0.1", args.port), make_handler(soak))
            threading.Thread(target=server.serve_forever, daemon=True).start()
            time.sleep(phase_end - now)
            server.shutdown()
            server.server_close()
    except KeyboardInterrupt:
        pass
    print(soak.summary())
    soak.note(soak.summary())


if __name__ == "__main__":
    main()
