// SPDX-License-Identifier: MIT
#pragma once
// Drawing a symbol: the file formats, how a symbol is drawn, and the files
// and pictures in memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/symbol.hpp"

namespace barquill {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The desktop symbol's look, which every front end starts from: modules of
// 2 x 4 pixels inside a 10-pixel quiet zone, black on white.
inline constexpr int defaultModuleWidth = 2;
inline constexpr int defaultRowHeight = 4;
inline constexpr int defaultQuietZone = 10;
inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};

// Bounds that keep every picture within what the writers can store (a GIF
// side is at most 65535 pixels) and within a few hundred megabytes.
inline constexpr int maxModuleWidth = 64;
inline constexpr int maxRowHeight = 256;
inline constexpr int maxQuietZone = 1000;
inline constexpr int maxDpi = 10000;

// The page a PDF or EPS puts the symbol on, and where: the symbol's top
// left corner (its quiet zone's) from the page's top left, in millimetres.
struct Page {
    double widthMm = 0;
    double heightMm = 0;
    double xMm = 0;
    double yMm = 0;
    friend bool operator==(const Page&, const Page&) = default;
};
inline constexpr Page a4Page{210.0, 297.0};
inline constexpr Page letterPage{215.9, 279.4};

// How a symbol is drawn. Sizes are in pixels, or printer dots at `dpi`; the
// quiet zone is the background on every side.
struct Render {
    int moduleWidth = defaultModuleWidth;  // 1 to 64
    int rowHeight = defaultRowHeight;      // 1 to 256
    int quietZone = defaultQuietZone;      // 0 to 1000
    Rgb bar = black;
    Rgb space = white;
    // 0 none, else 1 to 10000: written into the file. PDF and EPS measure a
    // pixel as 1/dpi inch, and as a point (1/72 inch) without a resolution.
    int dpi = 0;
    // PDF and EPS: the page; none, the symbol's own size.
    std::optional<Page> page{};
    // ZPL and ESC/POS: the printer's own PDF417 command, which the printer
    // encodes itself, instead of the symbol's picture at its dots.
    bool printerEncodes = false;
};

// A colour's grey, 0 black to 255 white (weights 0.299, 0.587 and 0.114,
// rounded): what grey pictures hold and what the reader sees.
BARQUILL_API std::uint8_t greyLevel(Rgb colour);

// The contrast ratio of two colours, 1 (none) to 21 (black on white),
// whichever is lighter: relative luminance of sRGB as the Web Content
// Accessibility Guidelines define it, the measure of the contrast warning.
BARQUILL_API double contrastRatio(Rgb a, Rgb b);

enum class Format : int {
    bmp = 0,
    gif = 1,
    png = 2,
    svg = 3,
    pdf = 4,
    eps = 5,
    zpl = 6,
    escpos = 7
};

// What a front end shows of a format: its name as an option takes it, its
// file extension, media type and a caption for file dialogs.
struct FormatInfo {
    Format format;
    std::string_view name;       // "png"
    std::string_view extension;  // ".png"
    std::string_view mediaType;  // "image/png"
    std::string_view caption;    // "PNG image"
    bool printer = false;        // commands for a printer, not a picture
};

// Every format, in the order front ends offer them.
BARQUILL_API std::span<const FormatInfo> formats();
BARQUILL_API const FormatInfo& formatInfo(Format format);
// "png", "GIF", ... as an option takes a format; nothing for another name.
BARQUILL_API std::optional<Format> parseFormat(std::string_view name);

// The format a file name asks for: its extension (.png, .gif, .svg, .pdf,
// .eps, .zpl, .escpos in any letter case); every other name is BMP, as the
// original application decided.
BARQUILL_API Format formatFromName(std::string_view path);
// The format of a name's extension, or nothing when it names none of ours.
BARQUILL_API std::optional<Format> knownFormatOfName(std::string_view path);

using Bytes = std::vector<std::uint8_t>;

BARQUILL_API Result<Bytes> toPng(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<Bytes> toGif(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<Bytes> toBmp(const Symbol& symbol, const Render& render = {});
BARQUILL_API Result<std::string> toSvg(const Symbol& symbol, const Render& render = {});

// Every symbol of a series in one SVG drawing, one below the other with
// `gap` pixels (0 to maxQuietZone) of the space colour between them, for a
// series copied or placed whole.
BARQUILL_API Result<std::string> seriesToSvg(std::span<const Symbol> symbols,
                                             const Render& render = {}, int gap = 0);

// The file in any format; SVG, EPS and ZPL as their bytes of text.
BARQUILL_API Result<Bytes> render(const Symbol& symbol, Format format, const Render& render = {});

// The picture's size in pixels, quiet zone included.
struct PictureSize {
    long width = 0;
    long height = 0;
};
BARQUILL_API PictureSize pictureSize(const Symbol& symbol, const Render& render = {});

// A picture in memory for hosts that show or process pixels (Qt, OpenCV,
// PIL) without a file in between. Rows top first, `stride` bytes apart.
enum class PixelFormat : int {
    grey8 = 0,  // a byte per pixel: the grey level of the bar or space colour
    mono1 = 1,  // a bit per pixel, most significant first: 1 a bar
};

struct Image {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    PixelFormat format = PixelFormat::grey8;
    Rgb bar = black;  // the colours the bits stand for
    Rgb space = white;
    Bytes pixels;
};

BARQUILL_API Result<Image> toImage(const Symbol& symbol, const Render& render = {},
                                   PixelFormat format = PixelFormat::grey8);

}  // namespace barquill
