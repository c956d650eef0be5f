// SPDX-License-Identifier: MIT
#pragma once
// Failures as values: a code, the option at fault and the numbers that
// explain it. Front ends word their own messages from these; `message` is a
// default English text for callers that want one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "barquill/export.h"

namespace barquill {

// The numbers are part of the interface: the C API returns the same ones.
enum class ErrorCode : int {
    ok = 0,
    emptyData = 1,            // nothing to encode
    dataTooLong = 2,          // more codewords than a symbol holds at the level
    columnsDoNotFit = 4,      // at the given columns the data needs more than 90 rows
    shapeDoesNotFit = 6,      // the given rows (and columns) cannot hold the data
    invalidText = 8,          // text that is not UTF-8 or has no form in the charset
    invalidEscape = 9,        // a backslash escape that is not \n \r \t \\ or \xHH
    invalidOption = 10,       // an encoding option is out of range; `field` names it
    invalidRender = 11,       // a rendering option is out of range; `field` names it
    conflictingOptions = 12,  // `field` cannot be given together with `other`
    missingOption = 13,       // `field` needs `other`
    labelTooSmall = 14,       // the symbol does not fit the label area at one dot per module
    seriesTooShort = 15,      // more symbols asked for than the data has bytes
    notOnPage = 16,           // the symbol placed at the page position passes its edge
    notExpressible =
        17,             // the printer's own command cannot say `field` (`value`, at most `maximum`)
    invalidField = 18,  // a profile's field `field` breaks its rule (`given`), at `value`
    profileConflict = 19,    // a setting given, `field`, breaks the profile's rule (`given`)
    renderFailed = 20,       // the picture could not be made (out of memory)
    writeFailed = 21,        // the file could not be written; `value` holds errno
    readOnly = 22,           // the file may not be written by its mode
    notVerified = 23,        // the symbol did not read back as the data
    verifyUnavailable = 24,  // symbols cannot be read back: `path` the reader module, `given` why
    outsideFolder = 25,      // a name would leave its folder
    invalidArgument = 30,    // C API: a null pointer, a structure of unknown size,
                             // or an argument out of its range
    outOfMemory = 31,        // C API
};

// How a symbol read back when it was not as asked.
enum class Mismatch : int {
    none = 0,
    notFound = 1,  // the reader found no symbol
    bytes = 2,     // other data
    eci = 3,       // another ECI designator, or one missing or extra
    macro = 4,     // other Macro PDF417 fields
    picture = 5,   // the picture does not sample back to the symbol's modules
    matrix = 6,    // the symbol's own modules hold a codeword that is not exact
};

// What a shape refusal is made of: the symbol tried and what would fit.
struct ShapeNumbers {
    int level = 0;
    int dataCodewords = 0;  // compacted data with ECI and control block
    int errorCorrectionCodewords = 0;
    int rows = 0;  // the shape tried
    int columns = 0;
    int columnsAtRows = 0;             // shapeDoesNotFit: columns the data needs at `rows`
    int rowsAtColumns = 0;             // rows the data needs at `columns`
    std::uint32_t fittingColumns = 0;  // columnsDoNotFit: bit c set when c columns fit
    // A series: the symbols asked for, or -1 for as few as hold the data;
    // 0 for one symbol.
    int segments = 0;
};

struct Error {
    ErrorCode code = ErrorCode::ok;
    std::string field;  // the option at fault, as the C++ interface names it
    long value = 0;     // the option's value as given
    long minimum = 0;   // the range it must lie in
    long maximum = 0;
    // dataTooLong, columnsDoNotFit, shapeDoesNotFit: the codewords the symbol
    // needs (length descriptor, data, error correction) and those it holds.
    // Data longer than the encoder reads at all: both count bytes.
    // invalidText, invalidEscape: `value` is the 1-based position.
    // notVerified, Mismatch::notFound: `value` and `needed` the grey (0
    // black to 255 white) of the bars and of the background, where known.
    long needed = 0;
    long available = 0;
    std::string message;  // default English text, made from the fields

    std::string given;  // the value as given, when it came as text
    std::string other;  // conflictingOptions, missingOption: the other option
    ShapeNumbers shape;
    std::string character;   // invalidText: the character, in UTF-8
    std::string suggestion;  // invalidText: a character set that holds it
    Mismatch mismatch = Mismatch::none;
    int symbol = -1;  // in a series: the 0-based symbol at fault
    int row = -1;     // notVerified: the symbol row and module at fault, where known
    int module = -1;
    std::string path;    // writeFailed, readOnly, outsideFolder: the file
    double widthMm = 0;  // labelTooSmall: the smallest label that would do
    double heightMm = 0;
};

// A fixed English text for each code, as barquill_status_text gives it.
BARQUILL_API std::string_view errorText(ErrorCode code);

// The default message again, with the field named `fieldName`: for
// front ends whose options are spelt otherwise (Python's module_width).
BARQUILL_API std::string describe(const Error& error, std::string_view fieldName);

// The success value or the error, like C++23's std::expected. A dropped
// Result is a failure nobody hears of: the compiler warns about it.
template <class T>
class [[nodiscard]] Result {
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

// Something that will not stop a symbol from being made but may stop it
// from scanning well; `id` is stable for scripts.
struct Warning {
    std::string id;
    std::string message;  // default English text: the reason, with the numbers
    std::string change;   // default English text: what to change
    double value = 0;     // the number at fault and the limit it passes
    double limit = 0;
    int symbol = -1;  // in a series: the 0-based symbol it is about
};

// Every kind of warning the library gives, each with its stable id. A front
// end words a warning by its kind, so a renamed id cannot lose its wording.
enum class WarningKind : int {
    // The scan checks (checkLabel).
    compact = 0,  // "compact"
    lowLevel,     // "low-level"
    wide,         // "wide"
    thinModule,   // "thin-module"
    lowRows,      // "low-rows"
    quietZone,    // "quiet-zone"
    contrast,     // "contrast"
    lightBars,    // "light-bars"
    noEci,        // "no-eci"
    longSeries,   // "long-series"
    // A profile's rules.
    transliterated,   // "transliterated"
    dataLooksUtf8,    // "data-looks-utf8"
    moduleTooNarrow,  // "module-too-narrow"
    moduleTooWide,    // "module-too-wide"
    rowsTooLow,       // "rows-too-low"
};

BARQUILL_API std::string_view warningId(WarningKind kind);
// The kind of a warning's id; none for an id this library does not give.
BARQUILL_API std::optional<WarningKind> warningKind(std::string_view id);

}  // namespace barquill
