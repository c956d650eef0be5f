# SPDX-License-Identifier: MIT
"""The Python module: symbols decode to their data, the matrix is shared
without a copy, and failures raise EncodeError with the numbers behind them."""

import gc
import io
import os
import pathlib
import pydoc
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import warnings

import numpy
import zxingcpp
from PIL import Image

import barquill


def decode(png: bytes) -> bytes | None:
    image = Image.open(io.BytesIO(png)).convert("L")
    result = zxingcpp.read_barcode(image, formats=zxingcpp.BarcodeFormat.PDF417)
    return result.bytes if result is not None and result.valid else None


class EncodeTest(unittest.TestCase):
    def test_symbols_decode_to_their_data(self):
        cases = [
            ("text", "Hello, World!", {}),
            ("non-ASCII text as UTF-8", "Grüße, 東京", {"level": 4}),
            ("every byte value", bytes(range(256)), {"level": 5}),
            ("compact, fixed columns", "COMPACT 0123456789", {"compact": True, "columns": 3}),
            ("fixed rows", "twelve rows", {"rows": 12}),
            ("Latin-2", "Zażółć gęślą jaźń", {"charset": "ISO-8859-2"}),
            ("escapes", "GS\\x1dRS\\x1e", {"escapes": True}),
        ]
        for name, data, options in cases:
            with self.subTest(name):
                symbol = barquill.encode(data, **options)
                expected = data if isinstance(data, bytes) else data.encode(
                    options.get("charset", "utf-8"))
                if options.get("escapes"):
                    expected = b"GS\x1dRS\x1e"
                self.assertEqual(decode(symbol.png(module_width=3, row_height=9)), expected)
                if "level" in options:
                    self.assertEqual(symbol.level, options["level"])
                if "rows" in options:
                    self.assertEqual(symbol.rows, options["rows"])
                if "columns" in options:
                    self.assertEqual(symbol.columns, options["columns"])
                self.assertEqual(symbol.compact, options.get("compact", False))

    def test_matrix_is_shared_read_only_and_matches_the_picture(self):
        symbol = barquill.encode("shared, not copied", level=3)
        matrix = numpy.asarray(symbol.matrix)
        self.assertEqual(matrix.shape, (symbol.rows, symbol.width))
        self.assertEqual(matrix.dtype, numpy.uint8)
        self.assertTrue(numpy.shares_memory(matrix, numpy.asarray(symbol)))
        self.assertFalse(matrix.flags.writeable)
        # One pixel per module, no quiet zone: the picture is the matrix.
        image = Image.open(io.BytesIO(symbol.png(module_width=1, row_height=1, quiet_zone=0)))
        pixels = numpy.asarray(image.convert("L"))
        numpy.testing.assert_array_equal(pixels == 0, matrix == 1)

    def test_failures_raise_encode_error_with_code_field_and_numbers(self):
        cases = [
            ("empty", lambda: barquill.encode(""), barquill.ErrorCode.EMPTY_DATA, None),
            ("level", lambda: barquill.encode("x", level=9), barquill.ErrorCode.INVALID_OPTION,
             "level"),
            ("columns", lambda: barquill.encode("x", columns=31),
             barquill.ErrorCode.INVALID_OPTION, "columns"),
            ("too long", lambda: barquill.encode(b"\xb5" * 2000), barquill.ErrorCode.DATA_TOO_LONG,
             None),
            ("too many rows", lambda: barquill.encode("a" * 300, level=4, columns=1),
             barquill.ErrorCode.COLUMNS_DO_NOT_FIT, None),
            ("charset", lambda: barquill.encode("東京", charset="ISO-8859-1"),
             barquill.ErrorCode.INVALID_TEXT, "charset"),
            ("series file name", lambda: barquill.encode("x", macro=True, file_name="x" * 101),
             barquill.ErrorCode.INVALID_OPTION, "file_name"),
            ("module width", lambda: barquill.encode("x").png(module_width=0),
             barquill.ErrorCode.INVALID_RENDER, "module_width"),
            ("colour", lambda: barquill.encode("x").svg(bar=(0, 256, 0)),
             barquill.ErrorCode.INVALID_RENDER, "bar"),
        ]
        for name, call, code, field in cases:
            with self.subTest(name):
                with self.assertRaises(barquill.EncodeError) as raised:
                    call()
                error = raised.exception
                self.assertEqual(error.code, code)
                self.assertTrue(error.message)
                if code in (barquill.ErrorCode.DATA_TOO_LONG, barquill.ErrorCode.COLUMNS_DO_NOT_FIT):
                    self.assertGreater(error.needed, error.available)
                self.assertEqual(error.field, field)
                if field is not None:
                    self.assertIn(field, str(error))

    def test_series_splits_the_data_over_symbols_of_one_size(self):
        data = "".join(f"line {i * 7919}; " for i in range(150))
        series = barquill.encode_series(data, level=3, columns=6, segments=3,
                                        file_name="parts.txt")
        self.assertEqual(len(series), 3)
        self.assertEqual({(s.rows, s.columns, s.level) for s in series},
                         {(series[0].rows, 6, 3)})
        with self.assertRaises(barquill.EncodeError) as raised:
            barquill.encode_series("x", segments=100000)
        # Named as the keyword is, not as the C++ field (series.segments).
        self.assertEqual(raised.exception.field, "segments")

    def test_save_writes_the_format_of_the_extension(self):
        symbol = barquill.encode("saved label")
        with tempfile.TemporaryDirectory() as folder:
            for name, expected in [("a.png", symbol.png()), ("b.GIF", symbol.gif()),
                                   ("c.svg", symbol.svg().encode()), ("d.label", symbol.bmp())]:
                path = os.path.join(folder, name)
                symbol.save(path)
                with open(path, "rb") as file:
                    self.assertEqual(file.read(), expected, name)
            with self.assertRaises(barquill.EncodeError) as raised:
                symbol.save(os.path.join(folder, "missing", "x.png"))
            self.assertEqual(raised.exception.code, barquill.ErrorCode.WRITE_FAILED)


