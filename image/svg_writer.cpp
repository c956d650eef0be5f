// SPDX-License-Identifier: MIT
#include "image/svg_writer.h"

#include <charconv>
#include <cstdio>

#include "base/units.h"

namespace barquill::image {

namespace {

void appendNumber(std::string& out, long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A length in mm with at most four decimals, trailing zeros dropped, and a
// decimal point whatever the program's locale: SVG knows no other.
void appendMillimetres(std::string& out, long pixels, int dpi) {
    char text[48];
    const double millimetres = units::mmFromDots(static_cast<double>(pixels), dpi);
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, millimetres, std::chars_format::fixed, 4);
    std::size_t length = error == std::errc() ? static_cast<std::size_t>(end - text) : 0;
    while (length > 0 && text[length - 1] == '0') --length;
    if (length > 0 && text[length - 1] == '.') --length;
    out.append(text, length);
    out += "mm";
}

void appendColour(std::string& out, std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    out += text;
}

void appendHeader(std::string& out, const SvgSymbol& symbol, long width, long height) {
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    if (symbol.dpi > 0)
        appendMillimetres(out, width, symbol.dpi);
    else
        appendNumber(out, width);
    out += "\" height=\"";
    if (symbol.dpi > 0)
        appendMillimetres(out, height, symbol.dpi);
    else
        appendNumber(out, height);
    out += "\" viewBox=\"0 0 ";
    appendNumber(out, width);
    out += ' ';
    appendNumber(out, height);
    out += "\" shape-rendering=\"crispEdges\">\n";
}

void appendBackground(std::string& out, const SvgSymbol& symbol, long width, long height) {
    out += "<rect width=\"";
    appendNumber(out, width);
    out += "\" height=\"";
    appendNumber(out, height);
    out += "\" fill=\"";
    appendColour(out, symbol.spaceColor);
    out += "\"/>\n";
}

// One closed rectangle "M x y h w v h h -w z" per horizontal run of bars.
void appendBars(std::string& out, const SvgSymbol& symbol) {
    out += "<path fill=\"";
    appendColour(out, symbol.barColor);
    out += "\" d=\"";
    long y = symbol.margin;
    for (std::string_view row : symbol.rows) {
        for (std::size_t start = row.find('1'); start != std::string_view::npos;) {
            std::size_t end = row.find('0', start);
            if (end == std::string_view::npos) end = row.size();
            const long runWidth = static_cast<long>(end - start) * symbol.moduleWidth;
            out += 'M';
            appendNumber(out, symbol.margin + static_cast<long>(start) * symbol.moduleWidth);
            out += ' ';
            appendNumber(out, y);
            out += 'h';
            appendNumber(out, runWidth);
            out += 'v';
            appendNumber(out, symbol.rowHeight);
            out += "h-";
            appendNumber(out, runWidth);
            out += 'z';
            start = row.find('1', end);
        }
        out += '\n';
        y += symbol.rowHeight;
    }
    out += "\"/>\n";
}

}  // namespace

std::string EncodeSvg(const SvgSymbol& symbol) {
    const long modules = symbol.rows.empty() ? 0 : static_cast<long>(symbol.rows.front().size());
    const long width = 2L * symbol.margin + modules * symbol.moduleWidth;
    const long height =
        2L * symbol.margin + static_cast<long>(symbol.rows.size()) * symbol.rowHeight;
    std::string out;
    out.reserve(256 + symbol.rows.size() * static_cast<std::size_t>(modules));
    appendHeader(out, symbol, width, height);
    appendBackground(out, symbol, width, height);
    appendBars(out, symbol);
    out += "</svg>\n";
    return out;
}

}  // namespace barquill::image
