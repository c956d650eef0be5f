// SPDX-License-Identifier: MIT
// What a front end passes as text becomes exact bytes, colours, formats,
// names and sizes, by one rule for every front end.
#include <gtest/gtest.h>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

using namespace std::string_literals;

TEST(Escapes, DecodeControlCharactersAndRefuseMalformedOnes) {
    struct Case {
        std::string text;
        std::optional<std::string> bytes;  // nothing: refused
        long position = 0;                 // of the refused escape
        std::string given = {};
    };
    const Case cases[] = {
        {"plain", "plain"},
        {R"(a\nb\rc\td\\e)", "a\nb\rc\td\\e"},
        {R"(\x1eID\x1D\x00end)",
         "\x1e"
         "ID\x1d\0end"s},
        {R"(\xff\x7F)", "\xff\x7f"},
        {R"(\\x41)", R"(\x41)"},  // an escaped backslash does not start another escape
        {"", ""},
        {R"(trailing\)", std::nullopt, 9, R"(\)"},
        {R"(\q)", std::nullopt, 1, R"(\q)"},
        {R"(ab\x4)", std::nullopt, 3, R"(\x4)"},
        {R"(\xg0)", std::nullopt, 1, R"(\xg0)"},
        {R"(\0)", std::nullopt, 1, R"(\0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto decoded = decodeEscapes(c.text);
        ASSERT_EQ(decoded.ok(), c.bytes.has_value());
        if (c.bytes) {
            EXPECT_EQ(*decoded, *c.bytes);
            continue;
        }
        EXPECT_EQ(decoded.error().code, ErrorCode::invalidEscape);
        EXPECT_EQ(decoded.error().value, c.position);
        EXPECT_EQ(decoded.error().given, c.given);
    }
}

TEST(Escapes, WrittenBackTheyGiveTheSameBytes) {
    for (const std::string& bytes :
         {"plain"s, "tab\there\\"s, "\x1e\x1d\0\x7f"s, "caf\xc3\xa9"s, "\xff\xfe"s}) {
        const EscapedText text = encodeEscapes(bytes);
        EXPECT_EQ(*decodeEscapes(text.text), bytes);
        EXPECT_EQ(text.escaped, bytes != "plain" && bytes != "caf\xc3\xa9");
    }
}

TEST(Settings, ColoursAreHexOrBasicNames) {
    struct Case {
        const char* text;
        std::optional<Rgb> colour;
    };
    const Case cases[] = {
        {"#000000", Rgb{0, 0, 0}},    {"#FF0000", Rgb{255, 0, 0}},
        {"0000ff", Rgb{0, 0, 255}},   {"#123456", Rgb{0x12, 0x34, 0x56}},
        {"Navy", Rgb{0, 0, 0x80}},    {"GREY", Rgb{128, 128, 128}},
        {"#12345", std::nullopt},     {"#1234567", std::nullopt},
        {"#12345g", std::nullopt},    {"", std::nullopt},
        {"chartreuse", std::nullopt}, {"#", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Settings settings;
        const auto error = applySetting(settings, "fg", c.text);
        ASSERT_EQ(!error, c.colour.has_value());
        if (c.colour)
            EXPECT_EQ(settings.bar, *c.colour);
        else
            EXPECT_EQ(error->field, "bar");
    }
}

TEST(Settings, NumbersArePlainDecimalWithinTheirRange) {
    struct Case {
        const char* name;
        const char* value;
        bool ok;
    };
    const Case cases[] = {
        {"margin", "010", true},
        {"margin", "0", true},
        {"level", "08", true},
        {"level", "fill", true},
        {"columns", "auto", true},
        {"dpi", "0300", true},
        {"margin", "0x10", false},
        {"margin", "+5", false},
        {"margin", " 5", false},
        {"margin", "1e2", false},
        {"margin", "1001", false},
        {"level", "9", false},
        {"columns", "0", false},
        {"rows", "2", false},
        {"eci", "811800", false},
        {"xdim", "nan", false},
        {"xdim", "-0.25", false},
        {"xdim", "0x1p-2", false},
        {"aspect", "0:1", false},
        {"aspect", "1:0", false},
        {"aspect", "101", false},
        {"fit", "50", false},
        {"margin", "", false},
        {"nonsense", "1", false},
        {"timestamp", "2026-02-31T00:00:00Z", false},
        {"timestamp", "2026-+2-+3T+4:-0:+5Z", false},
        {"timestamp", " 2026-02-03T04:00:05Z", false},
        {"timestamp", "2024-02-29T23:59:59Z", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " '" + c.value + "'");
        Settings settings;
        const auto error = applySetting(settings, c.name, c.value);
        EXPECT_EQ(!error, c.ok) << (error ? error->message : "");
        if (error) {
            EXPECT_EQ(error->code, ErrorCode::invalidOption);
            EXPECT_EQ(error->given, c.value);
        }
    }
    Settings settings;
    ASSERT_FALSE(applySetting(settings, "level", "fill"));
    EXPECT_TRUE(settings.options.fillLevel);
    EXPECT_EQ(settings.options.level, autoLevel);
    ASSERT_FALSE(applySetting(settings, "aspect", "3:2"));
    EXPECT_DOUBLE_EQ(settings.options.aspect, 1.5);
    ASSERT_FALSE(applySetting(settings, "file-id", "001899"));
    EXPECT_EQ(settings.series.fileId, (std::vector<int>{1, 899}));
    ASSERT_FALSE(applySetting(settings, "timestamp", "2026-12-10T14:30:00Z"));
    EXPECT_EQ(settings.series.timeStamp, 1796913000);
    ASSERT_FALSE(applySetting(settings, "charset", "iso8859_2"));
    EXPECT_EQ(settings.options.charset, "ISO-8859-2");
}

// The format setting's words are written out in its table entry: a format
// added to the list must be named there too, and every name there taken.
TEST(Settings, TheFormatSettingNamesEveryFormat) {
    const SettingInfo* format = findSetting("format");
    ASSERT_NE(format, nullptr);
    for (const FormatInfo& info : formats()) {
        EXPECT_NE(format->values.find(info.name), std::string_view::npos) << info.name;
        Settings settings;
        EXPECT_FALSE(applySetting(settings, "format", std::string(info.name))) << info.name;
    }
}

TEST(Settings, EverySettingOfTheTableIsTakenAndNamesItsField) {
    for (const SettingInfo& info : settingTable()) {
        SCOPED_TRACE(info.name);
        EXPECT_EQ(findSetting(info.name), &info);
        EXPECT_FALSE(info.help.empty());
        EXPECT_FALSE(info.values.empty());
        Settings settings;
        const auto error = applySetting(settings, info.name, "\x01");
        if (info.kind == SettingKind::flag) continue;
        ASSERT_TRUE(error);
        EXPECT_EQ(error->field, info.field);
    }
}

TEST(Settings, CombinationsAreCheckedTogether) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> values;
        ErrorCode code;  // ok: accepted
        const char* field;
        const char* other;
    };
    const Case cases[] = {
        {{{"xdim", "0.25"}, {"dpi", "300"}}, ErrorCode::ok, "", ""},
        {{{"xdim", "0.25"}}, ErrorCode::missingOption, "moduleMm", "dpi"},
        {{{"xdim", "0.25"}, {"dpi", "300"}, {"module-width", "2"}},
         ErrorCode::conflictingOptions,
         "moduleMm",
         "moduleWidth"},
        {{{"aspect", "2"}, {"rows", "5"}}, ErrorCode::conflictingOptions, "aspect", "rows"},
        {{{"fit", "50x30"}}, ErrorCode::missingOption, "fit", "dpi"},
        {{{"fit", "50x30"}, {"dpi", "300"}, {"row-height", "9"}},
         ErrorCode::conflictingOptions,
         "fit",
         "rowHeight"},
        {{{"charset", "UTF-8"}, {"eci", "26"}}, ErrorCode::conflictingOptions, "charset", "eci"},
        {{{"fg", "white"}}, ErrorCode::conflictingOptions, "bar", "space"},
        {{{"checksum", ""}}, ErrorCode::missingOption, "series.checksum", "split"},
        {{{"checksum", ""}, {"macro", ""}}, ErrorCode::ok, "", ""},
    };
    for (const Case& c : cases) {
        Settings settings;
        for (const auto& [name, value] : c.values)
            ASSERT_FALSE(applySetting(settings, name, value));
        const auto error = checkSettings(settings);
        SCOPED_TRACE(c.values.front().first);
        ASSERT_EQ(error.has_value(), c.code != ErrorCode::ok);
        if (!error) continue;
        EXPECT_EQ(error->code, c.code);
        EXPECT_EQ(error->field, c.field);
        EXPECT_EQ(error->other, c.other);
    }
}

