# SPDX-License-Identifier: MIT
"""Exits 0 when the picture FILE holds one PDF417 symbol of the UTF-8 bytes
of TEXT, read by the zxing-cpp reader: read_label.py FILE TEXT"""

import sys

import zxingcpp
from PIL import Image

path, text = sys.argv[1], sys.argv[2]
result = zxingcpp.read_barcode(Image.open(path).convert("L"),
                               formats=zxingcpp.BarcodeFormat.PDF417)
if result is None or not result.valid or result.bytes != text.encode():
    sys.exit(f"{path}: read {result.bytes if result else None!r}, expected {text!r}")
