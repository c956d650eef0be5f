# SPDX-License-Identifier: MIT
"""Writes the module's type stubs from their template, with the docstrings
that list the formats and the error's attributes taken from the built module,
so that the stubs tell what the module does: make_stub.py TEMPLATE OUTPUT."""

import sys

import barquill


def indented(text: str) -> str:
    return text.replace("\n", "\n    ").replace("\n    \n", "\n\n")


template, output = sys.argv[1:3]
with open(template, encoding="utf-8") as source:
    stub = source.read()
stub = (stub.replace("@MODULE_DOC@", barquill.__doc__)
        .replace("@FORMATS@", ", ".join(barquill.FORMATS))
        .replace("@ENCODE_ERROR_DOC@", indented(barquill.EncodeError.__doc__)))
with open(output, "w", encoding="utf-8") as out:
    out.write(stub)
