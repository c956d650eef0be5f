#pragma once
// Barquill: PDF417 barcodes from C++.
//
//   auto result = barquill::encode("Hello", {.level = 5});
//   if (!result) std::cerr << result.error().message << '\n';
//   auto png = barquill::toPng(result.value(), {.moduleWidth = 3});
//
// Everything is a value: options in, a symbol or an error out. Bad input is
// never an exception; an error says what went wrong with an enum code, the
// numbers behind it and a message for people. Functions may be called from
// several threads at once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "barquill/export.h"
#include "barquill/version.h"

namespace barquill {

// The numbers are part of the interface (the C API returns the same ones).
enum class ErrorCode : int {
    ok = 0,
    emptyData = 1,        // nothing to encode
    dataTooLong = 2,      // more codewords than a symbol holds at the level
    columnsDoNotFit = 4,  // at the given columns the data needs more than 90 rows
    shapeDoesNotFit = 6,  // the given rows (and columns) cannot hold the data
    invalidText = 8,      // text that is not UTF-8 or has no form in the charset
    invalidOption = 10,   // an encoding option is out of range; `field` names it
    invalidRender = 11,   // a rendering option is out of range; `field` names it
    renderFailed = 20,    // the picture could not be made (out of memory)
    writeFailed = 21,     // the file could not be written; `value` holds errno
};

struct Error {
    ErrorCode code = ErrorCode::ok;
    std::string field;  // the option at fault, for invalidOption and invalidRender
    long value = 0;     // the option's value as given
    long minimum = 0;   // the range it must lie in
    long maximum = 0;
    // dataTooLong, columnsDoNotFit, shapeDoesNotFit: the codewords the symbol
    // needs (length descriptor, data, error correction) and those it holds.
    // Data longer than the encoder reads at all: both count bytes.
    // invalidText: `value` is the 1-based position of the character.
    long needed = 0;
    long available = 0;
    std::string message;  // one line for people, made from the fields above
};

// The success value or the error, like C++23's std::expected.
template <class T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }
    // Only when !ok().
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

inline constexpr int autoLevel = -1;

inline constexpr int noEci = -1;

// The control block that makes a symbol one segment of a Macro PDF417
// series. Unset optional fields are not written.
struct Macro {
    int segmentIndex = 0;                     // 0-based, 0 to 99998
    std::vector<int> fileId{};                // 1 to 30 codewords of 0 to 899
    bool lastSegment = false;                 // marks the series' last symbol
    std::optional<int> segmentCount{};        // 1 to 99999
    std::string fileName{};                   // printable ASCII, up to 100; empty: none
    std::optional<std::int64_t> timeStamp{};  // seconds since 1970 UTC
    std::string sender{};                     // printable ASCII, up to 100
    std::string addressee{};                  // printable ASCII, up to 100
    std::optional<std::int64_t> fileSize{};   // bytes of the whole data
    std::optional<std::uint16_t> checksum{};  // macroChecksum of the whole data
};

struct Options {
    int level = autoLevel;  // error-correction level 0 to 8, or autoLevel
    int columns = 0;        // data columns 1 to 30, 0 chooses them
    int rows = 0;           // 3 to 90, 0 chooses them
    // Printed width : height wanted, 0 none; needs rows and columns automatic.
    // The module's proportions, in any unit, come from moduleWidth : rowHeight.
    double aspect = 0;
    int moduleWidth = 2;
    int rowHeight = 4;
    bool fillLevel = false;  // raise the level to fill a fixed shape
    bool compact = false;    // compact symbol: narrower, without right indicator
    // A character set name such as "ISO-8859-2": text is converted from
    // UTF-8 into it, bytes are taken to be in it; its ECI is written.
    // Empty: text that is valid UTF-8 but not ASCII goes with ECI 26;
    // other text (ASCII, or bytes that are not UTF-8) and bytes go as
    // they are.
    std::string charset{};
    int eci = noEci;  // an ECI designator 0 to 811799 given by number
    std::optional<Macro> macro{};
};

