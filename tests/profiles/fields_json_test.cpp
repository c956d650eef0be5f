// SPDX-License-Identifier: MIT
// Fields from JSON: flattened in document order into the keys the command
// line uses, numbers as their decimal text, errors with line and column.

#include <gtest/gtest.h>

#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

using Code = ProfileErrorCode;

TEST(FieldsJson, NestedValuesFlattenInDocumentOrder) {
    struct Case {
        const char* name;
        std::string json;
        FieldValues expected;
    };
    const Case cases[] = {
        {"subfiles and elements in the order written, without the subfiles prefix",
         R"({"iin": "636000", "version": 10,
             "subfiles": {"ZC": {"ZCA": "X"}, "DL": {"DCS": "SMITH", "DAC": "JO"}}})",
         {{"iin", "636000"},
          {"version", "10"},
          {"ZC.ZCA", "X"},
          {"DL.DCS", "SMITH"},
          {"DL.DAC", "JO"}}},
        {"legs numbered from 0",
         R"({"name": "A/B", "legs": [{"from": "YUL", "seat": "1A"}, {"from": "FRA", "date": 7}]})",
         {{"name", "A/B"},
          {"legs.0.from", "YUL"},
          {"legs.0.seat", "1A"},
          {"legs.1.from", "FRA"},
          {"legs.1.date", "7"}}},
        {"numbers as decimal text",
         R"({"a": 123.45, "b": -3, "c": 18446744073709551615, "d": 1.5e2, "e": 0.10, "f": 0})",
         {{"a", "123.45"},
          {"b", "-3"},
          {"c", "18446744073709551615"},
          {"d", "150"},
          {"e", "0.10"},
          {"f", "0"}}},
        {"keys kept in order and duplicates kept for the later to win",
         R"({"b": "1", "a": "2", "b": "3"})",
         {{"b", "1"}, {"a", "2"}, {"b", "3"}}},
        {"escapes decoded to UTF-8",
         R"({"name": "\u010Cak \"x\"\n"})",
         {{"name",
           "\xC4\x8C"
           "ak \"x\"\n"}}},
        {"other nesting joins keys with dots",
         R"({"a": {"b": {"c": "1"}}, "subfiles": "s"})",
         {{"a.b.c", "1"}, {"subfiles", "s"}}},
        {"empty object", "{}", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = parseFieldsJson(c.json);
        ASSERT_TRUE(fields.ok()) << describe(fields.error());
        EXPECT_EQ(*fields, c.expected);
    }
}

TEST(FieldsJson, FlattenedFieldsBuildLikeCommandLineFields) {
    const auto fields = parseFieldsJson(
        R"({"name": "SMITH/JOHN", "legs": [
              {"pnr": "XYZ789", "from": "LHR", "to": "FRA", "carrier": "BA", "flight": 902,
               "date": 6},
              {"pnr": "ABC123", "from": "FRA", "to": "GVA", "carrier": "LX", "flight": "1234A",
               "date": 7}]})");
    ASSERT_TRUE(fields.ok());
    const auto built = build(testing::profile("bcbp"), *fields);
    ASSERT_TRUE(built.ok()) << describe(built.error());
    // Compartment, seat, sequence and status blank: eleven spaces.
    const std::string blank(11, ' ');
    EXPECT_EQ(built->bytes, "M2SMITH/JOHN          EXYZ789 LHRFRABA 0902 006" + blank + "00" +
                                "ABC123 FRAGVALX 1234A007" + blank + "00");
}

