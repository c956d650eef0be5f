// SPDX-License-Identifier: MIT
// Scan checks, explanations and profiles through the one path: what a
// label warns about, that an explanation is of the very symbol made, and
// that a profile's settings lie over the user's.
#include <gtest/gtest.h>

#include <algorithm>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::vector<std::string> ids(const std::vector<Warning>& warnings) {
    std::vector<std::string> names;
    for (const Warning& w : warnings) names.push_back(w.id);
    return names;
}

TEST(ScanChecks, ALabelSaysWhatMayNotScanAndNeverChangesTheSymbol) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> settings;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"defaults", {}, {}},
        {"compact", {{"compact", "true"}}, {"compact"}},
        {"two printer dots", {{"xdim", "0.25"}, {"dpi", "203"}}, {"thin-module"}},
        {"grey on grey", {{"fg", "#808080"}, {"bg", "#a0a0a0"}}, {"contrast"}},
        {"no quiet zone", {{"margin", "2"}}, {"quiet-zone"}},
        {"low rows when printing",
         {{"xdim", "0.5"}, {"dpi", "300"}, {"row-height", "6"}, {"margin", "20"}},
         {"low-rows"}},
        {"bytes beyond ASCII without ECI", {{"charset", "none"}}, {"no-eci"}},
        {"level 0", {{"level", "0"}}, {"low-level"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        for (const auto& [name, value] : c.settings)
            ASSERT_FALSE(applySetting(settings, name, value));
        const auto label = makeLabel(std::string_view("caf\xc3\xa9 12345"), settings);
        ASSERT_TRUE(label) << label.error().message;
        EXPECT_EQ(ids(label->warnings), c.expected);
        for (const Warning& w : label->warnings) {
            EXPECT_FALSE(w.message.empty());
            EXPECT_FALSE(w.change.empty());
        }
        Settings quiet = settings;
        quiet.options.compact = false;
        EXPECT_EQ(label->symbols.front().compact(), settings.options.compact);
    }
}

// A missing ECI is told of text beyond ASCII only: binary data has no
// character set to name, and a scheme's data has the one its scheme fixes.
TEST(ScanChecks, OnlyTextBeyondAsciiIsToldItLacksAnEci) {
    const std::string photo = "\xff\xd8\xff\xe0 JFIF \x89\x01";  // not UTF-8
    const std::string utf8 = "caf\xc3\xa9";
    struct Case {
        const char* name;
        std::string data;
        DataKind kind;
        bool told;
    };
    const Case cases[] = {
        {"typed text", utf8, DataKind::text, true},
        {"typed text not UTF-8", "caf\xe9", DataKind::text, true},
        {"bytes that read as UTF-8 text", utf8, DataKind::bytes, true},
        {"binary bytes", photo, DataKind::bytes, false},
        {"ASCII bytes", "plain", DataKind::bytes, false},
        {"a scheme's bytes", utf8, DataKind::scheme, false},
    };
    Settings settings;
    settings.options.charset = std::string(rawBytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto label = makeLabel(bytesOf(c.data), settings);
        ASSERT_TRUE(label) << label.error().message;
        const auto warnings = ids(checkLabel(*label, c.kind));
        EXPECT_EQ(std::count(warnings.begin(), warnings.end(), "no-eci"), c.told ? 1 : 0);
    }
    // Through makeLabel: the overload says what the data is.
    const auto photoLabel = makeLabel(bytesOf(photo), Settings{});
    ASSERT_TRUE(photoLabel);
    EXPECT_EQ(ids(photoLabel->warnings), std::vector<std::string>{});
}