// A built symbol: `rows` rows of `width` modules, row after row, 1 a bar.
class BARQUILL_API Symbol {
public:
    Symbol() = default;
    Symbol(int rows, int columns, int width, int level, int dataCodewords, int capacity,
           bool compact, std::vector<std::uint8_t> modules);

    int rows() const { return rows_; }
    int columns() const { return columns_; }              // data columns
    int width() const { return width_; }                  // modules per row, indicators included
    int level() const { return level_; }                  // the error-correction level used
    int dataCodewords() const { return dataCodewords_; }  // used by the data
    int capacity() const { return capacity_; }            // data codewords it could hold
    bool compact() const { return compact_; }
    bool bar(int row, int module) const {
        return modules_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(module)] != 0;
    }
    std::span<const std::uint8_t> modules() const { return modules_; }

    friend bool operator==(const Symbol&, const Symbol&) = default;

private:
    int rows_ = 0;
    int columns_ = 0;
    int width_ = 0;
    int level_ = 0;
    int dataCodewords_ = 0;
    int capacity_ = 0;
    bool compact_ = false;
    std::vector<std::uint8_t> modules_;
};

// Bytes are encoded as they are; text is taken as UTF-8 (see charset).
BARQUILL_API Result<Symbol> encode(std::span<const std::uint8_t> data, const Options& options = {});
BARQUILL_API Result<Symbol> encode(std::string_view text, const Options& options = {});

// A whole Macro PDF417 series: the data split over numbered symbols of one
// size, which a reader puts back together. Unset fields are not written.
struct Series {
    int segments = 0;           // 0: as few as hold the data; else 1 to 99999
    std::vector<int> fileId{};  // empty: derived from the data
    std::string fileName{};     // printable ASCII, up to 100
    std::string sender{};
    std::string addressee{};
    std::optional<std::int64_t> timeStamp{};  // seconds since 1970 UTC
    bool fileSize = false;                    // write the data's size
    bool checksum = false;                    // write the data's macroChecksum
};

// The symbols of the series in order. Level, columns, rows, aspect, charset
// and ECI come from the options (applied to the whole data); options.macro
// is not used.
BARQUILL_API Result<std::vector<Symbol>> encodeSeries(std::span<const std::uint8_t> data,
                                                      const Options& options = {},
                                                      const Series& series = {});
BARQUILL_API Result<std::vector<Symbol>> encodeSeries(std::string_view text,
                                                      const Options& options = {},
                                                      const Series& series = {});

// The Macro checksum field's value for the whole data (CRC-16 CCITT).
BARQUILL_API std::uint16_t macroChecksum(std::span<const std::uint8_t> data);

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// How a symbol is drawn. Sizes are in pixels; the quiet zone is the
// background on every side.
struct Render {
    int moduleWidth = 2;  // 1 to 64
    int rowHeight = 4;    // 1 to 256
    int quietZone = 10;   // 0 to 1000
    Rgb bar{0, 0, 0};
    Rgb space{255, 255, 255};
    int dpi = 0;  // 0 none, else 1 to 10000: written into the file
};

using Bytes = std::vector<std::uint8_t>;

BARQUILL_API Result<Bytes> toPng(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<Bytes> toGif(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<Bytes> toBmp(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<std::string> toSvg(const Symbol& symbol, const Render& render = {});

enum class Format : int { bmp = 0, gif = 1, png = 2, svg = 3 };

// The format a file name asks for: its extension (.png, .gif, .svg in any
// letter case); every other name is BMP, as the command line and the
// desktop application decide.
BARQUILL_API Format formatFromName(std::string_view path);

// The file in any format; SVG as its UTF-8 bytes.
BARQUILL_API Result<Bytes> render(const Symbol& symbol, Format format, const Render& render = {});

// Writes the file in the format its name asks for (formatFromName). An
// existing file is replaced only by a complete new one: on failure it stays
// as it was.
BARQUILL_API Result<Format> save(const Symbol& symbol, const std::string& path,
                                 const Render& render = {});

// The library's version, such as "1.0.0".
BARQUILL_API const char* version();

}  // namespace barquill
