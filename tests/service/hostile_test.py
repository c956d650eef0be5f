# SPDX-License-Identifier: MIT
"""The service under hostile input: oversized bodies, URLs and headers, a
slow client, 2,000 connections at once, broken encodings and every option
with a bad value, run from an empty read-only folder that must stay empty.
Usage: BARQUILL=path/to/barquill hostile_test.py"""

import json
import os
import resource
import selectors
import shutil
import signal
import socket
import stat
import subprocess
import tempfile
import time
import unittest

from service_fixture import BINARY, Server, read_png

server = None
folders = []
# Resident memory the server may reach under 2,000 connections; a
# sanitizer's build needs more and says so through the environment.
RSS_BOUND_MIB = int(os.environ.get("SERVICE_RSS_BOUND_MIB", "64"))
REQUEST_TIMEOUT = 2


def unprivileged_user():
    """Root writes into read-only folders, so the server runs as nobody
    when the tests run as root and nobody can reach the binary."""
    if os.geteuid() != 0 or shutil.which("setpriv") is None:
        return None
    probe = subprocess.run(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                            "--", "test", "-x", BINARY], capture_output=True)
    return "nobody" if probe.returncode == 0 else None


def setUpModule():
    global server
    for _ in range(2):
        folder = tempfile.mkdtemp(prefix="barquill-service-")
        os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP |
                 stat.S_IROTH | stat.S_IXOTH)
        folders.append(folder)
    work, home = folders
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "TMPDIR": home}
    user = unprivileged_user()
    server = Server("--request-timeout", str(REQUEST_TIMEOUT), cwd=work, env=env, user=user)


def tearDownModule():
    status = server.stop()
    leftovers = [name for folder in folders for name in os.listdir(folder)]
    for folder in folders:
        os.chmod(folder, stat.S_IRWXU)
        shutil.rmtree(folder)
    if status != 0:
        raise AssertionError(f"the server ended with {status} after SIGTERM")
    if leftovers:
        raise AssertionError(f"the server wrote {leftovers}")


def raw_exchange(data, timeout=20):
    """Sends raw bytes and reads until the server closes or answers in full:
    (status or None, the bytes read)."""
    with socket.create_connection(("127.0.0.1", server.port), timeout=timeout) as connection:
        try:
            connection.sendall(data)
        except (BrokenPipeError, ConnectionResetError):
            pass
        answer = b""
        try:
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    break
                answer += chunk
                head, _, body = answer.partition(b"\r\n\r\n")
                if _ and b"content-length:" in head.lower():
                    length = int(head.lower().split(b"content-length:")[1].split(b"\r\n")[0])
                    if len(body) >= length:
                        break
        except (ConnectionResetError, socket.timeout):
            pass
    status = int(answer.split(b" ", 2)[1]) if answer.startswith(b"HTTP/1.") else None
    return status, answer


def error_of(answer):
    return json.loads(answer.partition(b"\r\n\r\n")[2])["error"]


def alive():
    return server.request("GET", "/healthz")[0] == 200


