// SPDX-License-Identifier: MIT
// Segmentation into runs and the codewords each compaction mode writes.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/encoder/encoder_test_support.h"

using encoder_test::bytesOf;
using encoder_test::dataCodewords;

using namespace barquill::encoder;

namespace {

using Runs = std::vector<std::pair<int, int>>;  // kind, length

Runs runsOf(const std::string& input) {
    auto table = std::make_unique<RunTable>();
    segmentText(table.get(), bytesOf(input), input.size());
    Runs runs;
    for (int j = 0; j < table->count; ++j) runs.emplace_back(table->kinds[j], table->lengths[j]);
    return runs;
}

constexpr int T = LATCH_TEXT;
constexpr int B = LATCH_BYTE;
constexpr int N = LATCH_NUMERIC;

// The text compaction sub-modes' character sets, written out as the
// standard's table lists them: a byte any of them holds is text (digits
// go to numeric compaction), every other byte is byte compaction's.
TEST(Segmentation, ClassifiesEveryByteValue) {
    const std::string alpha = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    const std::string lower = "abcdefghijklmnopqrstuvwxyz ";
    const std::string mixed = "0123456789&\r\t,:#-.$/+%*=^ ";
    const std::string punctuation = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
    const std::string text = alpha + lower + mixed + punctuation;
    for (int c = 0; c < 256; ++c) {
        const char byte = static_cast<char>(c);
        const int expected = c >= '0' && c <= '9'                   ? N
                             : text.find(byte) != std::string::npos ? T
                                                                    : B;
        EXPECT_EQ(classifyChar(static_cast<unsigned char>(c)), expected) << "byte " << c;
    }
}

TEST(Segmentation, ShortRunsFoldIntoTheirNeighbours) {
    const struct {
        std::string input;
        Runs runs;
    } cases[] = {
        {"", {{B, 0}}},
        {"1", {{N, 1}}},
        {"A1234567B", {{T, 9}}},
        {"A12345678B", {{T, 1}, {N, 8}, {T, 1}}},
        {"AB1234567", {{T, 2}, {N, 7}}},
        {"ab123456", {{T, 8}}},
        {"1234567ab", {{T, 9}}},
        {"12345678ab", {{N, 8}, {T, 2}}},
        {"1\x01", {{B, 2}}},
        {"ab\x01"
         "c",
         {{T, 2}, {B, 2}}},
        {"abc\x01"
         "def",
         {{T, 3}, {B, 1}, {T, 3}}},
        {"\x01"
         "123\x02",
         {{B, 5}}},
        {"\x01"
         "1234\x02",
         {{B, 1}, {N, 4}, {B, 1}}},
        {"\x01"
         "123ab",
         {{B, 1}, {T, 5}}},
        {"ab1234\x01", {{T, 6}, {B, 1}}},
        {"ab12345\x01", {{T, 2}, {N, 5}, {B, 1}}},
        {"\x01\x02"
         "abcd\x03",
         {{B, 7}}},
        {"\x01\x02"
         "abcde\x03",
         {{B, 2}, {T, 5}, {B, 1}}},
        {"\x01"
         "ab12345678",
         {{B, 3}, {N, 8}}},
        {"12345678ab\x01", {{N, 8}, {B, 3}}},
        {"12345678abc\x01", {{N, 8}, {T, 3}, {B, 1}}},
        {"\t\n\r", {{T, 3}}},
        {"\x7f\x80\xff", {{B, 3}}},
    };
    for (const auto& c : cases) EXPECT_EQ(runsOf(c.input), c.runs) << "input " << c.input;
}

TEST(Segmentation, MergeFoldsChainsOfEqualRuns) {
    auto table = std::make_unique<RunTable>();
    const int kinds[] = {T, T, T, B, N, N, T};
    for (int j = 0; j < 7; ++j) {
        table->kinds[j] = kinds[j];
        table->lengths[j] = j + 1;
    }
    table->count = 7;
    mergeRuns(table.get());
    ASSERT_EQ(table->count, 4);
    EXPECT_EQ((Runs{{table->kinds[0], table->lengths[0]},
                    {table->kinds[1], table->lengths[1]},
                    {table->kinds[2], table->lengths[2]},
                    {table->kinds[3], table->lengths[3]}}),
              (Runs{{T, 6}, {B, 4}, {N, 11}, {T, 7}}));
}

TEST(Segmentation, OneRunPerCharacterFitsTheTable) {
    // Alternating text and byte characters open a run for every character.
    std::string input;
    while (input.size() < MAX_INPUT_LENGTH) input += (input.size() % 2 ? '\x01' : 'a');
    // Lone text characters between bytes become bytes: one byte run after "a".
    EXPECT_EQ(runsOf(input), (Runs{{T, 1}, {B, static_cast<int>(MAX_INPUT_LENGTH) - 1}}));
}

std::string repeated(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

TEST(Compaction, WritesTheCodewordsOfEachMode) {
    const struct {
        const char* name;
        std::string input;
        std::vector<int> codewords;
    } cases[] = {
        // text
        {"alpha, padded", "ABC", {1, 89}},
        {"latch to lower", "abc", {810, 32}},
        {"single letter", "x", {833}},
        {"mixed latch, alpha latch, final shift",
         "Hello, World!",
         {237, 131, 344, 853, 808, 687, 437, 333, 880}},
        {"alpha shift inside lower", "abCde", {810, 57, 63, 149}},
        {"alpha latch for two capitals", "abCDe", {810, 58, 842, 117, 149}},
        {"punctuation shift before a capital", "A.B", {29, 511}},
        {"punctuation latch and back to lower", "ab!!cd", {810, 58, 760, 329, 812, 119}},
        {"control characters behind shifts", "a\tb\nc\rd", {810, 882, 59, 452, 881, 119}},
        {"lone semicolon", ";", {870}},
        {"semicolon then capital", ";A", {870, 29}},
        {"digits and symbols all in mixed", "1+2=3", {841, 602, 693}},
        // byte
        {"empty text", "", {924}},
        {"lone byte", "\xe9", {913, 233}},
        {"lone byte after text", "abc\xe9", {810, 32, 913, 233}},
        {"lone byte after digits", "12345\xe9", {902, 124, 745, 901, 233}},
        {"two bytes after text", "ab\xe9\xe8", {810, 59, 901, 233, 232}},
        {"one group", "\x01\x02\x03\x04\x05\x06", {924, 1, 620, 89, 74, 846}},
        {"group of 255s", "\xff\xff\xff\xff\xff\xff", {924, 429, 11, 71, 222, 855}},
        {"letters absorbed into bytes",
         "\x01\x02"
         "ab\x03\x04\x05",
         {901, 1, 622, 243, 606, 220, 5}},
        {"two groups",
         std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12),
         {924, 1, 620, 89, 74, 846, 11, 705, 58, 895, 432}},
        {"NUL bytes", std::string("\0\0", 2), {901, 0, 0}},
        // numeric
        {"one digit", "1", {902, 11}},
        {"zero", "0", {902, 10}},
        {"eight digits", "12345678", {902, 138, 628, 478}},
        {"leading zeros kept", "000213298174000", {902, 1, 624, 434, 632, 282, 200}},
        {"digits between text", "A12345678B", {29, 902, 138, 628, 478, 900, 59}},
        {"digits, lone byte, text",
         "12345678\x01"
         "abc",
         {902, 138, 628, 478, 901, 1, 900, 810, 32}},
    };
    for (const auto& c : cases) EXPECT_EQ(dataCodewords(c.input), c.codewords) << c.name;
}

TEST(Compaction, FullDigitGroupsGiveFifteenCodewords) {
    const std::vector<int> zeros = dataCodewords(repeated('0', 44));
    ASSERT_EQ(zeros.size(), 16u);
    EXPECT_EQ(std::vector<int>(zeros.begin(), zeros.begin() + 4),
              (std::vector<int>{902, 437, 111, 716}));
    EXPECT_EQ(std::vector<int>(zeros.end() - 2, zeros.end()), (std::vector<int>{411, 100}));

    const std::vector<int> nines = dataCodewords(repeated('9', 44));
    ASSERT_EQ(nines.size(), 16u);
    EXPECT_EQ(std::vector<int>(nines.begin(), nines.begin() + 3),
              (std::vector<int>{902, 874, 223}));
    EXPECT_EQ(std::vector<int>(nines.end() - 2, nines.end()), (std::vector<int>{822, 199}));
    std::vector<int> fortyFive = nines;
    fortyFive.push_back(19);
    EXPECT_EQ(dataCodewords(repeated('9', 45)), fortyFive);

    // A group of g digits gives g / 3 + 1 codewords.
    for (int n = 1; n <= 90; ++n) {
        const int last = n % 44 == 0 ? 44 : n % 44;
        const int expected = 1 + (n - last) / 44 * 15 + last / 3 + 1;
        EXPECT_EQ(static_cast<int>(dataCodewords(repeated('7', n)).size()), expected)
            << n << " digits";
    }
}

TEST(Compaction, LaterTextRunStartsWithLatchAndAlpha) {
    // "b" after the digits must be reached from Alpha again, not from Lower.
    EXPECT_EQ(dataCodewords("ab12345678b"),
              (std::vector<int>{810, 59, 902, 138, 628, 478, 900, 811}));
}

TEST(Compaction, TextTablesCoverPrintableAscii) {
    for (int c = 32; c <= 126; ++c) {
        const int mask = textSubmodes[c - 32];
        EXPECT_TRUE(mask >= 1 && mask <= 15) << "code " << c;
        EXPECT_TRUE(textValues[c - 32] >= 0 && textValues[c - 32] <= 28) << "code " << c;
    }
    EXPECT_EQ(textSubmodes[' ' - 32], SUBMODE_ALPHA | SUBMODE_LOWER | SUBMODE_MIXED);
}

}  // namespace
