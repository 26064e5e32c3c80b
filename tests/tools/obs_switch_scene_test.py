#!/usr/bin/env python3
"""tools/obs-switch-scene against a fake obs-websocket 5 server on this machine.

Usage: obs_switch_scene_test.py [TOOL] [unittest arguments]

TOOL is the script to test (default: tools/obs-switch-scene of this repository). It is started
as the program starts an OnReport command: directly, by its #! line, without a shell.

The fake server does the server side of RFC 6455 by itself: it answers the handshake, sends
Hello (with a challenge when it has a password) and a ping, checks that every frame of the
client is masked, and answers Identify and SetCurrentProgramScene as OBS does, closing with
4009 on a wrong authentication string.
"""

import base64
import hashlib
import json
import os
import pathlib
import socket
import socketserver
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

TOOL = pathlib.Path(__file__).resolve().parents[2] / "tools" / "obs-switch-scene"
GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
PING_PAYLOAD = b"still there?"
SALT = "lM1GncleQOaCu9lT1yeUZhFYnqhsLLP1G5lAGo3ixaI="
CHALLENGE = "+IxH4CnCiqpX1rM9scsNynZzbOe4KhDeYcTNS3PDaeY="


def auth_string(password):
    secret = base64.b64encode(hashlib.sha256((password + SALT).encode()).digest())
    return base64.b64encode(hashlib.sha256(secret + CHALLENGE.encode()).digest()).decode()


class Connection:
    """What one client did, as the fake server saw it."""

    def __init__(self):
        self.handshake = {}
        self.identify = None
        self.requests = []
        self.pongs = []
        self.unmasked_frames = 0
        self.close_code = None


class FakeObs(socketserver.ThreadingTCPServer):
    daemon_threads = False  # server_close() waits for the connections to end
    allow_reuse_address = True

    def __init__(self, password=None, scenes=("地震",)):
        super().__init__(("127.0.0.1", 0), FakeObsHandler)
        self.password = password
        self.scenes = set(scenes)
        self.connections = []
        self.lock = threading.Lock()
        self.stopped = False
        self.thread = threading.Thread(target=self.serve_forever, args=(0.05,), daemon=True)
        self.thread.start()

    @property
    def port(self):
        return self.server_address[1]

    def stop(self):
        if self.stopped:
            return
        self.stopped = True
        self.shutdown()
        self.server_close()
        self.thread.join()


class FakeObsHandler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(20)  # a broken client must not hold the test forever
        self.buffer = b""
        self.seen = Connection()
        with self.server.lock:
            self.server.connections.append(self.seen)

    def read_exactly(self, count):
        while len(self.buffer) < count:
            chunk = self.request.recv(65536)
            if not chunk:
                raise EOFError
            self.buffer += chunk
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def send_frame(self, opcode, payload):
        length = len(payload)
        if length < 126:
            header = struct.pack("!BB", 0x80 | opcode, length)
        else:
            header = struct.pack("!BBH", 0x80 | opcode, 126, length)
        self.request.sendall(header + payload)

    def send_json(self, message):
        self.send_frame(0x1, json.dumps(message, ensure_ascii=False).encode())

    def read_frame(self):
        first, second = self.read_exactly(2)
        length = second & 0x7F
        if length == 126:
            (length,) = struct.unpack("!H", self.read_exactly(2))
        elif length == 127:
            (length,) = struct.unpack("!Q", self.read_exactly(8))
        if second & 0x80:
            mask = self.read_exactly(4)
            payload = bytes(b ^ mask[i % 4] for i, b in enumerate(self.read_exactly(length)))
        else:
            self.seen.unmasked_frames += 1
            payload = self.read_exactly(length)
        return first & 0x0F, payload

    def read_json(self):
        """The next text message; None once the client closed."""
        while True:
            opcode, payload = self.read_frame()
            if opcode == 0xA:
                self.seen.pongs.append(payload)
            elif opcode == 0x8:
                self.seen.close_code = struct.unpack("!H", payload[:2])[0]
                return None
            elif opcode == 0x1:
                return json.loads(payload.decode())

    def close_with(self, code, reason):
        self.send_frame(0x8, struct.pack("!H", code) + reason.encode())

    def handle(self):
        try:
            self.serve()
        except (EOFError, ConnectionError):
            pass

    def serve(self):
        while b"\r\n\r\n" not in self.buffer:
            chunk = self.request.recv(65536)
            if not chunk:
                return
            self.buffer += chunk
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        lines = head.decode().split("\r\n")
        headers = {k.strip().lower(): v.strip()
                   for k, _, v in (line.partition(":") for line in lines[1:])}
        self.seen.handshake = {"request": lines[0], **headers}
        accept = base64.b64encode(
            hashlib.sha1((headers.get("sec-websocket-key", "") + GUID).encode()).digest())
        self.request.sendall(b"HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                             b"Connection: Upgrade\r\nSec-WebSocket-Accept: " + accept +
                             b"\r\nSec-WebSocket-Protocol: obswebsocket.json\r\n\r\n")

        hello = {"obsWebSocketVersion": "5.1.0", "rpcVersion": 1}
        if self.server.password is not None:
            hello["authentication"] = {"challenge": CHALLENGE, "salt": SALT}
        self.send_json({"op": 0, "d": hello})
        self.send_frame(0x9, PING_PAYLOAD)

        identify = self.read_json()
        if identify is None:
            return
        self.seen.identify = identify
        if (self.server.password is not None and
                identify["d"].get("authentication") != auth_string(self.server.password)):
            self.close_with(4009, "Authentication failed.")
            self.read_json()
            return
        self.send_json({"op": 2, "d": {"negotiatedRpcVersion": 1}})

        while (request := self.read_json()) is not None:
            self.seen.requests.append(request)
            scene = request["d"].get("requestData", {}).get("sceneName")
            if scene in self.server.scenes:
                status = {"result": True, "code": 100}
            else:
                status = {"result": False, "code": 600,
                          "comment": f"No source was found by the name of `{scene}`."}
            self.send_json({"op": 7, "d": {"requestType": request["d"].get("requestType"),
                                           "requestId": request["d"].get("requestId"),
                                           "requestStatus": status}})


