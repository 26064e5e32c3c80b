#!/usr/bin/env python3
"""From a pushed announcement to the new report on the window, for pushes at random phases of
the second. A local service announces a report, and its history list has the report only
`--lag` seconds later, as the real list trails the push. For each push it prints the time to
the first history request that found the report and to the composition's event-log lines.

    bench/push_latency.py build/default/src/heronwatch [--pushes 12] [--lag 0.5]
"""

import argparse
import os
import random
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "soak"))
from push_session import PushSession, wait_for  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("program")
    parser.add_argument("--pushes", type=int, default=12)
    parser.add_argument("--lag", type=float, default=0.5)
    args = parser.parse_args()
    runtime = os.path.join(HERE, "..", "runtime")
    session = PushSession("push_latency_", runtime, os.environ.get("QT_QPA_PLATFORM", "offscreen"))
    server, env = session.server, session.env

    def compositions():
        return session.log_text().count("地震情報 … 日時")

    app = subprocess.Popen([args.program], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    fetch_times, picture_times = [], []
    try:
        wait_for(lambda: compositions() >= 1, "no first composition")
        for n in range(args.pushes):
            time.sleep(2.0 + random.random())  # a random phase of the second
            before = compositions()
            report_id = "%024x" % (0x7e0000000000000000000000 + server.serial + 1)
            server.push(report_id)
            pushed = time.monotonic() - server.start
            phase = time.time() % 1.0  # the program counts whole seconds of the wall clock
            time.sleep(args.lag)
            server.add_report()
            wait_for(lambda: compositions() > before, "push %d never reached the window" % n, 10)
            shown = time.monotonic() - server.start
            with server.lock:
                found = [e[1] for e in server.events
                         if e[0] == "GET" and e[1] >= pushed and report_id in e[2]]
            fetch_times.append(found[0] - pushed if found else float("nan"))
            picture_times.append(shown - pushed)
            print("push %2d at phase %.3f: fetched after %.3f s, composed after %.3f s"
                  % (n + 1, phase, fetch_times[-1], picture_times[-1]))
    finally:
        app.terminate()
        app.wait(10)
        server.stop()
    print("composed: median %.3f s, worst %.3f s over %d pushes"
          % (statistics.median(picture_times), max(picture_times), len(picture_times)))


if __name__ == "__main__":
    main()
