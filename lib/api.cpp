// The C++ interface over the encoder and the raster library. Options are
// checked here, before the encoder sees them, so that every refusal names
// the option; the encoder's own statuses become error codes, never texts.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "barquill/barquill.hpp"
#include "encoder/charset.h"
#include "encoder/macro_series.h"
#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"
#include "image/picture.h"
#include "image/replace_file.h"
#include "raster/output_format.h"
#include "raster/symbol_picture.h"

namespace barquill {

namespace {

Error rangeError(ErrorCode code, const char* field, long value, long minimum, long maximum) {
    Error error;
    error.code = code;
    error.field = field;
    error.value = value;
    error.minimum = minimum;
    error.maximum = maximum;
    error.message = std::string(field) + " " + std::to_string(value) + " is out of range " +
                    std::to_string(minimum) + " to " + std::to_string(maximum);
    return error;
}

std::optional<Error> checkOptions(const Options& options) {
    if (options.level < autoLevel || options.level > 8)
        return rangeError(ErrorCode::invalidOption, "level", options.level, autoLevel, 8);
    if (options.columns < 0 || options.columns > encoder::MAX_COLUMNS)
        return rangeError(ErrorCode::invalidOption, "columns", options.columns, 0,
                          encoder::MAX_COLUMNS);
    return std::nullopt;
}

std::optional<Error> checkRender(const Render& render) {
    struct Bound {
        const char* field;
        int value;
        int minimum;
        int maximum;
    };
    const Bound bounds[] = {
        {"moduleWidth", render.moduleWidth, 1, raster::MAX_MODULE_WIDTH},
        {"rowHeight", render.rowHeight, 1, raster::MAX_ROW_HEIGHT},
        {"quietZone", render.quietZone, 0, raster::MAX_MARGIN},
        {"dpi", render.dpi, 0, raster::MAX_DPI},
    };
    for (const Bound& b : bounds)
        if (b.value < b.minimum || b.value > b.maximum)
            return rangeError(ErrorCode::invalidRender, b.field, b.value, b.minimum, b.maximum);
    return std::nullopt;
}

std::uint32_t colorRef(Rgb c) {
    return static_cast<std::uint32_t>(c.red) | static_cast<std::uint32_t>(c.green) << 8 |
           static_cast<std::uint32_t>(c.blue) << 16;
}

raster::DrawOptions drawOptions(const Render& render) {
    raster::DrawOptions options;
    options.geometry.moduleWidth = render.moduleWidth;
    options.geometry.rowHeight = render.rowHeight;
    options.geometry.dpi = render.dpi;
    options.margin = render.quietZone;
    options.barColor = colorRef(render.bar);
    options.spaceColor = colorRef(render.space);
    return options;
}

raster::ModuleMatrix moduleMatrix(const Symbol& symbol) {
    return {symbol.modules().data(), static_cast<std::size_t>(symbol.width()), symbol.rows(),
            symbol.width(), 1};
}

Result<Bytes> rasterFile(const Symbol& symbol, const Render& render, std::uint32_t type) {
    if (auto error = checkRender(render)) return *error;
    image::Picture picture;
    std::uint8_t* encoded = nullptr;
    std::int32_t size = 0;
    if (!raster::drawSymbol(moduleMatrix(symbol), drawOptions(render), &picture) ||
        !picture.Encode(encoded, size, type)) {
        Error error;
        error.code = ErrorCode::renderFailed;
        error.message = std::string("cannot make the picture: ") + picture.GetLastError();
        return error;
    }
    Bytes bytes(encoded, encoded + size);
    image::Picture::FreeMemory(encoded);
    return bytes;
}

Error optionError(const char* field, std::string message) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = field;
    error.message = std::move(message);
    return error;
}

Error unknownCharset(const std::string& name) {
    std::string known;
    for (const encoder::Charset& c : encoder::knownCharsets())
        known += std::string(known.empty() ? "" : ", ") + c.name;
    return optionError("charset", "charset " + name + " is unknown; known are " + known);
}

std::optional<Error> checkEci(const Options& options, const encoder::Charset& charset) {
    if (options.eci == noEci || options.eci == charset.eci) return std::nullopt;
    Error error =
        optionError("eci", "eci " + std::to_string(options.eci) + " contradicts charset " +
                               charset.name + " (ECI " + std::to_string(charset.eci) + ")");
    error.value = options.eci;
    error.minimum = error.maximum = charset.eci;
    return error;
}

Error conversionError(const encoder::Conversion& converted, const encoder::Charset& charset) {
    Error error;
    error.code = ErrorCode::invalidText;
    error.field = "charset";
    error.value = static_cast<long>(converted.position);
    switch (converted.error) {
        case encoder::ConversionError::InvalidUtf8:
            error.message = "the text is not UTF-8: byte " + std::to_string(converted.position);
            break;
        case encoder::ConversionError::NotRepresentable:
            error.message = "character " + std::to_string(converted.position) + " (" +
                            converted.character + ") has no form in charset " + charset.name;
            break;
        default:
            error.message = std::string("this system cannot convert into ") + charset.name;
            break;
    }
    return error;
}

bool printableAscii(const std::string& text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// The field the encoder refused, named as the caller wrote it.
Error refusedOption(const encoder::SymbolOption option, const Options& options) {
    const Macro empty;
    const Macro& macro = options.macro ? *options.macro : empty;
    struct Field {
        const char* name;
        long value;
        long minimum;
        long maximum;
    };
    Field field{"options", 0, 0, 0};
    switch (option) {
        case encoder::SymbolOption::Rows:
            field = {"rows", options.rows, encoder::MIN_ROWS, encoder::MAX_ROWS};
            break;
        case encoder::SymbolOption::Aspect:
            field = {"aspect", static_cast<long>(options.aspect), 0, 0};
            break;
        case encoder::SymbolOption::ModuleSize:
            field = options.moduleWidth < 1 ? Field{"moduleWidth", options.moduleWidth, 1, 0}
                                            : Field{"rowHeight", options.rowHeight, 1, 0};
            break;
        case encoder::SymbolOption::Eci:
            field = {"eci", options.eci, 0, encoder::MAX_ECI};
            break;
        case encoder::SymbolOption::SegmentIndex:
            field = {"macro.segmentIndex", macro.segmentIndex, 0, encoder::MAX_MACRO_SEGMENTS - 1};
            break;
        case encoder::SymbolOption::SegmentCount:
            field = {"macro.segmentCount", macro.segmentCount.value_or(0), 1,
                     encoder::MAX_MACRO_SEGMENTS};
            break;
        case encoder::SymbolOption::FileId:
            field = {"macro.fileId", static_cast<long>(macro.fileId.size()), 1,
                     encoder::MAX_FILE_ID_CODEWORDS};
            break;
        case encoder::SymbolOption::MacroText: {
            const std::pair<const char*, const std::string*> texts[] = {
                {"macro.fileName", &macro.fileName},
                {"macro.sender", &macro.sender},
                {"macro.addressee", &macro.addressee}};
            for (const auto& [name, text] : texts)
                if (text->size() > encoder::MAX_MACRO_TEXT || !printableAscii(*text)) {
                    field = {name, static_cast<long>(text->size()), 0,
                             static_cast<long>(encoder::MAX_MACRO_TEXT)};
                    break;
                }
            Error error = optionError(
                field.name, std::string(field.name) + " must be printable ASCII of at most " +
                                std::to_string(encoder::MAX_MACRO_TEXT) + " characters");
            error.value = field.value;
            error.maximum = field.maximum;
            return error;
        }
        case encoder::SymbolOption::MacroNumber:
            field =
                macro.timeStamp.value_or(0) < 0
                    ? Field{"macro.timeStamp", static_cast<long>(*macro.timeStamp), 0, 0}
                    : Field{"macro.fileSize", static_cast<long>(macro.fileSize.value_or(0)), 0, 0};
            break;
        case encoder::SymbolOption::None:
            break;
    }
    Error error = optionError(field.name, std::string(field.name) + " " +
                                              std::to_string(field.value) + " is out of range");
    if (field.maximum > field.minimum) {
        error.message += ' ';
        error.message += std::to_string(field.minimum);
        error.message += " to ";
        error.message += std::to_string(field.maximum);
    }
    error.value = field.value;
    error.minimum = field.minimum;
    error.maximum = field.maximum;
    return error;
}

Error shapeError(ErrorCode code, const encoder::SymbolReport& report, std::string why) {
    Error error;
    error.code = code;
    error.needed = report.needed;
    error.available = report.available;
    error.message = "the data needs " + std::to_string(report.needed) + " codewords at level " +
                    std::to_string(report.level) + ", " + std::move(why);
    return error;
}

Error buildError(const encoder::SymbolReport& report, const Options& options, std::size_t length) {
    switch (report.error) {
        case encoder::SymbolError::TooLong:
            if (report.dataCodewords < 0) {
                // Longer than the encoder reads at all: counted in bytes.
                Error error;
                error.code = ErrorCode::dataTooLong;
                error.needed = static_cast<long>(length);
                error.available = encoder::TEXT_CAPACITY - 1;
                error.message = std::to_string(length) + " bytes are more than the " +
                                std::to_string(error.available) + " a symbol can be made of";
                return error;
            }
            return shapeError(ErrorCode::dataTooLong, report,
                              "more than the " + std::to_string(report.available) +
                                  " a symbol holds: shorten it or lower the level");
        case encoder::SymbolError::ColumnsDoNotFit: {
            // What 90 rows of the columns would hold, against what is needed.
            encoder::SymbolReport atColumns = report;
            atColumns.available =
                std::min(encoder::MAX_ROWS * report.columns, encoder::MAX_SYMBOL_CODEWORDS);
            return shapeError(ErrorCode::columnsDoNotFit, atColumns,
                              "more than " + std::to_string(encoder::MAX_ROWS) + " rows of " +
                                  std::to_string(report.columns) +
                                  " columns hold: give more columns or a lower level");
        }
        case encoder::SymbolError::ShapeDoesNotFit:
            return shapeError(ErrorCode::shapeDoesNotFit, report,
                              "more than " + std::to_string(report.rows) + " rows of " +
                                  std::to_string(report.columns) + " columns hold (" +
                                  std::to_string(report.available) + ")");
        default:
            return refusedOption(report.option, options);
    }
}

// The encoder's shape options for the API's; the Macro block is added by the caller.
encoder::SymbolOptions shapeOptions(const Options& options, int eci) {
    encoder::SymbolOptions shape;
    shape.rows = options.rows;
    shape.aspect = options.aspect;
    shape.moduleWidth = options.moduleWidth;
    shape.rowHeight = options.rowHeight;
    shape.fillLevel = options.fillLevel;
    shape.eci = eci;
    return shape;
}

Result<Symbol> build(std::span<const std::uint8_t> data, const Options& options, int eci) {
    if (data.empty()) {
        Error error;
        error.code = ErrorCode::emptyData;
        error.message = "nothing to encode";
        return error;
    }
    // The job is large; one per thread, reset for each symbol.
    thread_local const auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    job->variant = options.compact ? encoder::SYMBOL_COMPACT : encoder::SYMBOL_FULL;
    job->ecLevel = options.level;
    job->columns = options.columns;
    encoder::SymbolOptions shape = shapeOptions(options, eci);
    if (options.macro) {
        const Macro& m = *options.macro;
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
        shape.macro = std::move(control);
    }
    const encoder::SymbolReport report =
        encoder::buildSymbol(job.get(), data.data(), data.size(), shape);
    if (!report.ok()) return buildError(report, options, data.size());

    std::vector<std::uint8_t> modules(static_cast<std::size_t>(job->rows) *
                                      static_cast<std::size_t>(job->width));
    auto out = modules.begin();
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module)
            *out++ = job->rowBits[row][module] == '1';
    const int capacity = std::min(job->rows * job->columns, encoder::MAX_SYMBOL_CODEWORDS) -
                         report.errorCorrectionCodewords - 1;
    return Symbol(job->rows, job->columns, job->width, job->ecLevel, report.dataCodewords, capacity,
                  job->variant == encoder::SYMBOL_COMPACT, std::move(modules));
}

// The data as the encoder takes it, and its ECI: text converted into its
// character set, bytes as they are.
struct Prepared {
    std::span<const std::uint8_t> data;
    std::string converted;  // owns the bytes when the text was converted
    bool owned = false;
    int eci = noEci;

