// SPDX-License-Identifier: MIT
// Character sets and Macro PDF417 series read back by an independent
// reader: the text it decodes through the ECI, and the series it merges.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoder/charset.h"
#include "encoder/macro_series.h"
#include "tests/encoder/encoder_test_support.h"
#include "tests/support/pdf417_reader.h"

using namespace encoder_test;
using barquill::testing::readPdf417Details;
using barquill::testing::readPdf417Series;
using barquill::testing::toBytes;

namespace {

TEST(CharsetRoundTrip, ReaderDecodesTheTextThroughItsEci) {
    const struct {
        const char* charset;
        std::string text;
    } cases[] = {
        {"UTF-8", "\xe6\x9d\xa1\xe5\xbd\xa2\xe7\xa0\x81 PDF417"},                       // Chinese
        {"UTF-8", "\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1"},  // Greek
        {"UTF-8", "ticket \xf0\x9f\x8e\xab\xf0\x9f\x9a\x86"},                           // emoji
        {"ISO-8859-2",
         "HRVHUB30\nEUR\n000000000012355\nIvan \xc5\xa0\x61\xc5\xa1i\xc4\x87\n"
         "\xc5\xbdupanijska 3\n10000 Zagreb\nHR1210010051863000160\nHR01\n"
         "7269-68-0\nCOST\nPla\xc4\x87\x61nje \xc4\x8dlanarine\n"},  // a Croatian payment slip
        {"Windows-1251",
         "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82, \xd0\xbc\xd0\xb8\xd1\x80"},
        {"Shift_JIS", "\xe3\x83\x90\xe3\x83\xbc\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x89 123"},
        {"GB18030", "\xe4\xb8\xad\xe6\x96\x87 \xe6\xb5\x8b\xe8\xaf\x95"},
    };
    // The reader knows GB 18030 only as ECI 29 (the number of GB 2312),
    // not as 32, which the ECI register gives it: for that set the
    // designator and the bytes that follow it are checked.
    for (const auto& c : cases) {
        const auto charset = findCharset(c.charset);
        ASSERT_TRUE(charset) << c.charset;
        const Conversion converted = convertText(c.text, *charset);
        ASSERT_TRUE(converted.ok()) << c.charset;
        SymbolOptions options;
        options.eci = charset->eci;
        auto job = makeJob();
        ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(converted.bytes), converted.bytes.size(),
                                    options, nullptr),
                  STATUS_OK)
            << c.charset;
        const auto reading = readPdf417Details(rowsOf(*job));
        ASSERT_TRUE(reading) << c.charset;
        EXPECT_TRUE(reading->hasECI) << c.charset;
        if (charset->eci != 32) {
            EXPECT_EQ(reading->text, c.text) << c.charset;
            continue;
        }
        const std::string designated(reading->bytesECI.begin(), reading->bytesECI.end());
        EXPECT_NE(designated.find("\\000032" + converted.bytes), std::string::npos);
    }
}

std::string sample(const std::string& kind, std::size_t length) {
    std::mt19937 random(static_cast<unsigned>(length));
    std::string s(length, '\0');
    for (char& c : s) {
        if (kind == "digits")
            c = static_cast<char>('0' + random() % 10);
        else if (kind == "text")
            c = "Lorem ipsum dolor sit amet, 42 consectetur.\n"[random() % 44];
        else
            c = static_cast<char>(random() & 0xff);
    }
    return s;
}

TEST(MacroRoundTrip, EverySegmentReadsAndTheSeriesMergesToTheData) {
    for (const char* kind : {"text", "digits", "bytes"}) {
        for (std::size_t length : {1000u, 5000u, 20000u}) {
            const std::string name = std::string(kind) + " " + std::to_string(length);
            const std::string data = sample(kind, length);
            MacroSeriesOptions options;
            options.fileName = "data.bin";
            options.fileSize = true;
            options.checksum = true;
            const MacroSeries series =
                planMacroSeries(bytesOf(data), data.size(), -1, 0, SymbolOptions{}, options);
            ASSERT_TRUE(series.report.ok()) << name;
            const int count = static_cast<int>(series.segments.size());
            std::vector<std::vector<std::string>> symbols;
            std::string fileId;
            for (int fid : series.segments.front().control.fileId) {
                char digits[4];
                std::snprintf(digits, sizeof digits, "%03d", fid);
                fileId += digits;
            }
            for (int i = 0; i < count; ++i) {
                const MacroSegment& segment = series.segments[static_cast<std::size_t>(i)];
                auto job = makeJob(series.level, series.columns);
                SymbolOptions one;
                one.rows = series.rows;
                one.macro = segment.control;
                ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(data) + segment.offset,
                                            segment.length, one, nullptr),
                          STATUS_OK)
                    << name << " segment " << i;
                symbols.push_back(rowsOf(*job));
                const auto reading = readPdf417Details(symbols.back());
                ASSERT_TRUE(reading) << name << " segment " << i;
                EXPECT_EQ(reading->sequenceIndex, i) << name;
                EXPECT_EQ(reading->sequenceSize, count) << name;
                EXPECT_EQ(reading->sequenceId, fileId) << name;
            }
            const auto merged = readPdf417Series(symbols);
            ASSERT_TRUE(merged) << name;
            EXPECT_EQ(merged->bytes, toBytes(data)) << name;
        }
    }
}

TEST(MacroRoundTrip, Utf8SeriesMergesToTheText) {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "\xce\xb1\xce\xb2\xce\xb3 \xe2\x82\xac ";
    MacroSeriesOptions options;
    SymbolOptions shape;
    shape.eci = ECI_UTF8;
    const MacroSeries series = planMacroSeries(bytesOf(text), text.size(), -1, 0, shape, options);
    ASSERT_TRUE(series.report.ok());
    ASSERT_GT(series.segments.size(), 1u);
    std::vector<std::vector<std::string>> symbols;
    for (const MacroSegment& segment : series.segments) {
        auto job = makeJob(series.level, series.columns);
        SymbolOptions one = shape;
        one.rows = series.rows;
        one.macro = segment.control;
        ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(text) + segment.offset, segment.length, one,
                                    nullptr),
                  STATUS_OK);
        symbols.push_back(rowsOf(*job));
    }
    const auto merged = readPdf417Series(symbols);
    ASSERT_TRUE(merged);
    EXPECT_TRUE(merged->hasECI);
    EXPECT_EQ(merged->text, text);
}

}  // namespace
