// What the user types becomes exact bytes, colours, formats and batch items.
#include <gtest/gtest.h>

#include "cli/batch_input.h"
#include "cli/colour.h"
#include "cli/escapes.h"
#include "cli/output_format.h"

namespace barquill::cli {
namespace {

using namespace std::string_literals;

TEST(Escapes, DecodeControlCharactersAndRefuseMalformedOnes) {
    struct Case {
        std::string text;
        bool ok;
        std::string bytesOrError;
    };
    const Case cases[] = {
        {"plain", true, "plain"},
        {R"(a\nb\rc\td\\e)", true, "a\nb\rc\td\\e"},
        {R"(\x1eID\x1D\x00end)", true,
         "\x1e"
         "ID\x1d\0end"s},
        {R"(\xff\x7F)", true, "\xff\x7f"},
        {R"(\\x41)", true, R"(\x41)"},  // an escaped backslash does not start another escape
        {"", true, ""},
        {R"(trailing\)", false, "lone backslash"},
        {R"(\q)", false, R"(unknown escape \q)"},
        {R"(\x4)", false, "two hex digits"},
        {R"(\xg0)", false, "two hex digits"},
        {R"(\0)", false, R"(unknown escape \0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const EscapeResult result = decodeEscapes(c.text);
        ASSERT_EQ(result.ok, c.ok) << result.error;
        if (c.ok)
            EXPECT_EQ(result.bytes, c.bytesOrError);
        else
            EXPECT_NE(result.error.find(c.bytesOrError), std::string::npos) << result.error;
    }
}

TEST(Colours, HexAndBasicNamesPackRedInTheLowestByte) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> packed;
    };
    const Case cases[] = {
        {"#000000", 0x000000u},   {"#FF0000", 0x0000FFu},       {"#00ff00", 0x00FF00u},
        {"0000ff", 0xFF0000u},    {"#123456", 0x563412u},       {"white", 0xFFFFFFu},
        {"Navy", 0x800000u},      {"GREY", 0x808080u},          {"red", 0x0000FFu},
        {"#12345", std::nullopt}, {"#1234567", std::nullopt},   {"#12345g", std::nullopt},
        {"", std::nullopt},       {"chartreuse", std::nullopt}, {"#", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseColour(c.text), c.packed);
    }
}

TEST(OutputFormats, ExtensionOfTheFileNameChoosesLikeTheDesktopApplication) {
    struct Case {
        const char* path;
        OutputFormat format;
    };
    const Case cases[] = {
        {"a.png", OutputFormat::png},         {"A.PNG", OutputFormat::png},
        {"a.Gif", OutputFormat::gif},         {"a.svg", OutputFormat::svg},
        {"a.bmp", OutputFormat::bmp},         {"a.jpg", OutputFormat::bmp},
        {"noextension", OutputFormat::bmp},   {"a.png.gif", OutputFormat::gif},
        {"dir.png/label", OutputFormat::bmp}, {"labels/%05d.png", OutputFormat::png},
        {".png", OutputFormat::png},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(formatFromName(c.path), c.format);
    }
    EXPECT_EQ(parseFormatName("SVG"), OutputFormat::svg);
    EXPECT_EQ(parseFormatName("jpeg"), std::nullopt);
}

TEST(BatchLists, SplitIntoNumberedItemsWithOptionalOutputNames) {
    struct Item {
        int line;
        std::string data, name;
    };
    struct Case {
        std::string input;
        bool nul;
        std::vector<Item> items;
    };
    const Case cases[] = {
        {"one\ntwo\n", false, {{1, "one", ""}, {2, "two", ""}}},
        {"one\ntwo", false, {{1, "one", ""}, {2, "two", ""}}},
        {"one\r\n\nthree\r\n", false, {{1, "one", ""}, {2, "", ""}, {3, "three", ""}}},
        {"data\tout.png\nmore\twith tab\tb.gif\n",
         false,
         {{1, "data", "out.png"}, {2, "more\twith tab", "b.gif"}}},
        {"", false, {}},
        {"a\nb\tc\r\0x\0"s, true, {{1, "a\nb\tc\r", ""}, {2, "x", ""}}},
        {"\0\0"s, true, {{1, "", ""}, {2, "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const std::vector<BatchItem> items = splitBatch(c.input, c.nul);
        ASSERT_EQ(items.size(), c.items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].line, c.items[i].line);
            EXPECT_EQ(items[i].data, c.items[i].data);
            EXPECT_EQ(items[i].outputName, c.items[i].name);
        }
    }
}

TEST(BatchLists, CounterPatternsNameEachItemOrAreRefused) {
    struct Case {
        const char* pattern;
        bool ok;
        std::string name7;  // the name of item 7, or a part of the error
    };
    const Case cases[] = {
        {"labels/%05d.png", true, "labels/00007.png"},
        {"%d.gif", true, "7.gif"},
        {"x%3d", true, "x  7"},
        {"100%%-%d.bmp", true, "100%-7.bmp"},
        {"label.png", false, "exactly one counter"},
        {"%d-%d.png", false, "exactly one counter"},
        {"%s.png", false, "not a counter"},
        {"%99999999999d", false, "not a counter"},
        {"end%", false, "not a counter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        std::string error;
        const CounterPattern pattern = CounterPattern::parse(c.pattern, &error);
        ASSERT_EQ(error.empty(), c.ok) << error;
        if (c.ok)
            EXPECT_EQ(pattern.nameFor(7), c.name7);
        else
            EXPECT_NE(error.find(c.name7), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace barquill::cli
