#!/usr/bin/env python3
"""A local report service with a push channel, for tests and hand measurements.

One port serves GET .../v2/history (the current report list, under any prefix) and
GET .../v2/ws (a WebSocket: the minimal RFC 6455 handshake and unmasked text frames). Every
--every seconds (0: never) it makes a new report the newest in the list and, after --lag
seconds, pushes its announcement ({"_id": ..., "code": 551}) to every connected socket; the
real service's list also trails its push by about half a second. Each event is logged with a
monotonic time stamp, so the time from a push to the fetch that follows can be read off:

  push <id> t=12.345
  GET /live/v2/history?... t=12.790 id=<newest id in the list>

At the end (--duration, or Ctrl+C) it prints the history requests per hour.

  tests/soak/push_server.py --port 8632 --every 30 &
  HERONWATCH_API_BASE=http://127.0.0.1:8632/live \\
  HERONWATCH_PUSH_URL=ws://127.0.0.1:8632/v2/ws heronwatch

Tests import it and drive it through PushServer.
"""

import argparse
import base64
import hashlib
import http.server
import json
import os
import socketserver
import sys
import threading
import time

GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "samples",
                      "detailscale-2024-08-10-two-reports.json")


def text_frame(text):
    data = text.encode("utf-8")
    if len(data) < 126:
        header = bytes([0x81, len(data)])
    elif len(data) < 65536:
        header = bytes([0x81, 126]) + len(data).to_bytes(2, "big")
    else:
        header = bytes([0x81, 127]) + len(data).to_bytes(8, "big")
    return header + data


