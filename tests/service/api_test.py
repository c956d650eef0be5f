# SPDX-License-Identifier: MIT
"""The label API through a real HTTP client: every format read back by an
independent reader, every error status with its JSON, caching, and a drain
on SIGTERM. Usage: BARQUILL=path/to/barquill api_test.py"""

import base64
import io
import json
import os
import socket
import subprocess
import tempfile
import time
import unittest
import urllib.parse
from urllib.parse import quote

from PIL import Image

from service_fixture import Server, read_picture, read_png

server = None
TEXT = "Ticket 4711: gate B7, seat 14C, 2026-12-10"


def setUpModule():
    global server
    server = Server()


def tearDownModule():
    status = server.stop()
    if status != 0:
        raise AssertionError(f"the server ended with {status} after SIGTERM")


def url(data, **options):
    query = "data=" + quote(data, safe="")
    for name, value in options.items():
        query += "&" + name.replace("_", "-") + "=" + quote(str(value), safe="")
    return "/v1/pdf417?" + query


def converted(command, suffix, data):
    """Runs a converter from the file `data` to a PNG and opens it."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in" + suffix)
        with open(source, "wb") as out:
            out.write(data)
        target = os.path.join(folder, "out.png")
        subprocess.run([part.format(source=source, target=target, stem=target[:-4])
                        for part in command], check=True, capture_output=True, timeout=60)
        return Image.open(target).copy()


def zpl_picture(text):
    """The ^GFA graphic of a ZPL label, with Zebra's ASCII compression."""
    field = text.decode().split("^GFA,", 1)[1]
    _, _, row_bytes, data = field.split(",", 3)
    row_bytes = int(row_bytes)
    data = data.split("^FS", 1)[0]
    rows, row, previous, count = [], "", "", 0
    counts = {chr(ord("G") + i): i + 1 for i in range(19)}
    counts.update({chr(ord("g") + i): 20 * (i + 1) for i in range(20)})
    for c in data:
        if c in counts:
            count += counts[c]
            continue
        if c == ":":
            rows.append(previous)
        elif c in ",!":
            row += ("0" if c == "," else "F") * (2 * row_bytes - len(row))
        elif c in "0123456789ABCDEF":
            row += c * max(count, 1)
        count = 0
        if len(row) == 2 * row_bytes:
            rows.append(row)
            previous, row = row, ""
    bits = bytes.fromhex("".join(rows))
    return Image.frombytes("1", (8 * row_bytes, len(rows)), bits).point(lambda v: 255 - v)


def escpos_picture(data):
    """The GS v 0 raster image of an ESC/POS job."""
    start = data.index(b"\x1dv0")
    width = data[start + 4] + 256 * data[start + 5]
    height = data[start + 6] + 256 * data[start + 7]
    bits = data[start + 8:start + 8 + width * height]
    return Image.frombytes("1", (8 * width, height), bits).point(lambda v: 255 - v)


