// SPDX-License-Identifier: MIT
// Shape options, ECI designators, the Macro PDF417 control block, and the
// mended dimensioning: never more than 928 codewords, and no data refused
// that a longer one would not be.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "encoder/macro_series.h"
#include "tests/encoder/encoder_test_support.h"

using namespace encoder_test;

namespace {

// Options with the shape fields set and the rest left alone.
SymbolOptions shape(int rows, double aspect = 0.0, bool fillLevel = false, int eci = NO_ECI) {
    SymbolOptions options;
    options.rows = rows;
    options.aspect = aspect;
    options.fillLevel = fillLevel;
    options.eci = eci;
    return options;
}

std::string randomBytes(std::mt19937& random, std::size_t length) {
    std::string s(length, '\0');
    for (char& c : s) c = static_cast<char>(random() & 0xff);
    return s;
}

// ---- ECI and the control block, codeword by codeword ----------------------

TEST(EciDesignator, UsesTheStandardsThreeForms) {
    const struct {
        int eci;
        std::vector<int> codewords;
    } cases[] = {
        {0, {927, 0}},        {26, {927, 26}},           {899, {927, 899}},
        {900, {926, 0, 0}},   {810899, {926, 899, 899}}, {810900, {925, 0}},
        {811799, {925, 899}},
    };
    for (const auto& c : cases) {
        auto list = std::make_unique<CodewordList>();
        list->count = 0;
        appendEci(list.get(), c.eci);
        EXPECT_EQ(std::vector<int>(list->entries, list->entries + list->count), c.codewords)
            << c.eci;
    }
}

TEST(EciDesignator, StandsBeforeTheUnchangedCompaction) {
    SymbolOptions options;
    options.eci = 26;
    auto job = makeJob(2, 2);
    const std::string data = "Hi 2";
    SymbolReport report;
    ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(data), data.size(), options, &report),
              STATUS_OK);
    const std::vector<int> codewords = symbolCodewords(*job);
    std::vector<int> expected{927, 26};
    const std::vector<int> compacted = dataCodewords(data);
    expected.insert(expected.end(), compacted.begin(), compacted.end());
    const auto count = static_cast<std::ptrdiff_t>(expected.size());
    EXPECT_EQ(std::vector<int>(codewords.begin() + 1, codewords.begin() + 1 + count), expected);
    EXPECT_EQ(report.dataCodewords, static_cast<int>(expected.size()));
}

TEST(MacroControlBlock, WritesIndexFileIdFieldsAndTerminator) {
    MacroControl plain;
    plain.segmentIndex = 5;
    plain.fileId = {17, 42};

    MacroControl last = plain;
    last.segmentIndex = 99998;
    last.lastSegment = true;
    last.segmentCount = 99999;

    MacroControl every;
    every.fileId = {899};
    every.fileName = "AB";
    every.segmentCount = 3;
    every.timeStamp = 1700000000;
    every.sender = "ab";
    every.addressee = "A";
    every.fileSize = 20480;
    every.checksum = 3;
    const struct {
        const char* name;
        MacroControl control;
        std::vector<int> codewords;
    } cases[] = {
        {"index and file ID", plain, {928, 111, 105, 17, 42}},
        {"last of the largest series", last, {928, 222, 198, 17, 42, 923, 1, 222, 199, 922}},
        {"every field",
         every,
         {928, 111, 100,         899,                  // index 0, file ID
          923, 0,   1,                                 // file name "AB": Alpha A, B
          923, 1,   13,                                // segment count 3: "13" in base 900
          923, 2,   16,          44,          400, 0,  // time stamp
          923, 3,   27 * 30 + 0, 1 * 30 + 29,          // sender "ab": latch to Lower, a, b, pad
          923, 4,   0 * 30 + 29,                       // addressee "A" and the pad
          923, 5,   133,         780,                  // file size 20480
          923, 6,   13}},                              // checksum 3
    };
    for (const auto& c : cases) EXPECT_EQ(macroControlBlock(c.control), c.codewords) << c.name;
}

TEST(MacroControlBlock, ComesAfterThePaddingAndBeforeTheErrorCorrection) {
    SymbolOptions options;
    options.macro = MacroControl{};
    options.macro->fileId = {7};
    options.macro->lastSegment = true;
    auto job = makeJob(0, 4);
    SymbolReport report;
    ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf("AB"), 2, options, &report), STATUS_OK);
    // Descriptor, "AB", three pads, the block; then level 0's two codewords.
    const std::vector<int> codewords = symbolCodewords(*job);
    ASSERT_EQ(codewords.size(), 12u);
    EXPECT_EQ(std::vector<int>(codewords.begin(), codewords.begin() + 10),
              (std::vector<int>{10, 1, 900, 900, 900, 928, 111, 100, 7, 922}));
}

