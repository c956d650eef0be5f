# SPDX-License-Identifier: MIT
"""PDF417 barcodes: encode text or bytes, get PNG, GIF, BMP or SVG."""

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
    def png(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0) -> bytes: ...
    def gif(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0) -> bytes: ...
    def bmp(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0) -> bytes: ...
    def svg(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0) -> str: ...
    def save(self, path: str, *, module_width: int = 2, row_height: int = 4,
             quiet_zone: int = 10, bar: _Colour = (0, 0, 0),
             space: _Colour = (255, 255, 255), dpi: int = 0) -> None: ...

    def pdf(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0,
            page: str | tuple[float, float] | None = None,
            position: tuple[float, float] = (0, 0)) -> bytes: ...
    def eps(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0) -> bytes: ...
    def zpl(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
            bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0,
            native: bool = False) -> bytes: ...
    def escpos(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
               bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0,
               native: bool = False) -> bytes: ...
    def image(self, *, module_width: int = 2, row_height: int = 4, quiet_zone: int = 10,
              bar: _Colour = (0, 0, 0), space: _Colour = (255, 255, 255), dpi: int = 0,
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

def encode(data: str | bytes | bytearray, *, level: int | None = None, columns: int = 0,
           rows: int = 0, aspect: float = 0.0, module_width: int = 2, row_height: int = 4,
           fill_level: bool = False, compact: bool = False, charset: str | None = None,
           eci: int | None = None, macro: Macro | None = None,
           compaction: str = "auto") -> Symbol: ...

def explain(data: str | bytes | bytearray, **options: object) -> dict | list[dict]: ...

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
                  checksum: bool = False) -> list[Symbol]: ...

def encode_many(items: Sequence[str | bytes | bytearray], format: str = "png", threads: int = 0,
                *, level: int | None = None, columns: int = 0, rows: int = 0,
                aspect: float = 0.0, module_width: int = 2, row_height: int = 4,
                quiet_zone: int = 10, bar: _Colour = (0, 0, 0),
                space: _Colour = (255, 255, 255), dpi: int = 0, fill_level: bool = False,
                compact: bool = False, charset: str | None = None,
                eci: int | None = None) -> list[bytes] | list[str]:
    """Every item encoded and written as `format` (png, gif, bmp, svg, pdf, eps, zpl,
    escpos), in order: the files encode(item, ...).png(...) and the like give one by one
    (str for svg, bytes otherwise). Runs on the library's own threads, `threads` of them
    (0: one per core), with the GIL released once for the whole call.

    The first item that cannot be encoded (lowest index) raises EncodeError with
    .index set to its position and "item N: " before the message; no file is returned
    then. An item that is not str, bytes or bytearray raises TypeError naming it."""
