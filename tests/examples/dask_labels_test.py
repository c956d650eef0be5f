# SPDX-License-Identifier: MIT
"""Runs the Dask example on a local cluster of two workers over 5,000 texts,
checks that every label was written and reads a sample back with zxing-cpp:
dask_labels_test.py EXAMPLES_DIR WORK_DIR"""

import os
import random
import subprocess
import sys

import zxingcpp
from PIL import Image

examples, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
count = 5000
texts = [f"LOT-{i:05d} SHIP TO DOCK {i % 17} Ø{i * 7919 % 100000}" for i in range(count)]
texts_path = os.path.join(work, "texts.txt")
with open(texts_path, "w", encoding="utf-8") as file:
    file.write("\n".join(texts) + "\n")
output = os.path.join(work, "labels")
if os.path.isdir(output):
    for name in os.listdir(output):
        os.remove(os.path.join(output, name))

run = subprocess.run([sys.executable, os.path.join(examples, "dask_labels.py"), texts_path,
                      output, "--workers", "2"], capture_output=True, text=True, timeout=600)
print(run.stdout + run.stderr)
if run.returncode != 0:
    sys.exit(f"dask_labels.py exited with {run.returncode}")

names = sorted(os.listdir(output))
expected = [f"label-{i:06d}.png" for i in range(count)]
if names != expected:
    sys.exit(f"{len(names)} files written, expected {count} label-NNNNNN.png files")
for i in sorted(random.Random(7).sample(range(count), 40)):
    path = os.path.join(output, expected[i])
    result = zxingcpp.read_barcode(Image.open(path).convert("L"),
                                   formats=zxingcpp.BarcodeFormat.PDF417)
    if result is None or result.bytes != texts[i].encode():
        sys.exit(f"{path} reads {result.bytes if result else None!r}, expected {texts[i]!r}")
print(f"all {count} labels written; 40 read back")