class Limits(unittest.TestCase):
    def test_oversized_bodies_are_refused_before_they_are_read(self):
        declared = (b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream\r\n"
                    b"Content-Length: 1000000000\r\n\r\n")
        status, answer = raw_exchange(declared)
        self.assertEqual(status, 413)
        self.assertEqual(error_of(answer)["needed"], 1000000000)
        chunk = b"x" * 4096
        chunked = (b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream\r\n"
                   b"Transfer-Encoding: chunked\r\n\r\n" + (b"1000\r\n" + chunk + b"\r\n") * 40 + b"0\r\n\r\n")
        status, answer = raw_exchange(chunked)
        self.assertEqual(status, 413)
        self.assertEqual(error_of(answer)["code"], "bodyTooLarge")
        self.assertTrue(alive())

    def test_oversized_urls_and_headers(self):
        cases = [
            ("a long URL", b"GET /v1/pdf417?data=" + b"x" * 10000 + b" HTTP/1.1\r\nHost: x\r\n\r\n", 414),
            ("a huge URL", b"GET /v1/pdf417?data=" + b"x" * 300000 + b" HTTP/1.1\r\nHost: x\r\n\r\n", 414),
            ("many headers", b"GET /healthz HTTP/1.1\r\nHost: x\r\n" +
             b"".join(b"X-%d: y\r\n" % i for i in range(100)) + b"\r\n", 431),
            ("huge headers", b"GET /healthz HTTP/1.1\r\nHost: x\r\n" +
             b"".join(b"X-%d: %s\r\n" % (i, b"y" * 1000) for i in range(1000)) + b"\r\n", 431),
        ]
        for name, request, expected in cases:
            with self.subTest(name):
                status, _ = raw_exchange(request)
                # Past the server's buffer it may only close the connection.
                self.assertIn(status, (expected, None))
                self.assertTrue(alive())
        self.assertEqual(raw_exchange(cases[0][1])[0], 414)
        self.assertEqual(raw_exchange(cases[2][1])[0], 431)

    def test_a_client_sending_a_byte_a_second_is_cut_off(self):
        request = b"GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: " + b"y" * 30
        slow = [socket.create_connection(("127.0.0.1", server.port), timeout=5) for _ in range(8)]
        cut = [False] * len(slow)
        for byte in request:
            for i, connection in enumerate(slow):
                if cut[i]:
                    continue
                try:
                    connection.send(bytes([byte]))
                    connection.setblocking(False)
                    if connection.recv(1) == b"":
                        cut[i] = True
                except BlockingIOError:
                    pass
                except (BrokenPipeError, ConnectionResetError):
                    cut[i] = True
                finally:
                    connection.setblocking(True)
            # Slow clients hold no thread: others are served meanwhile.
            self.assertEqual(server.request("GET", "/healthz")[0], 200)
            if all(cut):
                break
            time.sleep(1)
        for connection in slow:
            connection.close()
        self.assertTrue(all(cut), "a slow client kept its connection past the request timeout")

    def test_2000_connections_at_once(self):
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 8192), hard))
        selector = selectors.DefaultSelector()
        answers = {}
        for i in range(2000):
            connection = socket.socket()
            # From many loopback addresses, each within its share of the
            # connections, so that the queue itself is what fills up.
            connection.bind((f"127.0.1.{1 + i % 250}", 0))
            connection.setblocking(False)
            connection.connect_ex(("127.0.0.1", server.port))
            request = (b"GET /v1/pdf417?data=load%%20%d HTTP/1.1\r\nHost: x\r\n"
                       b"Connection: close\r\n\r\n" % i)
            selector.register(connection, selectors.EVENT_WRITE, [request, b""])
        peak = 0
        deadline = time.monotonic() + 90
        while selector.get_map() and time.monotonic() < deadline:
            peak = max(peak, server.rss_kib())
            for key, events in selector.select(timeout=1):
                connection, state = key.fileobj, key.data
                try:
                    if events & selectors.EVENT_WRITE:
                        connection.send(state[0])
                        selector.modify(connection, selectors.EVENT_READ, state)
                        continue
                    chunk = connection.recv(65536)
                except (BlockingIOError, InterruptedError):
                    continue
                except OSError:
                    chunk = b""
                if chunk:
                    state[1] += chunk
                    continue
                selector.unregister(connection)
                connection.close()
                answers[id(state)] = state[1]
        for key in list(selector.get_map().values()):
            key.fileobj.close()
        selector.close()
        resource.setrlimit(resource.RLIMIT_NOFILE, (soft, hard))

        statuses = {}
        for answer in answers.values():
            status = int(answer.split(b" ", 2)[1]) if answer.startswith(b"HTTP/1.1 ") else None
            statuses[status] = statuses.get(status, 0) + 1
            if status == 503:
                self.assertIn(b"\r\nRetry-After: 1\r\n", answer)
            if status == 200:
                self.assertTrue(read_png(answer.partition(b"\r\n\r\n")[2]).startswith(b"load "))
        self.assertEqual(len(answers), 2000, statuses)
        self.assertLessEqual(set(statuses), {200, 503, None}, statuses)
        self.assertGreater(statuses.get(200, 0), 0, statuses)
        self.assertLess(peak, RSS_BOUND_MIB * 1024, f"{peak} KiB resident at peak")
        self.assertTrue(alive())