class Formats(unittest.TestCase):
    def test_every_format_reads_back_as_the_data(self):
        readers = {
            "png": read_png,
            "gif": read_png,
            "bmp": read_png,
            "svg": lambda d: read_picture(converted(
                ["rsvg-convert", "-z", "2", "-o", "{target}", "{source}"], ".svg", d)),
            "pdf": lambda d: read_picture(converted(
                ["pdftoppm", "-r", "300", "-png", "-singlefile", "{source}", "{stem}"], ".pdf", d)),
            "eps": lambda d: read_picture(converted(
                ["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-r300",
                 "-sDEVICE=pnggray", "-sOutputFile={target}", "{source}"], ".eps", d)),
            "zpl": lambda d: read_picture(zpl_picture(d)),
            "escpos": lambda d: read_picture(escpos_picture(d)),
        }
        media = {"png": "image/png", "gif": "image/gif", "bmp": "image/bmp",
                 "svg": "image/svg+xml", "pdf": "application/pdf"}
        for name, read in readers.items():
            with self.subTest(format=name):
                status, headers, body = server.request("GET", url(TEXT, format=name))
                self.assertEqual(status, 200, body[:200])
                self.assertEqual(int(headers["content-length"]), len(body))
                if name in media:
                    self.assertEqual(headers["content-type"], media[name])
                self.assertEqual(read(body), TEXT.encode())

    def test_bodies_of_every_kind_read_back(self):
        bytes_data = bytes(range(256))
        cases = [
            ("octet-stream bytes", "application/octet-stream", bytes_data, bytes_data),
            ("UTF-8 text", "text/plain; charset=utf-8", "Grüße, Łódź".encode(),
             "Grüße, Łódź".encode()),
            ("Latin-1 text as UTF-8", "text/plain; charset=ISO-8859-1", "Grüße".encode("latin-1"),
             "Grüße".encode()),
            ("JSON text", "application/json", json.dumps({"data": TEXT}).encode(), TEXT.encode()),
            ("JSON base64", "application/json",
             json.dumps({"data_base64": base64.b64encode(bytes_data).decode(),
                         "options": {"level": 4, "compact": False}}).encode(), bytes_data),
        ]
        for name, content_type, body, expected in cases:
            with self.subTest(name):
                status, headers, answer = server.request(
                    "POST", "/v1/pdf417", body, {"Content-Type": content_type})
                self.assertEqual(status, 200, answer[:300])
                self.assertEqual(headers["cache-control"], "no-store")
                self.assertEqual(read_png(answer), expected)

    def test_text_body_gives_the_same_symbol_as_the_same_text_in_the_query(self):
        _, get_headers, get_body = server.request("GET", url("Grüße"))
        for charset, encoded in (("utf-8", "Grüße".encode()),
                                 ("iso-8859-1", "Grüße".encode("latin-1"))):
            with self.subTest(charset):
                _, _, body = server.request("POST", "/v1/pdf417", encoded,
                                            {"Content-Type": "text/plain; charset=" + charset})
                self.assertEqual(body, get_body)

    def test_options_shape_the_symbol(self):
        status, headers, body = server.request(
            "GET", url(TEXT, level=5, columns=4, margin=3, fg="#102030", bg="yellow"))
        self.assertEqual(status, 200, body)
        self.assertEqual((headers["x-barquill-level"], headers["x-barquill-columns"]), ("5", "4"))
        picture = Image.open(io.BytesIO(body)).convert("RGB")
        self.assertEqual(picture.getpixel((0, 0)), (255, 255, 0))
        self.assertEqual(read_picture(picture), TEXT.encode())

    def test_scan_warnings_are_told_in_a_header(self):
        _, headers, _ = server.request("GET", url(TEXT, margin=1))
        self.assertEqual(headers["x-barquill-warnings"], "quiet-zone")
        _, headers, _ = server.request("GET", url(TEXT, compact="true", margin=1))
        self.assertEqual(headers["x-barquill-warnings"], "compact, quiet-zone")
        _, headers, _ = server.request("GET", url(TEXT))
        self.assertNotIn("x-barquill-warnings", headers)

    def test_escapes_and_verification_can_be_asked_for(self):
        status, _, body = server.request("GET", url(r"A\x1eB", escapes="true", verify="false"))
        self.assertEqual(status, 200, body)
        self.assertEqual(read_png(body), b"A\x1eB")