class CapacityTest(unittest.TestCase):
    def test_the_command_line_tells_the_capacity_python_tells(self):
        program = os.environ.get("BARQUILL_EXECUTABLE")
        if not program:
            self.skipTest("BARQUILL_EXECUTABLE names no command-line tool")
        for text, level, columns in [("verbose", 3, 4), ("x" * 300, 5, 0), ("Grüße", 2, 2)]:
            with self.subTest(text[:10]), tempfile.TemporaryDirectory() as folder:
                args = [program, "-v", "-l", str(level), "-o", os.path.join(folder, "a.png"), text]
                if columns:
                    args[4:4] = ["-c", str(columns)]
                told = subprocess.run(args, capture_output=True, text=True, check=True).stderr
                used, capacity = re.search(r"capacity used: (\d+) of (\d+) data", told).groups()
                symbol = barquill.encode(text, level=level, columns=columns or None)
                self.assertEqual((int(used), int(capacity)), (symbol.data_codewords, symbol.capacity))


class TypesTest(unittest.TestCase):
    def test_bytearray_is_bytes_and_a_bool_is_no_level(self):
        self.assertEqual(barquill.encode(bytearray(b"caf\xc3\xa9")), barquill.encode(b"caf\xc3\xa9"))
        self.assertNotEqual(barquill.encode("caf\u00e9"), barquill.encode(b"caf\xc3\xa9"))
        with self.assertRaises(TypeError):
            barquill.encode("x", level=True)
        symbol = barquill.encode("x")
        self.assertFalse(symbol == None)  # noqa: E711 -- comparing with None must not raise
        self.assertNotIn(symbol, [None, 3])

    def test_a_path_holding_a_nul_byte_is_refused_as_open_refuses_it(self):
        with tempfile.TemporaryDirectory() as folder:
            with self.assertRaises(ValueError):
                barquill.encode("x").save(os.path.join(folder, "a\x00b.png"))
            self.assertEqual(os.listdir(folder), [])


