// SPDX-License-Identifier: MIT
// The explanation of a symbol against the symbol itself: its codewords and
// row indicators as read back from the rows, its segments covering the data
// once, and its text values as a reader would decode them.

#include "encoder/explanation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "encoder/explanation_json.h"
#include "encoder/explanation_text.h"
#include "tests/encoder/encoder_test_support.h"

using namespace encoder_test;

namespace {

struct Case {
    const char* name;
    std::string data;
    int level = -1;
    int columns = 0;
    int variant = SYMBOL_FULL;
    SymbolOptions options{};
};

SymbolOptions withEci(int eci) {
    SymbolOptions options;
    options.eci = eci;
    return options;
}

SymbolOptions withMacro() {
    SymbolOptions options;
    MacroControl control;
    control.segmentIndex = 2;
    control.fileId = {17, 899};
    control.lastSegment = true;
    control.segmentCount = 3;
    control.fileName = "a.txt";
    control.timeStamp = 1700000000;
    control.sender = "Me";
    control.addressee = "You";
    control.fileSize = 2048;
    control.checksum = 4660;
    options.macro = control;
    return options;
}

SymbolOptions byteCompaction() {
    SymbolOptions options;
    options.compaction = Compaction::Byte;
    return options;
}

SymbolOptions filledShape() {
    SymbolOptions options;
    options.rows = 12;
    options.fillLevel = true;
    return options;
}

std::vector<Case> cases() {
    std::string twelveBytes;
    for (char b = 1; b <= 12; ++b) twelveBytes += b;
    return {
        {"punctuation and a space", "Hello, World!"},
        {"shift to Alpha", "abCde"},
        {"latch to Alpha from Lower", "abCDe"},
        {"latch to Punctuation", "ab!!cd"},
        {"control characters", "a\tb\nc\rd"},
        {"escaped characters", "say \"hi\" \\ bye"},
        {"digits only", "000213298174000"},
        {"three digit groups", repeat("0123456789", 100)},
        {"text, digits, text", "A12345678B"},
        {"bytes around letters", std::string("\x01\x02"
                                             "ab\x03\x04\x05",
                                             7)},
        {"two byte groups", twelveBytes},
        {"lone byte after text", "abc\xe9"},
        {"lone byte after digits", "12345\xe9"},
        {"mixed modes",
         "Order 4711/2024: 3 x widget (blue), EUR 12.50 each.\nShip to: J. Smith, 221B\x80\x81"},
        {"ECI in one codeword",
         "Gr\xc3\xbc\xc3\x9f"
         "e",
         -1, 0, SYMBOL_FULL, withEci(26)},
        {"ECI in two codewords", "ABC", -1, 0, SYMBOL_FULL, withEci(900)},
        {"ECI of the user range", "ABC", -1, 0, SYMBOL_FULL, withEci(811799)},
        {"Macro control block", "AB", -1, 0, SYMBOL_FULL, withMacro()},
        {"padding", "A", 0, 3},
        {"compact form", "compact 123", 3, 2, SYMBOL_COMPACT},
        {"byte compaction asked for", "123456789", -1, 0, SYMBOL_FULL, byteCompaction()},
        {"filled level", "FILL", -1, 0, SYMBOL_FULL, filledShape()},
        {"nothing", ""},
    };
}

Explanation explain(const Case& c) {
    return explainSymbol(bytesOf(c.data), c.data.size(), c.level, c.columns,
                         c.variant == SYMBOL_COMPACT, c.options);
}

std::unique_ptr<SymbolJob> build(const Case& c) {
    auto job = makeJob(c.level, c.columns, c.variant);
    EXPECT_EQ(encodeSymbolBytes(job.get(), bytesOf(c.data), c.data.size(), c.options, nullptr),
              STATUS_OK)
        << c.name;
    return job;
}

std::vector<int> valuesOf(const Explanation& e) {
    std::vector<int> values;
    for (const ExplainedCodeword& c : e.codewords) values.push_back(c.value);
    return values;
}

TEST(Explanation, CodewordsShapeAndRowIndicatorsAreThoseOfTheSymbol) {
    for (const Case& c : cases()) {
        const auto job = build(c);
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        EXPECT_EQ(valuesOf(e), symbolCodewords(*job)) << c.name;
        EXPECT_EQ(e.rows, job->rows) << c.name;
        EXPECT_EQ(e.columns, job->columns) << c.name;
        EXPECT_EQ(e.level, job->ecLevel) << c.name;
        EXPECT_EQ(e.compact, c.variant == SYMBOL_COMPACT) << c.name;
        ASSERT_EQ(e.rowIndicators.size(), static_cast<std::size_t>(job->rows)) << c.name;
        for (int r = 0; r < job->rows; ++r) {
            const std::string row(job->rowBits[r], static_cast<std::size_t>(job->width));
            const RowIndicatorPair& pair = e.rowIndicators[static_cast<std::size_t>(r)];
            EXPECT_EQ(pair.left, codewordAt(row, 17, r % 3)) << c.name << " row " << r;
            if (c.variant == SYMBOL_COMPACT) {
                EXPECT_FALSE(pair.right) << c.name;
            } else {
                ASSERT_TRUE(pair.right) << c.name;
                EXPECT_EQ(*pair.right, codewordAt(row, 34 + 17 * job->columns, r % 3))
                    << c.name << " row " << r;
            }
        }
    }
}

TEST(Explanation, CountsAddUpAroundTheDescriptor) {
    for (const Case& c : cases()) {
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        const int k = 2 << e.level;
        EXPECT_EQ(e.errorCorrectionCodewords, k) << c.name;
        EXPECT_EQ(e.dataCodewords, countDataCodewords(bytesOf(c.data), c.data.size(), c.options))
            << c.name;
        EXPECT_EQ(e.lengthDescriptor, 1 + e.dataCodewords + e.paddingCodewords) << c.name;
        EXPECT_EQ(e.lengthDescriptor + k, e.rows * e.columns) << c.name;
        EXPECT_EQ(e.capacityLeft, e.rows * e.columns - k - 1 - e.dataCodewords) << c.name;

        // Descriptor, then data, padding, control block and error correction
        // in that order, each where the counts put it.
        ASSERT_EQ(e.codewords.size(), static_cast<std::size_t>(e.rows * e.columns)) << c.name;
        EXPECT_EQ(e.codewords[0].role, CodewordRole::LengthDescriptor) << c.name;
        int padding = 0;
        int corrections = 0;
        for (std::size_t i = 1; i < e.codewords.size(); ++i) {
            const ExplainedCodeword& w = e.codewords[i];
            EXPECT_NE(w.role, CodewordRole::LengthDescriptor) << c.name << " at " << i;
            if (w.role == CodewordRole::Padding) {
                EXPECT_EQ(w.value, LATCH_TEXT) << c.name;
                EXPECT_EQ(corrections, 0) << c.name;
                ++padding;
            }
            if (w.role == CodewordRole::ErrorCorrection) {
                EXPECT_EQ(w.part, corrections) << c.name;
                EXPECT_EQ(w.parts, k) << c.name;
                ++corrections;
            } else {
                EXPECT_EQ(corrections, 0) << c.name << ": " << i << " after error correction";
            }
        }
        EXPECT_EQ(padding, e.paddingCodewords) << c.name;
        EXPECT_EQ(corrections, k) << c.name;
    }
}

// Which segment's mode carries each byte, and how many codewords carry it.
TEST(Explanation, SegmentsAndCodewordsCarryEveryByteOnce) {
    for (const Case& c : cases()) {
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        ASSERT_FALSE(e.segments.empty()) << c.name;
        std::vector<CompactionMode> modeOfByte;
        std::size_t next = 0;
        for (const Segment& s : e.segments) {
            EXPECT_EQ(s.offset, next) << c.name;
            next = s.offset + s.length;
            modeOfByte.insert(modeOfByte.end(), s.length, s.mode);
        }
        EXPECT_EQ(next, c.data.size()) << c.name;

        std::vector<int> carried(c.data.size(), 0);
        const auto carry = [&](std::size_t offset, std::size_t length, CompactionMode mode) {
            for (std::size_t i = offset; i < offset + length; ++i) {
                ASSERT_LT(i, carried.size()) << c.name;
                ++carried[i];
                EXPECT_EQ(modeOfByte[i], mode) << c.name << " byte " << i;
            }
        };
        for (const ExplainedCodeword& w : e.codewords) {
            if (w.role == CodewordRole::Text) {
                for (const TextValue& v : w.textValues)
                    if (v.kind == TextValueKind::Character)
                        carry(v.offset, 1, CompactionMode::Text);
            } else if ((w.role == CodewordRole::Byte || w.role == CodewordRole::Numeric) &&
                       w.part == 0) {
                carry(w.offset, w.length, w.mode);
            }
        }
        EXPECT_EQ(carried, std::vector<int>(c.data.size(), 1)) << c.name;
    }
}

// A reader's text decoder, written from the standard's submode tables: the
// values' meanings must be what it makes of them.
struct TextDecoder {
    static char character(TextSubmode submode, int value) {
        static const std::string alpha = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
        static const std::string lower = "abcdefghijklmnopqrstuvwxyz ";
        static const std::string mixed = "0123456789&\r\t,:#-.$/+%*=^\x01 ";
        static const std::string punctuation = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
        switch (submode) {
            case TextSubmode::Alpha:
                return alpha.at(static_cast<std::size_t>(value));
            case TextSubmode::Lower:
                return lower.at(static_cast<std::size_t>(value));
            case TextSubmode::Mixed:
                return mixed.at(static_cast<std::size_t>(value));
            default:
                return punctuation.at(static_cast<std::size_t>(value));
        }
    }

