// SPDX-License-Identifier: MIT
// Symbols decoded by an independent reader (zxing-cpp, black box): the bytes
// read back must be exactly the bytes encoded.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/encoder/encoder_test_support.h"
#include "tests/support/pdf417_reader.h"

using namespace encoder_test;
using barquill::testing::readPdf417Rows;
using barquill::testing::toBytes;

namespace {

struct Options {
    int level = -1;
    int columns = 0;
    int variant = SYMBOL_FULL;
};

std::string describe(const std::string& data, const Options& o) {
    std::string s = "level " + std::to_string(o.level) + " columns " + std::to_string(o.columns) +
                    (o.variant == SYMBOL_COMPACT ? " compact" : " full") + ", " +
                    std::to_string(data.size()) + " bytes:";
    for (std::size_t i = 0; i < data.size() && i < 24; ++i) {
        s += ' ' + std::to_string(static_cast<unsigned char>(data[i]));
    }
    return s;
}

// Encodes and decodes; fails the test when the symbol is not built or not
// read back byte for byte.
void expectRoundTrip(const std::string& data, const Options& o = {}) {
    auto job = makeJob(o.level, o.columns, o.variant);
    const int status = encode(job.get(), data);
    ASSERT_EQ(status, STATUS_OK) << job->message << " for " << describe(data, o);
    const auto decoded = readPdf417Rows(rowsOf(*job));
    ASSERT_TRUE(decoded.has_value()) << "unreadable: " << describe(data, o);
    EXPECT_EQ(*decoded, toBytes(data)) << describe(data, o);
}

// The longest repetition of `unit` that still makes a symbol.
std::string largestFitting(const std::string& unit, const Options& o) {
    for (std::size_t length = 2800; length > 0; --length) {
        auto job = makeJob(o.level, o.columns, o.variant);
        const std::string data = repeat(unit, length);
        if (encode(job.get(), data) == STATUS_OK) return data;
    }
    return {};
}

TEST(RoundTrip, EveryByteValueInEveryRunContext) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    expectRoundTrip(all);
    expectRoundTrip(std::string(all.rbegin(), all.rend()));
    for (int b = 0; b < 256; ++b) {
        const std::string c(1, static_cast<char>(b));
        expectRoundTrip(c);                 // alone: a shift from the initial text mode
        expectRoundTrip("12345" + c);       // after a numeric run
        expectRoundTrip("ab" + c + "cd");   // inside text
        expectRoundTrip("Qz" + c + c + c);  // a short byte run after text
    }
}

TEST(RoundTrip, LoneByteAfterDigitsUsesByteLatch) {
    expectRoundTrip("12345\xe9");
    expectRoundTrip(
        "12345678\x01"
        "abc");
    expectRoundTrip(std::string("9876543210\0", 11));
}

TEST(RoundTrip, RunsAndModeSwitches) {
    // The empty text is left out: the reader reports no symbol for an empty
    // payload; its codewords are checked with the row tests.
    const std::string cases[] = {
        "A",
        "Hello, World!",
        "abCde abCDe A.B ab!!cd ;A",
        "a\tb\nc\rd",
        " !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789",
        "A12345678B",
        "A1234567B",
        "12345678ab\x01",
        "\x01\x02"
        "ab\x03\x04\x05",
        "\x01\x02"
        "abcde\x03",
        "1234567\x80\x81\x82\x83\x84\x85\x86\x87",
        "https://example.com/path?query=1&b=2#frag",
        "Line one\nLine two\r\nTab\there; price $12.50 (approx.) ~ {ok}",
        "000213298174000",
        "\xff\xff\xff\xff\xff\xff",
        "\xc3\xa9t\xc3\xa9 \xe2\x82\xac 100",
    };
    for (const std::string& data : cases) expectRoundTrip(data);
}