class Memory(unittest.TestCase):
    def test_one_client_address_cannot_take_every_connection(self):
        own = Server("--threads", "1", "--max-queue", "4", "--max-client-connections", "3")
        try:
            idle = [socket.create_connection(("127.0.0.1", own.port), timeout=5)
                    for _ in range(12)]
            # Another address is served although one holds more connections
            # than the threads and the queue together.
            status, _, body = own.request("GET", "/healthz", source="127.0.0.2")
            self.assertEqual((status, body), (200, b"ok\n"))
            closed = 0
            for connection in idle:
                connection.setblocking(False)
                try:
                    closed += connection.recv(1) == b""
                except BlockingIOError:
                    pass
                except ConnectionResetError:
                    closed += 1
                connection.close()
            self.assertGreaterEqual(closed, 9, "one address kept more than its share")
        finally:
            self.assertEqual(own.stop(), 0)

    def test_symbols_held_for_slow_readers_stay_within_their_memory(self):
        # 8 MB pictures outgrow what the system's socket buffers take, so a
        # client that does not read keeps its answer held in the server.
        budget = 20_000_000
        own = Server("--max-pixels", "100000000", "--response-memory", str(budget),
                     "--request-timeout", "60")
        target = (b"/v1/pdf417?data=" + b"Z" * 1000 + b"&format=bmp&module-width=32"
                  b"&row-height=160&columns=10&level=3&verify=false")
        slow, statuses, sizes = [], [], []
        try:
            for _ in range(4):
                connection = socket.socket()
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
                connection.settimeout(60)
                connection.connect(("127.0.0.1", own.port))
                connection.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: x\r\n\r\n")
                head = b""
                while b"\r\n\r\n" not in head:
                    head += connection.recv(1)
                slow.append(connection)
                statuses.append(int(head.split(b" ")[1]))
                if statuses[-1] == 200:
                    sizes.append(int(head.lower().split(b"content-length: ")[1].split(b"\r\n")[0]))
                else:
                    self.assertIn(b"\r\nRetry-After: 1\r\n", head)
            self.assertEqual(statuses[0], 200)
            self.assertGreater(sizes[0], 6_000_000)
            self.assertIn(503, statuses, statuses)
            self.assertLessEqual(sum(sizes), budget + sizes[0], statuses)
            # Their memory is given back once the clients are gone.
            for connection in slow:
                connection.close()
            slow = []
            for _ in range(50):
                status, _, _ = own.request("GET", target.decode())
                if status == 200:
                    break
                time.sleep(0.1)
            self.assertEqual(status, 200)
        finally:
            for connection in slow:
                connection.close()
            self.assertEqual(own.stop(), 0)

    def test_a_picture_past_the_pixel_limit_is_refused_before_it_is_drawn(self):
        status, _, body = server.request(
            "GET", "/v1/pdf417?data=" + "Z" * 1700 + "&format=bmp&module-width=64&row-height=256"
            "&columns=10&level=3")
        error = json.loads(body)["error"]
        self.assertEqual((status, error["code"], error["available"]), (422, "pictureTooLarge",
                                                                        16777216))
        self.assertGreater(error["needed"], 300_000_000)
        self.assertLess(server.rss_kib(), RSS_BOUND_MIB * 1024)


class Nesting(unittest.TestCase):
    """JSON nested 100,000 deep, in every place a body takes an object: the
    refusal names the key and the limit, and the server's peak memory stays
    small. A server of its own takes bodies large enough to hold it."""

    DEEP = "[" * 100_000 + "]" * 100_000

    @classmethod
    def setUpClass(cls):
        cls.server = Server("--max-body", "1048576")

    @classmethod
    def tearDownClass(cls):
        status = cls.server.stop()
        if status != 0:
            raise AssertionError(f"the server ended with {status} after SIGTERM")

    def test_deep_json_is_refused_at_the_limit_and_costs_no_memory(self):
        json_type = {"Content-Type": "application/json"}
        cases = [
            ("/v1/profiles/hub3", '{"fields": {"x": %s}}', 422, "invalidField", "x.0.0.0.0"),
            ("/v1/profiles/hub3", '{"fields": {"amount": "1"}, "options": {"margin": %s}}', 400,
             "invalidJson", "margin"),
            ("/v1/profiles/hub3", '{"colour": %s}', 400, "invalidJson", "colour"),
            ("/v1/pdf417", '{"data": %s}', 400, "invalidJson", "data"),
            ("/v1/pdf417", '{"data": "x", "options": {"level": %s}}', 400, "invalidJson",
             "level"),
        ]
        for target, body, expected, code, field in cases:
            with self.subTest(body):
                status, _, answer = self.server.request("POST", target,
                                                        (body % self.DEEP).encode(), json_type)
                self.assertEqual(status, expected, answer)
                error = json.loads(answer)["error"]
                self.assertEqual((error["code"], error["field"]), (code, field), error)
                if code == "invalidField":
                    self.assertIn("more than 5 deep", error["message"])
        self.assertEqual(self.server.request("GET", "/healthz")[0], 200)
        peak = self.server.rss_kib("VmHWM")
        self.assertLess(peak, RSS_BOUND_MIB * 1024, f"{peak} KiB resident at peak")


