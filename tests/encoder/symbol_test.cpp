// SPDX-License-Identifier: MIT
// The job's entry points, dimensioning, error correction, the pattern table
// and row assembly.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/encoder/encoder_test_support.h"

using namespace encoder_test;

namespace {

const char* const TOO_LONG = "error: input string too long (PDF error 2)";
const char* const TOO_MANY_ROWS =
    "error: data too long for specified number of columns (PDF error 4)";
const char* const LEVEL_WARNING = "warning: security value out of range";
const char* const COLUMNS_WARNING = "warning: number of columns out of range";

std::string modulesOf(std::uint32_t pattern, int modules = 17) {
    std::string s;
    for (int i = modules - 1; i >= 0; --i) s += (pattern >> i) & 1 ? '1' : '0';
    return s;
}

// The element widths of a pattern, bar first.
std::vector<int> widthsOf(const std::string& modules) {
    std::vector<int> widths;
    for (std::size_t i = 0; i < modules.size();) {
        std::size_t j = i;
        while (j < modules.size() && modules[j] == modules[i]) ++j;
        widths.push_back(static_cast<int>(j - i));
        i = j;
    }
    return widths;
}

// ---- Tables -------------------------------------------------------------

TEST(PatternTable, EveryPatternHasFourBarsFourSpacesAndItsCluster) {
    for (int block = 0; block < 3; ++block) {
        std::set<std::uint32_t> seen;
        for (int v = 0; v < 929; ++v) {
            const std::uint32_t pattern = codewordPatterns[block * 929 + v];
            ASSERT_LT(pattern, 1u << 17);
            const std::string modules = modulesOf(pattern);
            const std::vector<int> w = widthsOf(modules);
            ASSERT_EQ(modules.front(), '1') << block << "/" << v;
            ASSERT_EQ(w.size(), 8u) << block << "/" << v;
            for (int width : w) ASSERT_TRUE(width >= 1 && width <= 6) << block << "/" << v;
            EXPECT_EQ((w[0] - w[2] + w[4] - w[6] + 9) % 9, 3 * block) << block << "/" << v;
            EXPECT_TRUE(seen.insert(pattern).second) << "duplicate " << block << "/" << v;
        }
    }
}

TEST(PatternTable, MatchesTheStandardsSampleEntries) {
    const struct {
        int codeword;
        const char* modules[3];
    } cases[] = {
        {0, {"11101010111000000", "11111010101100000", "11010101111100000"}},
        {1, {"11110101011110000", "11111101010111000", "11101010111111000"}},
        {2, {"11111010101111100", "11110101001000000", "10101001111000000"}},
        {900, {"10000110001100100", "10111111010110000", "11000111110010010"}},
        {928, {"11011111011110100", "10011111100100110", "11100011111101010"}},
    };
    for (const auto& c : cases) {
        for (int block = 0; block < 3; ++block) {
            EXPECT_EQ(modulesOf(codewordPatterns[block * 929 + c.codeword]), c.modules[block])
                << "codeword " << c.codeword << " block " << block;
        }
    }
}

TEST(ErrorCorrection, CoefficientsAreThoseOfTheGeneratorPolynomial) {
    const std::vector<int> first(ecCoefficients.begin(), ecCoefficients.begin() + 14);
    EXPECT_EQ(first, (std::vector<int>{27, 917, 522, 568, 723, 809, 237, 308, 436, 284, 646, 653,
                                       428, 379}));
    // Every power 3^1 .. 3^k is a root of the level's generator.
    for (int level = 0; level <= 8; ++level) {
        const int k = 2 << level;
        const std::int32_t* a = ecCoefficients.data() + k - 2;
        long long root = 1;
        for (int i = 1; i <= k; ++i) {
            root = root * 3 % 929;
            long long value = 1;  // the leading coefficient, not stored
            for (int j = k - 1; j >= 0; --j) value = (value * root + a[j]) % 929;
            ASSERT_EQ(value, 0) << "level " << level << " root 3^" << i;
        }
    }
}

TEST(ErrorCorrection, AppendsTheStandardsExampleCodewords) {
    auto list = std::make_unique<CodewordList>();
    const int data[] = {5, 453, 178, 121, 239};
    std::memcpy(list->entries, data, sizeof data);
    list->count = 5;
    appendErrorCorrection(list.get(), 1);
    EXPECT_EQ(std::vector<int>(list->entries, list->entries + list->count),
              (std::vector<int>{5, 453, 178, 121, 239, 452, 327, 657, 619}));
}

// ---- Dimensioning -------------------------------------------------------

TEST(Dimensioning, ChoosesLevelColumnsPaddingAndDescriptor) {
    const struct {
        int data, level, columns;  // in
        int result, levelUsed, columnsUsed, descriptor;
    } cases[] = {
        {1, -1, 0, BUILD_OK, 2, 2, 2},
        {40, -1, 0, BUILD_OK, 2, 4, 44},
        {41, -1, 0, BUILD_OK, 3, 0, 0},
        {160, -1, 0, BUILD_OK, 3, 0, 0},
        {161, -1, 0, BUILD_OK, 4, 0, 0},
        {320, -1, 0, BUILD_OK, 4, 0, 0},
        {321, -1, 0, BUILD_OK, 5, 0, 0},
        {640, -1, 0, BUILD_OK, 5, 0, 0},
        {641, -1, 0, BUILD_OK, 6, 0, 0},
        {1280, -1, 0, BUILD_TOO_LONG, 6, 0, 0},
        {1281, -1, 0, BUILD_TOO_LONG, 7, 0, 0},
        {1, 0, 3, BUILD_OK, 0, 3, 7},
        {460, -1, 5, BUILD_OK, 5, 6, 464},  // widened by one column
        {178, 0, 2, BUILD_OK, 0, 3, 181},   // 91 rows with the descriptor: one more column
        {2699, 0, 30, BUILD_TOO_LONG, 0, 30, 0},
        {925, 0, 0, BUILD_OK, 0, 16, 926},            // 928 codewords in all: 58 rows of 16
        {925, 0, 30, BUILD_TOO_MANY_ROWS, 0, 30, 0},  // 31 rows of 30 would be 930
        {926, 0, 30, BUILD_TOO_LONG, 0, 30, 0},       // 929 codewords: past a GF(929) code
        {928, 0, 30, BUILD_TOO_LONG, 0, 30, 0},
        {927, 1, 30, BUILD_TOO_LONG, 1, 30, 0},  // padding would make it 956
        {1000, -1, 2, BUILD_TOO_LONG, 6, 3, 0},
    };
    for (const auto& c : cases) {
        auto job = makeJob(c.level, c.columns);
        auto list = std::make_unique<CodewordList>();
        for (int i = 0; i < c.data; ++i) list->entries[i] = i % 900;
        list->count = c.data;
        const int result = dimensionSymbol(job.get(), list.get());
        const std::string where = std::to_string(c.data) + " codewords";
        EXPECT_EQ(result, c.result) << where;
        EXPECT_EQ(job->ecLevel, c.levelUsed) << where;
        if (c.columnsUsed != 0) {
            EXPECT_EQ(job->columns, c.columnsUsed) << where;
        }
        if (result != BUILD_OK) continue;
        if (c.descriptor != 0) {
            EXPECT_EQ(list->entries[0], c.descriptor) << where;
        }
        EXPECT_EQ(list->entries[0], list->count) << where;
        for (int i = 0; i < c.data; ++i) ASSERT_EQ(list->entries[1 + i], i % 900) << where;
        for (int i = c.data + 1; i < list->count; ++i) ASSERT_EQ(list->entries[i], 900) << where;
        const int total = list->count + (2 << job->ecLevel);
        EXPECT_EQ(total % job->columns, 0) << where;
        EXPECT_GE(total / job->columns, 3) << where;
        EXPECT_LE(total / job->columns, 90) << where;
    }
}

// ---- Rows ---------------------------------------------------------------

const char* const EMPTY_TEXT_ROW0 =
    "1111111101010100011110101011110000111110101011111001100011100011010011110101011110000111111101"
    "000101001";

TEST(RowAssembly, EmptyTextGivesTheStandardsFirstRow) {
    auto job = makeJob();
    ASSERT_EQ(encodeSymbolJob(job.get(), ""), STATUS_OK);
    EXPECT_EQ(job->ecLevel, 2);
    EXPECT_EQ(job->columns, 2);
    ASSERT_EQ(job->rows, 5);
    ASSERT_EQ(job->width, 103);
    const std::vector<std::string> rows = rowsOf(*job);
    EXPECT_EQ(rows[0], EMPTY_TEXT_ROW0);
    EXPECT_EQ(job->rowBits[0][103], '\0');

    const int indicators[5][2] = {{1, 1}, {7, 1}, {1, 7}, {31, 31}, {37, 31}};
    const int codewords[] = {2, 924, 598, 821, 68, 40, 637, 530, 507, 324};
    for (int r = 0; r < 5; ++r) {
        const std::string& row = rows[static_cast<std::size_t>(r)];
        EXPECT_EQ(row.substr(0, 17), "11111111010101000");
        EXPECT_EQ(row.substr(85), "111111101000101001");
        EXPECT_EQ(codewordAt(row, 17, r % 3), indicators[r][0]) << "row " << r;
        EXPECT_EQ(codewordAt(row, 34, r % 3), codewords[2 * r]) << "row " << r;
        EXPECT_EQ(codewordAt(row, 51, r % 3), codewords[2 * r + 1]) << "row " << r;
        EXPECT_EQ(codewordAt(row, 68, r % 3), indicators[r][1]) << "row " << r;
    }
}

TEST(RowAssembly, CompactFormEndsInOneBar) {
    auto job = makeJob(-1, 0, SYMBOL_COMPACT);
    ASSERT_EQ(encodeSymbolJob(job.get(), ""), STATUS_OK);
    ASSERT_EQ(job->width, 69);
    EXPECT_EQ(rowsOf(*job)[0], std::string(EMPTY_TEXT_ROW0, 68) + "1");
}

TEST(RowAssembly, WidthFollowsColumnsInBothForms) {
    for (int columns : {1, 2, 17, 30}) {
        auto full = makeJob(-1, columns);
        auto compact = makeJob(-1, columns, SYMBOL_COMPACT);
        ASSERT_EQ(encodeSymbolJob(full.get(), "Barquill"), STATUS_OK);
        ASSERT_EQ(encodeSymbolJob(compact.get(), "Barquill"), STATUS_OK);
        EXPECT_EQ(full->width, 17 * columns + 69);
        EXPECT_EQ(compact->width, 17 * columns + 35);
        const auto compactWidth = static_cast<std::size_t>(compact->width);
        for (int r = 0; r < full->rows; ++r) {
            EXPECT_EQ(std::strlen(full->rowBits[r]), static_cast<std::size_t>(full->width));
            EXPECT_EQ(std::string(compact->rowBits[r], compactWidth).substr(compactWidth - 2),
                      "01");
        }
    }
}

// ---- Entry points -------------------------------------------------------

TEST(SymbolJob, InitialisationSetsTheDefaults) {
    auto job = std::make_unique<SymbolJob>();
    std::memset(job.get(), 0x5a, sizeof *job);
    initSymbolJob(job.get());
    EXPECT_EQ(job->variant, SYMBOL_FULL);
    EXPECT_EQ(job->ecLevel, -1);
    EXPECT_EQ(job->columns, 0);
    EXPECT_EQ(job->margin, 6);
    EXPECT_EQ(job->barColor, 0u);
    EXPECT_EQ(job->spaceColor, 0xFFFFFFu);
    EXPECT_EQ(job->rows, 0);
    EXPECT_EQ(job->width, 0);
    EXPECT_EQ(job->text[0], '\0');
    EXPECT_EQ(job->message[0], '\0');
    EXPECT_EQ(job->rowBits[89][999], '\0');
}

TEST(SymbolJob, ReportsStatusAndMessageForOptionsAndOversizeData) {
    const struct {
        const char* name;
        int level, columns;
        std::string text;
        int status;
        const char* message;
        int levelUsed, columnsUsed;
    } cases[] = {
        {"defaults", -1, 0, "Hello", STATUS_OK, "", 2, 2},
        {"level 9", 9, 0, "Hello", STATUS_WARNING, LEVEL_WARNING, 2, 2},
        {"level -2", -2, 0, "Hello", STATUS_WARNING, LEVEL_WARNING, 2, 2},
        {"columns 31", -1, 31, "Hello", STATUS_WARNING, COLUMNS_WARNING, 2, 2},
        {"columns -1", -1, -1, "Hello", STATUS_WARNING, COLUMNS_WARNING, 2, 2},
        {"both out of range", 12, 40, "Hello", STATUS_WARNING, COLUMNS_WARNING, 2, 2},
        {"too many rows", -1, 1, repeat("A", 400), STATUS_ERROR, TOO_MANY_ROWS, 4, 2},
        {"warning then error", 9, 1, repeat("A", 400), STATUS_ERROR, TOO_MANY_ROWS, 4, 2},
        {"over 2700 codewords", 8, 0, repeat("\xff", 2700), STATUS_ERROR, TOO_LONG, 8, 30},
        {"descriptor over 928", -1, 0, repeat("7", 6999), STATUS_ERROR, TOO_LONG, 7, 30},
        {"longer than the text field", -1, 0, repeat("7", 7000), STATUS_ERROR, TOO_LONG, -1, 0},
    };
    for (const auto& c : cases) {
        auto job = makeJob(c.level, c.columns);
        EXPECT_EQ(encode(job.get(), c.text), c.status) << c.name;
        EXPECT_STREQ(job->message, c.message) << c.name;
        EXPECT_EQ(job->ecLevel, c.levelUsed) << c.name;
        EXPECT_EQ(job->columns, c.columnsUsed) << c.name;
        if (c.status == STATUS_ERROR) {
            EXPECT_EQ(job->rows, 0) << c.name;
            EXPECT_EQ(job->width, 0) << c.name;
            EXPECT_EQ(job->rowBits[0][0], '\0') << c.name;
        } else {
            EXPECT_GT(job->rows, 0) << c.name;
        }
    }
}

TEST(SymbolJob, ZeroTerminatedEntryStopsAtTheFirstNul) {
    auto viaText = makeJob();
    auto viaBytes = makeJob();
    ASSERT_EQ(encodeSymbolJob(viaText.get(), "abc"), STATUS_OK);
    ASSERT_EQ(encodeSymbolBytes(viaBytes.get(), bytesOf("abc"), 3), STATUS_OK);
    EXPECT_EQ(rowsOf(*viaText), rowsOf(*viaBytes));

    auto withNul = makeJob();
    ASSERT_EQ(encode(withNul.get(), std::string("abc\0def", 7)), STATUS_OK);
    EXPECT_NE(rowsOf(*withNul), rowsOf(*viaText));
}

TEST(SymbolJob, NullTextIsTheEmptyText) {
    auto job = makeJob();
    EXPECT_EQ(encodeSymbolJob(job.get(), nullptr), STATUS_OK);
    EXPECT_EQ(job->rows, 5);
    EXPECT_EQ(encodeSymbolJob(nullptr, "abc"), STATUS_ERROR);
}

TEST(SymbolJob, CountsTheDataCodewordsTheDataCompactsInto) {
    const struct {
        std::string data;
        int codewords;
    } cases[] = {
        {"", 1},                                // 924 alone
        {"A12345678B", 7},                      // 29, 902, 138, 628, 478, 900, 59
        {"ab\xE9\xE8", 5},                      // 810, 59, 901, 233, 232
        {std::string(44, '9'), 16},             // latch and one group of 15
        {std::string(TEXT_CAPACITY, 'a'), -1},  // longer than the text field
    };
    for (const auto& c : cases)
        EXPECT_EQ(countDataCodewords(bytesOf(c.data), c.data.size()), c.codewords) << c.data.size();
}

// Inputs up to and past the text field, in every character class, must end in
// a symbol or in error 2 without touching memory outside the job (the
// sanitizer build watches this).
TEST(SymbolJob, LargestInputsEndInASymbolOrErrorTwo) {
    std::mt19937 random(417);
    std::string randomBytes(7100, '\0');
    for (char& c : randomBytes) c = static_cast<char>(random() & 0xff);
    const std::string units[] = {"7",
                                 "A",
                                 "a",
                                 "\xff",
                                 "aA",
                                 "a;",
                                 "1 ",
                                 "a\x01",
                                 ";A;",
                                 "\x01"
                                 "1",
                                 "A1b2;\t",
                                 randomBytes};
    for (const std::string& unit : units) {
        for (std::size_t length : {std::size_t{1000}, std::size_t{2700}, std::size_t{6999},
                                   std::size_t{7000}, std::size_t{100000}}) {
            for (int level : {-1, 0, 8}) {
                auto job = makeJob(level);
                const std::string data = repeat(unit, length);
                const int status = encode(job.get(), data);
                if (status == STATUS_ERROR) {
                    EXPECT_STREQ(job->message, TOO_LONG) << length;
                } else {
                    EXPECT_EQ(status, STATUS_OK);
                    EXPECT_LE(job->rows, MAX_ROWS);
                    EXPECT_LE(job->width, 17 * MAX_COLUMNS + 69);
                }
            }
        }
    }
}

TEST(SymbolJob, TextTakesAllOfItsField) {
    auto job = makeJob();
    std::memset(job->text, '9', TEXT_CAPACITY - 1);
    EXPECT_EQ(encodeSymbolJob(job.get(), job->text), STATUS_ERROR);
    EXPECT_STREQ(job->message, TOO_LONG);
}

}  // namespace