TEST(MacroControlBlock, ChecksumIsTheCcittCrc) {
    EXPECT_EQ(macroChecksum(bytesOf("123456789"), 9), 0x29B1);  // CRC-16/CCITT check value
    EXPECT_EQ(macroChecksum(nullptr, 0), 0xFFFF);
}

TEST(SymbolOptions, OutOfRangeOptionsAreNamed) {
    const auto withMacro = [](auto change) {
        SymbolOptions options;
        options.macro = MacroControl{};
        options.macro->fileId = {1};
        change(*options.macro);
        return options;
    };
    const struct {
        const char* name;
        SymbolOptions options;
        SymbolOption option;
    } cases[] = {
        {"rows 2", shape(2), SymbolOption::Rows},
        {"rows 91", shape(91), SymbolOption::Rows},
        {"negative aspect", shape(0, -1), SymbolOption::Aspect},
        {"eci past the last", shape(0, 0, false, 811800), SymbolOption::Eci},
        {"index past the count", withMacro([](MacroControl& m) {
             m.segmentIndex = 3;
             m.segmentCount = 3;
         }),
         SymbolOption::SegmentCount},
        {"file ID codeword 900", withMacro([](MacroControl& m) { m.fileId = {900}; }),
         SymbolOption::FileId},
        {"no file ID", withMacro([](MacroControl& m) { m.fileId.clear(); }), SymbolOption::FileId},
        {"file name not ASCII", withMacro([](MacroControl& m) { m.fileName = "caf\xc3\xa9"; }),
         SymbolOption::MacroText},
        {"negative size", withMacro([](MacroControl& m) { m.fileSize = -1; }),
         SymbolOption::MacroNumber},
    };
    for (const auto& c : cases) {
        auto job = makeJob();
        SymbolReport report;
        EXPECT_EQ(encodeSymbolBytes(job.get(), bytesOf("A"), 1, c.options, &report), STATUS_ERROR)
            << c.name;
        EXPECT_EQ(report.error, SymbolError::InvalidOption) << c.name;
        EXPECT_EQ(report.option, c.option) << c.name;
        EXPECT_EQ(job->rows, 0) << c.name;
    }
}

// ---- Dimensioning mends -------------------------------------------------

TEST(DimensioningMends, DataThatFitsIsNoLongerRefused) {
    // Before, the added column was decided without the length descriptor
    // and the refusal counted with it: these shorter texts failed while the
    // longer ones built.
    const struct {
        std::size_t letters;
        int level, columns;
        int columnsUsed, rowsUsed;
    } cases[] = {
        {344, 2, 2, 3, 61},
        {348, 2, 2, 3, 61},
        {356, 0, 2, 3, 61},
        {360, 0, 2, 3, 61},
    };
    for (const auto& c : cases) {
        auto job = makeJob(c.level, c.columns);
        ASSERT_EQ(encode(job.get(), repeat("A", c.letters)), STATUS_OK) << c.letters;
        EXPECT_EQ(job->columns, c.columnsUsed) << c.letters;
        EXPECT_EQ(job->rows, c.rowsUsed) << c.letters;
    }
}

TEST(DimensioningMends, NoSymbolHoldsMoreThan928Codewords) {
    std::mt19937 random(9);
    const std::string thousand = randomBytes(random, 1000);
    const std::string fiveHundred = randomBytes(random, 500);
    const struct {
        const char* name;
        std::string data;
        int level, columns;
        SymbolError error;
        int levelUsed, needed;
    } cases[] = {
        // Was 55 rows of 18 (990) at level 6: the level steps down to 5.
        {"1000 bytes, automatic", thousand, -1, 0, SymbolError::None, 5, 911},
        // Was 954 codewords at the level asked for.
        {"500 bytes at level 8", fiveHundred, 8, 0, SymbolError::TooLong, 8, 941},
        {"1000 bytes at level 6", thousand, 6, 0, SymbolError::TooLong, 6, 975},
    };
    for (const auto& c : cases) {
        auto job = makeJob(c.level, c.columns);
        SymbolReport report;
        encodeSymbolBytes(job.get(), bytesOf(c.data), c.data.size(), SymbolOptions{}, &report);
        EXPECT_EQ(report.error, c.error) << c.name;
        EXPECT_EQ(report.level, c.levelUsed) << c.name;
        EXPECT_EQ(report.needed, c.needed) << c.name;
        if (c.error == SymbolError::TooLong) {
            EXPECT_EQ(report.available, 928) << c.name;
            EXPECT_STREQ(job->message, "error: input string too long (PDF error 2)") << c.name;
        } else {
            EXPECT_LE(job->rows * job->columns, 928) << c.name;
            EXPECT_EQ(job->rows * job->columns, report.available) << c.name;
        }
    }
}

