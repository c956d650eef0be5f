// SPDX-License-Identifier: MIT
// Drawing symbols: the formats every front end offers, the files in memory
// through the image library's writers, and raw pictures for hosts.

#include "barquill/render.hpp"

#include <algorithm>
#include <array>
#include <cctype>

#include "checks/contrast.h"
#include "image/indexed_png_writer.h"
#include "image/picture.h"
#include "lib/internal.h"
#include "raster/symbol_picture.h"

namespace barquill {

static_assert(maxModuleWidth == raster::MAX_MODULE_WIDTH &&
              maxRowHeight == raster::MAX_ROW_HEIGHT && maxQuietZone == raster::MAX_MARGIN &&
              maxDpi == raster::MAX_DPI);

namespace {

constexpr std::array formatTable{
    FormatInfo{Format::png, "png", ".png", "image/png", "PNG image"},
    FormatInfo{Format::gif, "gif", ".gif", "image/gif", "GIF image"},
    FormatInfo{Format::bmp, "bmp", ".bmp", "image/bmp", "BMP image"},
    FormatInfo{Format::svg, "svg", ".svg", "image/svg+xml", "SVG drawing"},
    FormatInfo{Format::pdf, "pdf", ".pdf", "application/pdf", "PDF document"},
    FormatInfo{Format::eps, "eps", ".eps", "application/postscript", "EPS drawing"},
    FormatInfo{Format::zpl, "zpl", ".zpl", "application/vnd.zebra-zpl", "ZPL label", true},
    FormatInfo{Format::escpos, "escpos", ".escpos", "application/vnd.escpos", "ESC/POS receipt",
               true},
};

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::uint32_t colorRef(Rgb c) {
    return static_cast<std::uint32_t>(c.red) | static_cast<std::uint32_t>(c.green) << 8 |
           static_cast<std::uint32_t>(c.blue) << 16;
}

std::uint32_t imageFormat(Format format) {
    switch (format) {
        case Format::gif:
            return image::IMAGE_FORMAT_GIF;
        case Format::png:
            return image::IMAGE_FORMAT_PNG;
        default:
            return image::IMAGE_FORMAT_BMP;
    }
}

Error pictureError(const image::Picture& picture) {
    Error error = makeError(ErrorCode::renderFailed);
    error.message += ": ";
    error.message += picture.GetLastError();
    return error;
}

std::uint32_t bigEndian32(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The picture keeps the original's 96 dpi when none is set; our files
// record a resolution only when one was given, so that no program prints a
// label at a size nobody asked for. PNG: the pHYs chunk goes; BMP: the
// pixels per metre are 0, "not given".
void forgetResolution(Bytes& file, Format format) {
    if (format == Format::bmp && file.size() >= 46) {
        std::fill(file.begin() + 38, file.begin() + 46, std::uint8_t{0});
        return;
    }
    if (format != Format::png) return;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t chunk = 12 + bigEndian32(file, at);
        if (at + chunk > file.size()) return;
        if (std::equal(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                       file.begin() + static_cast<std::ptrdiff_t>(at + 8), "pHYs")) {
            file.erase(file.begin() + static_cast<std::ptrdiff_t>(at),
                       file.begin() + static_cast<std::ptrdiff_t>(at + chunk));
            return;
        }
        at += chunk;
    }
}

Result<Bytes> rasterFile(const Symbol& symbol, const Render& render, Format format) {
    if (auto error = checkRender(render)) return *error;
    image::Picture picture;
    if (!raster::drawSymbol(moduleMatrix(symbol), drawOptions(render), &picture))
        return pictureError(picture);
    return encodePicture(picture, format, render);
}

}  // namespace

Result<Bytes> encodePicture(image::Picture& picture, Format format, const Render& render) {
    if (format == Format::png) {
        // A symbol's picture is paletted and opaque: its file is made in
        // one piece, without libpng's per-file compressor.
        image::IndexedPngWriter png;
        png.Ghost(&picture);
        if (png.Fits()) {
            Bytes bytes;
            if (!png.Write(render.dpi != 0, &bytes)) return pictureError(png);
            return bytes;
        }
    }
    std::uint8_t* encoded = nullptr;
    std::int32_t size = 0;
    // Labels are written by the thousand: zlib's quickest level.
    picture.SetCodecOption(image::PNG_OPTION_FAST_COMPRESSION, image::IMAGE_FORMAT_PNG);
    if (!picture.Encode(encoded, size, imageFormat(format))) return pictureError(picture);
    Bytes bytes(encoded, encoded + size);
    image::Picture::FreeMemory(encoded);
    if (render.dpi == 0) forgetResolution(bytes, format);
    return bytes;
}

std::uint8_t greyLevel(Rgb c) {
    return checks::greyLevel({c.red, c.green, c.blue});
}

raster::ModuleMatrix moduleMatrix(const Symbol& symbol) {
    return {symbol.modules().data(), static_cast<std::size_t>(symbol.width()), symbol.rows(),
            symbol.width(), 1};
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

std::optional<Error> checkRender(const Render& render) {
    struct Bound {
        const char* field;
        int value;
        int minimum;
        int maximum;
    };
    const Bound bounds[] = {
        {"moduleWidth", render.moduleWidth, 1, maxModuleWidth},
        {"rowHeight", render.rowHeight, 1, maxRowHeight},
        {"quietZone", render.quietZone, 0, maxQuietZone},
        {"dpi", render.dpi, 0, maxDpi},
    };
    for (const Bound& b : bounds)
        if (b.value < b.minimum || b.value > b.maximum)
            return rangeError(ErrorCode::invalidRender, b.field, b.value, b.minimum, b.maximum);
    return std::nullopt;
}

std::span<const FormatInfo> formats() {
    return formatTable;
}

const FormatInfo& formatInfo(Format format) {
    for (const FormatInfo& info : formatTable)
        if (info.format == format) return info;
    return formatTable.front();
}

std::optional<Format> parseFormat(std::string_view name) {
    for (const FormatInfo& info : formatTable)
        if (sameLetters(name, info.name)) return info.format;
    return std::nullopt;
}

std::optional<Format> knownFormatOfName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return std::nullopt;
    for (const FormatInfo& info : formatTable)
        if (sameLetters(name.substr(dot), info.extension)) return info.format;
    return std::nullopt;
}

Format formatFromName(std::string_view path) {
    return knownFormatOfName(path).value_or(Format::bmp);
}

Result<Bytes> toPng(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, Format::png);
}