def run_tool(*arguments, env=None):
    environment = {k: v for k, v in os.environ.items() if k != "OBS_WEBSOCKET_PASSWORD"}
    environment.update(env or {})
    return subprocess.run([str(TOOL), *arguments], capture_output=True, text=True,
                          env=environment, timeout=60, check=False)


class ObsSwitchSceneTest(unittest.TestCase):
    def start_obs(self, **options):
        obs = FakeObs(**options)
        self.addCleanup(obs.stop)
        return obs

    def only_connection(self, obs):
        obs.stop()  # waits for the connection's thread, so what it saw is complete
        self.assertEqual(len(obs.connections), 1)
        return obs.connections[0]

    def assertOneLine(self, text):
        self.assertTrue(text.strip(), "nothing on standard error")
        self.assertEqual(len(text.strip().splitlines()), 1, text)
        self.assertNotIn("Traceback", text)

    def test_a_report_at_the_threshold_switches_to_the_named_scene(self):
        obs = self.start_obs()
        result = run_tool("--port", str(obs.port), "--min-scale", "45", "--scale", "45", "地震")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        seen = self.only_connection(obs)
        self.assertEqual(seen.handshake["upgrade"].lower(), "websocket")
        self.assertEqual(seen.handshake["sec-websocket-version"], "13")
        self.assertEqual(seen.identify["op"], 1)
        self.assertEqual(seen.identify["d"]["rpcVersion"], 1)
        self.assertNotIn("authentication", seen.identify["d"])
        self.assertEqual([(r["op"], r["d"]["requestType"], r["d"]["requestData"])
                          for r in seen.requests],
                         [(6, "SetCurrentProgramScene", {"sceneName": "地震"})])
        self.assertEqual(seen.pongs, [PING_PAYLOAD])
        self.assertEqual(seen.unmasked_frames, 0)
        self.assertEqual(seen.close_code, 1000)

    def test_a_scene_obs_does_not_have_fails_with_its_reason(self):
        obs = self.start_obs()
        result = run_tool("--port", str(obs.port), "地震 (夜)")
        self.assertEqual(result.returncode, 1)
        self.assertOneLine(result.stderr)
        self.assertIn("No source was found by the name of `地震 (夜)`", result.stderr)

    def test_the_right_password_from_a_file_is_accepted(self):
        password = "correct horse ばってりー"
        obs = self.start_obs(password=password)
        with tempfile.TemporaryDirectory() as folder:
            password_file = pathlib.Path(folder) / "password"
            password_file.write_text(password + "\n", encoding="utf-8")
            result = run_tool("--port", str(obs.port), "--password-file", str(password_file),
                              "地震")
        self.assertEqual(result.returncode, 0, result.stderr)
        seen = self.only_connection(obs)
        self.assertEqual(seen.identify["d"]["authentication"], auth_string(password))
        self.assertEqual(len(seen.requests), 1)

    def test_a_wrong_password_is_refused_with_a_readable_line(self):
        obs = self.start_obs(password="the real one")
        wrong = "not-the-password"
        result = run_tool("--port", str(obs.port), "地震",
                          env={"OBS_WEBSOCKET_PASSWORD": wrong})
        self.assertNotEqual(result.returncode, 0)
        self.assertOneLine(result.stderr)
        self.assertIn("password", result.stderr)
        self.assertIn("4009", result.stderr)
        self.assertNotIn(wrong, result.stderr + result.stdout)
        seen = self.only_connection(obs)
        self.assertEqual(seen.identify["d"]["authentication"], auth_string(wrong))
        self.assertEqual(seen.requests, [])

    def test_a_weaker_report_does_nothing(self):
        # A port that listens but never accepts: a connection would wait in its backlog.
        with socket.socket() as listener:
            listener.bind(("127.0.0.1", 0))
            listener.listen()
            result = run_tool("--port", str(listener.getsockname()[1]),
                              "--scale", "30", "--min-scale", "45", "地震")
            self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))
            listener.setblocking(False)
            with self.assertRaises(BlockingIOError, msg="the tool connected"):
                listener.accept()[0].close()

    def test_a_refused_port_fails_with_one_line(self):
        # Bound but not listening: the port is held, and a connection to it is refused.
        with socket.socket() as holder:
            holder.bind(("127.0.0.1", 0))
            port = str(holder.getsockname()[1])
            result = run_tool("--port", port, "地震")
        self.assertEqual(result.returncode, 1)
        self.assertOneLine(result.stderr)
        self.assertIn("refused", result.stderr)
        self.assertIn(port, result.stderr)

    def test_a_port_that_never_answers_gives_up_with_one_line(self):
        with socket.socket() as listener:
            listener.bind(("127.0.0.1", 0))
            listener.listen()
            result = run_tool("--port", str(listener.getsockname()[1]), "--timeout", "0.5",
                              "地震")
        self.assertEqual(result.returncode, 1)
        self.assertOneLine(result.stderr)
        self.assertIn("no answer", result.stderr)


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        TOOL = pathlib.Path(sys.argv.pop(1)).resolve()
    unittest.main()