class PrintAndPictureTest(unittest.TestCase):
    def test_print_formats_and_the_picture_in_memory(self):
        symbol = barquill.encode("LOT 4711", level=4)
        self.assertTrue(symbol.pdf().startswith(b"%PDF-"))
        self.assertIn(b"/MediaBox [ 0 0 595.", symbol.pdf(page="A4", position=(20, 30)))
        self.assertTrue(symbol.eps().startswith(b"%!PS-Adobe"))
        self.assertIn(b"^FDLOT 4711^FS", symbol.zpl(native=True))
        self.assertTrue(symbol.escpos().startswith(b"\x1dv0"))
        grey = numpy.asarray(symbol.image(module_width=1, row_height=1, quiet_zone=0))
        numpy.testing.assert_array_equal(grey == 0, numpy.asarray(symbol.matrix) == 1)
        self.assertEqual(decode(symbol.png()), b"LOT 4711")


class ChecksExplainAndProfilesTest(unittest.TestCase):
    def test_warnings_name_what_may_not_scan(self):
        self.assertEqual([w.id for w in barquill.encode("x").warnings], [])
        warning = barquill.encode("x", compact=True).warnings[0]
        self.assertEqual(warning.id, "compact")
        self.assertTrue(warning.message and warning.change)

    def test_explain_gives_every_codeword_of_the_symbol(self):
        explained = barquill.explain("PDF417", level=1)
        symbol = barquill.encode("PDF417", level=1)
        self.assertEqual(len(explained["codewords"]), symbol.rows * symbol.columns)
        self.assertEqual(explained["codewords"][0]["role"], "length-descriptor")
        self.assertEqual(sum(s["length"] for s in explained["segments"]), 6)
        with self.assertRaises(barquill.EncodeError):
            barquill.explain("x", level=9)

    def test_profiles_build_their_data_from_fields(self):
        self.assertIn("hub3", [name for name, _ in barquill.profiles.list()])
        data, options = barquill.profiles.build(
            "hub3", amount="12,50", recipient_name="A", iban="HR1210010051863000160")
        self.assertTrue(data.startswith(b"HRVHUB30\nEUR\n000000000001250\n"))
        self.assertEqual((options["level"], options["columns"]), (4, 9))
        symbol = barquill.encode_profile("hub3", amount="1", recipient_name="A",
                                         iban="HR1210010051863000160")
        self.assertEqual((symbol.level, symbol.columns), (4, 9))
        self.assertTrue(decode(symbol.png(module_width=3, row_height=9)).startswith(b"HRVHUB30"))
        with self.assertRaises(barquill.EncodeError) as raised:
            barquill.profiles.build("hub3", amount="-1")
        self.assertEqual(raised.exception.code, barquill.ErrorCode.INVALID_FIELD)
        # A field is named as the caller keyed it, not taken for a C++ name.
        with self.assertRaises(barquill.EncodeError) as raised:
            barquill.profiles.build("aamva", fields={"DL.DCS": "x" * 200, "iin": "636000"})
        self.assertEqual(raised.exception.field, "DL.DCS")
        self.assertTrue(str(raised.exception).startswith("DL.DCS:"))

    def test_profiles_build_gives_options_encode_takes(self):
        cases = [
            ("hub3", {"amount": "1", "recipient_name": "A", "iban": "HR1210010051863000160"}),
            ("sii-cl", {"data": "<TED>x</TED>"}),
            ("aeat-es", {"data": b"F" * 3000}),  # too large for one symbol: a series
        ]
        for name, fields in cases:
            with self.subTest(name), warnings.catch_warnings():
                warnings.simplefilter("error", DeprecationWarning)
                data, options = barquill.profiles.build(name, fields)
                built = barquill.encode(data, **options)
                made = barquill.encode_profile(name, fields)
                built = built if isinstance(built, list) else [built]
                made = made if isinstance(made, list) else [made]
                self.assertEqual([(s.rows, s.columns, s.level, s.compact) for s in built],
                                 [(s.rows, s.columns, s.level, s.compact) for s in made])
                if len(made) == 1:
                    self.assertEqual(built[0].data_codewords, made[0].data_codewords)

    def test_fields_nested_too_deep_raise_with_the_key_and_the_limit(self):
        nested = "1"
        for _ in range(8):
            nested = [nested]
        with self.assertRaises(barquill.EncodeError) as raised:
            barquill.profiles.build("hub3", fields={"amount": "1", "legs": nested})
        self.assertEqual(raised.exception.code, barquill.ErrorCode.INVALID_FIELD)
        self.assertIn("legs.0.0.0.0: objects and arrays nested more than 5 deep",
                      str(raised.exception))


