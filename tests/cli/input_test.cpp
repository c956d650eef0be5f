// What the user types becomes exact bytes, colours, formats and batch items.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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

// The text of a line is the whole line; only with names does a tab split
// off a name. Blank lines are skipped but keep their numbers.
TEST(BatchLists, SplitIntoNumberedItemsWithOptionalOutputNames) {
    struct Item {
        int line;
        std::string data, name;
        bool tooLong = false;
    };
    struct Case {
        std::string input;
        BatchListFormat format;
        std::vector<Item> items;
        std::size_t limit = 100;
    };
    const BatchListFormat lines{false, false}, names{false, true}, nul{true, false};
    const Case cases[] = {
        {"one\ntwo\n", lines, {{1, "one", ""}, {2, "two", ""}}},
        {"one\ntwo", lines, {{1, "one", ""}, {2, "two", ""}}},
        {"one\r\n\n \t\r\n\r\n\t\nsix\r\n", lines, {{1, "one", ""}, {6, "six", ""}}},
        {"data\tout.png\n../x\t/etc/passwd\n",
         lines,
         {{1, "data\tout.png", ""}, {2, "../x\t/etc/passwd", ""}}},
        {"data\tout.png\nmore\twith tab\tb.gif\nunnamed\n\t\n",
         names,
         {{1, "data", "out.png"}, {2, "more\twith tab", "b.gif"}, {3, "unnamed", ""}}},
        {"", lines, {}},
        {"a\nb\tc\r\0x\0\0 \0"s, nul, {{1, "a\nb\tc\r", ""}, {2, "x", ""}, {4, " ", ""}}},
        {"\0\0"s, nul, {}},
        // Over the limit of 8 bytes: refused by number, the rest still read.
        {"12345678\n123456789\r\n" + std::string(200000, 'z') + "\nlast",
         lines,
         {{1, "12345678", ""}, {2, "", "", true}, {3, "", "", true}, {4, "last", ""}},
         8},
        {"12345678\r\n", lines, {{1, "12345678", ""}}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 40));
        const std::vector<BatchItem> items = splitBatch(c.input, c.format, c.limit);
        ASSERT_EQ(items.size(), c.items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].line, c.items[i].line);
            EXPECT_EQ(items[i].data, c.items[i].data);
            EXPECT_EQ(items[i].outputName, c.items[i].name);
            EXPECT_EQ(items[i].tooLong, c.items[i].tooLong);
        }
    }
}

// An endless list (a device such as /dev/zero) is read in bounded memory:
// its one endless item is refused, and a read error ends the list.
TEST(BatchLists, AnEndlessListIsReadInBoundedMemory) {
    std::size_t served = 0;
    BatchSplitter splitter(
        [&](char* buffer, std::size_t size) -> long {
            if (served >= (std::size_t{64} << 20)) {
                errno = EIO;
                return -1;
            }
            std::memset(buffer, 0, size);
            served += size;
            return static_cast<long>(size);
        },
        {false, false}, 1 << 20);
    BatchItem item;
    EXPECT_EQ(splitter.next(&item), ListStatus::readError);
    EXPECT_GE(served, std::size_t{64} << 20);
}

TEST(BatchLists, GivenNamesStayInsideTheOutputFolder) {
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const Case cases[] = {
        {"a.png", NameProblem::none},
        {"sub/dir/a.png", NameProblem::none},
        {"./a..png", NameProblem::none},
        {"..a/b", NameProblem::none},
        {"", NameProblem::empty},
        {"/etc/x", NameProblem::absolute},
        {"..", NameProblem::parentFolder},
        {"../x", NameProblem::parentFolder},
        {"a/../../x", NameProblem::parentFolder},
        {"a/..", NameProblem::parentFolder},
        {"a\0b"s, NameProblem::controlByte},
        {"a\x1b[2Jb", NameProblem::controlByte},
        {"a\rb", NameProblem::controlByte},
        {"a\x7f", NameProblem::controlByte},
        {"caf\xc3\xa9.png", NameProblem::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkOutputName(c.name), c.problem);
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
    std::string error;
    EXPECT_EQ(CounterPattern::parse("labels/a/%05d.png", &error).folder(), "labels/a/");
    EXPECT_EQ(CounterPattern::parse("%d.png", &error).folder(), "");
    EXPECT_EQ(CounterPattern::parse("x%d/y.png", &error).folder(), "");
}

}  // namespace
}  // namespace barquill::cli