TEST(FieldsJson, ErrorsTellWhere) {
    struct Case {
        const char* name;
        std::string json;
        Code code;
        int line;
        std::size_t column;
        std::string field;
    };
    const Case cases[] = {
        {"missing value", R"({"a": })", Code::jsonSyntax, 1, 7, ""},
        // The column of the byte where reading stopped: the line feed after "nul".
        {"bad literal on line 3", "{\n  \"a\": \"x\",\n  \"b\": nul\n}", Code::jsonSyntax, 3, 11,
         ""},
        {"unterminated", R"({"a": "x)", Code::jsonSyntax, 1, 9, ""},
        {"empty text", "", Code::jsonSyntax, 1, 1, ""},
        {"trailing text", R"({"a": "x"} x)", Code::jsonSyntax, 1, 12, ""},
        {"array", R"(["a"])", Code::jsonNotObject, 0, 0, ""},
        {"string", R"("a")", Code::jsonNotObject, 0, 0, ""},
        {"null value", R"({"a": null})", Code::jsonUnsupportedValue, 0, 0, "a"},
        {"boolean in a leg", R"({"legs": [{"seat": true}]})", Code::jsonUnsupportedValue, 0, 0,
         "legs.0.seat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = parseFieldsJson(c.json);
        ASSERT_FALSE(fields.ok());
        EXPECT_EQ(fields.error().code, c.code) << describe(fields.error());
        EXPECT_EQ(fields.error().line, c.line) << describe(fields.error());
        EXPECT_EQ(fields.error().position, c.column) << describe(fields.error());
        EXPECT_EQ(fields.error().field, c.field);
    }
}

// A profile reads three levels at most; deeper input stops the reader at
// the limit, whatever follows, and a key long enough to cost memory for
// every value under it is refused before any value takes it.
TEST(FieldsJson, NestingAndKeysAreBoundedAndTheRefusalNamesTheKey) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    const std::string longKey(maxJsonKeyBytes - 2, 'k');
    struct Case {
        const char* name;
        std::string json;
        Code code;
        std::string field;
        long length;
        long limit;
    };
    const Case cases[] = {
        {"100,000 arrays deep", R"({"x": )" + deep + "}", Code::jsonTooDeep, "x.0.0.0.0",
         maxJsonDepth + 1, maxJsonDepth},
        {"never closed", R"({"x": )" + std::string(100'000, '['), Code::jsonTooDeep, "x.0.0.0.0",
         maxJsonDepth + 1, maxJsonDepth},
        {"objects one level too deep", R"({"a": {"b": {"c": {"d": {"e": {}}}}}})",
         Code::jsonTooDeep, "a.b.c.d.e", maxJsonDepth + 1, maxJsonDepth},
        // Empty keys still join with their dots: the refusal names a place.
        {"empty keys one level too deep", R"({"": {"": {"": {"": {"": ["HR"]}}}}})",
         Code::jsonTooDeep, "....", maxJsonDepth + 1, maxJsonDepth},
        {"a leg's member one level too deep", R"({"legs": [{"from": {"x": [["LHR"]]}}]})",
         Code::jsonTooDeep, "legs.0.from.x.0", maxJsonDepth + 1, maxJsonDepth},
        {"a joined key one byte too long", "{\"" + longKey + "\": {\"xy\": 1}}",
         Code::jsonKeyTooLong, longKey.substr(0, 40) + "...",
         static_cast<long>(maxJsonKeyBytes) + 1, static_cast<long>(maxJsonKeyBytes)},
        {"a long key over many values", "{\"" + std::string(60'000, 'k') + "\": [1, 1, 1]}",
         Code::jsonKeyTooLong, std::string(40, 'k') + "...", 60'000,
         static_cast<long>(maxJsonKeyBytes)},
        {"cut at a whole character", "{\"" + std::string(39, 'k') + "\u010C" + longKey + "\": 1}",
         Code::jsonKeyTooLong, std::string(39, 'k') + "...", static_cast<long>(longKey.size()) + 41,
         static_cast<long>(maxJsonKeyBytes)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = parseFieldsJson(c.json);
        ASSERT_FALSE(fields.ok());
        EXPECT_EQ(fields.error().code, c.code) << describe(fields.error());
        EXPECT_EQ(fields.error().field, c.field);
        EXPECT_EQ(fields.error().length, c.length);
        EXPECT_EQ(fields.error().limit, c.limit);
        EXPECT_NE(describe(fields.error()).find(std::to_string(c.limit)), std::string::npos)
            << describe(fields.error());
    }
    // At the limits themselves.
    const auto deepest = parseFieldsJson(R"({"a": {"b": {"c": [{"e": "1"}, [2]]}}})");
    ASSERT_TRUE(deepest.ok()) << describe(deepest.error());
    EXPECT_EQ(*deepest, (FieldValues{{"a.b.c.0.e", "1"}, {"a.b.c.1.0", "2"}}));
    const auto empty = parseFieldsJson(R"({"": {"": [1]}})");
    ASSERT_TRUE(empty.ok()) << describe(empty.error());
    EXPECT_EQ(*empty, (FieldValues{{"..0", "1"}}));
    const auto longest = parseFieldsJson("{\"" + longKey + "\": {\"x\": 1}}");
    ASSERT_TRUE(longest.ok()) << describe(longest.error());
    EXPECT_EQ(longest->front().first.size(), maxJsonKeyBytes);

    // One deep line is one record's error; the lines after it are read.
    const auto records = parseFieldsJsonLines(R"({"x": )" + deep + "}\n{\"c\": 2}");
    ASSERT_EQ(records.size(), 2u);
    ASSERT_TRUE(records[0].error.has_value());
    EXPECT_EQ(records[0].error->code, Code::jsonTooDeep);
    EXPECT_EQ(records[1].fields, (FieldValues{{"c", "2"}}));
}

TEST(FieldsJson, LinesAreRecordsWithTheirLineNumbers) {
    const auto records = parseFieldsJsonLines("{\"a\": \"1\"}\n\n  \r\n{\"b\": }\r\n{\"c\": 2}");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].line, 1);
    EXPECT_EQ(records[0].fields, (FieldValues{{"a", "1"}}));
    EXPECT_EQ(records[1].line, 4);
    ASSERT_TRUE(records[1].error.has_value());
    EXPECT_EQ(records[1].error->code, Code::jsonSyntax);
    EXPECT_EQ(records[1].error->line, 4);
    EXPECT_EQ(records[1].error->position, 7u);
    EXPECT_EQ(records[2].line, 5);
    EXPECT_EQ(records[2].fields, (FieldValues{{"c", "2"}}));
}

}  // namespace
}  // namespace barquill::profiles
