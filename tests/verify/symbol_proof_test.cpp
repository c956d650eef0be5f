// SPDX-License-Identifier: MIT
// The quick proof of a symbol: its matrix is exact and reads back, and its
// picture samples back to the matrix. Good symbols of every form pass; a
// spoiled matrix or picture is refused with the kind of fault it has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"
#include "image/picture.h"
#include "raster/symbol_picture.h"
#include "verify/verify.h"

namespace barquill::verify {
namespace {

using namespace std::string_literals;

struct Shape {
    bool compact = false;
    int columns = 0;  // 0 automatic
    int rows = 0;     // 0 automatic
    int level = -1;   // -1 automatic
};

// A built symbol with its own copy of the modules, one byte each, so that a
// test can spoil them.
struct Symbol {
    int rows = 0, width = 0;
    bool compact = false;
    std::vector<std::uint8_t> modules;
    ModuleView view() const {
        return {modules.data(), static_cast<std::size_t>(width), rows, width, 1};
    }
    std::uint8_t& at(int row, int module) {
        return modules[static_cast<std::size_t>(row * width + module)];
    }
};

Symbol build(const std::string& data, const Shape& shape = {},
             const encoder::SymbolOptions& given = {}) {
    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    if (shape.compact) job->variant = encoder::SYMBOL_COMPACT;
    job->columns = shape.columns;
    job->ecLevel = shape.level;
    encoder::SymbolOptions options = given;
    options.rows = shape.rows;
    encoder::SymbolReport report;
    const int status =
        encoder::encodeSymbolBytes(job.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   data.size(), options, &report);
    EXPECT_EQ(status, encoder::STATUS_OK) << job->message;
    Symbol symbol;
    symbol.rows = job->rows;
    symbol.width = job->width;
    symbol.compact = shape.compact;
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module)
            symbol.modules.push_back(job->rowBits[row][module] == '1' ? 1 : 0);
    return symbol;
}

Expected plain(const std::string& data) {
    return {data, NO_ECI, std::nullopt};
}

// The matrix drawn by the rasteriser the command line and the library use.
struct Drawn {
    image::Picture picture;
    Layout layout;
    PictureView view() const {
        PictureView view;
        const auto height = static_cast<std::uint32_t>(picture.GetHeight());
        view.top = picture.GetBits(height - 1);  // stored bottom-up
        view.stride = -static_cast<std::ptrdiff_t>(picture.GetEffWidth());
        view.width = static_cast<long>(picture.GetWidth());
        view.height = static_cast<long>(height);
        return view;
    }
    std::uint8_t* line(long y) {
        return picture.GetBits(static_cast<std::uint32_t>(picture.GetHeight() - 1 - y));
    }
    void setPixel(long x, long y, bool bar) {
        const auto bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        std::uint8_t& byte = line(y)[x >> 3];
        byte = static_cast<std::uint8_t>(bar ? byte | bit : byte & ~bit);
    }
};

void draw(const Symbol& symbol, const Layout& layout, Drawn* drawn) {
    raster::DrawOptions options;
    options.geometry.moduleWidth = layout.moduleWidth;
    options.geometry.rowHeight = layout.rowHeight;
    options.margin = layout.margin;
    const raster::ModuleMatrix matrix{symbol.modules.data(), static_cast<std::size_t>(symbol.width),
                                      symbol.rows, symbol.width, 1};
    ASSERT_TRUE(raster::drawSymbol(matrix, options, &drawn->picture));
    drawn->layout = layout;
}

TEST(SymbolProof, GoodSymbolsOfEveryFormVerify) {
    ASSERT_TRUE(available()) << static_cast<int>(available().state);
    const std::string text40 = "Invoice 2024-0042, total 1234.56 EUR ok";
    std::string longest;  // 900 codewords: 30 columns of 30 rows at level 6
    while (longest.size() < 1400)
        longest += "Lorem ipsum dolor sit amet " + std::to_string(longest.size());
    longest.resize(1400);
    encoder::SymbolOptions latin;
    latin.eci = 3;
    encoder::SymbolOptions series;
    encoder::MacroControl control;
    control.segmentIndex = 4;
    control.segmentCount = 7;
    control.fileId = {17, 899, 0};
    series.macro = control;
    struct Case {
        const char* what;
        std::string data;
        Shape shape;
        encoder::SymbolOptions options;
        Expected expected;
    };
    const std::vector<Case> cases = {
        {"one character", "A", {}, {}, plain("A")},
        {"20 characters", "ABCDEFGHIJ0123456789", {}, {}, plain("ABCDEFGHIJ0123456789")},
        {"40 characters", text40, {}, {}, plain(text40)},
        {"compact", text40, {true}, {}, plain(text40)},
        {"compact, three rows", "Hi", {true, 2, 3, 0}, {}, plain("Hi")},
        {"compact, one column", text40, {true, 1}, {}, plain(text40)},
        {"three rows, 30 columns", text40, {false, 30, 3}, {}, plain(text40)},
        {"one column, 90 rows", "x", {false, 1, 90}, {}, plain("x")},
        {"level 0", "level", {false, 0, 0, 0}, {}, plain("level")},
        {"level 8", "level", {false, 0, 0, 8}, {}, plain("level")},
        {"bytes and NUL", "\x00\x01\xfe\xff binary"s, {}, {}, plain("\x00\x01\xfe\xff binary"s)},
        {"ECI", "Prix: 12 \xe9", {}, latin, {"Prix: 12 \xe9", 3, std::nullopt}},
        {"Macro", text40, {}, series, {text40, NO_ECI, macroFields(4, 7, {17, 899, 0})}},
        {"largest", longest, {false, 30}, {}, plain(longest)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Symbol symbol = build(c.data, c.shape, c.options);
        const Outcome outcome = verifySymbol(symbol.view(), symbol.compact, c.expected);
        EXPECT_EQ(outcome.mismatch, Mismatch::None) << "row " << outcome.row;
        Drawn drawn;
        draw(symbol, {2, 4, 10}, &drawn);
        EXPECT_EQ(
            verifyPicture(drawn.view(), symbol.view(), drawn.layout, symbol.compact, c.expected)
                .mismatch,
            Mismatch::None);
    }
}

// Every symbol the encoder builds passes, whatever its data and shape.
TEST(SymbolProof, EveryBuiltSymbolVerifies) {
    std::mt19937 random(417);
    for (int i = 0; i < 150; ++i) {
        std::string data(std::uniform_int_distribution<std::size_t>(1, 120)(random), '\0');
        const int alphabet = std::uniform_int_distribution<int>(0, 2)(random);
        for (char& c : data)
            c = alphabet == 0   ? static_cast<char>('0' + random() % 10)
                : alphabet == 1 ? static_cast<char>(' ' + random() % 95)
                                : static_cast<char>(random() % 256);
        Shape shape;
        shape.compact = random() % 2 == 0;
        shape.columns = std::uniform_int_distribution<int>(0, 12)(random);
        shape.level = std::uniform_int_distribution<int>(-1, 5)(random);
        SCOPED_TRACE(testing::Message()
                     << "symbol " << i << ", columns " << shape.columns << ", level " << shape.level
                     << ", compact " << shape.compact);
        const Symbol symbol = build(data, shape);
        EXPECT_EQ(verifySymbol(symbol.view(), symbol.compact, plain(data)).mismatch,
                  Mismatch::None);
    }
}

// Module positions in a row of the full form.
constexpr int LEFT = 17, DATA = 34, CODEWORD = 17;

void swapPatterns(Symbol* symbol, int row, int first, int second) {
    for (int m = 0; m < CODEWORD; ++m)
        std::swap(symbol->at(row, first + m), symbol->at(row, second + m));
}

void copyPattern(Symbol* symbol, int fromRow, int from, int toRow, int to) {
    for (int m = 0; m < CODEWORD; ++m) symbol->at(toRow, to + m) = symbol->at(fromRow, from + m);
}

// Spoiled matrices: each fault is named before any reader sees the symbol.
TEST(SymbolProof, MatrixFaultsAreRefusedByKind) {
    const std::string data = "Invoice 2024-0042, total 1234.56 EUR ok";
    const Symbol good = build(data, {false, 3});
    struct Case {
        const char* what;
        void (*spoil)(Symbol*);
        Mismatch mismatch;
        int row, module;
    };
    const Case cases[] = {
        {"one module of a data codeword flipped",
         [](Symbol* s) { s->at(4, DATA + CODEWORD + 6) ^= 1; }, Mismatch::Codeword, 4,
         DATA + CODEWORD},
        {"two data codewords of a row swapped",
         [](Symbol* s) { swapPatterns(s, 4, DATA, DATA + 2 * CODEWORD); },
         Mismatch::ErrorCorrection, -1, -1},
        {"a module of the start pattern flipped", [](Symbol* s) { s->at(2, 9) ^= 1; },
         Mismatch::Guard, 2, 0},
        {"the stop pattern's last bar lost", [](Symbol* s) { s->at(5, s->width - 1) = 0; },
         Mismatch::Guard, 5, good.width - 18},
        {"a left indicator of the next row group",
         [](Symbol* s) { copyPattern(s, 3, LEFT, 0, LEFT); }, Mismatch::RowIndicator, 0, LEFT},
        {"the length descriptor of a codeword of the same cluster",
         [](Symbol* s) { copyPattern(s, 3, DATA + CODEWORD, 0, DATA); }, Mismatch::Length, 0, DATA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Symbol spoiled = good;
        c.spoil(&spoiled);
        const Outcome outcome = verifySymbol(spoiled.view(), false, plain(data));
        EXPECT_EQ(outcome.mismatch, c.mismatch);
        EXPECT_EQ(outcome.row, c.row);
        EXPECT_EQ(outcome.module, c.module);
        EXPECT_TRUE(outcome.read.bytes.empty()) << "refused before reading";
    }

    // A matrix of no PDF417 width, or read as the wrong form.
    Symbol narrow = good;
    narrow.width -= 1;
    EXPECT_EQ(verifySymbol(narrow.view(), false, plain(data)).mismatch, Mismatch::Shape);
    EXPECT_EQ(verifySymbol(good.view(), true, plain(data)).mismatch, Mismatch::Codeword);
}

// Spoiled pictures of a good matrix: 1-bit, stored bottom-up as drawn.
TEST(SymbolProof, PictureFaultsAreRefusedByKind) {
    const std::string data = "Invoice 2024-0042, total 1234.56 EUR ok";
    const Symbol symbol = build(data);
    const Layout layout{3, 5, 7};
    constexpr int ROW = 6;
    const long rowTop = layout.margin + ROW * layout.rowHeight;
    struct Case {
        const char* what;
        void (*spoil)(Drawn*, long rowTop);
        Mismatch mismatch;
        int row, module;
    };
    const Case cases[] = {
        {"a row drawn one module to the right",
         [](Drawn* d, long top) {
             const long shift = d->layout.moduleWidth;
             const long width = static_cast<long>(d->picture.GetWidth());
             for (long y = top; y < top + d->layout.rowHeight; ++y) {
                 std::vector<bool> old(static_cast<std::size_t>(width));
                 for (long x = 0; x < width; ++x)
                     old[static_cast<std::size_t>(x)] = (d->line(y)[x >> 3] >> (7 - (x & 7))) & 1;
                 for (long x = 0; x < width; ++x)
                     d->setPixel(x, y, x >= shift && old[static_cast<std::size_t>(x - shift)]);
             }
         },
         Mismatch::RowShifted, ROW, -1},
        {"a bar module's block in the background colour",
         [](Drawn* d, long top) {
             // Module 0 of every row is the start pattern's first bar.
             for (long y = top; y < top + d->layout.rowHeight; ++y)
                 for (long x = 0; x < d->layout.moduleWidth; ++x)
                     d->setPixel(d->layout.margin + x, y, false);
         },
         Mismatch::ModuleColour, ROW, 0},
        {"one pixel of a space module's block dark",
         [](Drawn* d, long top) { d->setPixel(d->layout.margin + 8 * 3 + 1, top + 4, true); },
         Mismatch::ModuleColour, ROW, 8},
        {"a dark pixel in the quiet zone beside a row",
         [](Drawn* d, long top) { d->setPixel(2, top + 1, true); }, Mismatch::QuietZone, ROW, -1},
        {"a dark pixel in the quiet zone above the symbol",
         [](Drawn* d, long) { d->setPixel(40, 3, true); }, Mismatch::QuietZone, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Drawn drawn;
        draw(symbol, layout, &drawn);
        ASSERT_TRUE(samplesBack(drawn.view(), symbol.view(), layout).ok());
        c.spoil(&drawn, rowTop);
        const Outcome outcome =
            verifyPicture(drawn.view(), symbol.view(), layout, false, plain(data));
        EXPECT_EQ(outcome.mismatch, c.mismatch);
        EXPECT_EQ(outcome.row, c.row);
        EXPECT_EQ(outcome.module, c.module);
    }

    // The same matrix drawn at another layout is another picture.
    Drawn drawn;
    draw(symbol, layout, &drawn);
    for (const Layout other : {Layout{3, 4, 7}, Layout{2, 5, 7}, Layout{3, 5, 6}})
        EXPECT_EQ(samplesBack(drawn.view(), symbol.view(), other).mismatch, Mismatch::PictureSize);

    // Modules wider than the packed path takes, and a margin of no whole byte.
    Drawn wide;
    draw(symbol, {33, 2, 9}, &wide);
    EXPECT_TRUE(samplesBack(wide.view(), symbol.view(), wide.layout).ok());
    wide.setPixel(9 + 33 * 8 + 32, 9 + 2 * 4, true);  // the last pixel of a space module
    EXPECT_EQ(samplesBack(wide.view(), symbol.view(), wide.layout).module, 8);

    // Bars stored as the bit 0: the picture with every bit inverted.
    for (long y = 0; y < drawn.view().height; ++y)
        for (std::uint32_t i = 0; i < drawn.picture.GetEffWidth(); ++i)
            drawn.line(y)[i] = static_cast<std::uint8_t>(~drawn.line(y)[i]);
    PictureView inverted = drawn.view();
    inverted.barBit = 0;
    EXPECT_TRUE(samplesBack(inverted, symbol.view(), layout).ok());
    drawn.setPixel(layout.margin + 8 * 3 + 1, rowTop + 4, false);  // a space module darkened
    EXPECT_EQ(samplesBack(inverted, symbol.view(), layout).mismatch, Mismatch::ModuleColour);
}

// An 8-bit grey picture must hold exactly the two levels, each where it
// belongs; the reader sees the matrix in those levels.
TEST(SymbolProof, GreyPicturesSampleBackExactly) {
    const std::string data = "grey labels";
    const Symbol symbol = build(data, {true});
    const Layout layout{2, 3, 4};
    const Shades shades{40, 200};
    const long width = 2 * layout.margin + symbol.width * layout.moduleWidth;
    const long height = 2 * layout.margin + symbol.rows * layout.rowHeight;
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width * height), shades.space);
    for (long y = 0; y < symbol.rows * layout.rowHeight; ++y)
        for (long x = 0; x < symbol.width * layout.moduleWidth; ++x)
            if (symbol.view().isBar(static_cast<int>(y / layout.rowHeight),
                                    static_cast<int>(x / layout.moduleWidth)))
                grey[static_cast<std::size_t>((layout.margin + y) * width + layout.margin + x)] =
                    shades.bar;
    PictureView view{grey.data(), width, width, height, PixelFormat::Grey, 1, shades};
    EXPECT_EQ(verifyPicture(view, symbol.view(), layout, true, plain(data)).mismatch,
              Mismatch::None);
    // A third level inside the symbol, then in the quiet zone.
    grey[static_cast<std::size_t>((layout.margin + 1) * width + layout.margin + 5)] = 120;
    EXPECT_EQ(samplesBack(view, symbol.view(), layout).mismatch, Mismatch::ModuleColour);
    grey[static_cast<std::size_t>((layout.margin + 1) * width + layout.margin + 5)] = shades.space;
    grey[1] = shades.bar;
    EXPECT_EQ(samplesBack(view, symbol.view(), layout).mismatch, Mismatch::QuietZone);
    grey[1] = shades.space;

    // The reader splits the two levels at mid-grey: bars must be dark and
    // the background light, however exact the picture.
    struct Contrast {
        Shades shades;
        Mismatch mismatch;
    };
    const Contrast contrasts[] = {
        {{100, 160}, Mismatch::None},      // dark grey on light grey
        {{226, 255}, Mismatch::NotFound},  // yellow on white, as luma
        {{255, 0}, Mismatch::NotFound},    // light bars on black
        {{128, 128}, Mismatch::NotFound},  // no contrast at all
    };
    for (const Contrast& c : contrasts)
        EXPECT_EQ(verifySymbol(symbol.view(), true, plain(data), c.shades).mismatch, c.mismatch)
            << int{c.shades.bar} << " on " << int{c.shades.space};
}

}  // namespace
}  // namespace barquill::verify
