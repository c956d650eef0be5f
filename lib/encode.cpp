// SPDX-License-Identifier: MIT
// Encoding: options are checked here, before the encoder sees them, so that
// every refusal names the option; the encoder's own statuses become error
// codes with their numbers, never texts.

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "barquill/symbol.hpp"
#include "barquill/text.hpp"
#include "encoder/charset.h"
#include "encoder/macro_series.h"
#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"
#include "lib/internal.h"
#include "lib/option_rules.h"

namespace barquill {

static_assert(maxColumns == encoder::MAX_COLUMNS && maxRows == encoder::MAX_ROWS &&
              minRows == encoder::MIN_ROWS && maxEci == encoder::MAX_ECI &&
              maxSegments == encoder::MAX_MACRO_SEGMENTS &&
              maxFileIdCodewords == encoder::MAX_FILE_ID_CODEWORDS &&
              maxMacroText == static_cast<int>(encoder::MAX_MACRO_TEXT) &&
              maxSymbolBytes == encoder::TEXT_CAPACITY - 1);
static_assert(maxCodewords == encoder::MAX_SYMBOL_CODEWORDS);

Symbol SymbolMaker::make(int rows, int columns, int width, int level, int dataCodewords,
                         int capacity, bool compact, std::vector<std::uint8_t> modules,
                         std::span<const std::uint8_t> data, int eci, std::optional<Macro> macro) {
    Symbol symbol;
    symbol.rows_ = rows;
    symbol.columns_ = columns;
    symbol.width_ = width;
    symbol.level_ = level;
    symbol.dataCodewords_ = dataCodewords;
    symbol.capacity_ = capacity;
    symbol.compact_ = compact;
    symbol.modules_ = std::move(modules);
    symbol.data_.assign(data.begin(), data.end());
    symbol.eci_ = eci;
    symbol.macro_ = std::move(macro);
    return symbol;
}

encoder::MacroControl macroControl(const Macro& m) {
    encoder::MacroControl control;
    control.segmentIndex = m.segmentIndex;
    control.fileId.assign(m.fileId.begin(), m.fileId.end());
    control.lastSegment = m.lastSegment;
    control.segmentCount = m.segmentCount;
    control.fileName = m.fileName;
    control.timeStamp = m.timeStamp;
    control.sender = m.sender;
    control.addressee = m.addressee;
    control.fileSize = m.fileSize;
    control.checksum = m.checksum;
    return control;
}

namespace {

Error optionError(const char* field, long value, long minimum, long maximum) {
    return rangeError(ErrorCode::invalidOption, field, value, minimum, maximum);
}

std::optional<Error> checkMacro(const Macro& macro) {
    if (macro.segmentIndex < 0 || macro.segmentIndex >= maxSegments)
        return optionError("macro.segmentIndex", macro.segmentIndex, 0, maxSegments - 1);
    if (macro.segmentCount && (*macro.segmentCount < 1 || *macro.segmentCount > maxSegments ||
                               macro.segmentIndex >= *macro.segmentCount))
        return optionError("macro.segmentCount", *macro.segmentCount, macro.segmentIndex + 1,
                           maxSegments);
    if (auto error = checkFileId("macro.fileId", macro.fileId, true)) return error;
    for (const auto& [field, text] :
         {std::pair{"macro.fileName", &macro.fileName}, std::pair{"macro.sender", &macro.sender},
          std::pair{"macro.addressee", &macro.addressee}})
        if (auto error = checkMacroText(field, *text)) return error;
    if (macro.timeStamp && *macro.timeStamp < 0)
        return optionError("macro.timeStamp", static_cast<long>(*macro.timeStamp), 0, 0);
    if (macro.fileSize && *macro.fileSize < 0)
        return optionError("macro.fileSize", static_cast<long>(*macro.fileSize), 0, 0);
    return std::nullopt;
}

std::optional<Error> checkOptions(const Options& options) {
    if (options.level < autoLevel || options.level > maxLevel)
        return optionError("level", options.level, autoLevel, maxLevel);
    if (options.columns < 0 || options.columns > maxColumns)
        return optionError("columns", options.columns, 0, maxColumns);
    if (options.rows != 0 && (options.rows < minRows || options.rows > maxRows))
        return optionError("rows", options.rows, minRows, maxRows);
    if (auto error = checkAspectRange(options.aspect)) return error;
    if (auto error = checkAspectAlone(options)) return error;
    const ModuleProportions module = proportionsOf(options);
    if (module.width < 1 || module.width > maxModuleWidth)
        return optionError("moduleProportions.width", module.width, 1, maxModuleWidth);
    if (module.height < 1 || module.height > maxRowHeight)
        return optionError("moduleProportions.height", module.height, 1, maxRowHeight);
    if (options.eci != noEci && (options.eci < 0 || options.eci > maxEci))
        return optionError("eci", options.eci, 0, maxEci);
    if (options.macro) return checkMacro(*options.macro);
    return std::nullopt;
}

std::optional<Error> checkSeries(const Series& series) {
    if (auto error = checkSegments(series.segments)) return error;
    if (auto error = checkFileId("series.fileId", series.fileId, false)) return error;
    for (const auto& [field, text] : {std::pair{"series.fileName", &series.fileName},
                                      std::pair{"series.sender", &series.sender},
                                      std::pair{"series.addressee", &series.addressee}})
        if (auto error = checkMacroText(field, *text)) return error;
    if (series.timeStamp && *series.timeStamp < 0)
        return optionError("series.timeStamp", static_cast<long>(*series.timeStamp), 0, 0);
    return std::nullopt;
}

Error unknownCharset(const std::string& name) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "charset";
    error.given = name;
    finishMessage(error);
    error.message = "charset " + name + " is unknown; known are ";
    for (const CharsetInfo& c : charsets()) {
        if (&c != &charsets().front()) error.message += ", ";
        error.message += c.name;
    }
    return error;
}

std::optional<Error> checkEci(const Options& options, const encoder::Charset& charset) {
    if (options.eci == noEci || options.eci == charset.eci) return std::nullopt;
    Error error = optionError("eci", options.eci, charset.eci, charset.eci);
    error.other =
        std::string("charset ") + charset.name + " (ECI " + std::to_string(charset.eci) + ")";
    finishMessage(error);
    return error;
}

// A set worth suggesting when a character has no form in the one asked for:
// the common Latin ones first, then every other in ECI order.
std::string otherCharsetFor(const std::string& character, const encoder::Charset& refused) {
    std::vector<std::string> order{"ISO-8859-15", "Windows-1252", "ISO-8859-1", "ISO-8859-2",
                                   "Windows-1250"};
    for (const encoder::Charset& set : encoder::knownCharsets()) order.push_back(set.name);
    for (const std::string& name : order) {
        const auto set = encoder::findCharset(name);
        // UTF-8 and UTF-16 hold everything: the caller suggests UTF-8 anyway.
        if (!set || set->eci == refused.eci || set->eci == encoder::ECI_UTF8 || set->eci == 25)
            continue;
        if (encoder::convertText(character, *set).ok()) return set->name;
    }
    return "";
}

Error conversionError(const encoder::Conversion& converted, const encoder::Charset& charset) {
    Error error;
    error.code = ErrorCode::invalidText;
    error.field = "charset";
    error.given = charset.name;
    if (converted.error != encoder::ConversionError::Unavailable)
        error.value = static_cast<long>(converted.position);
    if (converted.error == encoder::ConversionError::NotRepresentable) {
        error.character = converted.character;
        error.suggestion = otherCharsetFor(converted.character, charset);
    }
    finishMessage(error);
    return error;
}

// The encoder's refusal of a shape as an error with its numbers.
Error shapeError(ErrorCode code, const encoder::SymbolReport& report) {
    Error error;
    error.code = code;
    error.needed = report.needed;
    error.available = report.available;
    error.shape.level = report.level;
    error.shape.dataCodewords = report.dataCodewords;
    error.shape.errorCorrectionCodewords = report.errorCorrectionCodewords;
    error.shape.rows = report.rows;
    error.shape.columns = report.columns;
    error.shape.columnsAtRows = report.columnsAtRows;
    error.shape.rowsAtColumns = report.rowsAtColumns;
    error.shape.fittingColumns = report.fittingColumns;
    return error;
}

Error buildError(const encoder::SymbolReport& report, std::size_t length) {
    Error error;
    switch (report.error) {
        case encoder::SymbolError::TooLong:
            error = shapeError(ErrorCode::dataTooLong, report);
            if (report.dataCodewords < 0) {
                // Longer than the encoder reads at all: counted in bytes.
                error.needed = static_cast<long>(length);
                error.available = static_cast<long>(maxSymbolBytes);
            }
            break;
        case encoder::SymbolError::ColumnsDoNotFit:
            error = shapeError(ErrorCode::columnsDoNotFit, report);
            // What 90 rows of the columns would hold, against what is needed.
            error.available = std::min(maxRows * report.columns, encoder::MAX_SYMBOL_CODEWORDS);
            break;
        case encoder::SymbolError::ShapeDoesNotFit:
            error = shapeError(ErrorCode::shapeDoesNotFit, report);
            break;
        default:
            // Every option the encoder checks was checked before it ran.
            error = shapeError(ErrorCode::invalidOption, report);
            error.field = "options";
            break;
    }
    finishMessage(error);
    return error;
}

Macro macroOf(const encoder::MacroControl& control) {
    return Macro{.segmentIndex = control.segmentIndex,
                 .fileId = {control.fileId.begin(), control.fileId.end()},
                 .lastSegment = control.lastSegment,
                 .segmentCount = control.segmentCount,
                 .fileName = control.fileName,
                 .timeStamp = control.timeStamp,
                 .sender = control.sender,
                 .addressee = control.addressee,
                 .fileSize = control.fileSize,
                 .checksum = control.checksum};
}

// The encoder's shape options for the API's; the Macro block is added by the caller.
encoder::SymbolOptions shapeOptions(const Options& options, int eci) {
    encoder::SymbolOptions shape;
    shape.rows = options.rows;
    shape.aspect = options.aspect;
    shape.moduleWidth = proportionsOf(options).width;
    shape.rowHeight = proportionsOf(options).height;
    shape.fillLevel = options.fillLevel;
    shape.eci = eci;
    shape.compaction = options.compaction == Compaction::byte ? encoder::Compaction::Byte
                                                              : encoder::Compaction::Automatic;
    return shape;
}

Result<Symbol> build(std::span<const std::uint8_t> data, const Options& options, int eci) {
    if (data.empty()) return makeError(ErrorCode::emptyData);
    // The job is large; one per thread, reset for each symbol. Only the rows
    // a build reports are read, so the row slots are never cleared.
    thread_local const auto job = std::make_unique_for_overwrite<encoder::SymbolJob>();
    encoder::resetSymbolJob(job.get());
    job->variant = options.compact ? encoder::SYMBOL_COMPACT : encoder::SYMBOL_FULL;
    job->ecLevel = options.level;
    job->columns = options.columns;
    encoder::SymbolOptions shape = shapeOptions(options, eci);
    if (options.macro) shape.macro = macroControl(*options.macro);
    const encoder::SymbolReport report =
        encoder::buildSymbol(job.get(), data.data(), data.size(), shape);
    if (!report.ok()) return buildError(report, data.size());

    std::vector<std::uint8_t> modules(static_cast<std::size_t>(job->rows) *
                                      static_cast<std::size_t>(job->width));
    auto out = modules.begin();
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module)
            *out++ = job->rowBits[row][module] == '1';
    const int capacity = std::min(job->rows * job->columns, encoder::MAX_SYMBOL_CODEWORDS) -
                         report.errorCorrectionCodewords - 1;
    return SymbolMaker::make(
        job->rows, job->columns, job->width, job->ecLevel, report.dataCodewords, capacity,
        job->variant == encoder::SYMBOL_COMPACT, std::move(modules), data, eci, options.macro);
}

