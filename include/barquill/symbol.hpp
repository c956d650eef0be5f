// SPDX-License-Identifier: MIT
#pragma once
// Encoding: data and options in, a symbol (or a series of them) out.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"

namespace barquill {

inline constexpr int autoLevel = -1;
inline constexpr int noEci = -1;
inline constexpr int maxLevel = 8;
inline constexpr int maxColumns = 30;
inline constexpr int minRows = 3;
inline constexpr int maxRows = 90;
inline constexpr int maxEci = 811799;
// The codewords a symbol holds at most, its length descriptor and error
// correction among them: rows x columns may not pass it.
inline constexpr int maxCodewords = 928;
// The printed width : height asked of a symbol, either way round.
inline constexpr double maxAspect = 100.0;
inline constexpr int maxSegments = 99999;
inline constexpr int maxFileIdCodewords = 30;
inline constexpr int maxMacroText = 100;
// The encoder reads at most this many bytes into one symbol, far more than
// any holds; a series takes more.
inline constexpr std::size_t maxSymbolBytes = 6999;

// A character set name that takes the data's bytes as they are, with no
// ECI, whatever they hold.
inline constexpr std::string_view rawBytes = "none";

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

    friend bool operator==(const Macro&, const Macro&) = default;
};

// How the data is compacted into codewords: by its characters (text,
// numeric and byte runs), or all as bytes, as some schemes prescribe.
enum class Compaction : int { automatic = 0, byte = 1 };

struct ModuleProportions {
    int width = 2;
    int height = 4;
    friend bool operator==(const ModuleProportions&, const ModuleProportions&) = default;
};

// The compiler's own copies and comparisons of Options touch the
// deprecated names too; only a caller's use of them is worth a warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct Options {
    int level = autoLevel;  // error-correction level 0 to 8, or autoLevel
    int columns = 0;        // data columns 1 to 30, 0 chooses them
    int rows = 0;           // 3 to 90, 0 chooses them
    // Printed width : height wanted, 0 none; needs rows and columns automatic.
    // The module's proportions, in any unit, come from moduleProportions.
    double aspect = 0;
    // The old names of moduleProportions' width and height, kept until the
    // next major version: set (not 0), they are taken instead.
    [[deprecated("use moduleProportions.width")]] int moduleWidth = 0;
    [[deprecated("use moduleProportions.height")]] int rowHeight = 0;
    bool fillLevel = false;  // raise the level to fill a fixed shape
    bool compact = false;    // compact symbol: narrower, without right indicator
    // A character set name such as "ISO-8859-2": text is converted from
    // UTF-8 into it, bytes are taken to be in it; its ECI is written.
    // Empty: text that is valid UTF-8 but not ASCII goes with ECI 26;
    // other text (ASCII, or bytes that are not UTF-8) and bytes go as
    // they are. rawBytes ("none"): text too goes as its bytes, without ECI.
    std::string charset{};
    int eci = noEci;  // an ECI designator 0 to 811799 given by number
    std::optional<Macro> macro{};
    Compaction compaction = Compaction::automatic;
    // A module's printed width : height, in any unit, for the aspect ratio.
    ModuleProportions moduleProportions{};
};
#pragma GCC diagnostic pop

// A built symbol: `rows` rows of `width` modules, row after row, 1 a bar,
// and what it holds. Only the library makes symbols, so every one is whole.
class BARQUILL_API Symbol {
public:
    Symbol() = default;

    int rows() const { return rows_; }
    int columns() const { return columns_; }              // data columns
    int width() const { return width_; }                  // modules per row, indicators included
    int level() const { return level_; }                  // the error-correction level used
    int dataCodewords() const { return dataCodewords_; }  // used by the data
    // Data codewords the symbol could hold: its codewords less the length
    // descriptor and the error correction.
    int capacity() const { return capacity_; }
    int errorCorrectionCodewords() const { return 2 << level_; }
    bool compact() const { return compact_; }
    bool bar(int row, int module) const {
        return modules_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(module)] != 0;
    }
    std::span<const std::uint8_t> modules() const { return modules_; }

    // What a reader gets back: the bytes after any conversion, the ECI
    // designator in front of them, and in a series the control block.
    std::span<const std::uint8_t> data() const { return data_; }
    int eci() const { return eci_; }
    const std::optional<Macro>& macro() const { return macro_; }

    friend bool operator==(const Symbol&, const Symbol&) = default;

private:
    friend struct SymbolMaker;
    int rows_ = 0;
    int columns_ = 0;
    int width_ = 0;
    int level_ = 0;
    int dataCodewords_ = 0;
    int capacity_ = 0;
    bool compact_ = false;
    std::vector<std::uint8_t> modules_;
    std::vector<std::uint8_t> data_;
    int eci_ = noEci;
    std::optional<Macro> macro_;
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

// A symbol's shape in data columns and rows.
struct Shape {
    int columns = 0;
    int rows = 0;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// True for a shape a symbol can have: 1 to maxColumns columns, minRows to
// maxRows rows, and rows x columns within maxCodewords.
BARQUILL_API bool isSymbolShape(Shape shape);

// The advice of a shape refusal (shapeDoesNotFit): the columns the data
// needs at the rows tried, then the rows it needs at the columns tried
// (when columns were given), each only when it is a symbol shape. Every
// front end words these; none decides them.
BARQUILL_API std::vector<Shape> fittingShapes(const ShapeNumbers& refused);

// Whether a lower level than the refused one could hold the data in the
// shape tried: false when the data alone, with level 0's error correction,
// passes what one symbol (or the given rows or columns) holds. Only a
// series or less data helps then.
BARQUILL_API bool lowerLevelFits(const ShapeNumbers& refused);

}  // namespace barquill
