#!/usr/bin/env python3
"""The real program against a local service that pushes warnings. An early warning (the API
definition's example) must be taken over and composed within 0.3 s of its push (measured by
the event-log line written in the same call as the composition), a repeated push of the same
item ignored, two later serials shown as updates, and the warning must end when the report of
the same earthquake is composed. A tsunami forecast pushed next must be shown, the tsunami list
read in a request of its own, and its cancellation shown as lifted."""

import json
import os
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "soak"))
from push_session import PushSession, wait_for  # noqa: E402

FIXTURES = os.path.join(HERE, "..", "fixtures", "warnings")


def example(name):
    with open(os.path.join(FIXTURES, name), encoding="utf-8") as f:
        return json.load(f)


def main():
    program = sys.argv[1]
    runtime = os.path.join(HERE, "..", "..", "runtime")
    session = PushSession("warning_push_check_", runtime)
    server, env = session.server, session.env
    log_has = session.log_has

    app = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        wait_for(lambda: log_has("プッシュ通知 … 接続しました"), "the program never connected")
        wait_for(lambda: server.count("GET552") >= 1, "the tsunami list was not read at start-up")

        warning = example("early-warning-example.json")
        event = warning["issue"]["eventId"]
        pushed = server.push_message(warning)
        wait_for(lambda: log_has(event + " 第1報 発表"), "the early warning was not shown", 5)
        delay = time.monotonic() - pushed
        print("early warning composed %.3f s after its push" % delay)
        if delay > 0.3:
            raise SystemExit("FAIL: the early warning took %.3f s" % delay)

        server.push_message(warning)
        wait_for(lambda: log_has("重複した配信を無視しました (%s)" % warning["id"]),
                 "a repeated push was not ignored", 5)
        for serial in (2, 3):
            update = json.loads(json.dumps(warning))
            update["id"] = "%s-%d" % (warning["id"], serial)
            update["issue"]["serial"] = str(serial)
            update["areas"][0]["scaleTo"] = 50.0
            pushed = server.push_message(update)
            wait_for(lambda: log_has("%s 第%d報 発表" % (event, serial)),
                     "serial %d was not shown" % serial, 5)
            print("serial %d composed %.3f s after its push" % (serial, time.monotonic() - pushed))

        final = server.add_report(warning["earthquake"]["originTime"])
        server.push(final)
        wait_for(lambda: log_has("同じ地震の地震情報を表示したため表示を終了しました"),
                 "the report of the same earthquake did not end the warning", 10)

        now = time.strftime("%Y/%m/%d %H:%M:%S")
        tsunami = example("tsunami-example.json")
        tsunami["id"] = "tsunami-check-1"
        tsunami["issue"]["time"] = now
        with server.lock:
            server.tsunami = [tsunami]
        reads = server.count("GET552")
        server.push_message(tsunami)
        wait_for(lambda: log_has("津波予報 … 発表 " + now), "the tsunami forecast was not shown", 5)
        wait_for(lambda: server.count("GET552") > reads, "the pushed forecast read no list", 10)

        cancellation = {"id": "tsunami-check-2", "code": 552, "time": now + ".000",
                        "cancelled": True, "issue": {"source": "気象庁", "time": now,
                                                     "type": "Focus"}, "areas": []}
        with server.lock:
            server.tsunami = [cancellation, tsunami]
        server.push_message(cancellation)
        wait_for(lambda: log_has("津波予報 … 解除 " + now), "the cancellation was not shown", 5)
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
    print("warning push check passed")


if __name__ == "__main__":
    main()