Result<Bytes> toGif(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, Format::gif);
}

Result<Bytes> toBmp(const Symbol& symbol, const Render& render) {
    return rasterFile(symbol, render, Format::bmp);
}

Result<std::string> toSvg(const Symbol& symbol, const Render& render) {
    if (auto error = checkRender(render)) return *error;
    return raster::svgDocument(moduleMatrix(symbol), drawOptions(render));
}

Result<Bytes> render(const Symbol& symbol, Format format, const Render& render) {
    // A number cast to Format that names none of ours is no picture at all.
    if (std::none_of(formatTable.begin(), formatTable.end(),
                     [format](const FormatInfo& info) { return info.format == format; }))
        return rangeError(ErrorCode::invalidOption, "format", static_cast<long>(format), 0,
                          static_cast<long>(formatTable.size()) - 1);
    switch (format) {
        case Format::svg: {
            auto svg = toSvg(symbol, render);
            if (!svg) return svg.error();
            return Bytes(svg->begin(), svg->end());
        }
        case Format::pdf:
        case Format::eps:
        case Format::zpl:
        case Format::escpos:
            if (auto error = checkRender(render)) return *error;
            return printFile(symbol, format, render);
        default:
            return rasterFile(symbol, render, format);
    }
}

PictureSize pictureSize(const Symbol& symbol, const Render& render) {
    const raster::PictureSize size = raster::pictureSize(moduleMatrix(symbol), drawOptions(render));
    return {size.width, size.height};
}

Result<Image> toImage(const Symbol& symbol, const Render& render, PixelFormat format) {
    if (auto error = checkRender(render)) return *error;
    image::Picture picture;
    if (!raster::drawSymbol(moduleMatrix(symbol), drawOptions(render), &picture))
        return pictureError(picture);
    Image out;
    out.width = static_cast<int>(picture.GetWidth());
    out.height = static_cast<int>(picture.GetHeight());
    out.format = format;
    out.bar = render.bar;
    out.space = render.space;
    const auto width = static_cast<std::size_t>(out.width);
    const auto height = static_cast<std::uint32_t>(out.height);
    // The picture keeps its rows bottom up, as a device-independent bitmap does.
    if (format == PixelFormat::mono1) {
        out.stride = (width + 7) / 8;
        out.pixels.resize(out.stride * height);
        for (std::uint32_t y = 0; y < height; ++y)
            std::copy_n(picture.GetBits(height - 1 - y), out.stride,
                        out.pixels.begin() + static_cast<std::ptrdiff_t>(y * out.stride));
        return out;
    }
    const std::uint8_t level[2] = {greyLevel(render.space), greyLevel(render.bar)};
    out.stride = width;
    out.pixels.resize(width * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.GetBits(height - 1 - y);
        std::uint8_t* pixel = out.pixels.data() + y * width;
        for (std::size_t x = 0; x < width; ++x)
            pixel[x] = level[(row[x >> 3] >> (7 - (x & 7))) & 1];
    }
    return out;
}

}  // namespace barquill