TEST(DimensioningMends, ColumnsFollowTheRuleOrAreRefusedWithTheCountsThatFit) {
    const struct {
        const char* name;
        int data, level, columns;
        SymbolError error;
        int columnsUsed, rowsUsed;
        std::uint32_t fitting;  // for a refusal
    } cases[] = {
        // sqrt(927 / 3) rounds to 18, whose 52 rows make 936: 16 is the nearest that fits.
        {"automatic moves to the nearest fit", 925, 0, 0, SymbolError::None, 16, 58, 0},
        {"automatic keeps the original choice", 100, -1, 0, SymbolError::None, 6, 20, 0},
        {"given columns that fit", 925, 0, 16, SymbolError::None, 16, 58, 0},
        {"given columns over 928", 925, 0, 30, SymbolError::ColumnsDoNotFit, 30, 0,
         1u << 16 | 1u << 29},
        {"given columns, widened once", 178, 0, 2, SymbolError::None, 3, 61, 0},
    };
    for (const auto& c : cases) {
        SymbolReport report = chooseShape(c.data, c.level, c.columns, SYMBOL_FULL, {});
        EXPECT_EQ(report.error, c.error) << c.name;
        EXPECT_EQ(report.columns, c.columnsUsed) << c.name;
        if (c.error == SymbolError::None) {
            EXPECT_EQ(report.rows, c.rowsUsed) << c.name;
        } else {
            EXPECT_EQ(report.fittingColumns, c.fitting) << c.name;
            EXPECT_EQ(report.rowsAtColumns, 31) << c.name;
        }
    }
}

// The original dimensioning, for symbols it built within 928 codewords.
struct OriginalShape {
    bool legal = false;
    int level = 0, columns = 0, rows = 0;
};

OriginalShape originalShape(int data, int level, int columns) {
    static const int thresholds[] = {40, 160, 320, 640, 1280};
    if (level == -1) {
        level = 7;
        for (int i = 0; i < 5; ++i)
            if (data <= thresholds[i]) {
                level = i + 2;
                break;
            }
    }
    const int x = (2 << level) + data;
    if (columns == 0) columns = static_cast<int>(std::sqrt(double(x / 3)) + 0.5);
    if (x / columns > 90) ++columns;
    OriginalShape shape;
    shape.level = level;
    shape.columns = columns;
    if (x > 2700 || (x + columns) / columns > 90) return shape;
    shape.rows = std::max(3, (x + columns) / columns);
    shape.legal = shape.rows * columns <= 928;
    return shape;
}

TEST(DimensioningMends, HoldForRandomInputsAndLevels) {
    std::mt19937 random(20261210);
    for (int trial = 0; trial < 300; ++trial) {
        const int level = static_cast<int>(random() % 10) - 1;
        const int columns = trial % 3 == 0 ? static_cast<int>(random() % 30) + 1 : 0;
        const int data = static_cast<int>(random() % 1000);
        const std::string name = std::to_string(data) + " codewords, level " +
                                 std::to_string(level) + ", columns " + std::to_string(columns);
        const SymbolReport report = chooseShape(data, level, columns, SYMBOL_FULL, {});
        if (report.ok()) {
            EXPECT_LE(report.rows * report.columns, 928) << name;
            EXPECT_LE(report.rows, 90) << name;
            EXPECT_GE(report.rows * report.columns, report.needed) << name;
        }
        // Symbols that were legal keep their exact shape.
        const OriginalShape before = originalShape(data, level, columns);
        if (before.legal) {
            ASSERT_TRUE(report.ok()) << name;
            EXPECT_EQ(report.level, before.level) << name;
            EXPECT_EQ(report.columns, before.columns) << name;
            EXPECT_EQ(report.rows, before.rows) << name;
        }
        // More data never turns a refusal into a symbol at automatic columns.
        if (columns == 0 && !report.ok()) {
            for (int more = data + 1; more <= data + 40; ++more)
                EXPECT_FALSE(chooseShape(more, level, 0, SYMBOL_FULL, {}).ok())
                    << name << " then " << more;
        }
    }
}