    std::span<const std::uint8_t> bytes() const {
        return owned ? std::span(reinterpret_cast<const std::uint8_t*>(converted.data()),
                                 converted.size())
                     : data;
    }
};

Result<Prepared> prepareBytes(std::span<const std::uint8_t> data, const Options& options) {
    if (auto error = checkOptions(options)) return *error;
    Prepared prepared{data, {}, false, options.eci};
    if (!options.charset.empty()) {
        const auto charset = encoder::findCharset(options.charset);
        if (!charset) return unknownCharset(options.charset);
        if (auto error = checkEci(options, *charset)) return *error;
        prepared.eci = charset->eci;
    }
    return prepared;
}

Result<Prepared> prepareText(std::string_view text, const Options& options) {
    if (auto error = checkOptions(options)) return *error;
    // Text that is not ASCII says how to read it: UTF-8 with its ECI,
    // unless the caller names another set or an ECI of their own.
    std::string charsetName = options.charset;
    if (charsetName.empty() && options.eci == noEci &&
        encoder::defaultTextEci(text) == encoder::ECI_UTF8)
        charsetName = "UTF-8";
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (charsetName.empty()) return Prepared{bytes, {}, false, options.eci};
    const auto charset = encoder::findCharset(charsetName);
    if (!charset) return unknownCharset(charsetName);
    if (auto error = checkEci(options, *charset)) return *error;
    encoder::Conversion converted = encoder::convertText(text, *charset);
    if (!converted.ok()) return conversionError(converted, *charset);
    return Prepared{{}, std::move(converted.bytes), true, charset->eci};
}

Result<std::vector<Symbol>> buildSeries(std::span<const std::uint8_t> data, const Options& options,
                                        int eci, const Series& series) {
    if (data.empty()) {
        Error error;
        error.code = ErrorCode::emptyData;
        error.message = "nothing to encode";
        return error;
    }
    encoder::SymbolOptions shape = shapeOptions(options, eci);
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
        data.data(), data.size(), options.level, options.columns, shape, plan);
    if (!planned.report.ok()) {
        // The series' own fields are named as Series spells them.
        Options named = options;
        named.macro = Macro{.segmentIndex = 0,
                            .fileId = series.fileId,
                            .segmentCount = series.segments,
                            .fileName = series.fileName,
                            .timeStamp = series.timeStamp,
                            .sender = series.sender,
                            .addressee = series.addressee};
        Error error = buildError(planned.report, named, data.size());
        if (error.field.rfind("macro.", 0) == 0) error.field.replace(0, 6, "series.");
        if (error.field == "series.segmentCount") error.field = "series.segments";
        if (error.message.rfind("macro.", 0) == 0) error.message.replace(0, 6, "series.");
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
        one.macro = Macro{.segmentIndex = segment.control.segmentIndex,
                          .fileId = {segment.control.fileId.begin(), segment.control.fileId.end()},
                          .lastSegment = segment.control.lastSegment,
                          .segmentCount = segment.control.segmentCount,
                          .fileName = segment.control.fileName,
                          .timeStamp = segment.control.timeStamp,
                          .sender = segment.control.sender,
                          .addressee = segment.control.addressee,
                          .fileSize = segment.control.fileSize,
                          .checksum = segment.control.checksum};
        auto symbol = build(data.subspan(segment.offset, segment.length), one, eci);
        if (!symbol) return symbol.error();
        symbols.push_back(std::move(symbol).value());
    }
    return symbols;
}

}  // namespace