    // What value v means in the current submode: a latch or shift to a
    // submode, or a character.
    TextValue meaning(int v) const {
        TextValue m;
        m.value = v;
        m.kind = TextValueKind::Character;
        m.submode = current;
        const auto to = [&](TextValueKind kind, TextSubmode submode) {
            m.kind = kind;
            m.submode = submode;
        };
        switch (current) {
            case TextSubmode::Alpha:
            case TextSubmode::Lower:
                if (v == 27) {
                    if (current == TextSubmode::Alpha)
                        to(TextValueKind::Latch, TextSubmode::Lower);
                    else
                        to(TextValueKind::Shift, TextSubmode::Alpha);
                }
                if (v == 28) to(TextValueKind::Latch, TextSubmode::Mixed);
                if (v == 29) to(TextValueKind::Shift, TextSubmode::Punctuation);
                break;
            case TextSubmode::Mixed:
                if (v == 25) to(TextValueKind::Latch, TextSubmode::Punctuation);
                if (v == 27) to(TextValueKind::Latch, TextSubmode::Lower);
                if (v == 28) to(TextValueKind::Latch, TextSubmode::Alpha);
                if (v == 29) to(TextValueKind::Shift, TextSubmode::Punctuation);
                break;
            case TextSubmode::Punctuation:
                if (v == 29) to(TextValueKind::Latch, TextSubmode::Alpha);
                break;
        }
        return m;
    }

