# SPDX-License-Identifier: MIT
"""PDF417 barcodes: encode text or bytes, get PNG, GIF, BMP, SVG, PDF, EPS, ZPL or ESC/POS."""

import os
from typing import ClassVar, Sequence

__version__: str
AUTO: int

_Colour = tuple[int, int, int]

class ErrorCode:
    """The error codes; they compare equal to their numbers."""
    EMPTY_DATA: ClassVar[ErrorCode]  # 1
    DATA_TOO_LONG: ClassVar[ErrorCode]  # 2
    COLUMNS_DO_NOT_FIT: ClassVar[ErrorCode]  # 4
    SHAPE_DOES_NOT_FIT: ClassVar[ErrorCode]  # 6
    INVALID_TEXT: ClassVar[ErrorCode]  # 8
    INVALID_OPTION: ClassVar[ErrorCode]  # 10
    INVALID_RENDER: ClassVar[ErrorCode]  # 11
    INVALID_ESCAPE: ClassVar[ErrorCode]  # 9
    CONFLICTING_OPTIONS: ClassVar[ErrorCode]  # 12
    MISSING_OPTION: ClassVar[ErrorCode]  # 13
    LABEL_TOO_SMALL: ClassVar[ErrorCode]  # 14
    SERIES_TOO_SHORT: ClassVar[ErrorCode]  # 15
    NOT_ON_PAGE: ClassVar[ErrorCode]  # 16
    NOT_EXPRESSIBLE: ClassVar[ErrorCode]  # 17
    INVALID_FIELD: ClassVar[ErrorCode]  # 18
    PROFILE_CONFLICT: ClassVar[ErrorCode]  # 19
    RENDER_FAILED: ClassVar[ErrorCode]  # 20
    WRITE_FAILED: ClassVar[ErrorCode]  # 21
    READ_ONLY: ClassVar[ErrorCode]  # 22
    NOT_VERIFIED: ClassVar[ErrorCode]  # 23
    VERIFY_UNAVAILABLE: ClassVar[ErrorCode]  # 24
    OUTSIDE_FOLDER: ClassVar[ErrorCode]  # 25
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...
    def __int__(self) -> int: ...

class EncodeError(ValueError):
    code: ErrorCode
    field: str | None
    value: int
    minimum: int
    maximum: int
    needed: int
    available: int
    message: str
    index: int | None  # encode_many: the item at fault

class Macro:
    """The control block of one symbol of a Macro PDF417 series."""
    segment_index: int
    file_id: list[int]
    last_segment: bool
    segment_count: int | None
    file_name: str
    time_stamp: int | None
    sender: str
    addressee: str
    file_size: int | None
    checksum: int | None
    def __init__(self, *, segment_index: int = 0, file_id: list[int] = ...,
                 last_segment: bool = False, segment_count: int | None = None,
                 file_name: str = "", time_stamp: int | None = None, sender: str = "",
                 addressee: str = "", file_size: int | None = None,
                 checksum: int | None = None) -> None: ...

def macro_checksum(data: bytes) -> int: ...

class Symbol:
    @property
    def rows(self) -> int: ...
    @property
    def columns(self) -> int: ...
    @property
    def width(self) -> int: ...
    @property
    def level(self) -> int: ...
    @property
    def data_codewords(self) -> int: ...
    @property
    def capacity(self) -> int: ...
    @property
    def compact(self) -> bool: ...
    @property
    def matrix(self) -> memoryview: ...
    def __buffer__(self, flags: int) -> memoryview: ...
    def png(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None) -> bytes: ...
    def gif(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None) -> bytes: ...
    def bmp(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None) -> bytes: ...
    def svg(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None) -> str: ...
    def save(self, path: str | bytes | os.PathLike, *, module_width: int | None = None,
             row_height: int | None = None, quiet_zone: int | None = None,
             bar: _Colour | None = None, space: _Colour | None = None,
             dpi: int | None = None) -> None:
        """Writes the file in the format given to encode() (format=), else in that of
        the name's extension; drawn as encode() sized it unless told otherwise here."""

    def pdf(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None,
            page: str | tuple[float, float] | None = None,
            position: tuple[float, float] | None = None) -> bytes: ...
    def eps(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None) -> bytes: ...
    def zpl(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
            bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None,
            native: bool | None = None) -> bytes: ...
    def escpos(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
               bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None,
               native: bool | None = None) -> bytes: ...
    def image(self, *, module_width: int | None = None, row_height: int | None = None,
            quiet_zone: int | None = None,
              bar: _Colour | None = None, space: _Colour | None = None, dpi: int | None = None,
              format: str = "grey8") -> Image: ...
    @property
    def warnings(self) -> list[Warning]: ...

class Image:
    """A picture in memory; numpy.asarray(image) is height x stride bytes."""
    @property
    def width(self) -> int: ...
    @property
    def height(self) -> int: ...
    @property
    def stride(self) -> int: ...
    @property
    def format(self) -> str: ...  # "grey8" or "mono1"
    def __buffer__(self, flags: int) -> memoryview: ...

class Warning:
    id: str  # stable: "compact", "low-level", "thin-module", "contrast", ...
    message: str
    change: str
    value: float
    limit: float

_Setting = str | int | float | bool | tuple | list | None

def encode(data: str | bytes | bytearray, **settings: _Setting) -> Symbol | list[Symbol]:
    """The symbol of the data, made as the command line makes it: the settings
    are its options, named with _ for - (level, columns, rows, aspect, compact,
    compaction, fg, bg, margin, module_width, row_height, xdim, dpi, fit,
    escapes, strip_newline, charset, eci, page, position, zpl_native,
    escpos_native, format, verify, force, macro, segments, file_id, file_name,
    sender, addressee, timestamp, file_size, checksum; help(barquill.encode)
    lists them with their ranges). Every symbol is read back unless
    verify=False. A series (macro=True for data too large for one symbol,
    segments=N) is a list of symbols."""
    ...

def explain(data: str | bytes | bytearray, **settings: _Setting) -> dict | list[dict]: ...

def encode_profile(name: str, fields: dict | None = None, *, charset: str = "",
                   **more_fields: object) -> Symbol | list[Symbol]: ...

class profiles:
    @staticmethod
    def list() -> list[tuple[str, str]]: ...
    @staticmethod
    def build(name: str, fields: dict | None = None, *, charset: str = "",
              **more_fields: object) -> tuple[bytes, dict]: ...

def encode_series(data: str | bytes, *, level: int | None = None, columns: int = 0,
                  rows: int = 0, compact: bool = False, charset: str | None = None,
                  eci: int | None = None, segments: int = 0, file_id: list[int] = ...,
                  file_name: str = "", sender: str = "", addressee: str = "",
                  time_stamp: int | None = None, file_size: bool = False,
                  checksum: bool = False, verify: bool = True) -> list[Symbol]: ...

def encode_many(items: Sequence[str | bytes | bytearray], format: str = "png", threads: int = 0,
                **settings: _Setting) -> list[bytes] | list[str]:
    """Every item made as encode(item, **settings) makes it and written as `format`
    (png, gif, bmp, svg, pdf, eps, zpl, escpos), in order: str for svg, bytes
    otherwise. Runs on the library's own threads, `threads` of them (0: one per
    core), without the GIL, a share of the list at a time: Ctrl-C stops it between
    shares. One symbol per item: macro and segments are refused.

    A setting at fault raises EncodeError before any item is made. The first item
    that cannot be made (lowest index) raises EncodeError with .index set to its
    position and "item N: " before the message; no file is returned then. items
    that are one str or bytes, or an item that is not str, bytes or bytearray,
    raise TypeError."""