Symbol::Symbol(int rows, int columns, int width, int level, int dataCodewords, int capacity,
               bool compact, std::vector<std::uint8_t> modules)
    : rows_(rows),
      columns_(columns),
      width_(width),
      level_(level),
      dataCodewords_(dataCodewords),
      capacity_(capacity),
      compact_(compact),
      modules_(std::move(modules)) {}

Result<Symbol> encode(std::span<const std::uint8_t> data, const Options& options) {
    auto prepared = prepareBytes(data, options);
    if (!prepared) return prepared.error();
    return build(prepared->bytes(), options, prepared->eci);
}

Result<Symbol> encode(std::string_view text, const Options& options) {
    auto prepared = prepareText(text, options);
    if (!prepared) return prepared.error();
    return build(prepared->bytes(), options, prepared->eci);
}

Result<std::vector<Symbol>> encodeSeries(std::span<const std::uint8_t> data, const Options& options,
                                         const Series& series) {
    auto prepared = prepareBytes(data, options);
    if (!prepared) return prepared.error();
    return buildSeries(prepared->bytes(), options, prepared->eci, series);
}

Result<std::vector<Symbol>> encodeSeries(std::string_view text, const Options& options,
                                         const Series& series) {
    auto prepared = prepareText(text, options);
    if (!prepared) return prepared.error();
    return buildSeries(prepared->bytes(), options, prepared->eci, series);
}