class EncodeManyTest(unittest.TestCase):
    """encode_many gives what encode(...).png() gives item by item, in order,
    on any number of threads, and names the item that fails."""

    ITEMS = [f"LOT {4711 + i * 37} / DOCK {i % 9}" for i in range(30)]
    ITEMS[3] = b"\x00\xff\x1e\r\n bytes"
    ITEMS[7] = bytearray(b"a bytearray")
    ITEMS[12] = "Grüße, 東京"

    def test_files_are_those_of_single_encodes_in_order(self):
        options = {"level": 4, "module_width": 3, "row_height": 9, "margin": 6}
        single = [barquill.encode(item, level=4, module_width=3, row_height=9).png(
            module_width=3, row_height=9, quiet_zone=6) for item in self.ITEMS]
        self.assertEqual([barquill.encode(item, **options).png() for item in self.ITEMS], single)
        for threads in (0, 1, 2):
            with self.subTest(threads=threads):
                self.assertEqual(barquill.encode_many(self.ITEMS, threads=threads, **options),
                                 single)
        svg = barquill.encode_many(self.ITEMS[:4], format="svg", threads=2)
        self.assertEqual(svg, [barquill.encode(item).svg() for item in self.ITEMS[:4]])

    def test_each_file_reads_as_its_own_item(self):
        files = barquill.encode_many(self.ITEMS, threads=2)
        for index in (0, 3, 7, 12, 29):
            item = self.ITEMS[index]
            expected = item.encode() if isinstance(item, str) else bytes(item)
            self.assertEqual(decode(files[index]), expected, index)

    def test_the_first_failing_item_is_named(self):
        items = list(self.ITEMS)
        items[5] = ""
        items[20] = b"\xb5" * 2000
        for threads in (1, 2):
            with self.subTest(threads=threads):
                with self.assertRaises(barquill.EncodeError) as raised:
                    barquill.encode_many(items, threads=threads)
                self.assertEqual(raised.exception.index, 5)
                self.assertEqual(raised.exception.code, barquill.ErrorCode.EMPTY_DATA)
                self.assertTrue(str(raised.exception).startswith("item 5: "))
        with self.assertRaises(TypeError) as raised:
            barquill.encode_many(["fine", 42])
        self.assertIn("item 1", str(raised.exception))
        with self.assertRaises(ValueError):
            barquill.encode_many(["fine"], format="jpeg")
        self.assertIsNone(self.single_error().index)
        self.assertEqual(barquill.encode_many([]), [])

    @staticmethod
    def single_error():
        try:
            barquill.encode("")
        except barquill.EncodeError as error:
            return error
        raise AssertionError("empty data was encoded")