// A profile that fixes the character set meets its scheme without an ECI:
// no warning turns --strict against a compliant stamp or invoice.
TEST(Profiles, ASchemeThatFixesTheCharacterSetIsNotToldItLacksAnEci) {
    struct Case {
        const char* profile;
        const char* data;
    };
    const Case cases[] = {
        {"sii-cl", "<TED version=\"1.0\"><DD>Pe\xf1\x61lol\xe9n</DD></TED>"},
        {"aeat-es", "%PDF-1.7 \xe2\xe3\xcf\xd3 invoice"},
        {"aeat-es", "<Factura>Jos\xc3\xa9</Factura>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.profile) + ": " + c.data);
        const auto label = makeProfileLabel(
            {.profile = c.profile, .fields = {{"data", c.data}}, .charset = {}, .given = {}});
        ASSERT_TRUE(label) << label.error().message;
        EXPECT_EQ(ids(label->warnings), std::vector<std::string>{});
    }
}

// What cannot scan is refused before anything is written, not merely warned
// about: the symbols are sound, only the way they are drawn hides them.
TEST(ReadBack, ALabelThatDoesNotReadBackIsRefusedNamingTheSymbol) {
    if (!canVerify()) GTEST_SKIP() << "this build cannot read symbols back";
    struct Case {
        const char* name;
        Rgb bar;
        Rgb space;
    };
    const Case cases[] = {
        {"light bars on a dark background", white, black},
        {"two light greys", {136, 136, 136}, {250, 250, 250}},
        {"black on dark grey", black, {100, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        settings.bar = c.bar;
        settings.space = c.space;
        const auto unchecked = makeLabel(std::string_view("READ ME BACK"), settings);
        ASSERT_TRUE(unchecked) << unchecked.error().message;
        const auto refused = verifySymbol(unchecked->symbols.front(), unchecked->render);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->code, ErrorCode::notVerified);

        settings.verify = true;
        const auto label = makeLabel(std::string_view("READ ME BACK"), settings);
        ASSERT_FALSE(label);
        EXPECT_EQ(label.error().code, ErrorCode::notVerified);
        EXPECT_EQ(label.error().symbol, -1);

        // In a series the error names the symbol that failed.
        settings.split = true;
        settings.series.segments = 2;
        const auto series = makeLabel(std::string_view("READ ME BACK, TWO OF US"), settings);
        ASSERT_FALSE(series);
        EXPECT_EQ(series.error().code, ErrorCode::notVerified);
        EXPECT_EQ(series.error().symbol, 0);
    }
    // Drawn as a scanner needs it, the same label passes.
    Settings settings;
    settings.verify = true;
    const auto label = makeLabel(std::string_view("READ ME BACK"), settings);
    EXPECT_TRUE(label) << label.error().message;
}

// Fields of the control block asked for on data that fits one symbol make
// a series of one that carries them, rather than a lone symbol without them.
TEST(Series, FieldsAskedForOnShortDataMakeASeriesOfOne) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> settings;
        bool macro;
    };
    const Case cases[] = {
        {"nothing asked", {{"macro", ""}}, false},
        {"file name", {{"macro", ""}, {"file-name", "doc.txt"}}, true},
        {"time stamp", {{"macro", ""}, {"timestamp", "1700000000"}}, true},
        {"sender and addressee", {{"macro", ""}, {"sender", "A"}, {"addressee", "B"}}, true},
        {"file ID", {{"macro", ""}, {"file-id", "001002"}}, true},
        {"size and checksum", {{"macro", ""}, {"file-size", ""}, {"checksum", ""}}, true},
        {"one segment", {{"segments", "1"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        for (const auto& [name, value] : c.settings)
            ASSERT_FALSE(applySetting(settings, name, value)) << name;
        const auto label = makeLabel(std::string_view("SHORT"), settings);
        ASSERT_TRUE(label) << label.error().message;
        ASSERT_EQ(label->symbols.size(), 1u);
        const auto& macro = label->symbols.front().macro();
        ASSERT_EQ(macro.has_value(), c.macro);
        if (!macro) continue;
        EXPECT_TRUE(macro->lastSegment);
        EXPECT_EQ(macro->segmentIndex, 0);
        EXPECT_EQ(macro->fileName, settings.series.fileName);
        EXPECT_EQ(macro->timeStamp, settings.series.timeStamp);
    }
}

TEST(Explanations, AreOfTheVerySymbolsMadeOneForEachOfASeries) {
    Settings settings;
    settings.options.level = 3;
    const std::string data = "Mixed 0123456789012345 text";
    const auto label = makeLabel(std::string_view(data), settings);
    const auto explained = explain(std::string_view(data), settings);
    ASSERT_TRUE(label && explained);
    ASSERT_EQ(explained->size(), 1u);
    const Explanation& e = explained->front();
    const Symbol& symbol = label->symbols.front();
    EXPECT_EQ(e.rows, symbol.rows());
    EXPECT_EQ(e.columns, symbol.columns());
    EXPECT_EQ(e.level, symbol.level());
    EXPECT_EQ(e.dataCodewords, symbol.dataCodewords());
    EXPECT_EQ(static_cast<int>(e.codewords.size()), symbol.rows() * symbol.columns());
    EXPECT_EQ(e.capacityLeft, symbol.capacity() - symbol.dataCodewords());
    EXPECT_EQ(e.rowIndicators.size(), static_cast<std::size_t>(symbol.rows()));
    EXPECT_FALSE(e.json.empty());
    EXPECT_NE(e.text.find("length descriptor"), std::string::npos);

    Settings series;
    series.split = true;
    series.series.segments = 3;
    const auto parts = explain(std::string_view(std::string(300, 'x')), series);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->size(), 3u);
    EXPECT_TRUE(std::any_of(parts->front().codewords.begin(), parts->front().codewords.end(),
                            [](const ExplainedCodeword& c) { return c.role == "macro-marker"; }));
}

const Fields slip = {{"amount", "12,50"},
                     {"recipient_name", "Udruga \xc5\xbditnjak"},
                     {"iban", "HR1210010051863000160"}};

TEST(Profiles, TheSchemesSettingsLieOverTheUsersUnlessTheUserGaveOne) {
    ASSERT_EQ(availableProfiles().size(), 5u);
    ASSERT_TRUE(findProfile("hub3"));
    const auto label =
        makeProfileLabel({.profile = "hub3", .fields = slip, .charset = {}, .given = {}});
    ASSERT_TRUE(label) << label.error().message;
    const Symbol& symbol = label->symbols.front();
    EXPECT_EQ(symbol.level(), 4);
    EXPECT_EQ(symbol.columns(), 9);
    EXPECT_EQ(symbol.eci(), 4);  // ISO-8859-2
    EXPECT_EQ(std::string(symbol.data().begin(), symbol.data().end()).substr(0, 9), "HRVHUB30\n");

    Settings low;
    low.options.level = 2;
    const auto refused = makeProfileLabel(
        {.profile = "hub3", .fields = slip, .charset = {}, .given = {"level"}}, low);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, ErrorCode::profileConflict);
    EXPECT_EQ(refused.error().field, "level");
    const auto relaxed = makeProfileLabel(
        {.profile = "hub3", .fields = slip, .charset = {}, .given = {"level"}, .relaxed = true},
        low);
    ASSERT_TRUE(relaxed);
    EXPECT_EQ(relaxed->symbols.front().level(), 2);
    EXPECT_EQ(relaxed->warnings.front().id, "profile-rule");
    // Not given, the user's default is the scheme's to set.
    EXPECT_TRUE(
        makeProfileLabel({.profile = "hub3", .fields = slip, .charset = {}, .given = {}}, low));

    const auto field = makeProfileLabel(
        {.profile = "hub3", .fields = {{"amount", "-1"}}, .charset = {}, .given = {}});
    ASSERT_FALSE(field);
    EXPECT_EQ(field.error().code, ErrorCode::invalidField);
    EXPECT_FALSE(field.error().message.empty());
    const auto unknown =
        makeProfileLabel({.profile = "hub4", .fields = {}, .charset = {}, .given = {}});
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().field, "profile");
    const auto ascii =
        buildProfile({.profile = "hub3", .fields = slip, .charset = "ASCII", .given = {}});
    ASSERT_TRUE(ascii);
    EXPECT_NE(ascii->data.find("Udruga Zitnjak"), std::string::npos);
    EXPECT_EQ(ascii->warnings.front().id, "transliterated");
}