    TextSubmode current = TextSubmode::Alpha;
    bool shifted = false;
    TextSubmode saved = TextSubmode::Alpha;
};

TEST(Explanation, TextValuesMeanWhatAReaderMakesOfThem) {
    for (const Case& c : cases()) {
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        TextDecoder reader;
        for (std::size_t i = 0; i < e.codewords.size(); ++i) {
            const ExplainedCodeword& w = e.codewords[i];
            if (w.role == CodewordRole::Latch && w.mode == CompactionMode::Text) reader = {};
            if (w.role != CodewordRole::Text) continue;
            EXPECT_EQ(w.value, 30 * w.textValues[0].value + w.textValues[1].value) << c.name;
            for (int half = 0; half < 2; ++half) {
                const TextValue& told = w.textValues[half];
                const std::string where = std::string(c.name) + " codeword " + std::to_string(i);
                if (told.kind == TextValueKind::Padding) {
                    EXPECT_EQ(half, 1) << where;
                    EXPECT_EQ(told.value, 29) << where;
                    continue;
                }
                const TextValue read = reader.meaning(told.value);
                EXPECT_EQ(told.kind, read.kind) << where;
                EXPECT_EQ(told.submode, read.submode) << where;
                if (read.kind == TextValueKind::Character) {
                    EXPECT_EQ(TextDecoder::character(read.submode, told.value),
                              c.data.at(told.offset))
                        << where;
                    if (reader.shifted) reader.current = reader.saved;
                    reader.shifted = false;
                } else if (read.kind == TextValueKind::Shift) {
                    reader.saved = reader.current;
                    reader.shifted = true;
                    reader.current = read.submode;
                } else {
                    reader.current = read.submode;
                }
            }
        }
    }
}

TEST(Explanation, ModeCodewordsEciAndControlBlockSayWhatTheyAre) {
    for (const Case& c : cases()) {
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        for (std::size_t i = 0; i < e.codewords.size(); ++i) {
            const ExplainedCodeword& w = e.codewords[i];
            const std::string where = std::string(c.name) + " codeword " + std::to_string(i);
            switch (w.role) {
                case CodewordRole::Latch:
                    EXPECT_EQ(w.value, w.mode == CompactionMode::Text      ? LATCH_TEXT
                                       : w.mode == CompactionMode::Numeric ? LATCH_NUMERIC
                                       : w.value == LATCH_BYTE6            ? LATCH_BYTE6
                                                                           : LATCH_BYTE)
                        << where;
                    break;
                case CodewordRole::Shift:
                    EXPECT_EQ(w.value, SHIFT_BYTE) << where;
                    ASSERT_LT(i + 1, e.codewords.size());
                    EXPECT_EQ(e.codewords[i + 1].role, CodewordRole::Byte) << where;
                    EXPECT_EQ(e.codewords[i + 1].length, 1u) << where;
                    break;
                case CodewordRole::Byte:
                    EXPECT_EQ(w.parts, w.length == 6 ? 5 : 1) << where;
                    break;
                case CodewordRole::Eci:
                    EXPECT_EQ(w.number, c.options.eci) << where;
                    EXPECT_EQ(i, 1u) << where;
                    break;
                case CodewordRole::EciNumber:
                    EXPECT_EQ(w.number, c.options.eci) << where;
                    break;
                default:
                    break;
            }
        }
    }
}

TEST(Explanation, ControlBlockPartsAreNamedInOrder) {
    const Case c{"Macro control block", "AB", -1, 0, SYMBOL_FULL, withMacro()};
    const Explanation e = explain(c);
    ASSERT_TRUE(e.ok());
    std::vector<std::string> parts;
    for (const ExplainedCodeword& w : e.codewords) {
        std::string name;
        switch (w.role) {
            case CodewordRole::MacroMarker:
                name = "928";
                break;
            case CodewordRole::MacroSegmentIndex:
                name = "index " + std::to_string(w.number);
                break;
            case CodewordRole::MacroFileId:
                name = "id";
                break;
            case CodewordRole::MacroField:
                name = "923";
                break;
            case CodewordRole::MacroFieldId:
                name = "field " + std::to_string(w.number);
                break;
            case CodewordRole::MacroFieldData:
                name = "data " + std::to_string(w.number);
                break;
            case CodewordRole::MacroTerminator:
                name = "922";
                break;
            default:
                continue;
        }
        if (w.part == 0) parts.push_back(name);
    }
    EXPECT_EQ(
        parts,
        (std::vector<std::string>{
            "928", "index 2", "id",     "923", "field 0", "data 0", "923", "field 1", "data 1",
            "923", "field 2", "data 2", "923", "field 3", "data 3", "923", "field 4", "data 4",
            "923", "field 5", "data 5", "923", "field 6", "data 6", "922"}));
}

// The standard's own example: "PDF417" at level 1 is descriptor 5, four
// text codewords and the error correction 452, 327, 657, 619, one column.
TEST(Explanation, PinnedForTheStandardsExample) {
    const std::string data = "PDF417";
    const Explanation e = explainSymbol(bytesOf(data), data.size(), 1, 0, false, SymbolOptions{});
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(explanationJson(e),
              R"({
  "built": true,
  "dataLength": 6,
  "rows": 9,
  "columns": 1,
  "compact": false,
  "level": 1,
  "errorCorrectionCodewords": 4,
  "lengthDescriptor": 5,
  "dataCodewords": 4,
  "paddingCodewords": 0,
  "capacityLeft": 0,
  "segments": [
    {"mode": "text", "offset": 0, "length": 6}
  ],
  "codewords": [
    {"position": 0, "row": 0, "column": 0, "value": 5, "role": "length-descriptor"},
    {"position": 1, "row": 1, "column": 0, "value": 453, "role": "text", "mode": "text", "values": [{"value": 15, "kind": "character", "submode": "alpha", "offset": 0, "character": "P"}, {"value": 3, "kind": "character", "submode": "alpha", "offset": 1, "character": "D"}]},
    {"position": 2, "row": 2, "column": 0, "value": 178, "role": "text", "mode": "text", "values": [{"value": 5, "kind": "character", "submode": "alpha", "offset": 2, "character": "F"}, {"value": 28, "kind": "latch", "submode": "mixed"}]},
    {"position": 3, "row": 3, "column": 0, "value": 121, "role": "text", "mode": "text", "values": [{"value": 4, "kind": "character", "submode": "mixed", "offset": 3, "character": "4"}, {"value": 1, "kind": "character", "submode": "mixed", "offset": 4, "character": "1"}]},
    {"position": 4, "row": 4, "column": 0, "value": 239, "role": "text", "mode": "text", "values": [{"value": 7, "kind": "character", "submode": "mixed", "offset": 5, "character": "7"}, {"value": 29, "kind": "padding"}]},
    {"position": 5, "row": 5, "column": 0, "value": 452, "role": "error-correction", "part": 0, "parts": 4},
    {"position": 6, "row": 6, "column": 0, "value": 327, "role": "error-correction", "part": 1, "parts": 4},
    {"position": 7, "row": 7, "column": 0, "value": 657, "role": "error-correction", "part": 2, "parts": 4},
    {"position": 8, "row": 8, "column": 0, "value": 619, "role": "error-correction", "part": 3, "parts": 4}
  ],
  "rowIndicators": [
    {"row": 0, "left": 2, "right": 0},
    {"row": 1, "left": 5, "right": 2},
    {"row": 2, "left": 0, "right": 5},
    {"row": 3, "left": 32, "right": 30},
    {"row": 4, "left": 35, "right": 32},
    {"row": 5, "left": 30, "right": 35},
    {"row": 6, "left": 62, "right": 60},
    {"row": 7, "left": 65, "right": 62},
    {"row": 8, "left": 60, "right": 65}
  ]
}
)");
    EXPECT_EQ(explanationText(e),
              R"(9 rows x 1 columns, full form
error correction: level 1, 4 codewords
length descriptor: 5 (itself, 4 data codewords, 0 padding)
capacity left: 0 data codewords
segments:
  text     at 0, 6 bytes
codewords:
  position  row  column  value  meaning
         0    0       0      5  length descriptor
         1    1       0    453  text: "P", "D"
         2    2       0    178  text: "F", latch to mixed
         3    3       0    121  text: "4", "1"
         4    4       0    239  text: "7", padding
         5    5       0    452  error correction, part 1 of 4
         6    6       0    327  error correction, part 2 of 4
         7    7       0    657  error correction, part 3 of 4
         8    8       0    619  error correction, part 4 of 4
row indicators:
  row  0: left   2, right   0
  row  1: left   5, right   2
  row  2: left   0, right   5
  row  3: left  32, right  30
  row  4: left  35, right  32
  row  5: left  30, right  35
  row  6: left  62, right  60
  row  7: left  65, right  62
  row  8: left  60, right  65
)");
}

