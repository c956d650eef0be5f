#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""One PDF417 label with the Python module: label.py OUTPUT TEXT

The format follows OUTPUT's extension (.png, .gif, .svg, else BMP)."""

import sys

import barquill


def main() -> int:
    if len(sys.argv) != 3:
        print("usage: label.py OUTPUT TEXT", file=sys.stderr)
        return 1
    output, text = sys.argv[1], sys.argv[2]
    try:
        symbol = barquill.encode(text)
        symbol.save(output, module_width=3, row_height=9, dpi=300)
    except barquill.EncodeError as error:
        print(f"error {int(error.code)}: {error}", file=sys.stderr)
        return 2
    print(f"{symbol.rows} rows, {symbol.columns} columns, level {symbol.level}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
