# SPDX-License-Identifier: MIT
"""The service at the edge of HTTP: requests whose end or target is in
doubt are refused and their connection closed, every request is counted
out of the in-flight gauge however it ends, and SIGTERM answers every
request already sent. Usage: BARQUILL=path/to/barquill protocol_test.py"""

import json
import re
import socket
import time
import unittest

from service_fixture import Server, read_png

server = None


def setUpModule():
    global server
    # Long enough that a connection closed within the read timeout below
    # was closed on purpose, not for silence.
    server = Server("--request-timeout", "60")


def tearDownModule():
    status = server.stop()
    if status != 0:
        raise AssertionError(f"the server ended with {status} after SIGTERM")


def answers(port, data, timeout=10):
    """Sends raw bytes and reads until the server closes the connection:
    (every answer as (status, headers, body), whether it closed)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        try:
            connection.sendall(data)
        except (BrokenPipeError, ConnectionResetError):
            pass
        received, closed = b"", False
        try:
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    closed = True
                    break
                received += chunk
        except ConnectionResetError:
            closed = True
        except socket.timeout:
            pass
    parsed = []
    while received.startswith(b"HTTP/1."):
        head, _, rest = received.partition(b"\r\n\r\n")
        lines = head.split(b"\r\n")
        headers = {}
        for line in lines[1:]:
            name, _, value = line.partition(b":")
            headers[name.strip().lower().decode()] = value.strip().decode()
        length = int(headers.get("content-length", "0"))
        if lines[0].startswith(b"HTTP/1.1 304") or b"HEAD " in data[:5]:
            length = 0
        parsed.append((int(lines[0].split(b" ")[1]), headers, rest[:length]))
        received = rest[length:]
    return parsed, closed


def in_flight():
    body = server.request("GET", "/metrics")[2].decode()
    return int(re.search(r"^barquill_requests_in_flight (\d+)$", body, re.M).group(1))


class Framing(unittest.TestCase):
    def test_a_request_whose_end_or_target_is_in_doubt_is_refused_and_closed(self):
        post = b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
        cases = [
            ("two different lengths", post + b"Content-Length: 3\r\nContent-Length: 5\r\n\r\nabcde",
             400, "ambiguousLength", None),
            ("a length and chunked", post + b"Content-Length: 3\r\nTransfer-Encoding: chunked\r\n"
             b"\r\n3\r\nabc\r\n0\r\n\r\n", 400, "ambiguousLength", None),
            ("chunked twice", post + b"Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n"
             b"\r\n3\r\nabc\r\n0\r\n\r\n", 400, "ambiguousLength", None),
            ("chunking in HTTP/1.0", b"POST /v1/pdf417 HTTP/1.0\r\nContent-Type: text/plain\r\n"
             b"Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n", 400, "ambiguousLength", None),
            ("gzip", post + b"Transfer-Encoding: gzip\r\n\r\n", 501, "unsupportedTransferCoding",
             "gzip"),
            ("gzip then chunked", post + b"Transfer-Encoding: gzip, chunked\r\n\r\n", 501,
             "unsupportedTransferCoding", "gzip"),
            ("a GET with a coding", b"GET /healthz HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: "
             b"deflate\r\n\r\n", 501, "unsupportedTransferCoding", "deflate"),
            ("no Host", b"GET /healthz HTTP/1.1\r\n\r\n", 400, "missingHost", None),
            ("two Hosts", b"GET /healthz HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400,
             "missingHost", None),
            ("a space in the target", b"GET /v1/pdf417?data=a b HTTP/1.1\r\nHost: x\r\n\r\n", 400,
             "invalidTarget", None),
            ("a tab in the target", b"GET /v1/pdf417?data=a\tb HTTP/1.1\r\nHost: x\r\n\r\n", 400,
             "invalidTarget", None),
            ("a control byte in the target", b"GET /healthz\x01 HTTP/1.1\r\nHost: x\r\n\r\n", 400,
             "invalidTarget", None),
            ("DEL in the target", b"GET /v1/pdf417?data=a\x7f HTTP/1.1\r\nHost: x\r\n\r\n", 400,
             "invalidTarget", None),
            # Else the symbol would hold "a", the target cut at the NUL.
            ("NUL in the target", b"GET /v1/pdf417?data=a\x00b HTTP/1.1\r\nHost: x\r\n\r\n", 400,
             "invalidTarget", None),
        ]
        for name, request, status, code, field in cases:
            with self.subTest(name):
                got, closed = answers(server.port, request)
                self.assertEqual(len(got), 1, got)
                answer_status, headers, body = got[0]
                self.assertEqual(answer_status, status, body)
                self.assertEqual(headers["content-type"], "application/json")
                self.assertEqual(headers["x-content-type-options"], "nosniff")
                self.assertEqual(headers["connection"], "close")
                error = json.loads(body)["error"]
                self.assertEqual((error["code"], error["field"]), (code, field))
                self.assertTrue(closed, "the connection stayed open")

    def test_head_is_refused_without_a_body(self):
        got, closed = answers(server.port, b"HEAD /healthz HTTP/1.1\r\n\r\n")
        self.assertEqual([(status, body) for status, _, body in got], [(400, b"")])
        self.assertTrue(closed)

    def test_well_framed_requests_keep_their_connection(self):
        chunked = (b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                   b"Transfer-Encoding: Chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n")
        same_length = (b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                       b"Content-Length: 5\r\nContent-Length: 5\r\n\r\nabcde")
        older = b"GET /healthz HTTP/1.0\r\n\r\n"
        # Pipelined on one connection: each is answered and the connection
        # only ends with the last, which asks for it.
        last = b"GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"
        got, closed = answers(server.port, chunked + same_length + last)
        self.assertEqual([status for status, _, _ in got], [200, 200, 200])
        self.assertEqual([read_png(body) for _, _, body in got[:2]], [b"abcde", b"abcde"])
        self.assertTrue(closed)
        got, _ = answers(server.port, older)
        self.assertEqual([(status, body) for status, _, body in got], [(200, b"ok\n")])


class InFlight(unittest.TestCase):
    def settled(self):
        """The gauge once the requests before have been counted out: only
        the request asking for it is in flight."""
        for _ in range(100):
            count = in_flight()
            if count == 1:
                return count
            time.sleep(0.05)
        return count

    def test_every_request_is_counted_out_however_it_ends(self):
        # Request lines and headers on both sides of the limits and of the
        # connection's buffer, where the server library refuses on its own.
        lines = [8200, 16000, 16250, 16300, 16340, 16360, 16380, 20300, 20440, 20480, 30000]
        headers = [16100, 16200, 16400, 20300, 20350, 20460, 30000]
        requests = [(f"request line of {n}", b"GET /v1/pdf417?data=" + b"x" * n +
                     b" HTTP/1.1\r\nHost: x\r\nX-After: y\r\n\r\n") for n in lines]
        requests += [(f"header of {n}", b"GET /healthz HTTP/1.1\r\nHost: x\r\nX-Big: " +
                      b"y" * n + b"\r\nConnection: close\r\n\r\n") for n in headers]
        for name, request in requests:
            with self.subTest(name):
                got, closed = answers(server.port, request)
                self.assertEqual(len(got), 1, "no answer")
                self.assertIn(got[0][0], (200, 414, 431))
                self.assertTrue(closed)
                self.assertEqual(self.settled(), 1)

    def test_refusals_within_the_connections_buffer_are_json(self):
        cases = [(8200, b"", 414, "urlTooLong"), (16300, b"", 414, "urlTooLong"),
                 (100, b"y" * 17000, 431, "headersTooLarge")]
        for target, header, status, code in cases:
            with self.subTest(code=code, target=target):
                request = (b"GET /v1/pdf417?data=" + b"x" * target + b" HTTP/1.1\r\nHost: x\r\n"
                           b"X-Big: " + header + b"\r\n\r\n")
                got, closed = answers(server.port, request)
                self.assertEqual(got[0][0], status)
                self.assertEqual(json.loads(got[0][2])["error"]["code"], code)
                self.assertTrue(closed)


class Drain(unittest.TestCase):
    def test_sigterm_answers_every_request_already_sent(self):
        # One thread and heavy symbols, so that most requests still wait in
        # the system's queue or their socket when the signal comes; time
        # enough for all of them in a sanitizer's build.
        own = Server("--threads", "1", "--max-client-connections", "200",
                     "--request-timeout", "120")
        sent = []
        for i in range(100):
            connection = socket.create_connection(("127.0.0.1", own.port), timeout=30)
            connection.sendall(b"GET /v1/pdf417?data=drain%%20%d&format=bmp&module-width=6 "
                               b"HTTP/1.1\r\nHost: x\r\n\r\n" % i)
            sent.append(connection)
        own.process.terminate()
        outcomes = {}
        for i, connection in enumerate(sent):
            received = b""
            try:
                while True:
                    chunk = connection.recv(65536)
                    if not chunk:
                        break
                    received += chunk
            except OSError as error:
                received += f" {error!r}".encode()
            connection.close()
            head, _, body = received.partition(b"\r\n\r\n")
            complete = (head.startswith(b"HTTP/1.1 200") and
                        read_png(body) == b"drain %d" % i)
            outcome = "answered" if complete else received[:60]
            outcomes[outcome] = outcomes.get(outcome, 0) + 1
        self.assertEqual(outcomes, {"answered": 100})
        self.assertEqual(own.stop(), 0)


if __name__ == "__main__":
    unittest.main()