class SettingsTest(unittest.TestCase):
    """encode() and encode_many() take the command line's settings and go the
    command line's way: the same files, the warnings of the drawing asked
    for, read back unless told not to."""

    def test_files_match_the_command_line_byte_for_byte(self):
        program = os.environ.get("BARQUILL_EXECUTABLE")
        if not program:
            self.skipTest("BARQUILL_EXECUTABLE names no command-line tool")
        text = "LOT 4711\\x1dBATCH 0815"
        cases = [
            ("defaults", [], {}, "png"),
            ("print sizing", ["--xdim", "0.33", "--dpi", "300"], {"xdim": 0.33, "dpi": 300}, "png"),
            ("escapes, level fill, columns", ["--escapes", "-l", "fill", "-c", "4"],
             {"escapes": True, "level": "fill", "columns": 4}, "gif"),
            ("margin and colours", ["-m", "3", "--fg", "navy", "--bg", "#FFFFE0"],
             {"margin": 3, "fg": "navy", "bg": (255, 255, 224)}, "png"),
            ("fit a label", ["--fit", "50x30", "--dpi", "203"], {"fit": (50, 30), "dpi": 203},
             "bmp"),
            ("aspect and pixels", ["--aspect", "3:1", "--module-width", "3", "--row-height", "5"],
             {"aspect": "3:1", "module_width": 3, "row_height": 5}, "svg"),
            ("a page", ["--page", "A4", "--position", "20,30"],
             {"page": "A4", "position": (20, 30)}, "eps"),
        ]
        for name, arguments, settings, extension in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                path = os.path.join(folder, "a." + extension)
                subprocess.run([program, *arguments, "-o", path, "--", text], check=True,
                               capture_output=True)
                with open(path, "rb") as file:
                    told = file.read()
                symbol = barquill.encode(text, **settings)
                drawn = symbol.svg().encode() if extension == "svg" else \
                    getattr(symbol, extension)()
                self.assertEqual(drawn, told)
                mine = os.path.join(folder, "b." + extension)
                symbol.save(mine)
                with open(mine, "rb") as file:
                    self.assertEqual(file.read(), told)

    def test_warnings_are_those_of_the_drawing_asked_for(self):
        cases = [
            ("as by default", {}, []),
            ("a thin quiet zone", {"margin": 1}, ["quiet-zone"]),
            ("modules of less than a dot", {"xdim": 0.1, "dpi": 203}, ["thin-module"]),
        ]
        for name, settings, ids in cases:
            with self.subTest(name):
                self.assertEqual([w.id for w in barquill.encode("LOT 4711", **settings).warnings],
                                 ids)

    def test_every_symbol_is_read_back_unless_verify_is_false(self):
        # Red and white are too alike for a reader that sees brightness.
        unreadable = {"bg": "red"}
        refused = [
            ("encode", lambda: barquill.encode("LOT 4711", **unreadable)),
            ("encode_many", lambda: barquill.encode_many(["LOT 4711"], **unreadable)),
            ("drawn otherwise than encoded",
             lambda: barquill.encode("LOT 4711").png(space=(255, 0, 0))),
            ("saved otherwise than encoded",
             lambda: barquill.encode("LOT 4711").save(os.devnull, space=(255, 0, 0))),
            ("a series", lambda: barquill.encode_series("LOT 4711" * 40, segments=2)[0].png(
                space=(255, 0, 0))),
        ]
        for name, call in refused:
            with self.subTest(name):
                with self.assertRaises(barquill.EncodeError) as raised:
                    call()
                self.assertEqual(raised.exception.code, barquill.ErrorCode.NOT_VERIFIED)
        self.assertTrue(barquill.encode("LOT 4711", verify=False, **unreadable).png())
        self.assertTrue(barquill.encode_many(["LOT 4711"], verify=False, **unreadable))
        self.assertTrue(barquill.encode("LOT 4711", verify=False).png(space=(255, 0, 0)))

    def test_a_series_is_a_list_drawn_alike(self):
        data = "".join(f"line {i * 7919}; " for i in range(150))
        series = barquill.encode(data, segments=3, file_id=[1, 2], xdim=0.25, dpi=300)
        self.assertEqual(len(series), 3)
        self.assertEqual({len(s.png()) > 0 and s.png(module_width=3) == s.png()
                          for s in series}, {True})
        self.assertIsInstance(barquill.encode("short", macro=True), barquill.Symbol)

    def test_save_takes_any_path_and_the_format_asked_for(self):
        symbol = barquill.encode("saved label", format="svg")
        with tempfile.TemporaryDirectory() as folder:
            for path in (pathlib.Path(folder, "a.png"), os.path.join(folder, "b.png").encode()):
                with self.subTest(path=type(path).__name__):
                    symbol.save(path)
                    with open(path, "rb") as file:
                        self.assertEqual(file.read(), symbol.svg().encode())
            read_only = pathlib.Path(folder, "c.png")
            read_only.write_bytes(b"old")
            read_only.chmod(0o444)
            if os.access(read_only, os.W_OK):
                return  # the superuser may write anything
            with self.assertRaises(barquill.EncodeError) as raised:
                barquill.encode("x").save(read_only)
            self.assertEqual(raised.exception.code, barquill.ErrorCode.READ_ONLY)
            barquill.encode("x", force=True).save(read_only)
            self.assertEqual(read_only.read_bytes()[:4], b"\x89PNG")