// The data as the encoder takes it, and its ECI: text converted into its
// character set, bytes as they are.
struct Prepared {
    std::string bytes;
    int eci = noEci;
};

Result<Prepared> prepare(std::span<const std::uint8_t> data, bool isText, const Options& options) {
    if (auto error = checkOptions(options)) return *error;
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    if (options.charset == rawBytes) return Prepared{std::string(text), options.eci};
    // Text that is not ASCII says how to read it: UTF-8 with its ECI,
    // unless the caller names another set or an ECI of their own.
    std::string charsetName = options.charset;
    if (isText && charsetName.empty() && options.eci == noEci &&
        encoder::defaultTextEci(text) == encoder::ECI_UTF8)
        charsetName = "UTF-8";
    if (charsetName.empty()) return Prepared{std::string(text), options.eci};
    const auto charset = encoder::findCharset(charsetName);
    if (!charset) return unknownCharset(charsetName);
    if (auto error = checkEci(options, *charset)) return *error;
    if (!isText) return Prepared{std::string(text), charset->eci};
    encoder::Conversion converted = encoder::convertText(text, *charset);
    if (!converted.ok()) return conversionError(converted, *charset);
    return Prepared{std::move(converted.bytes), charset->eci};
}

// A series refusal names the series' own fields.
Error seriesError(const encoder::SymbolReport& report, const Series& series, std::size_t length) {
    if (report.error == encoder::SymbolError::InvalidOption &&
        report.option == encoder::SymbolOption::SegmentCount) {
        Error error;
        error.code = ErrorCode::seriesTooShort;
        error.field = "series.segments";
        error.value = series.segments;
        error.needed = series.segments;
        error.available = static_cast<long>(length);
        finishMessage(error);
        return error;
    }
    Error error = buildError(report, length);
    error.shape.segments = series.segments > 0 ? series.segments : -1;
    finishMessage(error);
    return error;
}