TEST(DimensioningMends, RealDataKeepsItsSymbolWhereItWasLegal) {
    // The same through compaction and row assembly: every random input at
    // every level either keeps the original shape or was illegal before.
    std::mt19937 random(4711);
    for (int trial = 0; trial < 60; ++trial) {
        const std::string data = randomBytes(random, random() % 1200);
        const int level = static_cast<int>(random() % 10) - 1;
        auto job = makeJob(level);
        const int status = encode(job.get(), data);
        const OriginalShape before =
            originalShape(countDataCodewords(bytesOf(data), data.size()), level, 0);
        if (status == STATUS_OK) {
            EXPECT_LE(job->rows * job->columns, 928) << trial;
        }
        if (!before.legal) continue;
        ASSERT_EQ(status, STATUS_OK) << trial;
        EXPECT_EQ(job->rows, before.rows) << trial;
        EXPECT_EQ(job->columns, before.columns) << trial;
    }
}

// A hash of every module of every row.
std::uint64_t rowsHash(const SymbolJob& job) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (int r = 0; r < job.rows; ++r)
        for (int i = 0; i < job.width; ++i) {
            hash ^= static_cast<unsigned char>(job.rowBits[r][i]);
            hash *= 0x100000001b3ull;
        }
    return hash;
}

TEST(DimensioningMends, SymbolsThatWereLegalKeepEveryModule) {
    // Random inputs (seed 915) that the original encoder built within 928
    // codewords, with the hash of the rows it drew for them: input number,
    // kind (text, digits, bytes, mixed), level, columns, hash.
    const struct {
        int input, kind, level, columns;
        std::uint64_t hash;
    } cases[] = {
        {0, 2, 0, 0, 0xc9f8edb50af26688ull},     // bytes, 19 x 5
        {2, 2, 7, 0, 0x9b0ba1da11bd79ddull},     // bytes, 54 x 17
        {3, 1, 3, 0, 0xb11582148decd41eull},     // digits, 34 x 12
        {4, 1, 2, 27, 0x0feadde4764b0368ull},    // digits, 9 x 27
        {5, 3, 5, 0, 0x44dbc14491d23e6cull},     // mixed, 39 x 12
        {6, 1, 3, 8, 0x1c8a58b0315c3e18ull},     // digits, 25 x 8
        {8, 1, 0, 0, 0x67f1f2a1f7ff9d37ull},     // digits, 14 x 5
        {9, 3, -1, 30, 0x7479ed75b240c5c3ull},   // mixed, 18 x 30
        {10, 2, 6, 0, 0x1a8e06be44452924ull},    // bytes, 33 x 11
        {11, 2, -1, 0, 0x4d9a08d34b611068ull},   // bytes, 22 x 6
        {12, 0, 0, 0, 0x6cb1b089637380f0ull},    // text, 23 x 7
        {13, 2, 2, 0, 0x372ca382128cae12ull},    // bytes, 29 x 9
        {14, 3, 2, 8, 0x4243494bb5379dc5ull},    // mixed, 16 x 8
        {15, 1, 5, 0, 0x4c5638729ee2098eull},    // digits, 26 x 9
        {18, 1, 5, 0, 0x4eb34055b7267e53ull},    // digits, 22 x 8
        {19, 3, 1, 0, 0xb9f76853ba2bf5a4ull},    // mixed, 29 x 10
        {21, 1, 0, 0, 0xd1afcb6f34d23911ull},    // digits, 34 x 12
        {22, 0, 3, 9, 0x93c613ce5abeb5f9ull},    // text, 85 x 9
        {23, 0, 4, 18, 0x0535490ffd2d2823ull},   // text, 47 x 18
        {24, 1, 3, 0, 0xe1607c9c4c698ebaull},    // digits, 10 x 4
        {25, 3, 5, 0, 0x64896e31d5a04b7aull},    // mixed, 44 x 15
        {28, 2, 3, 10, 0x7645f9b07b1371d6ull},   // bytes, 45 x 10
        {29, 1, -1, 0, 0xd2c7f99e17a80f86ull},   // digits, 21 x 7
        {30, 1, 0, 0, 0xb471d81329cd9becull},    // digits, 35 x 11
        {32, 2, 4, 0, 0x9e2ab4891d953bc0ull},    // bytes, 34 x 12
        {34, 2, 1, 0, 0x4ef84ab7ab94a39eull},    // bytes, 13 x 5
        {35, 1, 7, 0, 0xaecb1fe28007a115ull},    // digits, 43 x 14
        {36, 0, 6, 0, 0xabb52f79d141f0a7ull},    // text, 50 x 17
        {37, 0, 1, 0, 0x46af37c9518625a6ull},    // text, 19 x 7
        {38, 1, 5, 0, 0x32c05a81826b9a5dull},    // digits, 32 x 10
        {41, 2, 2, 0, 0xeffaf883bb9d9f2full},    // bytes, 50 x 16
        {43, 1, -1, 30, 0x980a3418e18f25eeull},  // digits, 17 x 30
        {45, 0, 8, 0, 0x827c7828a792cb42ull},    // text, 41 x 13
        {47, 2, 5, 0, 0xf0b07183b7dec444ull},    // bytes, 47 x 15
        {48, 0, 7, 0, 0x1691cb4dbb26e7a8ull},    // text, 35 x 12
        {49, 1, 2, 25, 0x9fddd70a8fbfb84eull},   // digits, 8 x 25
        {50, 0, 0, 0, 0x28408c987b4b6a94ull},    // text, 34 x 12
        {51, 3, 3, 0, 0xe2cae528db476220ull},    // mixed, 24 x 7
        {52, 3, 4, 0, 0x5781b2f70725af32ull},    // mixed, 26 x 9
        {53, 2, 1, 0, 0x05acf66314d38b5bull},    // bytes, 25 x 9
    };
    std::mt19937 random(915);
    auto job = std::make_unique<SymbolJob>();
    std::size_t next = 0;
    for (int i = 0; next < std::size(cases); ++i) {
        const int kind = static_cast<int>(random() % 4);
        const std::size_t length = random() % 1400;
        const int level = static_cast<int>(random() % 10) - 1;
        const int columns = random() % 3 == 0 ? static_cast<int>(random() % 30) + 1 : 0;
        std::string data(length, '\0');
        for (char& c : data) {
            const unsigned v = static_cast<unsigned>(random());
            c = kind == 0   ? "The quick brown fox, 12 jumps.\n"[v % 31]
                : kind == 1 ? static_cast<char>('0' + v % 10)
                : kind == 2 ? static_cast<char>(v & 0xff)
                            : "AZ az 09 \x01\xff"[v % 12];
        }
        if (cases[next].input != i) continue;
        const auto& c = cases[next++];
        ASSERT_EQ(kind, c.kind);
        ASSERT_EQ(level, c.level);
        ASSERT_EQ(columns, c.columns);
        initSymbolJob(job.get());
        job->ecLevel = level;
        job->columns = columns;
        ASSERT_EQ(encode(job.get(), data), STATUS_OK) << "input " << i;
        EXPECT_EQ(rowsHash(*job), c.hash) << "input " << i;
    }
}

