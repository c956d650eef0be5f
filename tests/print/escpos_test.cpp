// SPDX-License-Identifier: MIT
// ESC/POS receipts: the GS ( k functions byte for byte as the command
// layout gives them, written out by hand; the GS v 0 image read back by an
// independent reader and decoded to the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "print/print.h"
#include "tests/print/print_fixtures.h"
#include "tests/print/printer_bitmap_reader.h"

namespace barquill::print {
namespace {

using testing::bytesOf;
using testing::DrawnModules;

TEST(EscPosNative, WritesTheFunctionsByteForByte) {
    struct Case {
        const char* name;
        std::string data;
        NativeSymbol symbol;
        EscPosNativeSettings settings;
        std::vector<std::uint8_t> commands;
    };
    // One function a line: GS ( k, pL pH, cn 0x30, fn, parameters.
    // clang-format off
    const Case cases[] = {
        {"defaults, printer's shape", "AB", {}, {},
         {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x41, 0x00,              // columns: automatic
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x42, 0x00,              // rows: automatic
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x43, 0x03,              // module width 3
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x44, 0x03,              // row height 3
          0x1D, 0x28, 0x6B, 0x04, 0x00, 0x30, 0x45, 0x30, 0x32,        // level 2
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x46, 0x00,              // standard
          0x1D, 0x28, 0x6B, 0x05, 0x00, 0x30, 0x50, 0x30, 0x41, 0x42,  // store "AB"
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x51, 0x30}},            // print
        {"fixed shape, level 0, truncated, narrowest", std::string("\0\x1D", 2),
         {.level = 0, .columns = 30, .rows = 30, .truncated = true},
         {.moduleWidth = 2, .rowHeight = 8},
         {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x41, 0x1E,              // 30 columns
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x42, 0x1E,              // 30 rows
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x43, 0x02,              // module width 2
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x44, 0x08,              // row height 8
          0x1D, 0x28, 0x6B, 0x04, 0x00, 0x30, 0x45, 0x30, 0x30,        // level 0
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x46, 0x01,              // truncated
          0x1D, 0x28, 0x6B, 0x05, 0x00, 0x30, 0x50, 0x30, 0x00, 0x1D,  // store, bytes as they are
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x51, 0x30}},
        {"level 8, widest, 90 rows", "Z",
         {.level = 8, .columns = 1, .rows = 90},
         {.moduleWidth = 8, .rowHeight = 2},
         {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x41, 0x01,              // 1 column
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x42, 0x5A,              // 90 rows
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x43, 0x08,              // module width 8
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x44, 0x02,              // row height 2
          0x1D, 0x28, 0x6B, 0x04, 0x00, 0x30, 0x45, 0x30, 0x38,        // level 8
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x46, 0x00,
          0x1D, 0x28, 0x6B, 0x04, 0x00, 0x30, 0x50, 0x30, 0x5A,
          0x1D, 0x28, 0x6B, 0x03, 0x00, 0x30, 0x51, 0x30}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data = bytesOf(c.data);
        NativeSymbol symbol = c.symbol;
        symbol.data = data;
        const Result<Bytes> commands = escPosNative(symbol, c.settings);
        ASSERT_TRUE(commands.ok()) << c.name;
        EXPECT_EQ(commands.value(), c.commands) << c.name;
    }
}

TEST(EscPosNative, StoreCountsTheDataInTwoLittleEndianBytes) {
    // 300 bytes: pL pH = 303 = 0x012F; the largest, 65532, fills both bytes.
    for (const auto& [bytes, low, high] :
         {std::tuple{std::size_t{300}, 0x2F, 0x01}, {std::size_t{65532}, 0xFF, 0xFF}}) {
        const std::vector<std::uint8_t> data(bytes, 'q');
        const Result<Bytes> commands = escPosNative({.data = data});
        ASSERT_TRUE(commands.ok()) << bytes;
        const std::vector<std::uint8_t> store = {
            0x1D, 0x28, 0x6B, static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high),
            0x30, 0x50, 0x30};
        const auto& all = commands.value();
        // Six settings (8 bytes each, 9 for the level), then the store function.
        ASSERT_EQ(all.size(), 49 + store.size() + bytes + 8);
        EXPECT_TRUE(std::equal(store.begin(), store.end(), all.begin() + 49)) << bytes;
        EXPECT_EQ(all[49 + store.size() + bytes - 1], 'q');
    }
}

TEST(EscPosNative, RefusesWhatGsKCannotExpress) {
    using enum ErrorCode;
    struct Case {
        const char* name;
        std::size_t bytes;
        NativeSymbol symbol;
        EscPosNativeSettings settings;
        testing::Refusal refusal;
    };
    const Case cases[] = {
        {"automatic level",
         10,
         {.level = AUTOMATIC_LEVEL},
         {},
         {levelNotExpressible, Setting::level, -1}},
        {"65533 bytes", 65533, {}, {}, {dataTooLong, Setting::none, 65533}},
        {"an ECI", 10, {.eci = 899}, {}, {eciNotExpressible, Setting::none, 899}},
        {"a Macro segment", 10, {.macro = true}, {}, {macroNotExpressible}},
        {"31 columns", 10, {.columns = 31, .rows = 30}, {}, {invalidSetting, Setting::columns, 31}},
        {"30 x 31 codewords",
         10,
         {.columns = 30, .rows = 31},
         {},
         {shapeTooLarge, Setting::none, 930}},
        {"91 rows", 10, {.rows = 91}, {}, {invalidSetting, Setting::rows, 91}},
        {"no data", 0, {}, {}, {emptyData}},
        {"module width 1", 10, {}, {.moduleWidth = 1}, {invalidSetting, Setting::moduleWidth, 1}},
        {"row height 9", 10, {}, {.rowHeight = 9}, {invalidSetting, Setting::rowHeight, 9}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data(c.bytes, 'A');
        NativeSymbol symbol = c.symbol;
        symbol.data = data;
        testing::expectRefusal(escPosNative(symbol, c.settings), c.refusal, c.name);
    }
}

TEST(EscPosRaster, WritesTheImageByteForByte) {
    // 3 x 3-dot modules in a 1-dot quiet zone: 11 dots (2 bytes) by 4 rows.
    const DrawnModules drawn({"101", "011"});
    const Result<Bytes> commands = escPosRaster(drawn.matrix(), {3, 1, 1});
    ASSERT_TRUE(commands.ok());
    // clang-format off
    const std::vector<std::uint8_t> expected = {
        0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x04, 0x00,  // GS v 0, normal size, 2 x 4
        0x00, 0x00,                                      // quiet zone
        0x71, 0xC0,                                      // 0 111 000 111 0
        0x0F, 0xC0,                                      // 0 000 111 111 0
        0x00, 0x00};
    // clang-format on
    EXPECT_EQ(commands.value(), expected);
}

TEST(EscPosRaster, SymbolsReadBackAtEveryGeometry) {
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    for (const DotGeometry& geometry :
         {DotGeometry{2, 4, 10}, DotGeometry{3, 9, 7}, DotGeometry{8, 24, 0}}) {
        const Result<Bytes> commands = escPosRaster(testing::matrixOf(symbol), geometry);
        ASSERT_TRUE(commands.ok());
        const auto dots = testing::readEscPosRaster(commands.value());
        ASSERT_TRUE(dots.has_value());
        EXPECT_EQ(dots->height, symbol.rows() * geometry.rowHeight + 2 * geometry.quietZone);
        EXPECT_EQ(testing::decodeDots(*dots), bytesOf(testing::typicalText()))
            << "module width " << geometry.moduleWidth;
    }
}

TEST(EscPosRaster, RefusesImagesPastTheCommandsLimits) {
    using enum ErrorCode;
    // 9000 modules of 64 dots: 72000 bytes a row. 17000 rows of 4 dots: 68000.
    const std::string wideCells(9000, '1'), tallCells(17000, '1');
    const raster::ModuleMatrix wide{reinterpret_cast<const std::uint8_t*>(wideCells.data()), 9000,
                                    1, 9000, '1'};
    const raster::ModuleMatrix tall{reinterpret_cast<const std::uint8_t*>(tallCells.data()), 1,
                                    17000, 1, '1'};
    struct Case {
        const char* name;
        raster::ModuleMatrix modules;
        DotGeometry geometry;
        testing::Refusal refusal;
    };
    const Case cases[] = {
        {"row too wide", wide, {64, 1, 0}, {bitmapTooLarge, Setting::bytesPerRow, 72000}},
        {"too many dot rows", tall, {1, 4, 0}, {bitmapTooLarge, Setting::dotRows, 68000}},
        {"no rows", {}, {}, {emptySymbol}},
        {"module width 65", tall, {65, 1, 0}, {invalidSetting, Setting::moduleWidth, 65}},
    };
    for (const Case& c : cases)
        testing::expectRefusal(escPosRaster(c.modules, c.geometry), c.refusal, c.name);
}

TEST(EscPosRaster, RefusesAPictureWiderThanThePrinter) {
    // 3 modules of 3 dots in a quiet zone of 2: 13 dots.
    const DrawnModules drawn({"101"});
    EXPECT_TRUE(escPosRaster(drawn.matrix(), {3, 1, 2}, 13).ok());
    EXPECT_TRUE(escPosRaster(drawn.matrix(), {3, 1, 2}, 0).ok());
    testing::expectRefusal(escPosRaster(drawn.matrix(), {3, 1, 2}, 12),
                           {ErrorCode::widerThanPrinter, Setting::printWidth, 13}, "13 of 12");
    EXPECT_EQ(escPosRaster(drawn.matrix(), {3, 1, 2}, 12).error().maximum, 12);
}

}  // namespace
}  // namespace barquill::print
