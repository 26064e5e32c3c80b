"""The program's side of a run against the local push service: a working folder of its own
with a settings file that polls only every three minutes (so that every quick fetch is the push
channel's doing), the service, the environment that points the program at it, and the event
log to read."""

import os
import tempfile
import time

from push_server import PushServer

SETTINGS = "[Flag]\nOntop=0\n[Config]\nReload=180\n[Push]\nReload=180\n"


def wait_for(condition, what, seconds=30.0, step=0.005):
    """Polls condition until it holds; otherwise the run fails with what was awaited."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(step)
    raise SystemExit("FAIL: " + what)


class PushSession:
    def __init__(self, prefix, runtime, platform="offscreen"):
        work = tempfile.mkdtemp(prefix=prefix)
        self.data = os.path.join(work, "data")
        os.makedirs(os.path.join(work, "run"), mode=0o700)
        os.makedirs(self.data)
        with open(os.path.join(self.data, "Heronwatch.ini"), "w", encoding="utf-8") as f:
            f.write(SETTINGS)
        self.server = PushServer()
        base = "http://127.0.0.1:%d" % self.server.port
        self.env = dict(os.environ,
                        QT_QPA_PLATFORM=platform,
                        XDG_RUNTIME_DIR=os.path.join(work, "run"), HERONWATCH_WORKDIR=self.data,
                        HERONWATCH_RUNTIME_DIR=runtime, HERONWATCH_API_BASE=base + "/live",
                        HERONWATCH_SANDBOX_BASE=base + "/sandbox",
                        HERONWATCH_STATION_BASE="http://127.0.0.1:9",
                        HERONWATCH_PUSH_URL="ws://127.0.0.1:%d/v2/ws" % self.server.port)
        self.log_path = os.path.join(self.data, "Eventlog", "event.log")

    def log_text(self):
        """The event log as far as it is written; empty before its first line."""
        try:
            with open(self.log_path, encoding="utf-8") as f:
                return f.read()
        except OSError:
            return ""

    def log_has(self, text):
        return text in self.log_text()
