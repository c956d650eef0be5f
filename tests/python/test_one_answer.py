# SPDX-License-Identifier: MIT
"""One bad request, one answer: the table of tests/lib/one_answer_test.cpp
put to the Python module, which must refuse each request with the code and
the field (as Python spells it) that encode(), makeLabel(), C and the
command line give."""

import unittest

import barquill

INVALID = barquill.ErrorCode.INVALID_OPTION
CONFLICT = barquill.ErrorCode.CONFLICTING_OPTIONS

CASES = [
    ("aspect above the largest", "encode", {"aspect": 1000}, INVALID, "aspect"),
    ("aspect below the smallest", "encode", {"aspect": 0.001}, INVALID, "aspect"),
    ("aspect with rows", "encode", {"aspect": 3, "rows": 10}, CONFLICT, "aspect"),
    ("Macro text not printable", "encode_series", {"file_name": "line\tbreak"}, INVALID,
     "file_name"),
    ("Macro text too long", "encode_series", {"file_name": "x" * 101}, INVALID,
     "file_name"),
    ("file ID codeword above 899", "encode_series", {"file_id": [1, 900]}, INVALID,
     "file_id"),
    ("file ID too long", "encode_series", {"file_id": [1] * 31}, INVALID, "file_id"),
    ("segment count above the largest", "encode_series", {"segments": 100000}, INVALID,
     "segments"),
]


class OneAnswerTest(unittest.TestCase):
    def test_each_request_gets_the_code_and_field_of_every_face(self):
        for name, call, options, code, field in CASES:
            with self.subTest(name):
                with self.assertRaises(barquill.EncodeError) as raised:
                    getattr(barquill, call)("LOT 4711", **options)
                self.assertEqual(raised.exception.code, code, str(raised.exception))
                self.assertEqual(raised.exception.field, field, str(raised.exception))


if __name__ == "__main__":
    unittest.main()