// ---- Shape options -----------------------------------------------------

TEST(ShapeOptions, RowsColumnsAspectAndFilledLevel) {
    const struct {
        const char* name;
        int data, level, columns;
        SymbolOptions options;
        SymbolError error;
        int levelUsed, columnsUsed, rowsUsed;
    } cases[] = {
        {"rows alone take the fewest columns", 100, 2, 0, shape(10), SymbolError::None, 2, 11, 10},
        {"rows and columns fix the size", 10, 2, 5, shape(6), SymbolError::None, 2, 5, 6},
        {"fill raises the level in the same size", 10, 2, 5, shape(6, 0, true), SymbolError::None,
         3, 5, 6},
        {"fill reaches level 8 in a large symbol", 100, 0, 30, shape(30, 0, true),
         SymbolError::None, 8, 30, 30},
        {"a wide aspect takes many columns" /* 546 x 72 pixels */, 200, 2, 0, shape(0, 8.0),
         SymbolError::None, 2, 12, 18},
        {"a tall aspect takes few", 200, 2, 0, shape(0, 0.25), SymbolError::None, 2, 3, 70},
    };
    for (const auto& c : cases) {
        const SymbolReport report = chooseShape(c.data, c.level, c.columns, SYMBOL_FULL, c.options);
        EXPECT_EQ(report.error, c.error) << c.name;
        EXPECT_EQ(report.level, c.levelUsed) << c.name;
        EXPECT_EQ(report.columns, c.columnsUsed) << c.name;
        EXPECT_EQ(report.rows, c.rowsUsed) << c.name;
        EXPECT_LE(report.needed, report.rows * report.columns) << c.name;
    }
}

