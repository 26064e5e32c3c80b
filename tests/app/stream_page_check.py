#!/usr/bin/env python3
"""The local page of the picture for streams in a real headless Chromium (through
chromedriver), against the real program and a local report service with a push channel.

The picture file must never be read half-written while the pictures change. The page must show
the picture and follow a newly composed report: the picture shown after a report's composition
event must be one the server announced after that event, within a second of it (the latencies
are printed). The server must refuse other methods, unknown paths and paths that climb out of
its root. With Overlay=1 the map is left out: /overlay.png is RGBA and transparent there.

With HERONWATCH_WRITE_DOCS=1 the screenshots of the page and of the overlay over a test
pattern are written to docs/stream-page.png and docs/stream-overlay.png.

  stream_page_check.py PROGRAM

Exits 77 (skipped) when chromium or chromedriver is not installed."""

import json
import os
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import threading
import time
import urllib.error
import urllib.request
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "soak"))
sys.path.insert(0, HERE)
from push_session import PushSession, wait_for  # noqa: E402
import webdriver  # noqa: E402

DOCS = os.path.join(HERE, "..", "..", "docs")
WIDTH, HEIGHT = 1920, 1080
PUSHES = 5
SIGNATURE = b"\x89PNG\r\n\x1a\n"

# Records in window.hw.log, in the order they happen, each change of the picture the page
# shows and the events of a second event stream of the page's own: [Date.now(), kind, data].
# The page swaps in a new <img> element once the next picture has loaded, so the observer
# watches the whole body, not one element.
RECORDER = r"""
if (window.hw) return true;
const hw = window.hw = {log: [], open: false};
let last = document.getElementById('picture').src;
new MutationObserver(() => {
  const img = document.getElementById('picture');
  if (img && img.src !== last) {
    last = img.src;
    hw.log.push([Date.now(), 'shown', img.src, img.naturalWidth]);
  }
}).observe(document.body, {childList: true, subtree: true, attributes: true,
                           attributeFilter: ['src']});
const events = new EventSource('/events');
events.onopen = () => { hw.open = true; };
events.addEventListener('composition', (e) => hw.log.push([Date.now(), 'composition', e.data]));
events.addEventListener('picture', (e) => hw.log.push([Date.now(), 'picture', e.data]));
return true;
"""

# Replaces the page with the overlay picture over a checkerboard at the window's size, draws
# the same picture on a canvas and answers the alpha at the points asked (picture pixels).
OVERLAY_PAGE = r"""
const points = arguments[0];
const done = arguments[arguments.length - 1];
document.head.innerHTML = '<style>html, body { margin: 0; width: 100%; height: 100%; ' +
    'overflow: hidden; background: repeating-conic-gradient(#c83ca0 0 25%, #f0f0f0 0 50%) ' +
    '0 0/120px 120px; } img { display: block; width: 100vw; height: 100vh; ' +
    'object-fit: contain; }</style>';
document.body.innerHTML = '';
const img = new Image();
img.onload = () => {
  const canvas = document.createElement('canvas');
  canvas.width = img.naturalWidth;
  canvas.height = img.naturalHeight;
  const context = canvas.getContext('2d');
  context.drawImage(img, 0, 0);
  const alpha = points.map(([x, y]) => context.getImageData(x, y, 1, 1).data[3]);
  document.body.appendChild(img);
  requestAnimationFrame(() => requestAnimationFrame(() =>
      done({width: img.naturalWidth, height: img.naturalHeight, alpha: alpha})));
};
img.onerror = () => done({error: 'the overlay did not load'});
img.src = '/overlay.png?t=' + Date.now();
"""


