# SPDX-License-Identifier: MIT
"""Runs the examples of the README and docs/*.md, and checks their links.

An example is a code block after an HTML comment:

  <!-- example -->           bash, in the document's scratch folder
  <!-- example python -->    the Python the module was built for
  <!-- example service -->   bash while `barquill serve` listens on 127.0.0.1
  <!-- example c++ -->       C++ (or `c`: C) statements, built into a main()
                             against the built library and run; its
                             #include lines go before main()
  <!-- example status=N --> the block's last command ends with status N
  <!-- not run: reason -->   a command shown but not run, and why

In a block, a line starting with "$ " is a command whose output (standard
output and error together) must be the lines under it; lines before the
first such command are run first, unchecked but for their status. A block
that shows a command and carries neither comment fails the run, so a new
example cannot go unseen.

Usage: run_examples.py SOURCE_DIR BARQUILL PYTHON [PYTHONPATH]
"""

import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

EXAMPLE = re.compile(r"<!-- example((?: [a-z+]+(?:=\d+)?)*) -->")
NOT_RUN = re.compile(r"<!-- not run: .+ -->")
# A block that shows a command somebody could type.
COMMAND = re.compile(r"^(\$ |barquill |curl |printf |mkdir |import barquill|make |sudo |cmake |"
                     r"/usr/bin/python3 |PYTHONPATH=|build/|bench/|dask-)")
STEP_SECONDS = 60
LINK = re.compile(r"\]\(([^()\s]+)\)")


def anchors(text):
    """The anchors a page's headings get, as GitHub makes them."""
    found = set()
    for line in text.split("\n"):
        if line.startswith("#"):
            title = line.lstrip("#").strip().lower()
            found.add(re.sub(r"[^\w\- ]", "", title).replace(" ", "-"))
    return found


def broken_links(path, name, text):
    """Links to a page or an anchor of the README or docs/ that lead nowhere."""
    failures = []
    for number, line in enumerate(text.split("\n"), 1):
        for target in LINK.findall(line):
            if re.match(r"[a-z]+:", target):
                continue
            page, _, anchor = target.partition("#")
            file = os.path.normpath(os.path.join(os.path.dirname(path), page)) if page else path
            if not os.path.exists(file):
                failures.append(f"{name}:{number}: {target}: no such file")
            elif anchor and file.endswith(".md"):
                with open(file, encoding="utf-8") as f:
                    if anchor not in anchors(f.read()):
                        failures.append(f"{name}:{number}: {target}: no such heading")
    return failures


def blocks(text):
    """Yields (line number, comment or None, code lines) for each code block."""
    lines = text.split("\n")
    i = 0
    comment = None
    previous_blank = True
    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        if EXAMPLE.fullmatch(stripped) or NOT_RUN.fullmatch(stripped):
            comment = stripped
            i += 1
            continue
        if stripped.startswith("```"):
            fence = stripped[:3]
            start = i + 1
            i += 1
            while i < len(lines) and not lines[i].strip().startswith(fence):
                i += 1
            yield start, comment, lines[start:i]
            comment = None
            i += 1
            previous_blank = False
            continue
        indent = len(line) - len(line.lstrip(" "))
        if stripped and indent >= 4 and previous_blank:
            start = i
            code = []
            while i < len(lines) and (not lines[i].strip() or lines[i].startswith(" " * indent)):
                code.append(lines[i][indent:])
                i += 1
            while code and not code[-1].strip():
                code.pop()
            yield start + 1, comment, code
            comment = None
            previous_blank = True
            continue
        if stripped:
            comment = None
        previous_blank = not stripped
        i += 1


def steps(code):
    """Splits a block into (command, expected output or None)."""
    if not any(line.startswith("$ ") for line in code):
        return [("\n".join(code), None)]
    result = []
    first = next(n for n, line in enumerate(code) if line.startswith("$ "))
    if first:
        result.append(("\n".join(code[:first]), None))
    n = first
    while n < len(code):
        command = [code[n][2:]]
        n += 1
        while command[-1].endswith("\\") and n < len(code):
            command.append(code[n])
            n += 1
        output = []
        while n < len(code) and not code[n].startswith("$ "):
            output.append(code[n])
            n += 1
        result.append(("\n".join(command), output))
    return result


