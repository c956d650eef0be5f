# SPDX-License-Identifier: MIT
"""Runs the Dask example on a local cluster of two workers over 5,000 texts
with blank lines among them, checks that every label was written under its
line's number, that the cluster listened on the loopback address only while
it ran, and reads a sample back with zxing-cpp:
dask_labels_test.py EXAMPLES_DIR WORK_DIR"""

import os
import random
import subprocess
import sys
import tempfile

import zxingcpp
from PIL import Image

examples, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
count = 5000
texts = [f"LOT-{i:05d} SHIP TO DOCK {i % 17} Ø{i * 7919 % 100000}" for i in range(count)]
# Blank lines, as a list edited by hand has them: skipped, their numbers kept.
blank = {0: "", 7: "   ", 1234: "\t", count - 1: " \r"}
lines = [blank.get(i, text) for i, text in enumerate(texts)]
texts_path = os.path.join(work, "texts.txt")
with open(texts_path, "w", encoding="utf-8", newline="") as file:
    file.write("\n".join(lines) + "\n")
output = os.path.join(work, "labels")
if os.path.isdir(output):
    for name in os.listdir(output):
        os.remove(os.path.join(output, name))


def process_tree(root: int) -> list[int]:
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(parent, []).append(int(entry))
    tree, stack = [], [root]
    while stack:
        pid = stack.pop()
        tree.append(pid)
        stack.extend(children.get(pid, []))
    return tree


def socket_inodes(pids: list[int]) -> set[int]:
    inodes = set()
    for pid in pids:
        try:
            fds = os.listdir(f"/proc/{pid}/fd")
        except OSError:
            continue
        for fd in fds:
            try:
                target = os.readlink(f"/proc/{pid}/fd/{fd}")
            except OSError:
                continue
            if target.startswith("socket:["):
                inodes.add(int(target[8:-1]))
    return inodes


def listening() -> dict[int, tuple[str, str]]:
    """LISTEN sockets by inode: (table, local address as the kernel writes it)."""
    found = {}
    for table in ("tcp", "tcp6"):
        try:
            with open(f"/proc/net/{table}") as file:
                next(file)
                for line in file:
                    fields = line.split()
                    if fields[3] == "0A":
                        found[int(fields[9])] = (table, fields[1])
        except OSError:
            continue
    return found


def loopback(table: str, local: str) -> bool:
    # Addresses are 32-bit words in the kernel's (little-endian) order.
    address = local.split(":")[0]
    if table == "tcp":
        return address[6:8] == "7F"
    if address == "00000000000000000000000001000000":  # ::1
        return True
    return address.startswith("0000000000000000FFFF0000") and address[30:32] == "7F"


def readable(table: str, local: str) -> str:
    address, port = local.split(":")
    return f"{table} {address} port {int(port, 16)}"


seen = {}
with tempfile.TemporaryFile("w+") as out:
    child = subprocess.Popen([sys.executable, os.path.join(examples, "dask_labels.py"),
                              texts_path, output, "--workers", "2"],
                             stdout=out, stderr=subprocess.STDOUT, text=True)
    try:
        while True:
            try:
                child.wait(timeout=0.2)
                break
            except subprocess.TimeoutExpired:
                pass
            owned = socket_inodes(process_tree(child.pid))
            for inode, where in listening().items():
                if inode in owned:
                    seen[inode] = where
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()
    out.seek(0)
    print(out.read())
if child.returncode != 0:
    sys.exit(f"dask_labels.py exited with {child.returncode}")
if not seen:
    sys.exit("no listening socket of the cluster was seen: the check saw nothing")
open_wide = [readable(*where) for where in seen.values() if not loopback(*where)]
if open_wide:
    sys.exit("the cluster listened beyond the loopback address: " + ", ".join(open_wide))

names = sorted(os.listdir(output))
kept = [i for i in range(count) if i not in blank]
expected = [f"label-{i:06d}.png" for i in kept]
if names != expected:
    sys.exit(f"{len(names)} files written, expected {len(kept)} label-NNNNNN.png files, "
             "none for the blank lines")
for i in sorted(random.Random(7).sample(kept, 40)):
    path = os.path.join(output, f"label-{i:06d}.png")
    result = zxingcpp.read_barcode(Image.open(path).convert("L"),
                                   formats=zxingcpp.BarcodeFormat.PDF417)
    if result is None or result.bytes != texts[i].encode():
        sys.exit(f"{path} reads {result.bytes if result else None!r}, expected {texts[i]!r}")
print(f"all {len(kept)} labels written, {len(seen)} listening sockets all on loopback; "
      "40 read back")