TEST(Explanation, DataThatDoesNotFitIsExplainedAsNotBuilt) {
    const std::string data = repeat("\x01\xff", 1500);
    const Explanation e = explainSymbol(bytesOf(data), data.size(), -1, 0, false, SymbolOptions{});
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.report.error, SymbolError::TooLong);
    EXPECT_TRUE(e.codewords.empty());
    EXPECT_EQ(explanationJson(e),
              "{\n  \"built\": false,\n  \"error\": \"too-long\",\n"
              "  \"dataCodewords\": 1251\n}\n");
}

// The JSON read by Python's own parser: the codewords, the text it carries
// and the bytes of the byte groups must come through. One run reads every
// case's document.
TEST(ExplanationJson, ParsesAsJsonWithTheCodewordsAndCharacters) {
    const char* script =
        "import json, sys\n"
        "for path in sys.argv[1:]:\n"
        "    d = json.load(open(path))\n"
        "    print(' '.join(str(c['value']) for c in d['codewords']))\n"
        "    print(json.dumps(''.join(v['character'] for c in d['codewords']\n"
        "                             if c['role'] == 'text'\n"
        "                             for v in c['values'] if v['kind'] == 'character')))\n"
        "    print(sum(len(c.get('bytes', [])) for c in d['codewords'] if c.get('part') == 0))\n";
    const std::string scriptPath = ::testing::TempDir() + "explanation_json_check.py";
    std::ofstream(scriptPath) << script;
    std::string command = std::string(PYTHON3) + " " + scriptPath;
    std::string expected;
    int index = 0;
    for (const Case& c : cases()) {
        const Explanation e = explain(c);
        ASSERT_TRUE(e.ok()) << c.name;
        const std::string jsonPath =
            ::testing::TempDir() + "explanation" + std::to_string(index++) + ".json";
        std::ofstream(jsonPath, std::ios::binary) << explanationJson(e);
        command += " " + jsonPath;

        std::string values;
        for (const ExplainedCodeword& w : e.codewords) {
            if (!values.empty()) values += ' ';
            values += std::to_string(w.value);
        }
        std::string text;
        std::size_t bytes = 0;
        for (const Segment& s : e.segments) {
            if (s.mode == CompactionMode::Text) text += c.data.substr(s.offset, s.length);
            if (s.mode == CompactionMode::Byte) bytes += s.length;
        }
        std::string quoted = "\"";
        for (char ch : text) {
            if (ch == '"' || ch == '\\') quoted += '\\';
            quoted += ch == '\n'   ? std::string("\\n")
                      : ch == '\r' ? std::string("\\r")
                      : ch == '\t' ? std::string("\\t")
                                   : std::string(1, ch);
        }
        quoted += '"';
        expected += values + "\n" + quoted + "\n" + std::to_string(bytes) + "\n";
    }
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(output, expected);
}

}  // namespace