def program(code, language, folder, env):
    """Builds a C or C++ example into a program; returns its argv."""
    includes = [line for line in code if line.startswith("#include")]
    body = [line for line in code if not line.startswith("#include")]
    if language == "c":
        head = ["#include <stdint.h>", "#include <stdio.h>", "#include <barquill/barquill.h>"]
        compiler, source = [env.get("CC", "cc"), "-std=c11"], "example.c"
    else:
        head = ["#include <iostream>", "#include <barquill/barquill.hpp>"]
        compiler, source = [env.get("CXX", "c++"), "-std=c++20"], "example.cpp"
    text = "\n".join(head + includes + ["int main() {"] + body + ["return 0;", "}"]) + "\n"
    with open(os.path.join(folder, source), "w", encoding="utf-8") as f:
        f.write(text)
    library = env["BARQUILL_DOC_LIBRARY"]
    flags = [f"-I{d}" for d in env["BARQUILL_DOC_INCLUDE"].split(os.pathsep)]
    built = subprocess.run(compiler + flags + [source, "-o", "example", library,
                                               "-Wl,-rpath," + os.path.dirname(library)],
                           cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=STEP_SECONDS * 2)
    if built.returncode != 0:
        raise RuntimeError(f"{source} does not build:\n{text}\n" + built.stdout.decode())
    return [os.path.join(folder, "example")]


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Service:
    """barquill serve on a free port of 127.0.0.1, for one document."""

    def __init__(self, barquill, folder, env):
        self.port = free_port()
        self.process = subprocess.Popen(
            [barquill, "serve", "--listen", f"127.0.0.1:{self.port}", "--threads", "2"],
            cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("barquill serve ended: " + self.process.stderr.read().decode())
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                    return
            except OSError:
                time.sleep(0.1)
        self.stop()
        raise RuntimeError("barquill serve did not listen within 20 s")

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def run_document(path, name, tools, env, python):
    """Runs a document's examples; returns (examples run, failures)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    folder = tempfile.mkdtemp(prefix="barquill-doc-")
    service = None
    ran = 0
    failures = broken_links(path, name, text)
    try:
        for line, comment, code in blocks(text):
            where = f"{name}:{line}"
            if comment is None:
                if code and COMMAND.match(code[0].lstrip()):
                    failures.append(f"{where}: a command block with neither "
                                    "<!-- example --> nor <!-- not run: reason -->")
                continue
            if comment.startswith("<!-- not run"):
                continue
            words = EXAMPLE.fullmatch(comment).group(1).split()
            status = 0
            for word in words:
                if word.startswith("status="):
                    status = int(word[len("status="):])
            if "python" in words and not env.get("PYTHONPATH"):
                print(f"{where}: skipped, as this build has no Python module")
                continue
            compiled = "c" in words or "c++" in words
            if compiled and "BARQUILL_DOC_LIBRARY" not in env:
                print(f"{where}: skipped, as no library was given to build it with")
                continue
            ran += 1
            if "python" in words:
                commands = [([python, "-c", "\n".join(code)], None)]
            elif compiled:
                try:
                    commands = [(program(code, "c" if "c" in words else "c++", folder, env), None)]
                except (RuntimeError, subprocess.TimeoutExpired) as e:
                    failures.append(f"{where}: {e}")
                    continue
            else:
                if "service" in words and service is None:
                    service = Service(tools["barquill"], folder, env)
                commands = []
                for command, output in steps(code):
                    if service is not None and "service" in words:
                        command = command.replace("127.0.0.1:8417", f"127.0.0.1:{service.port}")
                    commands.append((["bash", "-e", "-o", "pipefail", "-c", command], output))
            for number, (argv, output) in enumerate(commands):
                last = number == len(commands) - 1
                try:
                    done = subprocess.run(argv, cwd=folder, env=env, stdin=subprocess.DEVNULL,
                                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                          timeout=STEP_SECONDS)
                except subprocess.TimeoutExpired:
                    failures.append(f"{where}: did not end within {STEP_SECONDS} s")
                    break
                got = done.stdout.decode("utf-8", "replace")
                want = status if last else 0
                if done.returncode != want:
                    failures.append(f"{where}: exit status {done.returncode}, not {want}:\n"
                                    f"{argv[-1]}\n{got}")
                    break
                if output is not None and got.rstrip("\n").split("\n") != (output or [""]):
                    failures.append(f"{where}: output differs:\n{argv[-1]}\n--- shown\n" +
                                    "\n".join(output) + "\n--- got\n" + got)
                    break
    finally:
        if service is not None:
            service.stop()
        shutil.rmtree(folder, ignore_errors=True)
    return ran, failures


def main():
    source, barquill, python = sys.argv[1:4]
    pythonpath = os.path.abspath(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[4] else ""
    tools = {"barquill": os.path.abspath(barquill)}
    # The built barquill first on PATH, and a curl that fails on an HTTP
    # error and never waits long, so a refused request is an error.
    bin_folder = tempfile.mkdtemp(prefix="barquill-doc-bin-")
    try:
        os.symlink(tools["barquill"], os.path.join(bin_folder, "barquill"))
        curl = shutil.which("curl")
        if curl:
            with open(os.path.join(bin_folder, "curl"), "w") as f:
                f.write(f'#!/bin/sh\nexec {curl} --fail --max-time 20 "$@"\n')
            os.chmod(os.path.join(bin_folder, "curl"), 0o755)
        env = dict(os.environ)
        env["PATH"] = bin_folder + os.pathsep + env.get("PATH", "")
        env["PYTHONPATH"] = pythonpath
        env["LC_ALL"] = "C.UTF-8"
        documents = [os.path.join(source, "README.md")]
        docs = os.path.join(source, "docs")
        documents += sorted(os.path.join(docs, n) for n in os.listdir(docs) if n.endswith(".md"))
        total = 0
        failures = []
        for path in documents:
            name = os.path.relpath(path, source)
            ran, failed = run_document(path, name, tools, env, python)
            print(f"{name}: {ran} examples run, {len(failed)} failed")
            total += ran
            failures += failed
        for failure in failures:
            print("FAIL " + failure)
        print(f"{total} examples run")
        return 1 if failures else 0
    finally:
        shutil.rmtree(bin_folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