class KeywordsTest(unittest.TestCase):
    def test_deprecated_keywords_warn_and_keep_their_meaning(self):
        cases = [
            ("fill_level", lambda: barquill.encode("x" * 20, columns=4, rows=10, fill_level=True),
             lambda: barquill.encode("x" * 20, columns=4, rows=10, level="fill")),
            ("columns 0", lambda: barquill.encode("x", columns=0), lambda: barquill.encode("x")),
            ("aspect 0", lambda: barquill.encode("x", aspect=0.0), lambda: barquill.encode("x")),
            ("quiet_zone, bar, space",
             lambda: barquill.encode_many(["x"], quiet_zone=3, bar=(0, 0, 128),
                                          space=(255, 255, 0)),
             lambda: barquill.encode_many(["x"], margin=3, fg="navy", bg="yellow")),
            ("a Macro block",
             lambda: barquill.encode("part one", macro=barquill.Macro(
                 file_id=[1, 2], segment_count=2)).matrix.tobytes(),
             lambda: barquill.encode_series("part one" + "part two" * 30, file_id=[1, 2],
                                            segments=2)[0].matrix.tobytes()[:0]),
        ]
        for name, old, new in cases:
            with self.subTest(name):
                with self.assertWarns(DeprecationWarning):
                    made = old()
                if name == "a Macro block":
                    self.assertTrue(made)
                else:
                    self.assertEqual(made, new())

    def test_bad_values_name_the_keyword_given(self):
        """Each refusal names the keyword as the caller spelt it, neither a
        C++ field nor an item for what is a setting."""
        Error = barquill.EncodeError
        cases = [
            ("a lone str", lambda: barquill.encode_many("abc"), TypeError, None),
            ("lone bytes", lambda: barquill.encode_many(b"abc"), TypeError, None),
            ("a bool for columns", lambda: barquill.encode("x", columns=True), TypeError, None),
            ("a bool for level", lambda: barquill.encode("x", level=True), TypeError, None),
            ("a float for rows", lambda: barquill.encode("x", rows=3.5), TypeError, None),
            ("unknown keyword", lambda: barquill.encode("x", colums=3), TypeError, None),
            ("level beyond int", lambda: barquill.encode("x", level=2**40), Error, "level"),
            ("level beyond int, series", lambda: barquill.encode_series("x", level=2**40), Error,
             "level"),
            ("width beyond int", lambda: barquill.encode("x").png(module_width=2**40), Error,
             "module_width"),
            ("a lone surrogate", lambda: barquill.encode("ok\ud800"), Error, "data"),
            ("an option, not item 0", lambda: barquill.encode_many(["a"], level=99), Error,
             "level"),
            ("module width 0", lambda: barquill.encode("x", module_width=0), Error,
             "module_width"),
            ("quiet zone", lambda: barquill.encode("x", margin=1001), Error, "margin"),
            ("aspect with rows", lambda: barquill.encode("x", aspect=3, rows=5), Error, "aspect"),
            ("xdim needs dpi", lambda: barquill.encode("x", xdim=0.25), Error, "xdim"),
            ("a series per item", lambda: barquill.encode_many(["a"], macro=True), Error,
             "macro"),
            ("segments per item", lambda: barquill.encode_many(["a"], segments=2), Error,
             "segments"),
            ("segments", lambda: barquill.encode_series("x", segments=100000), Error,
             "segments"),
            ("negative threads", lambda: barquill.encode_many(["a"], threads=-1), ValueError,
             None),
            ("threads beyond int", lambda: barquill.encode_many(["a"], threads=2**40),
             ValueError, None),
            ("unknown format", lambda: barquill.encode_many(["a"], format="jpeg"), ValueError,
             None),
        ]
        cxx_names = re.compile(r"[a-z][A-Z]|module_proportions|series\.|quietZone")
        for name, call, kind, field in cases:
            with self.subTest(name):
                with self.assertRaises(kind) as raised:
                    call()
                error = raised.exception
                self.assertNotIn("Unable to cast", str(error))
                self.assertIsNone(cxx_names.search(str(error)), str(error))
                if kind is Error:
                    self.assertEqual(error.field, field)
                    self.assertIn(field, str(error))
                    self.assertIsNone(error.index)
                    self.assertFalse(str(error).startswith("item "))
        with self.assertRaises(Error) as raised:
            barquill.encode_many(["a", "b\udc80"])
        self.assertEqual((raised.exception.index, raised.exception.field), (1, "data"))
        self.assertEqual(raised.exception.code, barquill.ErrorCode.INVALID_TEXT)


