#!/usr/bin/env python3
"""The real program against a local service with a push channel. A handshake the server never
answers must be given up and logged, and the program must connect once the server answers. A
pushed report announcement must start a fetch long before the next poll is due (the poll
period is three minutes here). A socket whose pings go unanswered must be taken for lost and
connected again. A report announced while the socket is down must be fetched right after the
reconnection."""

import os
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "soak"))
from push_session import PushSession, wait_for  # noqa: E402


def main():
    program = sys.argv[1]
    runtime = os.path.join(HERE, "..", "..", "runtime")
    session = PushSession("push_check_", runtime)
    server, env = session.server, session.env
    log_has = session.log_has

    def gets_after(start):
        with server.lock:
            return [e for e in server.events if e[0] == "GET" and e[1] >= start]

    def opened_at(count):
        with server.lock:
            return [e for e in server.events if e[0] == "open"][count - 1][1]

    server.handshake = False
    app = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        wait_for(lambda: server.count("stalled") >= 1, "the program never tried the socket")
        wait_for(lambda: log_has("ハンドシェイクが終わりません"), "a dead handshake was not logged")
        server.handshake = True
        wait_for(lambda: server.count("open") == 1, "the program never opened the socket")
        wait_for(lambda: server.count("GET") >= 1, "no start-up fetch")
        wait_for(lambda: log_has("プッシュ通知 … 接続しました"), "no log line for the connection")

        before = server.count("GET")
        report = server.add_report()
        server.push(report, code=554)  # not a report announcement: no fetch
        server.push(report)
        wait_for(lambda: server.count("GET") > before, "the push started no fetch", 10)
        with server.lock:
            fetched = [e for e in server.events if e[0] == "GET"][before:]
        assert report in fetched[-1][2], fetched

        # The server stops answering pings: the program takes the socket for lost.
        server.answer_pings = False
        wait_for(lambda: log_has("pong が返りません"), "a silent socket was not logged")
        server.answer_pings = True
        wait_for(lambda: server.count("open") == 2, "the program did not reconnect")

        # The server drops the socket and announces a report while the program is away: the
        # reconnection reads the list, which holds it.
        with server.lock:
            sockets = list(server.sockets)
        for connection in sockets:
            connection.sendall(bytes([0x88, 0]))
        wait_for(lambda: log_has("プッシュ通知 … 切断されました (closed"), "no log line for the drop")
        missed = server.add_report()
        server.push(missed)
        wait_for(lambda: server.count("open") == 3, "the program did not reconnect")
        reconnected = opened_at(3)
        wait_for(lambda: any(missed in e[2] for e in gets_after(reconnected)),
                 "the report announced during the gap was not fetched", 10)
        delay = min(e[1] for e in gets_after(reconnected) if missed in e[2]) - reconnected
        print("report of the gap fetched %.3f s after the reconnection" % delay)
    finally:
        app.send_signal(signal.SIGTERM)
        try:
            output = app.communicate(timeout=30)[0]
        except subprocess.TimeoutExpired:
            app.kill()
            output = app.communicate()[0]
        server.stop()
    if app.returncode != 0:
        raise SystemExit("FAIL: exit status %d: %s" % (app.returncode, output.decode()))
    print("push check passed")


if __name__ == "__main__":
    main()
