"""A minimal client of the W3C WebDriver protocol (as chromedriver speaks it) on the standard
library alone: start the driver, open a browser session, navigate, run scripts, take
screenshots, end. Only what the browser tests use."""

import base64
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.error
import urllib.request


class WebDriverError(Exception):
    """An error answer of the driver: its W3C error code and message."""

    def __init__(self, error, message):
        super().__init__("%s: %s" % (error, message))
        self.error = error


def free_port():
    """A port nothing listens on now (bound to port 0 and closed again)."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def _call(base, method, path, body=None, timeout=60):
    data = None if body is None else json.dumps(body).encode("utf-8")
    request = urllib.request.Request(base + path, data=data, method=method,
                                     headers={"Content-Type": "application/json; charset=utf-8"})
    try:
        with urllib.request.urlopen(request, timeout=timeout) as reply:
            answer = json.loads(reply.read().decode("utf-8"))
    except urllib.error.HTTPError as error:
        # Errors come as JSON too: {"value": {"error": ..., "message": ...}}.
        try:
            value = json.loads(error.read().decode("utf-8")).get("value", {})
        except ValueError:
            value = {}
        raise WebDriverError(value.get("error", "http %d" % error.code),
                             value.get("message", "")) from None
    return answer.get("value")


class Driver:
    """A chromedriver process on a port of its own; ends with stop() (or a with block)."""

    def __init__(self, executable="chromedriver", ready_seconds=30.0):
        self.port = free_port()
        self.base = "http://127.0.0.1:%d" % self.port
        # The browser's profiles and singleton sockets go to a folder of this driver's own,
        # removed at the end (Chromium leaves its sockets' folders behind in TMPDIR).
        self.tmp = tempfile.mkdtemp(prefix="webdriver_")
        self.process = subprocess.Popen([executable, "--port=%d" % self.port],
                                        env=dict(os.environ, TMPDIR=self.tmp),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.monotonic() + ready_seconds
        while True:
            try:
                if _call(self.base, "GET", "/status", timeout=2).get("ready"):
                    return
            except (OSError, WebDriverError, ValueError):
                pass
            if self.process.poll() is not None or time.monotonic() > end:
                self.stop()
                raise WebDriverError("no driver", "chromedriver did not become ready")
            time.sleep(0.05)

    def session(self, capabilities):
        """Opens a browser session with these capabilities (alwaysMatch)."""
        value = _call(self.base, "POST", "/session",
                      {"capabilities": {"alwaysMatch": capabilities}})
        return Session(self.base, value["sessionId"])

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def chrome_capabilities(width=1280, height=720, binary=None):
    """A headless Chromium at width × height that runs as root in a container."""
    options = {"args": ["--headless=new", "--no-sandbox", "--disable-gpu",
                        "--disable-dev-shm-usage", "--window-size=%d,%d" % (width, height)]}
    if binary:
        options["binary"] = binary
    return {"browserName": "chrome", "goog:chromeOptions": options}


class Session:
    def __init__(self, base, session_id):
        self.base = base
        self.path = "/session/" + session_id

    def _call(self, method, path, body=None):
        return _call(self.base, method, self.path + path, body)

    def navigate(self, url):
        self._call("POST", "/url", {"url": url})

    def execute(self, script, *args):
        """Runs a function body in the page and returns its result."""
        return self._call("POST", "/execute/sync", {"script": script, "args": list(args)})

    def execute_async(self, script, *args):
        """Runs a function body whose last argument is a callback; returns what it is given."""
        return self._call("POST", "/execute/async", {"script": script, "args": list(args)})

    def set_script_timeout(self, ms):
        self._call("POST", "/timeouts", {"script": ms})

    def fit_viewport(self, width, height):
        """Sizes the window so that the page itself is width × height (the window's size
        includes the browser's frame, even headless)."""
        for _ in range(3):
            inner = self.execute("return [window.innerWidth, window.innerHeight];")
            if inner == [width, height]:
                return
            rect = self._call("GET", "/window/rect")
            self._call("POST", "/window/rect",
                       {"width": rect["width"] + width - inner[0],
                        "height": rect["height"] + height - inner[1]})
        raise WebDriverError("viewport", "the page is %d × %d, not %d × %d"
                             % (inner[0], inner[1], width, height))

    def screenshot_png(self):
        """What the window shows of the page, as PNG bytes."""
        return base64.b64decode(self._call("GET", "/screenshot"))

    def quit(self):
        try:
            _call(self.base, "DELETE", self.path, timeout=30)
        except (OSError, WebDriverError):
            pass


def find_browser():
    """The Chromium binary of the distribution, if any (chromedriver looks for it itself, but
    under a name it may not have here)."""
    for candidate in ("/usr/bin/chromium", "/usr/bin/chromium-browser", "/usr/bin/google-chrome"):
        if os.access(candidate, os.X_OK):
            return candidate
    return None