class InterruptTest(unittest.TestCase):
    def test_ctrl_c_stops_encode_many_between_shares(self):
        """SIGINT while the items are made stops the call with files still
        unmade: the handler finds the list of results part-filled."""
        items = [f"LOT {i}" for i in range(4000)]
        main = threading.main_thread().ident
        seen = []

        def handler(signum, frame):
            for found in gc.get_objects():
                if type(found) is list and found and found is not items and all(
                        type(file) is bytes and file.startswith(b"\x89PNG") for file in found):
                    seen.append(len(found))
            raise KeyboardInterrupt

        def interrupt():
            # The main thread is inside the call once its frame stands at
            # the call's line and this thread holds the GIL.
            while sys._current_frames()[main].f_lineno != line:
                time.sleep(0.001)
            os.kill(os.getpid(), signal.SIGINT)

        previous = signal.signal(signal.SIGINT, handler)
        interval = sys.getswitchinterval()
        sys.setswitchinterval(100)  # the GIL changes hands only when it is let go
        helper = threading.Thread(target=interrupt)
        try:
            with self.assertRaises(KeyboardInterrupt):
                line = sys._getframe().f_lineno + 2
                helper.start()
                barquill.encode_many(items, threads=2, verify=False)
        finally:
            sys.setswitchinterval(interval)
            helper.join()
            signal.signal(signal.SIGINT, previous)
        self.assertEqual(len(seen), 1)
        self.assertLess(seen[0], len(items))


class DocumentationTest(unittest.TestCase):
    """What help() and the type stubs say is what the module does."""

    def test_docstrings_that_list_formats_list_every_one(self):
        # The formats as encode_many's refusal lists them, the library's own list.
        with self.assertRaises(ValueError) as refused:
            barquill.encode_many(["x"], format="no-such-format")
        named = re.search(r"must be (.*), not", str(refused.exception)).group(1)
        formats = re.split(r", | or ", named)
        self.assertEqual(list(barquill.FORMATS), formats)
        stub = pathlib.Path(barquill.__file__).with_name("barquill.pyi").read_text()
        stub_docs = re.findall(r'"""(.*?)"""', stub, re.S)
        documents = {
            "module": barquill.__doc__,
            "encode_many": barquill.encode_many.__doc__,
            "save": barquill.Symbol.save.__doc__,
            "stub's module": stub_docs[0],
            "stub's encode_many": next(d for d in stub_docs if "encode(item" in d),
        }
        for where, text in documents.items():
            words = text.lower().replace("/", "")
            for name in formats:
                self.assertRegex(words, rf"\b{name}\b", f"{where} lacks {name}")

    def test_encode_error_help_names_every_attribute(self):
        with self.assertRaises(barquill.EncodeError) as raised:
            barquill.encode("x", columns=99)
        attributes = [name for name in vars(raised.exception) if not name.startswith("_")]
        self.assertIn("field", attributes)
        shown = pydoc.plain(pydoc.render_doc(barquill.EncodeError))
        stub = pathlib.Path(barquill.__file__).with_name("barquill.pyi").read_text()
        stub_class = stub[stub.index("class EncodeError"):stub.index("class Macro")]
        for name in attributes:
            self.assertRegex(shown, rf"\n[ |]*{name} ", f"help() lacks {name}")
            self.assertIn(f"    {name}: ", stub_class)


if __name__ == "__main__":
    unittest.main()