class Profiles(unittest.TestCase):
    SLIP = {"amount": "12,50", "recipient_name": "Udruga", "iban": "HR1210010051863000160"}

    def test_a_profiles_fields_in_the_query_or_a_json_body_make_its_symbol(self):
        query = urllib.parse.urlencode(dict(self.SLIP, format="png"))
        status, headers, body = server.request("GET", "/v1/profiles/hub3?" + query)
        self.assertEqual(status, 200, body)
        self.assertEqual((headers["x-barquill-level"], headers["x-barquill-columns"]), ("4", "9"))
        self.assertTrue(read_png(body).startswith(b"HRVHUB30\nEUR\n000000000001250\n"))
        posted = json.dumps({"fields": self.SLIP, "options": {"margin": 10}}).encode()
        status, _, same = server.request("POST", "/v1/profiles/hub3", posted,
                                         {"Content-Type": "application/json"})
        self.assertEqual((status, same), (200, body))

    def test_a_field_or_a_setting_that_breaks_the_scheme_is_refused(self):
        cases = [("/v1/profiles/hub3?amount=-1", 422, "invalidField", "amount"),
                 ("/v1/profiles/hub3?" + urllib.parse.urlencode(dict(self.SLIP, level=2)), 400,
                  "profileConflict", "level"),
                 ("/v1/profiles/hub4?amount=1", 400, "invalidOption", "profile")]
        for target, expected, code, field in cases:
            with self.subTest(code):
                status, _, body = server.request("GET", target)
                self.assertEqual(status, expected, body)
                error = json.loads(body)["error"]
                self.assertEqual((error["code"], error["field"]), (code, field))


    def test_the_endpoint_takes_its_input_as_the_command_line_does(self):
        # A character set the scheme lets the user choose is a choice, not a
        # setting that conflicts with the scheme's.
        slip = dict(self.SLIP, recipient_name="Udruga \u017ditnjak")
        for charset, name in [("UTF-8", b"\xc5\xbd"), ("ISO-8859-2", b"\xae")]:
            with self.subTest(charset):
                query = urllib.parse.urlencode(dict(slip, charset=charset))
                status, _, body = server.request("GET", "/v1/profiles/hub3?" + query)
                self.assertEqual(status, 200, body)
                self.assertIn(b"Udruga " + name + b"itnjak", read_png(body))

    def test_what_the_command_line_refuses_is_refused_naming_its_field(self):
        slip = urllib.parse.urlencode(self.SLIP)
        posted = {"Content-Type": "application/json"}
        members = json.dumps(self.SLIP)[1:-1]
        cases = [
            ("unknown key in the body", "POST", "/v1/profiles/hub3",
             json.dumps({"fields": self.SLIP, "colour": "red"}), 400, "invalidJson", "colour"),
            ("fields twice in the body", "POST", "/v1/profiles/hub3",
             '{"fields": {"amount": "1"}, "fields": {%s}}' % members, 400, "repeatedParameter",
             "fields"),
            ("a field twice in the query", "GET", "/v1/profiles/hub3?" + slip + "&amount=2", None,
             400, "repeatedParameter", "amount"),
            ("a field in the query and the body", "POST", "/v1/profiles/hub3?amount=2",
             json.dumps({"fields": self.SLIP}), 400, "repeatedParameter", "amount"),
            ("a key twice in the fields", "POST", "/v1/profiles/hub3",
             '{"fields": {"amount": "1", %s}}' % members, 400, "repeatedParameter", "amount"),
            ("bytes that are not UTF-8", "GET", "/v1/profiles/hub3?" + slip
             + "&payer_name=A%FFB", None, 422, "invalidField", "payer_name"),
            ("a nested option", "POST", "/v1/profiles/hub3",
             json.dumps({"fields": self.SLIP, "options": {"margin": [10]}}), 400, "invalidJson",
             "margin"),
            ("no profile named", "GET", "/v1/profiles/?" + slip, None, 404, "notFound",
             "profile"),
        ]
        for name, method, target, body, expected, code, field in cases:
            with self.subTest(name):
                status, _, answer = server.request(method, target, body and body.encode(),
                                                   posted if body else None)
                self.assertEqual(status, expected, answer)
                error = json.loads(answer)["error"]
                self.assertEqual((error["code"], error["field"]), (code, field), error)
                if field == "profile":
                    self.assertIn("hub3", error["message"])


class Caching(unittest.TestCase):
    def test_etag_answers_304_and_get_is_immutable(self):
        status, headers, body = server.request("GET", url(TEXT))
        self.assertEqual(status, 200)
        tag = headers["etag"]
        self.assertEqual(headers["cache-control"], "public, max-age=31536000, immutable")
        status, again, body304 = server.request("GET", url(TEXT), headers={"If-None-Match": tag})
        self.assertEqual((status, body304, again["etag"]), (304, b"", tag))
        status, _, _ = server.request("GET", url(TEXT),
                                      headers={"If-None-Match": '"0000000000000000", W/' + tag})
        self.assertEqual(status, 304)
        status, _, fresh = server.request("GET", url(TEXT),
                                          headers={"If-None-Match": '"0000000000000000"'})
        self.assertEqual((status, fresh), (200, body))
        status, _, other = server.request("GET", url(TEXT + "!"))
        self.assertNotEqual(other, body)

    def test_head_has_the_headers_without_the_body(self):
        _, get_headers, body = server.request("GET", url(TEXT))
        status, headers, empty = server.request("HEAD", url(TEXT))
        self.assertEqual((status, empty), (200, b""))
        self.assertEqual(int(headers["content-length"]), len(body))
        self.assertEqual(headers["etag"], get_headers["etag"])