Result<std::vector<Symbol>> buildSeries(std::span<const std::uint8_t> data, const Options& options,
                                        int eci, const Series& series) {
    if (data.empty()) return makeError(ErrorCode::emptyData);
    if (auto error = checkSeries(series)) return *error;
    encoder::MacroSeriesOptions plan;
    plan.segments = series.segments;
    plan.fileId.assign(series.fileId.begin(), series.fileId.end());
    plan.fileName = series.fileName;
    plan.sender = series.sender;
    plan.addressee = series.addressee;
    plan.timeStamp = series.timeStamp;
    plan.fileSize = series.fileSize;
    plan.checksum = series.checksum;
    const encoder::MacroSeries planned = encoder::planMacroSeries(
        data.data(), data.size(), options.level, options.columns, shapeOptions(options, eci), plan);
    if (!planned.report.ok()) return seriesError(planned.report, series, data.size());
    // Cut only where characters begin, a segment may be left with nothing.
    for (const encoder::MacroSegment& segment : planned.segments)
        if (segment.length == 0) {
            Error error;
            error.code = ErrorCode::seriesTooShort;
            error.field = "series.segments";
            error.value = series.segments;
            error.needed = series.segments;
            error.available = static_cast<long>(data.size());
            finishMessage(error);
            return error;
        }
    std::vector<Symbol> symbols;
    symbols.reserve(planned.segments.size());
    for (const encoder::MacroSegment& segment : planned.segments) {
        Options one = options;
        one.level = planned.level;
        one.columns = planned.columns;
        one.rows = planned.rows;
        one.aspect = 0;
        one.fillLevel = false;
        one.macro = macroOf(segment.control);
        auto symbol = build(data.subspan(segment.offset, segment.length), one, eci);
        if (!symbol) {
            Error error = symbol.error();
            error.symbol = static_cast<int>(symbols.size());
            finishMessage(error);
            return error;
        }
        symbols.push_back(std::move(symbol).value());
    }
    return symbols;
}

}  // namespace

