// SPDX-License-Identifier: MIT
// Byte compaction asked for: every character in one byte run, whatever its
// class, in the symbol, in the codeword count and in series planning.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoder/macro_series.h"
#include "tests/encoder/encoder_test_support.h"

using namespace encoder_test;

namespace {

SymbolOptions byteCompaction(int eci = NO_ECI) {
    SymbolOptions options;
    options.compaction = Compaction::Byte;
    options.eci = eci;
    return options;
}

// The symbol's data codewords, read from its rows: after the descriptor,
// as many as the report counts.
std::vector<int> builtDataCodewords(const std::string& data, const SymbolOptions& options) {
    auto job = makeJob();
    SymbolReport report;
    EXPECT_EQ(encodeSymbolBytes(job.get(), bytesOf(data), data.size(), options, &report),
              STATUS_OK);
    const std::vector<int> codewords = symbolCodewords(*job);
    return std::vector<int>(codewords.begin() + 1, codewords.begin() + 1 + report.dataCodewords);
}

TEST(ByteCompactionOption, PutsEveryCharacterIntoOneByteRun) {
    // Group digits worked out apart from the encoder: the six bytes as one
    // 48-bit number written in base 900.
    const struct {
        const char* name;
        std::string data;
        int eci;
        std::vector<int> codewords;
    } cases[] = {
        {"digits, a multiple of 6", "123456", NO_ECI, {924, 82, 399, 748, 339, 234}},
        {"twelve digits",
         "123456789012",
         NO_ECI,
         {924, 82, 399, 748, 339, 234, 92, 484, 717, 428, 690}},
        {"text", "abcdefab12", NO_ECI, {901, 163, 179, 507, 603, 522, 97, 98, 49, 50}},
        // One byte is latched, not shifted: the scheme asks for a byte run.
        {"one letter", "A", NO_ECI, {901, 65}},
        {"nothing", "", NO_ECI, {924}},
        {"after an ECI designator", "AB", 26, {927, 26, 901, 65, 66}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(builtDataCodewords(c.data, byteCompaction(c.eci)), c.codewords) << c.name;
        EXPECT_EQ(countDataCodewords(bytesOf(c.data), c.data.size(), byteCompaction(c.eci)),
                  static_cast<int>(c.codewords.size()))
            << c.name;
    }
}

TEST(ByteCompactionOption, AutomaticCompactionIsUnchanged) {
    const std::string digits = "123456789012";
    SymbolOptions automatic;
    EXPECT_EQ(builtDataCodewords(digits, automatic), dataCodewords(digits));
    EXPECT_EQ(dataCodewords(digits).front(), LATCH_NUMERIC);
}

TEST(ByteCompactionOption, SeriesIsPlannedForTheByteRuns) {
    // 600 digits: 206 codewords in numeric compaction, 501 in byte
    // compaction, so the series needs more symbols of the same shape.
    std::string digits;
    for (int i = 0; i < 600; ++i) digits += static_cast<char>('0' + (i * 7) % 10);
    SymbolOptions shape;
    shape.rows = 20;
    MacroSeriesOptions series;
    series.fileId = {1, 2, 3};
    const MacroSeries automatic =
        planMacroSeries(bytesOf(digits), digits.size(), 2, 5, shape, series);
    shape.compaction = Compaction::Byte;
    const MacroSeries bytes = planMacroSeries(bytesOf(digits), digits.size(), 2, 5, shape, series);
    ASSERT_TRUE(automatic.report.ok());
    ASSERT_TRUE(bytes.report.ok());
    EXPECT_GT(bytes.segments.size(), automatic.segments.size());

    // Every planned segment, built in byte compaction, fits the planned shape.
    for (const MacroSegment& segment : bytes.segments) {
        auto job = makeJob(bytes.level, bytes.columns);
        SymbolOptions options = shape;
        options.macro = segment.control;
        SymbolReport report;
        ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(digits) + segment.offset, segment.length,
                                    options, &report),
                  STATUS_OK)
            << "segment " << segment.control.segmentIndex;
        EXPECT_EQ(job->rows, bytes.rows);
        const std::vector<int> codewords = symbolCodewords(*job);
        EXPECT_EQ(codewords[1], segment.length % 6 == 0 ? LATCH_BYTE6 : LATCH_BYTE);
    }
}

}  // namespace