def png_problem(data):
    """Why `data` is not a whole 1920 × 1080 PNG (None when it is): the signature, every chunk
    with its CRC, the size in IHDR, IEND last, and image data of the right length."""
    if data[:8] != SIGNATURE:
        return "no PNG signature (%d bytes)" % len(data)
    at, chunks, idat = 8, [], []
    header = None
    while at < len(data):
        if at + 12 > len(data):
            return "a chunk is cut off at byte %d of %d" % (at, len(data))
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        end = at + 12 + length
        if end > len(data):
            return "chunk %r is cut off (%d of %d bytes)" % (kind, len(data) - at - 12, length)
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[end - 4:end])
        if zlib.crc32(kind + body) != crc:
            return "chunk %r has a wrong CRC" % kind
        chunks.append(kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat.append(body)
        at = end
    if not chunks or chunks[0] != b"IHDR" or header is None:
        return "IHDR is not the first chunk"
    if chunks[-1] != b"IEND":
        return "the file does not end with IEND (last chunk %r)" % chunks[-1]
    width, height, depth, colour = header
    if (width, height) != (WIDTH, HEIGHT):
        return "the picture is %d × %d" % (width, height)
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None:
        return "unexpected depth %d / colour type %d" % (depth, colour)
    try:
        pixels = zlib.decompress(b"".join(idat))
    except zlib.error as error:
        return "the image data does not inflate: %s" % error
    if len(pixels) != height * (1 + width * channels):
        return "the image data has %d bytes" % len(pixels)
    return None


def colour_type(data):
    return data[25] if data[:8] == SIGNATURE and data[12:16] == b"IHDR" else None


def get(url, timeout=10):
    """(status, body) of a GET; an error status is an answer too."""
    try:
        with urllib.request.urlopen(url, timeout=timeout) as reply:
            return reply.status, reply.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


def raw_request(port, request_line):
    """The whole answer to one request sent byte for byte (no client tidies the path)."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as connection:
        connection.sendall(request_line.encode("ascii") +
                           b"\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")
        answer = b""
        while b"\r\n\r\n" not in answer:
            chunk = connection.recv(65536)
            if not chunk:
                return answer
            answer += chunk
        head, body = answer.split(b"\r\n\r\n", 1)
        length = None
        for line in head.split(b"\r\n")[1:]:
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value.strip())
        try:
            while length is None or len(body) < length:
                chunk = connection.recv(65536)
                if not chunk:
                    break
                body += chunk
        except socket.timeout:
            pass
        return head + b"\r\n\r\n" + body


class Program:
    """The program against a session of its own, with [Stream] settings added."""

    def __init__(self, program, prefix, stream_settings):
        runtime = os.path.join(HERE, "..", "..", "runtime")
        self.session = PushSession(prefix, runtime)
        self.port = webdriver.free_port()
        self.base = "http://127.0.0.1:%d" % self.port
        with open(os.path.join(self.session.data, "Heronwatch.ini"), "a", encoding="utf-8") as f:
            f.write("[Stream]\nHttp=1\nPort=%d\n%s" % (self.port, stream_settings))
        # The folder of the picture file is the user's to make; the program writes into it.
        os.makedirs(os.path.join(self.session.data, "stream"))
        self.app = subprocess.Popen([program], env=self.session.env, stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT)

    def serving(self):
        if self.app.poll() is not None:
            raise SystemExit("FAIL: the program ended early: %s"
                             % self.app.communicate()[0].decode(errors="replace"))
        try:
            return get(self.base + "/latest.json", timeout=2)[0] == 200
        except OSError:
            return False

    def stop(self):
        self.app.send_signal(signal.SIGTERM)
        try:
            output = self.app.communicate(timeout=30)[0]
        except subprocess.TimeoutExpired:
            self.app.kill()
            output = self.app.communicate()[0]
        self.session.server.stop()
        shutil.rmtree(os.path.dirname(self.session.data), ignore_errors=True)
        if self.app.returncode != 0:
            raise SystemExit("FAIL: exit status %d: %s"
                             % (self.app.returncode, output.decode(errors="replace")))


class FileReader(threading.Thread):
    """Reads the picture file over and over while it is rewritten (the pushes of the page check
    make it change); every read must be a whole PNG."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.path = path
        self.reads = 0
        self.pictures = set()
        self.broken = []
        self.done = threading.Event()

    def run(self):
        last = None
        while not self.done.is_set():
            try:
                with open(self.path, "rb") as f:
                    data = f.read()
            except FileNotFoundError:
                # Only once the working folder is removed after a failure; the file is
                # replaced by a rename and so always there.
                self.broken.append("the file is missing")
                return
            self.reads += 1
            # A read equal to the one before was checked already.
            if data != last:
                problem = png_problem(data)
                if problem:
                    self.broken.append(problem)
                else:
                    self.pictures.add(zlib.crc32(data))
                last = data
            self.done.wait(0.01)

    def finish(self):
        self.done.set()
        self.join()
        print("picture file: %d reads, %d different pictures, %d broken"
              % (self.reads, len(self.pictures), len(self.broken)))
        if self.broken:
            raise SystemExit("FAIL: the picture file was read broken: %s" % self.broken[:3])
        if len(self.pictures) < 1 + PUSHES:
            raise SystemExit("FAIL: the picture file changed only %d times"
                             % (len(self.pictures) - 1))


def version_of(src):
    """The version a picture of the page was asked for with ('?v=12'), or None."""
    value = src.partition("?v=")[2]
    return int(value) if value.isdigit() else None


def add_report(server, hour):
    """A new report of an earthquake at `hour`:18, published at `hour`:21 (a later earthquake,
    so that the picture changes); returns its id."""
    report = server.add_report("2024/08/10 %02d:18:00" % hour)
    with server.lock:
        server.reports[0]["issue"]["time"] = "2024/08/10 %02d:21:28" % hour
        server.reports[0]["time"] = "2024/08/10 %02d:21:28.898" % hour
    return report


def follow_push(browser, program, offset, hour):
    """Pushes a new report; returns (composition → shown, push → shown) in seconds."""
    server = program.session.server
    start = browser.execute("return hw.log.length;")
    report = add_report(server, hour)
    pushed = time.monotonic()
    server.push(report)
    end = pushed + 10
    while True:
        log = browser.execute("return hw.log.slice(arguments[0]);", start)
        composed = next((i for i, entry in enumerate(log) if entry[1] == "composition"
                         and json.loads(entry[2]).get("id") == report), None)
        if composed is not None:
            # The first picture announced after the composition, and the first picture shown
            # that is that one or newer.
            announced = next((int(entry[2]) for entry in log[composed + 1:]
                              if entry[1] == "picture"), None)
            shown = announced is not None and next(
                (entry for entry in log[composed + 1:] if entry[1] == "shown"
                 and (version_of(entry[2]) or 0) >= announced), None)
            if shown:
                if shown[3] != WIDTH:
                    raise SystemExit("FAIL: the page shows a picture %d wide" % shown[3])
                composition_ms = log[composed][0]
                return ((shown[0] - composition_ms) / 1000.0,
                        shown[0] / 1000.0 - offset - pushed)
        if time.monotonic() > end:
            raise SystemExit("FAIL: the page did not follow report %s (composition seen: %s): %s"
                             % (report, composed is not None, log))
        time.sleep(0.05)


def check_page(browser, program):
    # Date.now() of the browser and time.time() here read the same clock.
    offset = time.time() - time.monotonic()
    composition, push = [], []
    for hour in range(15, 15 + PUSHES):
        a, b = follow_push(browser, program, offset, hour)
        composition.append(a)
        push.append(b)
    # From the composition event to the new picture on the page, and from the push.
    print("stream page latency: median %.0f ms, worst %.0f ms"
          % (statistics.median(composition) * 1000, max(composition) * 1000))
    print("push -> picture shown: median %.0f ms, worst %.0f ms"
          % (statistics.median(push) * 1000, max(push) * 1000))
    if max(composition) > 1.0:
        raise SystemExit("FAIL: the page followed a composition only after %.3f s"
                         % max(composition))
    status, body = get(program.base + "/latest.json")
    newest = json.loads(body)["report"]["id"]
    if status != 200 or newest != program.session.server.newest_id():
        raise SystemExit("FAIL: /latest.json has report %s, not the newest" % newest)


def check_refusals(program):
    request = urllib.request.Request(program.base + "/", data=b"x", method="POST")
    try:
        urllib.request.urlopen(request, timeout=10)
        status = 200
    except urllib.error.HTTPError as error:
        status = error.code
    if status != 405:
        raise SystemExit("FAIL: POST / answered %d, not 405" % status)
    status = get(program.base + "/nothing")[0]
    if status != 404:
        raise SystemExit("FAIL: GET /nothing answered %d, not 404" % status)
    with open(os.path.join(program.session.data, "Heronwatch.ini"), encoding="utf-8") as f:
        settings = f.read().strip().encode("utf-8")
    for line in ("GET /../Heronwatch.ini HTTP/1.1", "GET /%2e%2e/Heronwatch.ini HTTP/1.1"):
        answer = raw_request(program.port, line)
        if not answer.startswith(b"HTTP/1.1 404"):
            raise SystemExit("FAIL: %r answered %r" % (line, answer[:80]))
        if settings in answer or b"[Stream]" in answer or b"Reload=180" in answer:
            raise SystemExit("FAIL: %r answered with the settings file" % line)
    print("refusals: POST 405, unknown path 404, paths out of the root 404")


def write_doc(name, png):
    problem = png[:8] != SIGNATURE
    if problem:
        raise SystemExit("FAIL: the screenshot for %s is not a PNG" % name)
    if os.environ.get("HERONWATCH_WRITE_DOCS") == "1":
        with open(os.path.join(DOCS, name), "wb") as f:
            f.write(png)
        print("wrote docs/" + name)


def open_page(driver, program):
    """A browser session at 1280 × 720 on the page, showing a picture, with the recorder."""
    browser = driver.session(webdriver.chrome_capabilities(binary=webdriver.find_browser()))
    browser.fit_viewport(1280, 720)
    browser.navigate(program.base + "/")
    wait_for(lambda: browser.execute(
        "const img = document.getElementById('picture');"
        "return img && img.complete && img.naturalWidth;") == WIDTH,
        "the page did not show a picture 1920 wide", 20, 0.05)
    browser.execute(RECORDER)
    wait_for(lambda: browser.execute("return hw.open;"), "the page's events did not open",
             10, 0.05)
    return browser


def check_overlay(driver, program_path):
    program = Program(program_path, "stream_overlay_check_", "Overlay=1\n")
    try:
        wait_for(program.serving, "the overlay run's server did not answer", 30, 0.05)
        browser = open_page(driver, program)
        try:
            # A report composed while the page watches: the overlay after it shows the report.
            follow_push(browser, program, time.time() - time.monotonic(), 15)
            overlay = get(program.base + "/overlay.png")[1]
            problem = png_problem(overlay)
            if problem or colour_type(overlay) != 6:
                raise SystemExit("FAIL: /overlay.png is not an RGBA picture: %s (colour type %s)"
                                 % (problem, colour_type(overlay)))
            browser.set_script_timeout(20000)
            # The middle of the map, and the box of the maximum intensity at the top left.
            result = browser.execute_async(OVERLAY_PAGE, [[960, 540], [100, 60]])
            if result.get("error") or (result["width"], result["height"]) != (WIDTH, HEIGHT):
                raise SystemExit("FAIL: the overlay in the browser: %s" % result)
            if result["alpha"] != [0, 255]:
                raise SystemExit("FAIL: the overlay's alpha at the map and the box is %s, "
                                 "not [0, 255]" % result["alpha"])
            print("overlay: RGBA, transparent over the map, opaque in the box")
            write_doc("stream-overlay.png", browser.screenshot_png())
        finally:
            browser.quit()
    finally:
        program.stop()


def main():
    program_path = sys.argv[1]
    missing = [tool for tool in ("chromium", "chromedriver") if shutil.which(tool) is None]
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        return 77
    driver = webdriver.Driver()
    try:
        program = Program(program_path, "stream_page_check_", "File=stream/picture.png\n")
        try:
            picture = os.path.join(program.session.data, "stream", "picture.png")
            wait_for(program.serving, "/latest.json never answered 200", 30, 0.05)
            wait_for(lambda: os.path.exists(picture), "the picture file was not written", 30,
                     0.05)
            reader = FileReader(picture)
            reader.start()
            browser = open_page(driver, program)
            try:
                check_page(browser, program)
                reader.finish()
                check_refusals(program)
                write_doc("stream-page.png", browser.screenshot_png())
            finally:
                browser.quit()
        finally:
            program.stop()
        check_overlay(driver, program_path)
    finally:
        driver.stop()
    print("stream page check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