TEST(RoundTrip, LongDigitRuns) {
    std::mt19937 random(902);
    for (std::size_t length : {std::size_t{43}, std::size_t{44}, std::size_t{45}, std::size_t{88},
                               std::size_t{89}, std::size_t{1000}}) {
        std::string digits(length, '0');
        for (char& d : digits) d = static_cast<char>('0' + random() % 10);
        expectRoundTrip(digits);
        expectRoundTrip(std::string(length, '0'));
        expectRoundTrip(std::string(length, '9'));
        expectRoundTrip("Ab" + digits + "cD");
    }
}

TEST(RoundTrip, LargestInputsThatFit) {
    const std::string units[] = {"7", "A", "ab", "\xff", "Lorem ipsum 2024, dolor\n"};
    for (const std::string& unit : units) {
        for (Options o : {Options{}, Options{5, 0, SYMBOL_FULL}, Options{-1, 30, SYMBOL_FULL}}) {
            const std::string data = largestFitting(unit, o);
            ASSERT_FALSE(data.empty()) << describe(unit, o);
            expectRoundTrip(data, o);
            // One more character is refused with error 2 or 4, never accepted.
            auto job = makeJob(o.level, o.columns);
            EXPECT_EQ(encode(job.get(), repeat(unit, data.size() + 1)), STATUS_ERROR);
        }
    }
}

TEST(RoundTrip, EveryLevel) {
    const std::string data = "Level test: PDF417 \x01\x02 0123456789012345";
    for (int level = 0; level <= 8; ++level) {
        expectRoundTrip(data, {level, 0, SYMBOL_FULL});
        expectRoundTrip(data, {level, 0, SYMBOL_COMPACT});
    }
}

TEST(RoundTrip, EveryColumnCount) {
    const std::string data = "Columns \xe9 1234567890123 and some more text";
    for (int columns = 0; columns <= 30; ++columns) {
        expectRoundTrip(data, {-1, columns, SYMBOL_FULL});
        expectRoundTrip(data, {-1, columns, SYMBOL_COMPACT});
    }
}

std::string randomInput(std::mt19937& random) {
    std::string data;
    const int runs = 1 + static_cast<int>(random() % 12);
    for (int r = 0; r < runs; ++r) {
        switch (random() % 4) {
            case 0:  // digits
                for (int n = 1 + static_cast<int>(random() % 60); n > 0; --n)
                    data += static_cast<char>('0' + random() % 10);
                break;
            case 1:  // printable text, tab, line feed, carriage return
                for (int n = 1 + static_cast<int>(random() % 30); n > 0; --n) {
                    const int pick = static_cast<int>(random() % 98);
                    data += pick < 95 ? static_cast<char>(32 + pick) : "\t\n\r"[pick - 95];
                }
                break;
            case 2:  // any bytes
                for (int n = 1 + static_cast<int>(random() % 10); n > 0; --n)
                    data += static_cast<char>(random() & 0xff);
                break;
            default:  // a lone byte
                data += static_cast<char>(random() & 0xff);
                break;
        }
    }
    return data;
}

TEST(RoundTrip, RandomInputsFromAFixedSeed) {
    std::mt19937 random(15438);
    int built = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string data = randomInput(random);
        Options o;
        o.level = static_cast<int>(random() % 10) - 1;
        o.columns = static_cast<int>(random() % 31);
        o.variant = random() % 4 == 0 ? SYMBOL_COMPACT : SYMBOL_FULL;
        auto job = makeJob(o.level, o.columns, o.variant);
        if (encode(job.get(), data) != STATUS_OK) {
            // Only a high level at few columns may run out of rows.
            EXPECT_STREQ(job->message,
                         "error: data too long for specified number of columns (PDF error 4)")
                << describe(data, o);
            continue;
        }
        ++built;
        const auto decoded = readPdf417Rows(rowsOf(*job));
        ASSERT_TRUE(decoded.has_value()) << "unreadable: " << describe(data, o);
        EXPECT_EQ(*decoded, toBytes(data)) << describe(data, o);
    }
    EXPECT_GT(built, 200);
}

}  // namespace
