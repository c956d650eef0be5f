// SPDX-License-Identifier: MIT
// ZPL labels: the ^GFA picture reads back, through an independent reader,
// to dots that decode to the data; the ^B7 command is the text a label
// printer expects, written out by hand; what ^B7 cannot say is refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "print/print.h"
#include "tests/print/print_fixtures.h"
#include "tests/print/printer_bitmap_reader.h"

namespace barquill::print {
namespace {

using testing::bytesOf;
using testing::DrawnModules;

TEST(ZplRaster, CompressedRowsAreWrittenAsHandEncoded) {
    struct Case {
        const char* name;
        std::vector<std::string> modules;
        DotGeometry geometry;
        std::string graphic;  // from ^GFA to ^FS
    };
    const Case cases[] = {
        // 11 dots, 2 bytes a row: 0000 / 71C0 / 0FC0 / 0000. The last row
        // equals the first, not the one before it, so it is no ":".
        {"quiet rows end in zeros", {"101", "011"}, {3, 1, 1}, "^GFA,8,8,2,,71C00FC0,^FS"},
        {"a row of ones, then the same row", {"1111"}, {4, 2, 0}, "^GFA,4,4,2,!:^FS"},
        {"counted run inside a row", {"0110"}, {8, 1, 0}, "^GFA,4,4,4,00JF,^FS"},
        // 30 space modules of 64 dots, 480 zero digits: 419 (z, Y) and 61
        // (i, G); then 16 F digits to the end of the row.
        {"run longer than one count holds",
         {std::string(30, '0') + "1"},
         {64, 1, 0},
         "^GFA,248,248,248,zY0iG0!^FS"},
        // 20 and 40 zeros: whole scores, no unit count. 2 bytes of bars, 10
        // (20 digits) of spaces, 1 of bars (two digits: a count would be no shorter),
        // 20 (40 digits) of spaces, 1 of bars.
        {"runs of whole scores",
         {"11" + std::string(10, '0') + "1" + std::string(20, '0') + "1"},
         {8, 1, 0},
         "^GFA,34,34,34,JFg0FFh0!^FS"},
    };
    for (const Case& c : cases) {
        const DrawnModules drawn(c.modules);
        const Result<std::string> zpl = zplRaster(drawn.matrix(), c.geometry);
        ASSERT_TRUE(zpl.ok()) << c.name;
        EXPECT_EQ(zpl.value(), "^XA\n^FO0,0" + c.graphic + "\n^XZ\n") << c.name;
    }
}

TEST(ZplRaster, SymbolsReadBackAtEveryGeometry) {
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    struct Case {
        DotGeometry geometry;
        ZplOrigin origin;
    };
    const Case cases[] = {
        {{2, 4, 10}, {}},        // 0.25 mm modules at 203 dpi
        {{3, 9, 7}, {120, 45}},  // rows not byte-aligned
        {{8, 24, 0}, {0, 0}},    // no quiet zone: rows end in black bytes
    };
    for (const Case& c : cases) {
        const Result<std::string> zpl = zplRaster(testing::matrixOf(symbol), c.geometry, c.origin);
        ASSERT_TRUE(zpl.ok());
        const auto dots = testing::readZplGraphic(zpl.value());
        ASSERT_TRUE(dots.has_value()) << zpl.value();
        EXPECT_EQ(dots->x, c.origin.x);
        EXPECT_EQ(dots->y, c.origin.y);
        EXPECT_EQ(dots->height, symbol.rows() * c.geometry.rowHeight + 2 * c.geometry.quietZone);
        EXPECT_EQ(dots->bytesPerRow,
                  (symbol.width() * c.geometry.moduleWidth + 2 * c.geometry.quietZone + 7) / 8);
        EXPECT_EQ(testing::decodeDots(*dots), bytesOf(testing::typicalText()))
            << "module width " << c.geometry.moduleWidth;
    }
}

TEST(ZplRaster, RefusesGeometriesAndPicturesItCannotHold) {
    using enum ErrorCode;
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    const raster::ModuleMatrix typical = testing::matrixOf(symbol);
    // 1000 modules of 64 dots: 8000 bytes a row.
    const DrawnModules wide({std::string(999, '0') + "1"});
    struct Case {
        const char* name;
        raster::ModuleMatrix modules;
        DotGeometry geometry;
        ZplOrigin origin;
        testing::Refusal refusal;
    };
    const Case cases[] = {
        {"no modules", {}, {}, {}, {emptySymbol}},
        {"module width 0", typical, {0, 4, 10}, {}, {invalidSetting, Setting::moduleWidth, 0}},
        {"row height 257", typical, {2, 257, 10}, {}, {invalidSetting, Setting::rowHeight, 257}},
        {"negative quiet zone", typical, {2, 4, -1}, {}, {invalidSetting, Setting::quietZone, -1}},
        {"origin past 32000", typical, {}, {32001, 0}, {invalidSetting, Setting::x, 32001}},
        {"negative origin", typical, {}, {0, -1}, {invalidSetting, Setting::y, -1}},
        {"100 rows of 8000 bytes",
         wide.matrix(),
         {64, 100, 0},
         {},
         {bitmapTooLarge, Setting::graphicBytes, 800000}},
    };
    for (const Case& c : cases)
        testing::expectRefusal(zplRaster(c.modules, c.geometry, c.origin), c.refusal, c.name);
}

TEST(ZplNative, WritesTheLabelPrintersOwnCommands) {
    const std::string everyEscape = std::string("a^b~c_d\x01") + '\0' + "\x7F\xFF" + " ,z";
    struct Case {
        const char* name;
        std::string data;
        NativeSymbol symbol;
        ZplNativeSettings settings;
        std::string zpl;
    };
    const Case cases[] = {
        {"defaults, printer's shape",
         "HELLO",
         {},
         {},
         "^XA\n^FO0,0^BY2^B7N,3,2,,,N^FH_^FDHELLO^FS\n^XZ\n"},
        {"fixed shape, truncated, placed",
         "Lot 42",
         {.level = 5, .columns = 6, .rows = 12, .truncated = true},
         {.moduleWidth = 4, .rowHeight = 2, .origin = {50, 100}},
         "^XA\n^FO50,100^BY4^B7N,2,5,6,12,Y^FH_^FDLot 42^FS\n^XZ\n"},
        {"columns only, widest module",
         "x",
         {.level = 8, .columns = 3},
         {.moduleWidth = 10, .rowHeight = 255},
         "^XA\n^FO0,0^BY10^B7N,255,8,3,,N^FH_^FDx^FS\n^XZ\n"},
        {"rows only, level 1",
         "x",
         {.level = 1, .rows = 90},
         {},
         "^XA\n^FO0,0^BY2^B7N,3,1,,90,N^FH_^FDx^FS\n^XZ\n"},
        {"escapes",
         everyEscape,
         {},
         {},
         "^XA\n^FO0,0^BY2^B7N,3,2,,,N^FH_^FDa_5Eb_7Ec_5Fd_01_00_7F_FF ,z^FS\n^XZ\n"},
        {"backslashes, which ^B7 field data reads as escapes",
         "C:\\dir\\&x \\\\ end",
         {},
         {},
         "^XA\n^FO0,0^BY2^B7N,3,2,,,N^FH_^FDC:_5Cdir_5C&x _5C_5C end^FS\n^XZ\n"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data = bytesOf(c.data);
        NativeSymbol symbol = c.symbol;
        symbol.data = data;
        const Result<std::string> zpl = zplNative(symbol, c.settings);
        ASSERT_TRUE(zpl.ok()) << c.name;
        EXPECT_EQ(zpl.value(), c.zpl) << c.name;
    }
}

// The bytes a printer takes from ^FH_^FD...^FS: _ and two hex digits are one
// byte; a backslash, ^ or ~ left in the field would mean something else
// (a ^B7 escape, a command), so none may stand there.
std::optional<std::string> printedFieldData(const std::string& zpl) {
    const std::size_t start = zpl.find("^FH_^FD");
    const std::size_t end = zpl.find("^FS", start);
    if (start == std::string::npos || end == std::string::npos) return std::nullopt;
    const std::string field = zpl.substr(start + 7, end - start - 7);
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' || field[i] == '^' || field[i] == '~') return std::nullopt;
        if (field[i] != '_') {
            bytes += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        bytes += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return bytes;
}

TEST(ZplNative, FieldDataMeansExactlyTheDataWhateverItHolds) {
    const std::string hostile[] = {
        "\\&", "\\\\", "^XZ^XA", "~JA", "_5C", "C:\\dir\\&x \\\\ end", std::string("\0\r\n", 3),
    };
    for (const std::string& data : hostile) {
        const std::vector<std::uint8_t> bytes = bytesOf(data);
        const Result<std::string> zpl = zplNative({.data = bytes});
        ASSERT_TRUE(zpl.ok()) << data;
        EXPECT_EQ(printedFieldData(zpl.value()), data) << zpl.value();
    }
}

TEST(ZplNative, RefusesWhatB7CannotExpress) {
    using enum ErrorCode;
    struct Case {
        const char* name;
        std::size_t bytes;
        NativeSymbol symbol;
        ZplNativeSettings settings;
        testing::Refusal refusal;
    };
    const Case cases[] = {
        {"level 0, not B7's 0", 10, {.level = 0}, {}, {levelNotExpressible, Setting::level, 0}},
        {"automatic level",
         10,
         {.level = AUTOMATIC_LEVEL},
         {},
         {levelNotExpressible, Setting::level, -1}},
        {"level 9", 10, {.level = 9}, {}, {invalidSetting, Setting::level, 9}},
        {"3001 bytes", 3001, {}, {}, {dataTooLong, Setting::none, 3001}},
        {"an ECI", 10, {.eci = 26}, {}, {eciNotExpressible, Setting::none, 26}},
        {"ECI 0", 10, {.eci = 0}, {}, {eciNotExpressible, Setting::none, 0}},
        {"a Macro segment", 10, {.macro = true}, {}, {macroNotExpressible}},
        {"30 x 31 codewords",
         10,
         {.columns = 30, .rows = 31},
         {},
         {shapeTooLarge, Setting::none, 930}},
        {"no data", 0, {}, {}, {emptyData}},
        {"31 columns", 10, {.columns = 31}, {}, {invalidSetting, Setting::columns, 31}},
        {"2 rows", 10, {.rows = 2}, {}, {invalidSetting, Setting::rows, 2}},
        {"module width 1", 10, {}, {.moduleWidth = 1}, {invalidSetting, Setting::moduleWidth, 1}},
        {"module width 11",
         10,
         {},
         {.moduleWidth = 11},
         {invalidSetting, Setting::moduleWidth, 11}},
        {"row height 0", 10, {}, {.rowHeight = 0}, {invalidSetting, Setting::rowHeight, 0}},
        {"origin past 32000", 10, {}, {.origin = {0, 32001}}, {invalidSetting, Setting::y, 32001}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.bytes, 'A');
        NativeSymbol symbol = c.symbol;
        symbol.data = data;
        testing::expectRefusal(zplNative(symbol, c.settings), c.refusal, c.name);
    }
    // The largest that fits is written.
    const std::vector<std::uint8_t> most(3000, 'A');
    EXPECT_TRUE(zplNative({.data = most, .columns = 29, .rows = 32}).ok());
}

}  // namespace
}  // namespace barquill::print

namespace barquill::print {
namespace {

// A shipping label of 4 x 6 inches at 203 dpi, the symbol placed 10 and
// 20 mm in: the whole label, as the printer would lay the dots, reads back.
// The picture is left in the build folder to be looked at.
TEST(ZplRaster, AFourBySixInchLabelReadsBackWhereTheSymbolWasPlaced) {
    constexpr long labelWidth = 4 * 203, labelHeight = 6 * 203;
    const auto symbol = barquill::encode("SHIP TO: 4711 PARCEL 0042, ZONE B, DOCK 7");
    ASSERT_TRUE(symbol);
    barquill::Render render{.moduleWidth = 2, .rowHeight = 6, .quietZone = 8, .dpi = 203};
    render.page = barquill::Page{101.6, 152.4, 10, 20};
    const auto zpl = barquill::render(*symbol, barquill::Format::zpl, render);
    ASSERT_TRUE(zpl);
    const auto dots = testing::readZplGraphic(std::string(zpl->begin(), zpl->end()));
    ASSERT_TRUE(dots.has_value());
    EXPECT_EQ(dots->x, 80);   // 10 mm at 203 dpi
    EXPECT_EQ(dots->y, 160);  // 20 mm
    std::vector<std::uint8_t> label(static_cast<std::size_t>(labelWidth * labelHeight), 255);
    for (long row = 0; row < dots->height; ++row)
        for (long column = 0; column < dots->bytesPerRow * 8; ++column)
            if (dots->black(column, row))
                label[static_cast<std::size_t>((dots->y + row) * labelWidth + dots->x + column)] =
                    0;
    EXPECT_EQ(barquill::testing::readPdf417Grey(label.data(), labelWidth, labelHeight, labelWidth),
              barquill::testing::toBytes("SHIP TO: 4711 PARCEL 0042, ZONE B, DOCK 7"));
    std::FILE* picture = std::fopen(BARQUILL_SCREENSHOT_DIR "/barquill-zpl-4x6-label.pgm", "wb");
    ASSERT_NE(picture, nullptr);
    std::fprintf(picture, "P5\n%ld %ld\n255\n", labelWidth, labelHeight);
    std::fwrite(label.data(), 1, label.size(), picture);
    std::fclose(picture);
}

}  // namespace
}  // namespace barquill::print