class ReadOnlyTemporaryFolder(unittest.TestCase):
    """Cairo's PostScript keeps its pages in a temporary file in /tmp: with
    /tmp read-only (in a mount namespace of its own, which needs root) the
    server says so at start and an EPS request is told the cause."""

    def test_eps_names_the_temporary_file_it_cannot_make(self):
        # /tmp made read-only in place, not hidden: the tree under test may
        # itself lie beneath /tmp.
        wrapper = ["unshare", "--mount", "sh", "-c",
                   'mount --bind /tmp /tmp && mount -o remount,bind,ro /tmp && exec "$@"',
                   "readonly-tmp"]
        probe = subprocess.run([*wrapper, "true"], capture_output=True)
        if shutil.which("unshare") is None or probe.returncode != 0:
            self.skipTest("no mount namespace for this user")
        readonly = Server(wrapper=wrapper)
        try:
            status, _, answer = readonly.request("GET", "/v1/pdf417?data=x&format=eps")
            png, _, _ = readonly.request("GET", "/v1/pdf417?data=x&format=png")
            readonly.process.send_signal(signal.SIGTERM)
            warning = readonly.process.communicate(timeout=30)[1].decode()
        finally:
            if readonly.process.poll() is None:
                readonly.process.kill()
            readonly.process.wait()
        self.assertEqual(readonly.process.returncode, 0)
        self.assertIn("EPS needs a temporary file in /tmp", warning)
        self.assertIn("Read-only file system", warning)
        self.assertEqual(status, 500, answer)
        error = json.loads(answer)["error"]
        self.assertEqual((error["code"], error["field"]), ("renderFailed", "format"))
        self.assertIn("temporary file in /tmp, which cannot be made (Read-only file system)",
                      error["message"])
        self.assertEqual(png, 200)


class Encodings(unittest.TestCase):
    def test_broken_percent_encoding_and_utf8(self):
        cases = [
            ("/v1/pdf417?data=%", "malformedQuery", "data"),
            ("/v1/pdf417?data=%4", "malformedQuery", "data"),
            ("/v1/pdf417?data=%g1", "malformedQuery", "data"),
            ("/v1/pdf417?data=ok&lev%zzel=1", "malformedQuery", "lev%zzel"),
            ("/v1/pdf417?data=%FF", "invalidText", "data"),
            ("/v1/pdf417?data=%C0%AF", "invalidText", "data"),        # overlong '/'
            ("/v1/pdf417?data=%ED%A0%80", "invalidText", "data"),     # a surrogate
            ("/v1/pdf417?data=%F4%90%80%80", "invalidText", "data"),  # past U+10FFFF
            ("/v1/pdf417?data=%E2%82", "invalidText", "data"),        # cut short
        ]
        for target, code, field in cases:
            with self.subTest(target):
                status, _, body = server.request("GET", target)
                error = json.loads(body)["error"]
                self.assertEqual((status, error["code"], error["field"]), (400, code, field))
        bodies = [
            ("text/plain; charset=utf-8", b"ab\xffcd", "invalidText"),
            ("text/plain; charset=us-ascii", b"caf\xe9", "invalidText"),
            ("application/json", b'{"data": "ab\xff"}', "invalidJson"),
            ("application/json", b'{"data": "x", "data_base64": "eA=="}', "invalidJson"),
            ("application/json", b'{"data_base64": "!!!"}', "invalidJson"),
            ("application/json", b'{"data": "x", "options": {"level": [1]}}', "invalidJson"),
            ("application/json", b'[1, 2]', "invalidJson"),
        ]
        for content_type, body, code in bodies:
            with self.subTest(body=body):
                status, _, answer = server.request("POST", "/v1/pdf417", body,
                                                   {"Content-Type": content_type})
                self.assertEqual((status, json.loads(answer)["error"]["code"]), (400, code))
        self.assertTrue(alive())

    def test_every_option_with_a_bad_value(self):
        bad = {
            "level": "9", "columns": "31", "rows": "2", "aspect": "0", "compact": "maybe",
            "fg": "notacolour", "bg": "#12345", "margin": "-1", "module-width": "65",
            "row-height": "0", "xdim": "abc", "dpi": "0", "fit": "5", "escapes": "2",
            "strip-newline": "x", "charset": "klingon", "eci": "811800", "page": "A9",
            "position": "x", "zpl-native": "2", "escpos-native": "2", "format": "tiff",
            "verify": "sometimes", "macro": "7", "segments": "0", "file-id": "1234",
            "file-name": "\x01", "sender": "\x7f", "addressee": "a" * 101,
            "timestamp": "yesterday", "file-size": "x", "checksum": "x", "nonsense": "1",
            "level=1&level": "2",
        }
        for name, value in bad.items():
            with self.subTest(option=name):
                target = f"/v1/pdf417?data=x&{name}=" + "".join(f"%{b:02X}" for b in value.encode())
                status, _, body = server.request("GET", target)
                error = json.loads(body)["error"]
                self.assertEqual(status, 400, body)
                self.assertEqual(error["field"], name.split("=")[0])
        status, _, body = server.request("GET", "/v1/pdf417?data=x&force=true")
        self.assertEqual((status, json.loads(body)["error"]["code"]), (400, "notServed"))


if __name__ == "__main__":
    unittest.main()