class Errors(unittest.TestCase):
    def check(self, expected_status, code, field, method, target, body=None, headers=None):
        status, answer_headers, answer = server.request(method, target, body, headers)
        self.assertEqual(status, expected_status, answer)
        self.assertEqual(answer_headers["content-type"], "application/json")
        error = json.loads(answer)["error"]
        self.assertEqual(list(error), ["code", "field", "message", "needed", "available"])
        self.assertEqual((error["code"], error["field"]), (code, field))
        self.assertTrue(error["message"])
        return error, answer_headers

    def test_every_error_status(self):
        long_text = "".join(chr(0x41 + (i * 7) % 26) + chr(0x61 + (i * 3) % 26) for i in range(1100))
        cases = [
            (400, "invalidOption", "level", "GET", url(TEXT, level=9), None, None),
            (400, "emptyData", "data", "GET", "/v1/pdf417?data=", None, None),
            # The aspect rows of the library's one-answer table: one code and field
            # on every face, the service's among them.
            (400, "conflictingOptions", "aspect", "GET", url(TEXT, aspect="3:1", rows=5), None, None),
            (400, "invalidOption", "aspect", "GET", url(TEXT, aspect="1000"), None, None),
            (400, "invalidOption", "aspect", "GET", url(TEXT, aspect="1:1000"), None, None),
            (400, "malformedQuery", "data", "GET", "/v1/pdf417?data=%zz", None, None),
            (400, "invalidText", "data", "GET", "/v1/pdf417?data=%C3%28", None, None),
            (400, "invalidJson", None, "POST", "/v1/pdf417", b"{", {"Content-Type": "application/json"}),
            (404, "notFound", None, "GET", "/v1/nothing", None, None),
            (405, "methodNotAllowed", None, "DELETE", url(TEXT), None, None),
            (405, "methodNotAllowed", None, "POST", "/healthz", b"", None),
            (413, "bodyTooLarge", None, "POST", "/v1/pdf417", b"x" * 70000,
             {"Content-Type": "application/octet-stream"}),
            (414, "urlTooLong", None, "GET", url("x" * 9000), None, None),
            (415, "unsupportedMediaType", "image/png", "POST", "/v1/pdf417", b"x",
             {"Content-Type": "image/png"}),
            (415, "unsupportedMediaType", "charset=ebcdic-us", "POST", "/v1/pdf417", b"x",
             {"Content-Type": "text/plain; charset=EBCDIC-US"}),
            (422, "dataTooLong", "data", "GET", "/v1/pdf417?data=" + long_text, None, None),
            (422, "columnsDoNotFit", "data", "GET", url(long_text[:600], columns=1), None, None),
            # Colours the read-back fails on are the client's choice, not the
            # service's fault: red is dark grey to a reader, with no warning.
            (422, "unreadableColours", "bg", "GET", url(TEXT, bg="red"), None, None),
            (422, "unreadableColours", "bg", "GET", url(TEXT, fg="white", bg="black"), None, None),
            (422, "unreadableColours", "fg", "GET", url(TEXT, fg="#c0c0c0"), None, None),
            (422, "pictureTooLarge", None, "GET",
             url(TEXT, module_width=64, row_height=256, columns=1), None, None),
        ]
        for status, code, field, method, target, body, headers in cases:
            with self.subTest(code=code, status=status):
                self.check(status, code, field, method, target, body, headers)

    def test_numbers_explain_the_refusal(self):
        long_text = "".join(chr(0x41 + (i * 7) % 26) + chr(0x61 + (i * 3) % 26) for i in range(1100))
        error, _ = self.check(422, "dataTooLong", "data", "GET", "/v1/pdf417?data=" + long_text)
        self.assertGreater(error["needed"], error["available"])
        self.assertGreater(error["available"], 0)
        error, _ = self.check(413, "bodyTooLarge", None, "POST", "/v1/pdf417", b"x" * 70000,
                              {"Content-Type": "application/octet-stream"})
        self.assertEqual((error["needed"], error["available"]), (70000, 65536))

    def test_colour_refusals_say_what_the_scan_check_saw(self):
        error, _ = self.check(422, "unreadableColours", "bg", "GET",
                              url(TEXT, fg="white", bg="black"))
        self.assertIn("bars are lighter than spaces", error["message"])
        # Red passes the contrast ratio, yet is darker than mid-grey: the scan
        # check warns before the read-back fails, and its words are the answer.
        error, _ = self.check(422, "unreadableColours", "bg", "GET", url(TEXT, bg="red"))
        self.assertIn("darker than the 128", error["message"])
        error, _ = self.check(422, "pictureTooLarge", None, "GET",
                              url(TEXT, module_width=64, row_height=256, columns=1))
        self.assertGreater(error["needed"], error["available"])
        self.assertEqual(error["available"], 16777216)

    def test_allow_header_on_405(self):
        _, headers = self.check(405, "methodNotAllowed", None, "PUT", "/v1/pdf417", b"x")
        self.assertEqual(headers["allow"], "GET, HEAD, POST")


