// SPDX-License-Identifier: MIT
// Byte compaction asked for, read back by an independent reader (zxing-cpp,
// black box): single symbols and a series must give back the data exactly.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoder/macro_series.h"
#include "tests/encoder/encoder_test_support.h"
#include "tests/support/pdf417_reader.h"

using namespace encoder_test;
using barquill::testing::readPdf417Rows;
using barquill::testing::readPdf417Series;
using barquill::testing::toBytes;

namespace {

SymbolOptions byteCompaction() {
    SymbolOptions options;
    options.compaction = Compaction::Byte;
    return options;
}

TEST(ByteCompactionRoundTrip, EveryKindOfDataReadsBack) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    const struct {
        const char* name;
        std::string data;
        int variant;
    } cases[] = {
        {"one letter", "A", SYMBOL_FULL},
        {"one digit", "7", SYMBOL_FULL},
        {"six digits", "123456", SYMBOL_FULL},
        {"digits", "0012345678901234567890", SYMBOL_FULL},
        {"text", "Hello, World! abc DEF", SYMBOL_FULL},
        {"mixed", "Order 4711/2024:\n3 x widget, EUR 12.50", SYMBOL_FULL},
        {"every byte value", everyByte, SYMBOL_FULL},
        {"compact form", "IATA 1234567890", SYMBOL_COMPACT},
    };
    for (const auto& c : cases) {
        auto job = makeJob(-1, 0, c.variant);
        ASSERT_EQ(
            encodeSymbolBytes(job.get(), bytesOf(c.data), c.data.size(), byteCompaction(), nullptr),
            STATUS_OK)
            << c.name;
        const auto decoded = readPdf417Rows(rowsOf(*job));
        ASSERT_TRUE(decoded) << c.name;
        EXPECT_EQ(*decoded, toBytes(c.data)) << c.name;
    }
}

TEST(ByteCompactionRoundTrip, SeriesMergesToTheData) {
    std::string digits;
    for (int i = 0; i < 3000; ++i) digits += static_cast<char>('0' + (i * 7 + i / 10) % 10);
    const SymbolOptions shape = byteCompaction();
    const MacroSeries series =
        planMacroSeries(bytesOf(digits), digits.size(), -1, 0, shape, MacroSeriesOptions{});
    ASSERT_TRUE(series.report.ok());
    ASSERT_GT(series.segments.size(), 1u);
    std::vector<std::vector<std::string>> symbols;
    for (const MacroSegment& segment : series.segments) {
        auto job = makeJob(series.level, series.columns);
        SymbolOptions one = shape;
        one.rows = series.rows;
        one.macro = segment.control;
        ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(digits) + segment.offset, segment.length,
                                    one, nullptr),
                  STATUS_OK);
        symbols.push_back(rowsOf(*job));
    }
    const auto merged = readPdf417Series(symbols);
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->bytes, toBytes(digits));
}

}  // namespace
