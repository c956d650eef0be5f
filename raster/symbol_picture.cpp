// SPDX-License-Identifier: MIT
#include "raster/symbol_picture.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "image/picture.h"
#include "image/svg_writer.h"

namespace barquill::raster {

namespace {

// Sets pixels [begin, end) of a 1-bit row, the left pixel in the high bit.
void setPixels(std::uint8_t* row, long begin, long end) {
    if (begin >= end) return;
    const long firstByte = begin >> 3, lastByte = (end - 1) >> 3;
    const auto head = static_cast<std::uint8_t>(0xFF >> (begin & 7));
    const auto tail = static_cast<std::uint8_t>(0xFF << (7 - ((end - 1) & 7)));
    if (firstByte == lastByte) {
        row[firstByte] |= static_cast<std::uint8_t>(head & tail);
        return;
    }
    row[firstByte] |= head;
    std::memset(row + firstByte + 1, 0xFF, static_cast<std::size_t>(lastByte - firstByte - 1));
    row[lastByte] |= tail;
}

// Packs one symbol row into `out` (zeroed, left pixel in the high bit) with
// no branch per module: bars and spaces alternate in runs of one to six
// modules, which a branch predicts badly. Modules up to 32 pixels wide.
void packRow(const ModuleMatrix& modules, int row, long margin, int moduleWidth,
             std::uint8_t* out) {
    const std::uint8_t* module = modules.data + static_cast<std::size_t>(row) * modules.stride;
    const std::uint64_t ones = (std::uint64_t{1} << moduleWidth) - 1;
    std::uint8_t* byte = out + margin / 8;
    int pending = static_cast<int>(margin % 8);  // pixels in `bits` not yet stored
    std::uint64_t bits = 0;
    // Copies: the stores through `byte` might otherwise alias them, and they
    // would be read again for every module.
    const std::uint8_t barValue = modules.bar;
    const int width = modules.width;
    int i = 0;
    if (moduleWidth <= 8) {
        // Four modules at a time: their bars as a nibble, spread by a table
        // over their 4 x moduleWidth (at most 32) pixels.
        std::uint64_t spread[16];
        for (unsigned nibble = 0; nibble < 16; ++nibble) {
            spread[nibble] = 0;
            for (int k = 3; k >= 0; --k)
                spread[nibble] =
                    (spread[nibble] << moduleWidth) | (ones & (0 - ((nibble >> k) & 1)));
        }
        const int groupWidth = 4 * moduleWidth;
        for (; i + 4 <= width; i += 4) {
            const unsigned nibble = static_cast<unsigned>(module[i] == barValue) << 3 |
                                    static_cast<unsigned>(module[i + 1] == barValue) << 2 |
                                    static_cast<unsigned>(module[i + 2] == barValue) << 1 |
                                    static_cast<unsigned>(module[i + 3] == barValue);
            bits = (bits << groupWidth) | spread[nibble];
            pending += groupWidth;
            while (pending >= 8) {
                pending -= 8;
                *byte++ = static_cast<std::uint8_t>(bits >> pending);
            }
        }
    }
    for (; i < width; ++i) {
        const std::uint64_t bar = 0 - static_cast<std::uint64_t>(module[i] == barValue);
        bits = (bits << moduleWidth) | (ones & bar);
        pending += moduleWidth;
        while (pending >= 8) {
            pending -= 8;
            *byte++ = static_cast<std::uint8_t>(bits >> pending);
        }
    }
    if (pending > 0) *byte = static_cast<std::uint8_t>(bits << (8 - pending));
}

}  // namespace

ModuleMatrix moduleMatrix(const encoder::SymbolJob& job) {
    return {reinterpret_cast<const std::uint8_t*>(job.rowBits[0]), encoder::ROW_CAPACITY, job.rows,
            job.width, static_cast<std::uint8_t>('1')};
}

PictureSize pictureSize(const ModuleMatrix& modules, const DrawOptions& options) {
    return {2L * options.margin + static_cast<long>(modules.width) * options.geometry.moduleWidth,
            2L * options.margin + static_cast<long>(modules.rows) * options.geometry.rowHeight};
}

PictureSize pictureSize(const encoder::SymbolJob& job, const DrawOptions& options) {
    return pictureSize(moduleMatrix(job), options);
}

bool drawSymbol(const ModuleMatrix& modules, const DrawOptions& options, image::Picture* picture) {
    const PictureSize size = pictureSize(modules, options);
    const auto height = static_cast<std::uint32_t>(size.height);
    if (!picture->Create(static_cast<std::uint32_t>(size.width), height, 1,
                         image::IMAGE_FORMAT_UNKNOWN))
        return false;
    picture->SetPaletteColor(0, static_cast<image::ColorRef>(options.spaceColor));
    picture->SetPaletteColor(1, static_cast<image::ColorRef>(options.barColor));
    if (options.geometry.dpi > 0) {
        picture->SetXDPI(options.geometry.dpi);
        picture->SetYDPI(options.geometry.dpi);
    }

    // Create leaves every pixel at index 0, the background; only bars are set.
    // Each symbol row is packed once (left pixel in the high bit) and copied
    // into its rowHeight stored rows, which run bottom-up.
    const std::uint32_t rowBytes = picture->GetEffWidth();
    std::vector<std::uint8_t> packed(rowBytes);
    const long moduleWidth = options.geometry.moduleWidth;
    for (int row = 0; row < modules.rows; ++row) {
        std::fill(packed.begin(), packed.end(), 0);
        if (moduleWidth <= 32) {
            packRow(modules, row, options.margin, static_cast<int>(moduleWidth), packed.data());
        } else {
            // Wide modules: each run of bars is one span of pixels, set a byte
            // at a time between its partial end bytes.
            modules.forEachBarRun(row, [&](int first, int end) {
                setPixels(packed.data(), options.margin + first * moduleWidth,
                          options.margin + end * moduleWidth);
            });
        }
        const long top = options.margin + static_cast<long>(row) * options.geometry.rowHeight;
        std::uint8_t* stored = picture->GetBits(height - 1 - static_cast<std::uint32_t>(top));
        for (long y = 0; y < options.geometry.rowHeight; ++y, stored -= rowBytes)
            std::memcpy(stored, packed.data(), rowBytes);
    }
    return true;
}

bool drawSymbol(const encoder::SymbolJob& job, const DrawOptions& options,
                image::Picture* picture) {
    return drawSymbol(moduleMatrix(job), options, picture);
}

std::string svgDocument(const ModuleMatrix& modules, const DrawOptions& options) {
    // The SVG writer reads rows of '1' and '0' characters.
    std::vector<std::string> text(static_cast<std::size_t>(modules.rows));
    image::SvgSymbol symbol;
    for (int row = 0; row < modules.rows; ++row) {
        std::string& line = text[static_cast<std::size_t>(row)];
        line.resize(static_cast<std::size_t>(modules.width));
        for (int module = 0; module < modules.width; ++module)
            line[static_cast<std::size_t>(module)] = modules.isBar(row, module) ? '1' : '0';
        symbol.rows.emplace_back(line);
    }
    symbol.moduleWidth = options.geometry.moduleWidth;
    symbol.rowHeight = options.geometry.rowHeight;
    symbol.margin = options.margin;
    symbol.barColor = options.barColor;
    symbol.spaceColor = options.spaceColor;
    symbol.dpi = options.geometry.dpi;
    return image::EncodeSvg(symbol);
}

std::string svgDocument(const encoder::SymbolJob& job, const DrawOptions& options) {
    return svgDocument(moduleMatrix(job), options);
}

}  // namespace barquill::raster