TEST(Formats, ExtensionOfTheFileNameChoosesLikeTheDesktopApplication) {
    struct Case {
        const char* path;
        Format format;
    };
    const Case cases[] = {
        {"a.png", Format::png},         {"A.PNG", Format::png},
        {"a.Gif", Format::gif},         {"a.svg", Format::svg},
        {"a.bmp", Format::bmp},         {"a.jpg", Format::bmp},
        {"noextension", Format::bmp},   {"a.png.gif", Format::gif},
        {"dir.png/label", Format::bmp}, {"labels/%05d.png", Format::png},
        {".png", Format::png},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(formatFromName(c.path), c.format);
    }
    EXPECT_EQ(knownFormatOfName("a.jpg"), std::nullopt);
    EXPECT_EQ(parseFormat("SVG"), Format::svg);
    EXPECT_EQ(parseFormat("jpeg"), std::nullopt);
    for (const FormatInfo& info : formats()) {
        EXPECT_EQ(formatFromName(std::string("x") + std::string(info.extension)), info.format);
        EXPECT_EQ(parseFormat(info.name), info.format);
    }
}

TEST(Names, CounterPatternsNameEachItemOrAreRefused) {
    struct Case {
        const char* pattern;
        const char* name7;  // nullptr: refused
    };
    const Case cases[] = {
        {"labels/%05d.png", "labels/00007.png"},
        {"%d.gif", "7.gif"},
        {"x%3d", "x  7"},
        {"100%%-%d.bmp", "100%-7.bmp"},
        {"label.png", nullptr},
        {"%d-%d.png", nullptr},
        {"%s.png", nullptr},
        {"%99999999999d", nullptr},
        {"end%", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        const auto pattern = NamePattern::parse(c.pattern);
        ASSERT_EQ(pattern.ok(), c.name7 != nullptr);
        if (pattern) {
            EXPECT_EQ(pattern->nameFor(7), c.name7);
        }
    }
    EXPECT_EQ(NamePattern::parse("labels/a/%05d.png")->folder(), "labels/a/");
    EXPECT_EQ(NamePattern::parse("%d.png")->folder(), "");
    EXPECT_EQ(NamePattern::parse("x%d/y.png")->folder(), "");
    // Past 2^31 lines the counter keeps counting.
    EXPECT_EQ(NamePattern::parse("%d.png")->nameFor(4294967298LL), "4294967298.png");
}

TEST(Names, ASeriesFollowsTheCounterOrGetsANumberBeforeTheExtension) {
    const struct {
        const char* output;
        int index, count;
        const char* name;
    } cases[] = {
        {"part%d.png", 0, 3, "part1.png"},      {"labels/%03d.gif", 11, 20, "labels/012.gif"},
        {"photo.png", 0, 3, "photo-01.png"},    {"photo.png", 99, 100, "photo-100.png"},
        {"photo.png", 4, 100, "photo-005.png"}, {"dir.v2/photo", 1, 2, "dir.v2/photo-02"},
        {"100%.png", 0, 2, "100%-01.png"},
    };
    for (const auto& c : cases) EXPECT_EQ(seriesFileName(c.output, c.index, c.count), c.name);
}

TEST(PrintSize, PrinterSizingGivesWholeDotsAndWarnsBelowThree) {
    struct Case {
        PrintSize request;
        ErrorCode code;
        int moduleWidth, rowHeight, dpi;
        bool warned = false;
    };
    const Case cases[] = {
        {{}, ErrorCode::ok, 2, 4, 0},
        {{3, {}, {}, {}}, ErrorCode::ok, 3, 6, 0},
        {{3, 5, {}, {}}, ErrorCode::ok, 3, 5, 0},
        {{{}, {}, {}, 600}, ErrorCode::ok, 2, 4, 600},
        {{{}, {}, 0.25, 300}, ErrorCode::ok, 3, 9, 300},   // 2.95 dots become 3
        {{{}, {}, 0.33, 600}, ErrorCode::ok, 8, 24, 600},  // 7.8 dots become 8
        {{{}, 10, 0.5, 300}, ErrorCode::ok, 6, 10, 300},
        {{{}, {}, 0.25, 203}, ErrorCode::ok, 2, 6, 203, true},
        {{{}, {}, 0.01, 96}, ErrorCode::ok, 1, 3, 96, true},
        {{{}, {}, 0.25, {}}, ErrorCode::missingOption, 0, 0, 0},
        {{2, {}, 0.25, 300}, ErrorCode::conflictingOptions, 0, 0, 0},
        {{{}, {}, 0.0, 300}, ErrorCode::invalidRender, 0, 0, 0},
        {{{}, {}, 5.0, 1200}, ErrorCode::invalidRender, 0, 0, 0},
        {{0, {}, {}, {}}, ErrorCode::invalidRender, 0, 0, 0},
        {{65, {}, {}, {}}, ErrorCode::invalidRender, 0, 0, 0},
        {{{}, 257, {}, {}}, ErrorCode::invalidRender, 0, 0, 0},
        {{{}, {}, {}, 0}, ErrorCode::invalidRender, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moduleWidth);
        const auto sized = sizeModules(c.request);
        ASSERT_EQ(sized.ok(), c.code == ErrorCode::ok);
        if (!sized) {
            EXPECT_EQ(sized.error().code, c.code);
            continue;
        }
        EXPECT_EQ(sized->size.moduleWidth, c.moduleWidth);
        EXPECT_EQ(sized->size.rowHeight, c.rowHeight);
        EXPECT_EQ(sized->size.dpi, c.dpi);
        EXPECT_EQ(sized->warning.has_value(), c.warned);
        if (c.warned) {
            EXPECT_EQ(sized->warning->id, "thin-module");
        }
    }
}

TEST(PrintSize, FitTakesTheLargestWholeDotModuleThatFitsTheLabel) {
    const struct {
        LabelArea area;
        int moduleWidth;  // 0: refused
    } cases[] = {
        {{50, 30}, 5},   // 590 x 354 dots: 20 + 103 x 5 across, 20 + 30 x 5 down
        {{100, 10}, 3},  // 118 dots high: 20 + 30 x 3
        {{5, 3}, 0},
    };
    for (const auto& c : cases) {
        const auto fitted = fitToLabel(103, 10, 10, c.area, 300);
        ASSERT_EQ(fitted.ok(), c.moduleWidth != 0);
        if (fitted) {
            EXPECT_EQ(fitted->moduleWidth, c.moduleWidth);
            EXPECT_EQ(fitted->rowHeight, 3 * c.moduleWidth);
            EXPECT_EQ(fitted->dpi, 300);
            continue;
        }
        EXPECT_EQ(fitted.error().code, ErrorCode::labelTooSmall);
        // 20 + 103 dots by 20 + 30 dots at 300 dpi.
        EXPECT_NEAR(fitted.error().widthMm, 10.41, 0.01);
        EXPECT_NEAR(fitted.error().heightMm, 4.23, 0.01);
    }
}

TEST(Labels, TextThatIsNotAsciiBecomesUtf8WithItsEci) {
    const std::string euro = "12 \xe2\x82\xac";
    const struct {
        const char* name;
        std::vector<std::pair<const char*, const char*>> settings;
        bool asText;
        std::string data;
        int eci;  // or the refusal's position
        std::string bytes;
        bool ok = true;
    } cases[] = {
        {"ASCII text as before", {}, true, "LOT 4711", noEci, "LOT 4711"},
        {"other text as UTF-8", {}, true, euro, 26, euro},
        {"bytes that are no UTF-8 stay", {}, true, "\xff\xfe", noEci, "\xff\xfe"},
        {"input byte for byte", {}, false, euro, noEci, euro},
        {"converted", {{"charset", "ISO-8859-15"}}, true, euro, 17, "12 \xa4"},
        {"kept", {{"charset", "none"}}, true, euro, noEci, euro},
        {"designated", {{"eci", "17"}}, true, "12 \xa4", 17, "12 \xa4"},
        {"refused", {{"charset", "ISO-8859-1"}}, true, euro, 4, "ISO-8859-15", false},
        {"not UTF-8", {{"charset", "Windows-1250"}}, true, "a\xff", 2, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        for (const auto& [name, value] : c.settings)
            ASSERT_FALSE(applySetting(settings, name, value));
        const auto label =
            c.asText ? makeLabel(std::string_view(c.data), settings)
                     : makeLabel(std::span(reinterpret_cast<const std::uint8_t*>(c.data.data()),
                                           c.data.size()),
                                 settings);
        ASSERT_EQ(label.ok(), c.ok);
        if (!label) {
            EXPECT_EQ(label.error().code, ErrorCode::invalidText);
            EXPECT_EQ(label.error().value, c.eci);
            EXPECT_EQ(label.error().suggestion, c.bytes);
            continue;
        }
        const Symbol& symbol = label->symbols.front();
        EXPECT_EQ(symbol.eci(), c.eci);
        EXPECT_EQ(std::string(symbol.data().begin(), symbol.data().end()), c.bytes);
    }
}

}  // namespace
}  // namespace barquill
