# SPDX-License-Identifier: MIT
"""Starts `barquill serve` on a free loopback port and stops it with SIGTERM;
shared by the service's tests."""

import http.client
import io
import os
import re
import signal
import subprocess
import sys

import zxingcpp
from PIL import Image

BINARY = os.environ.get("BARQUILL", "")


class Server:
    def __init__(self, *args, cwd=None, env=None, user=None, wrapper=()):
        command = [*wrapper, BINARY, "serve", "--listen", "127.0.0.1:0", *args]
        if user is not None:
            command = ["setpriv", f"--reuid={user}", "--regid=nogroup", "--clear-groups",
                       "--", *command]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        cwd=cwd, env=env)
        line = self.process.stdout.readline().decode()
        match = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not match:
            self.process.kill()
            sys.exit(f"the server did not start: {line!r} "
                     f"{self.process.stderr.read().decode()!r}")
        self.port = int(match.group(1))

    def connection(self, timeout=30, source=None):
        """From `source`, another loopback address, to be another client."""
        return http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout,
                                          source_address=(source, 0) if source else None)

    def request(self, method, target, body=None, headers=None, source=None):
        """(status, headers as a dict of lower-case names, body)"""
        connection = self.connection(source=source)
        try:
            connection.request(method, target, body=body, headers=headers or {})
            response = connection.getresponse()
            return (response.status, {k.lower(): v for k, v in response.getheaders()},
                    response.read())
        finally:
            connection.close()

    def rss_kib(self, which="VmRSS"):
        """Resident memory now, or with "VmHWM" its peak so far."""
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith(which + ":"):
                    return int(line.split()[1])
        return 0

    def stop(self, timeout=30):
        """SIGTERM, and the exit status once it has drained."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            status = "still running after SIGTERM"
        self.process.stdout.close()
        self.process.stderr.close()
        return status


def read_picture(picture):
    """The bytes of the one PDF417 symbol in a PIL image, or None."""
    result = zxingcpp.read_barcode(picture.convert("L"), formats=zxingcpp.BarcodeFormat.PDF417)
    return result.bytes if result is not None and result.valid else None


def read_png(data):
    return read_picture(Image.open(io.BytesIO(data)))