class PushServer:
    """The service's state: the report list, the open sockets and a log of what happened."""

    def __init__(self, port=0, log=None):
        with open(SAMPLE, encoding="utf-8") as f:
            self.reports = json.load(f)
        self.lock = threading.Lock()
        self.sockets = []
        self.events = []  # (kind, monotonic time, detail)
        self.serial = 0
        # The tsunami forecasts (code 552) a request with codes=552 gets, newest first.
        self.tsunami = []
        self.log = log
        # Faults a test can switch on: sockets accepted but never upgraded, pings never answered.
        self.handshake = True
        self.answer_pings = True
        self.start = time.monotonic()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                if self.path.split("?")[0].endswith("/v2/ws"):
                    server._serve_socket(self)
                else:
                    server._serve_history(self)

        class Threaded(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            allow_reuse_address = True

        self.httpd = Threaded(("127.0.0.1", port), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def note(self, kind, detail=""):
        now = time.monotonic() - self.start
        with self.lock:
            self.events.append((kind, now, detail))
        if self.log:
            self.log.write("%s %s t=%.3f\n" % (kind, detail, now))
            self.log.flush()

    def count(self, kind):
        with self.lock:
            return sum(1 for event in self.events if event[0] == kind)

    def newest_id(self):
        with self.lock:
            return self.reports[0]["id"]

    def add_report(self, earthquake_time=None):
        """Makes a copy of the newest report with a new id the newest (of an earthquake at
        `earthquake_time`, "YYYY/MM/DD hh:mm:ss", when given); returns the id."""
        with self.lock:
            self.serial += 1
            report = json.loads(json.dumps(self.reports[0]))
            report["id"] = "%024x" % (0x7e0000000000000000000000 + self.serial)
            if earthquake_time:
                report["earthquake"]["time"] = earthquake_time
            self.reports.insert(0, report)
            del self.reports[20:]
            return report["id"]

    def push(self, report_id, code=551):
        message = text_frame(json.dumps({"_id": report_id, "code": code}))
        with self.lock:
            sockets = list(self.sockets)
        for connection in sockets:
            try:
                connection.sendall(message)
            except OSError:
                pass
        self.note("push", report_id)

    def push_message(self, message):
        """Pushes a whole message (a tsunami forecast, an early warning) as the service does;
        returns the monotonic time stamp of the push."""
        frame = text_frame(json.dumps(message, ensure_ascii=False))
        with self.lock:
            sockets = list(self.sockets)
        for connection in sockets:
            try:
                connection.sendall(frame)
            except OSError:
                pass
        self.note("push%d" % message.get("code", 0), message.get("id", ""))
        return time.monotonic()

    def _serve_history(self, handler):
        if "codes=552" in handler.path:
            with self.lock:
                body = json.dumps(self.tsunami, ensure_ascii=False).encode("utf-8")
            self.note("GET552", handler.path)
            handler.send_response(200)
            handler.send_header("Content-Type", "application/json")
            handler.send_header("Content-Length", str(len(body)))
            handler.end_headers()
            handler.wfile.write(body)
            return
        with self.lock:
            body = json.dumps(self.reports, ensure_ascii=False, separators=(",", ":")).encode("utf-8")
            newest = self.reports[0]["id"]
        self.note("GET", "%s id=%s" % (handler.path, newest))
        handler.send_response(200)
        handler.send_header("Content-Type", "application/json")
        handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        handler.wfile.write(body)

    def _serve_socket(self, handler):
        if not self.handshake:
            # Holds the request unanswered until the client gives up.
            self.note("stalled")
            try:
                while handler.connection.recv(4096):
                    pass
            except OSError:
                pass
            handler.close_connection = True
            return
        key = handler.headers.get("Sec-WebSocket-Key", "")
        accept = base64.b64encode(hashlib.sha1((key + GUID).encode()).digest()).decode()
        handler.send_response(101)
        handler.send_header("Upgrade", "websocket")
        handler.send_header("Connection", "Upgrade")
        handler.send_header("Sec-WebSocket-Accept", accept)
        handler.end_headers()
        handler.wfile.flush()
        connection = handler.connection
        with self.lock:
            self.sockets.append(connection)
        self.note("open")
        try:
            # Reads the client's frames until it closes; a ping is answered with a pong.
            while True:
                head = connection.recv(2)
                if len(head) < 2:
                    break
                length = head[1] & 0x7F
                if length == 126:
                    length = int.from_bytes(connection.recv(2), "big")
                elif length == 127:
                    length = int.from_bytes(connection.recv(8), "big")
                mask = connection.recv(4) if head[1] & 0x80 else b""
                payload = b""
                while len(payload) < length:
                    chunk = connection.recv(length - len(payload))
                    if not chunk:
                        break
                    payload += chunk
                if mask:
                    payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
                opcode = head[0] & 0x0F
                if opcode == 0x8:
                    connection.sendall(bytes([0x88, 0]))
                    break
                if opcode == 0x9:
                    self.note("ping")
                    if self.answer_pings:
                        connection.sendall(bytes([0x8A, len(payload)]) + payload)
        except OSError:
            pass
        finally:
            with self.lock:
                if connection in self.sockets:
                    self.sockets.remove(connection)
            self.note("close")
            handler.close_connection = True

    def stop(self):
        self.httpd.shutdown()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--port", type=int, default=8632)
    parser.add_argument("--every", type=float, default=30.0)
    parser.add_argument("--lag", type=float, default=0.5)
    parser.add_argument("--duration", type=float, default=0.0)
    args = parser.parse_args()
    server = PushServer(args.port, sys.stdout)
    end = time.monotonic() + args.duration if args.duration > 0 else None
    try:
        while end is None or time.monotonic() < end:
            if args.every <= 0:
                time.sleep(1)
                continue
            time.sleep(args.every)
            report_id = "%024x" % (0x7e0000000000000000000000 + server.serial + 1)
            server.push(report_id)
            time.sleep(args.lag)
            server.add_report()
    except KeyboardInterrupt:
        pass
    hours = (time.monotonic() - server.start) / 3600
    print("history requests: %d in %.3f h = %.0f per hour"
          % (server.count("GET"), hours, server.count("GET") / hours))
    server.stop()


if __name__ == "__main__":
    main()
