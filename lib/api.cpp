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

#include "barquill/barquill.hpp"
#include "encoder/pdf417.h"
#include "image/picture.h"
#include "image/replace_file.h"
#include "raster/output_format.h"
#include "raster/symbol_picture.h"

namespace barquill {

namespace {

// A symbol holds at most this many codewords of data, the length
// descriptor included: the descriptor is itself a codeword value.
constexpr long DESCRIPTOR_LIMIT = 928;

long errorCorrectionCodewords(int level) {
    return 2L << level;
}

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

Error capacityError(ErrorCode code, long needed, long available, const std::string& why) {
    Error error;
    error.code = code;
    error.needed = needed;
    error.available = available;
    error.message = "the data needs " + std::to_string(needed) + " data codewords, " + why;
    return error;
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
    if (auto error = checkOptions(options)) return *error;
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
    const int built = encoder::buildSymbol(job.get(), data.data(), data.size());
    const long needed = encoder::countDataCodewords(data.data(), data.size());
    if (built == encoder::BUILD_TOO_LONG) {
        const long available = DESCRIPTOR_LIMIT - 1;
        if (needed < 0)
            return capacityError(ErrorCode::dataTooLong, static_cast<long>(data.size()), available,
                                 "counting at least one per byte, more than any symbol holds");
        return capacityError(ErrorCode::dataTooLong, needed, available,
                             "more than the " + std::to_string(available) + " a symbol holds");
    }
    if (built == encoder::BUILD_TOO_MANY_ROWS) {
        // At most 90 rows of the columns, less error correction and descriptor.
        const long available = static_cast<long>(encoder::MAX_ROWS) * job->columns -
                               errorCorrectionCodewords(job->ecLevel) - 1;
        return capacityError(ErrorCode::tooManyRows, needed, available,
                             "more than the " + std::to_string(available) + " that " +
                                 std::to_string(encoder::MAX_ROWS) + " rows of " +
                                 std::to_string(job->columns) + " columns hold at level " +
                                 std::to_string(job->ecLevel) +
                                 ": give more columns or a lower level");
    }
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(job->rows) *
                                      static_cast<std::size_t>(job->width));
    auto out = modules.begin();
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module)
            *out++ = job->rowBits[row][module] == '1';
    const long capacity =
        static_cast<long>(job->rows) * job->columns - errorCorrectionCodewords(job->ecLevel) - 1;
    return Symbol(job->rows, job->columns, job->width, job->ecLevel, static_cast<int>(needed),
                  static_cast<int>(std::min(capacity, DESCRIPTOR_LIMIT - 1)),
                  job->variant == encoder::SYMBOL_COMPACT, std::move(modules));
}

Result<Symbol> encode(std::string_view text, const Options& options) {
    return encode(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                  options);
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