TEST(ShapeOptions, DataThatDoesNotFitTellsWhatWould) {
    // 271 codewords at level 2: 9 columns of 20 rows hold 180.
    const SymbolReport report = chooseShape(271, 2, 9, SYMBOL_FULL, shape(20));
    EXPECT_EQ(report.error, SymbolError::ShapeDoesNotFit);
    EXPECT_EQ(report.needed, 280);
    EXPECT_EQ(report.available, 180);
    EXPECT_EQ(report.columnsAtRows, 14);
    EXPECT_EQ(report.rowsAtColumns, 32);

    const SymbolReport rowsOnly = chooseShape(700, 2, 0, SYMBOL_FULL, shape(5));
    EXPECT_EQ(rowsOnly.error, SymbolError::ShapeDoesNotFit);
    EXPECT_EQ(rowsOnly.columnsAtRows, 142);
}

TEST(ShapeOptions, BuiltSymbolHasTheAskedRows) {
    auto job = makeJob(-1, 4);
    SymbolReport report;
    ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf("Hello"), 5, shape(12), &report), STATUS_OK);
    EXPECT_EQ(job->rows, 12);
    EXPECT_EQ(job->columns, 4);
    EXPECT_EQ(symbolCodewords(*job)[0], 48 - 8);  // the padding fills the rest
}

// ---- Macro series plan ---------------------------------------------------

void checkSeries(const std::string& data);

TEST(MacroSeriesPlan, SplitsIntoFewestSegmentsOfOneSizeAndCoversTheData) {
    std::mt19937 random(77);
    // Uniform data, and data whose first half packs three times as densely.
    for (const std::string& data :
         {randomBytes(random, 5000), repeat("0123456789", 5000) + randomBytes(random, 5000)}) {
        checkSeries(data);
    }
}

void checkSeries(const std::string& data) {
    MacroSeriesOptions options;
    options.fileName = "data.bin";
    options.checksum = true;
    const MacroSeries series =
        planMacroSeries(bytesOf(data), data.size(), -1, 0, SymbolOptions{}, options);
    ASSERT_TRUE(series.report.ok());
    ASSERT_GT(series.segments.size(), 1u);
    SCOPED_TRACE(std::to_string(data.size()) + " bytes in " +
                 std::to_string(series.segments.size()) + " segments");
    std::size_t covered = 0;
    for (std::size_t i = 0; i < series.segments.size(); ++i) {
        const MacroSegment& segment = series.segments[i];
        EXPECT_EQ(segment.offset, covered);
        covered += segment.length;
        EXPECT_EQ(segment.control.segmentIndex, static_cast<int>(i));
        EXPECT_EQ(segment.control.segmentCount, static_cast<int>(series.segments.size()));
        EXPECT_EQ(segment.control.lastSegment, i + 1 == series.segments.size());
        EXPECT_EQ(segment.control.fileId, defaultFileId(bytesOf(data), data.size()));

        auto job = makeJob(series.level, series.columns);
        SymbolOptions one = shape(series.rows);
        one.macro = segment.control;
        ASSERT_EQ(encodeSymbolBytes(job.get(), bytesOf(data) + segment.offset, segment.length, one,
                                    nullptr),
                  STATUS_OK)
            << i;
        EXPECT_EQ(job->rows, series.rows);
        EXPECT_EQ(job->columns, series.columns);
    }
    EXPECT_EQ(covered, data.size());
    // One fewer segment would not have held the data.
    MacroSeriesOptions fewer = options;
    fewer.segments = static_cast<int>(series.segments.size()) - 1;
    const MacroSeries refused =
        planMacroSeries(bytesOf(data), data.size(), -1, 0, SymbolOptions{}, fewer);
    EXPECT_EQ(refused.report.error, SymbolError::TooLong);
}

TEST(MacroSeriesPlan, CutsNoUtf8Character) {
    std::string text;
    for (int i = 0; i < 900; ++i) text += "\xe2\x82\xac";  // the euro sign, three bytes
    MacroSeriesOptions four;
    four.segments = 4;
    const MacroSeries series =
        planMacroSeries(bytesOf(text), text.size(), -1, 0, shape(0, 0, false, 26), four);
    ASSERT_TRUE(series.report.ok());
    for (const MacroSegment& segment : series.segments) EXPECT_EQ(segment.offset % 3, 0u);
}

}  // namespace
