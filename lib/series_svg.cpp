// SPDX-License-Identifier: MIT
// A series in one SVG drawing: each symbol's own drawing nested at its
// place on a sheet of the space colour.

#include <algorithm>
#include <charconv>

#include "barquill/print_size.hpp"
#include "barquill/render.hpp"
#include "lib/internal.h"

namespace barquill {

namespace {

std::string number(long value) {
    return std::to_string(value);
}

// A length in mm with at most four decimals, trailing zeros dropped.
std::string millimetres(long dots, int dpi) {
    std::string text = decimalText(dotsToMm(dots, dpi), 4);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text + "mm";
}

std::string hexColour(Rgb colour) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
        text += digits[channel >> 4];
        text += digits[channel & 0x0F];
    }
    return text;
}

}  // namespace

Result<std::string> seriesToSvg(std::span<const Symbol> symbols, const Render& render, int gap) {
    if (auto error = checkRender(render)) return *error;
    if (gap < 0 || gap > maxQuietZone)
        return rangeError(ErrorCode::invalidRender, "gap", gap, 0, maxQuietZone);
    if (symbols.empty()) return makeError(ErrorCode::emptyData);
    // The nested drawings measure in pixels; the sheet alone carries the size in mm.
    Render pixels = render;
    pixels.dpi = 0;
    std::string body;
    long width = 0;
    long y = 0;
    for (const Symbol& symbol : symbols) {
        std::string drawing = raster::svgDocument(moduleMatrix(symbol), drawOptions(pixels));
        if (drawing.starts_with("<?xml")) drawing.erase(0, drawing.find('\n') + 1);
        drawing.insert(std::string_view("<svg").size(), " x=\"0\" y=\"" + number(y) + "\"");
        body += drawing;
        const PictureSize size = pictureSize(symbol, render);
        width = std::max(width, size.width);
        y += size.height + gap;
    }
    const long height = y - gap;
    const bool inMm = render.dpi > 0;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           (inMm ? millimetres(width, render.dpi) : number(width)) + "\" height=\"" +
           (inMm ? millimetres(height, render.dpi) : number(height)) + "\" viewBox=\"0 0 " +
           number(width) + ' ' + number(height) + "\" shape-rendering=\"crispEdges\">\n";
    out += "<rect width=\"" + number(width) + "\" height=\"" + number(height) + "\" fill=\"" +
           hexColour(render.space) + "\"/>\n";
    out += body;
    out += "</svg>\n";
    return out;
}

}  // namespace barquill