class Service(unittest.TestCase):
    def test_health_page_and_metrics(self):
        self.assertEqual(server.request("GET", "/healthz")[::2], (200, b"ok\n"))
        status, headers, page = server.request("GET", "/")
        self.assertEqual(status, 200)
        self.assertIn(b'<label for="data">', page)
        self.assertIn("default-src 'none'", headers["content-security-policy"])
        server.request("GET", url("metrics check"))
        status, headers, text = server.request("GET", "/metrics")
        text = text.decode()
        self.assertRegex(text, r'barquill_requests_total\{status="200"\} [1-9]')
        self.assertRegex(text, r'barquill_request_duration_seconds_bucket\{le="\+Inf"\} [1-9]')
        self.assertRegex(text, r"barquill_symbols_total [1-9]")
        # This request at least; another may not have been counted out yet.
        self.assertRegex(text, r"barquill_requests_in_flight [1-9]")


def stopped_listening(port, attempts=400):
    """Waits until a connection to the port is refused; False if it never is."""
    for _ in range(attempts):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=5).close()
        except ConnectionRefusedError:
            return True
        time.sleep(0.025)
    return False


class Drain(unittest.TestCase):
    def test_sigterm_answers_the_request_in_flight_and_exits_0(self):
        own = Server()
        body = b"drained label"
        connection = socket.create_connection(("127.0.0.1", own.port), timeout=20)
        connection.sendall(b"POST /v1/pdf417 HTTP/1.1\r\nHost: x\r\n"
                           b"Content-Type: application/octet-stream\r\n"
                           b"Content-Length: %d\r\n\r\n" % len(body) + body[:5])
        # The request is in flight once the server counts it.
        for _ in range(100):
            if b"barquill_requests_in_flight 2" in own.request("GET", "/metrics")[2]:
                break
            time.sleep(0.05)
        else:
            self.fail("the server never counted the request in flight")
        own.process.terminate()
        # Draining has begun once the server stops listening; only then is
        # the rest of the body sent, so the answer comes from the drain.
        self.assertTrue(stopped_listening(own.port), "the server kept listening after SIGTERM")
        connection.sendall(body[5:])
        answer = b""
        while b"\r\n\r\n" not in answer or len(answer.split(b"\r\n\r\n", 1)[1]) < int(
                answer.lower().split(b"content-length: ", 1)[1].split(b"\r\n", 1)[0]):
            chunk = connection.recv(65536)
            if not chunk:
                break
            answer += chunk
        connection.close()
        self.assertTrue(answer.startswith(b"HTTP/1.1 200"), answer[:200])
        self.assertEqual(read_png(answer.split(b"\r\n\r\n", 1)[1]), body)
        self.assertEqual(own.stop(), 0)


if __name__ == "__main__":
    unittest.main()