Result<Symbol> encode(std::span<const std::uint8_t> data, const Options& options) {
    auto prepared = prepare(data, false, options);
    if (!prepared) return prepared.error();
    return build(bytesOf(prepared->bytes), options, prepared->eci);
}

Result<Symbol> encode(std::string_view text, const Options& options) {
    auto prepared = prepare(bytesOf(text), true, options);
    if (!prepared) return prepared.error();
    return build(bytesOf(prepared->bytes), options, prepared->eci);
}

Result<std::vector<Symbol>> encodeSeries(std::span<const std::uint8_t> data, const Options& options,
                                         const Series& series) {
    Options plain = options;
    plain.macro.reset();
    auto prepared = prepare(data, false, plain);
    if (!prepared) return prepared.error();
    return buildSeries(bytesOf(prepared->bytes), plain, prepared->eci, series);
}

Result<std::vector<Symbol>> encodeSeries(std::string_view text, const Options& options,
                                         const Series& series) {
    Options plain = options;
    plain.macro.reset();
    auto prepared = prepare(bytesOf(text), true, plain);
    if (!prepared) return prepared.error();
    return buildSeries(bytesOf(prepared->bytes), plain, prepared->eci, series);
}

std::uint16_t macroChecksum(std::span<const std::uint8_t> data) {
    return encoder::macroChecksum(data.data(), data.size());
}

}  // namespace barquill