TEST(Profiles, ATaxStampIsBytesWithRowsThreeModulesHighAndAQuarterInchQuietZone) {
    Settings printed;
    ASSERT_FALSE(applySetting(printed, "xdim", "0.25"));
    ASSERT_FALSE(applySetting(printed, "dpi", "300"));
    const auto label =
        makeProfileLabel({.profile = "sii-cl",
                          .fields = {{"data", "<TED version=\"1.0\"><DD>caf\xe9</DD></TED>"}},
                          .charset = {},
                          .given = {}},
                         printed);
    ASSERT_TRUE(label) << label.error().message;
    EXPECT_EQ(label->symbols.front().level(), 5);
    EXPECT_EQ(label->render.rowHeight, 3 * label->render.moduleWidth);
    EXPECT_GE(label->render.quietZone, 75);  // 0.25 in at 300 dpi
    EXPECT_EQ(label->symbols.front().eci(), noEci);
}

TEST(Profiles, FieldsComeFromJsonWithTheirPlaceInItOnError) {
    const auto fields =
        parseFieldsJson(R"({"name": "DOE/JOHN", "legs": [{"from": "ZRH"}], "n": 7})");
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, (Fields{{"name", "DOE/JOHN"}, {"legs.0.from", "ZRH"}, {"n", "7"}}));
    const auto bad = parseFieldsJson("{\n  \"name\": }");
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().value, 2);  // the line
}

}  // namespace
}  // namespace barquill

namespace barquill {
namespace {

// A reader decodes each symbol of a series on its own: no symbol may begin
// inside a character of the data's set.
TEST(Series, AreCutOnlyWhereTheSetsCharactersBegin) {
    struct Case {
        const char* charset;
        std::string text;                  // UTF-8
        std::vector<std::size_t> lengths;  // each symbol's bytes
    };
    const Case cases[] = {
        // Two bytes a character: an even cut.
        {"Shift_JIS", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", {4, 2}},
        // A surrogate pair (four bytes) is one character in UTF-16.
        {"UTF-16BE",
         "a\xf0\x9f\x98\x80"
         "b",
         {6, 2}},
        // GB 18030 writes the emoji in four bytes.
        {"GB18030", "x\xf0\x9f\x98\x80y", {5, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        const auto series =
            encodeSeries(std::string_view(c.text), {.charset = c.charset}, {.segments = 2});
        ASSERT_TRUE(series) << series.error().message;
        std::vector<std::size_t> lengths;
        for (const Symbol& s : *series) lengths.push_back(s.data().size());
        EXPECT_EQ(lengths, c.lengths);
    }
}

}  // namespace
}  // namespace barquill