std::uint16_t macroChecksum(std::span<const std::uint8_t> data) {
    return encoder::macroChecksum(data.data(), data.size());
}

Result<Bytes> toPng(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, image::IMAGE_FORMAT_PNG);
}

Result<Bytes> toGif(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, image::IMAGE_FORMAT_GIF);
}

Result<Bytes> toBmp(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, image::IMAGE_FORMAT_BMP);
}

Result<std::string> toSvg(const Symbol& symbol, const Render& render) {
    if (auto error = checkRender(render)) return *error;
    return raster::svgDocument(moduleMatrix(symbol), drawOptions(render));
}

Format formatFromName(std::string_view path) {
    switch (raster::formatFromName(path)) {
        case raster::OutputFormat::gif:
            return Format::gif;
        case raster::OutputFormat::png:
            return Format::png;
        case raster::OutputFormat::svg:
            return Format::svg;
        case raster::OutputFormat::bmp:
            break;
    }
    return Format::bmp;
}

Result<Bytes> render(const Symbol& symbol, Format format, const Render& render) {
    switch (format) {
        case Format::png:
            return toPng(symbol, render);
        case Format::gif:
            return toGif(symbol, render);
        case Format::svg: {
            auto svg = toSvg(symbol, render);
            if (!svg) return svg.error();
            return Bytes(svg->begin(), svg->end());
        }
        case Format::bmp:
            break;
    }
    return toBmp(symbol, render);
}

Result<Format> save(const Symbol& symbol, const std::string& path, const Render& render) {
    const Format format = formatFromName(path);
    auto bytes = barquill::render(symbol, format, render);
    if (!bytes) return bytes.error();
    // Labels come by the thousand: like the command line, no sync per file.
    errno = 0;
    const auto write = [&](std::FILE* stream) {
        return std::fwrite(bytes->data(), 1, bytes->size(), stream) == bytes->size();
    };
    if (image::ReplaceFile(path.c_str(), write, false) == image::ReplaceFailure::None)
        return format;
    Error error;
    error.code = ErrorCode::writeFailed;
    error.value = errno != 0 ? errno : EIO;
    error.message = "cannot write " + path + ": " + std::strerror(static_cast<int>(error.value));
    return error;
}

const char* version() {
    return BARQUILL_VERSION_STRING;
}

}  // namespace barquill
