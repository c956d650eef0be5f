// The shape, character set and Macro options: how they are read from the
// command line, the default character set rule, and the series' file names.
#include "cli/symbology.h"

#include <gtest/gtest.h>

#include <memory>

#include "cli/arguments.h"
#include "cli/exit_status.h"

namespace barquill::cli {
namespace {

ParseResult parse(std::vector<std::string> args) {
    args.insert(args.begin(), {"barquill", "-o", "out.png"});
    args.push_back("data");
    return parseArguments(args);
}

TEST(SymbologyArguments, ValuesReachTheRequest) {
    const ParseResult result = parse({"--rows",      "12",
                                      "-l",          "fill",
                                      "--eci",       "899",
                                      "--segments",  "4",
                                      "--file-id",   "001899",
                                      "--file-name", "a.txt",
                                      "--timestamp", "2026-12-10T14:30:00Z",
                                      "--checksum",  "--file-size",
                                      "--fit",       "50x30.5",
                                      "--dpi",       "300"});
    ASSERT_TRUE(result.run) << result.text;
    const SymbologyRequest& s = result.request.symbology;
    EXPECT_EQ(s.rows, 12);
    EXPECT_TRUE(s.fillLevel);
    EXPECT_EQ(result.request.level, -1);
    EXPECT_EQ(s.eci, 899);
    EXPECT_TRUE(s.macro);
    EXPECT_EQ(s.series.segments, 4);
    EXPECT_EQ(s.series.fileId, (std::vector<std::int32_t>{1, 899}));
    EXPECT_EQ(s.series.fileName, "a.txt");
    EXPECT_EQ(s.series.timeStamp, 1796913000);
    EXPECT_TRUE(s.series.checksum);
    EXPECT_TRUE(s.series.fileSize);
    ASSERT_TRUE(s.fit);
    EXPECT_DOUBLE_EQ(s.fit->heightMm, 30.5);

    const ParseResult aspect = parse({"--aspect", "3:2", "--charset", "iso8859_2"});
    ASSERT_TRUE(aspect.run) << aspect.text;
    EXPECT_DOUBLE_EQ(aspect.request.symbology.aspect, 1.5);
    EXPECT_EQ(aspect.request.symbology.charset, "iso8859_2");
}

TEST(SymbologyArguments, BadValuesAreUsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--rows", "91"}, "--rows must be 3 to 90"},
        {{"--aspect", "0:1"}, "--aspect must be a ratio"},
        {{"--aspect", "2", "--rows", "5"}, "without --rows and --columns"},
        {{"--aspect", "2", "-c", "5"}, "without --rows and --columns"},
        {{"--fit", "50", "--dpi", "300"}, "--fit must be"},
        {{"--fit", "50x30", "--dpi", "300", "--xdim", "0.3"}, "without --xdim"},
        {{"--charset", "klingon"}, "\"klingon\" is not known"},
        {{"--charset", "UTF-8", "--eci", "26"}, "not both"},
        {{"--eci", "811800"}, "--eci must be 0 to 811799"},
        {{"--segments", "0"}, "--segments must be 1 to 99999"},
        {{"--macro", "--file-id", "12"}, "groups of three digits"},
        {{"--macro", "--file-id", "900"}, "groups of three digits"},
        {{"--macro", "--sender", "J\xc3\xb6rg"}, "--sender must be printable ASCII"},
        {{"--macro", "--timestamp", "yesterday"}, "--timestamp must be"},
        {{"--checksum"}, "add --macro or --segments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ParseResult result = parse(c.args);
        EXPECT_FALSE(result.run);
        EXPECT_EQ(result.exitStatus, EXIT_USAGE);
        EXPECT_NE(result.text.find(c.message), std::string::npos) << result.text;
    }
    const ParseResult batchFit = parseArguments(
        {"barquill", "--batch", "list", "-o", "x%d.png", "--fit", "50x30", "--dpi", "300"});
    EXPECT_NE(batchFit.text.find("in a batch give --xdim"), std::string::npos);
    const ParseResult toStream =
        parseArguments({"barquill", "--macro", "-o", "-", "--format", "png", "x"});
    EXPECT_NE(toStream.text.find("-o - is for one symbol"), std::string::npos);
}

TEST(CharsetRule, TextThatIsNotAsciiBecomesUtf8WithItsEci) {
    const std::string euro = "12 \xe2\x82\xac";
    const struct {
        const char* name;
        std::vector<std::string> options;
        bool fromText;
        std::string data;
        bool ok;
        int eci;
        std::string bytes;  // or the error
    } cases[] = {
        {"ASCII text as before", {}, true, "LOT 4711", true, encoder::NO_ECI, "LOT 4711"},
        {"other text as UTF-8", {}, true, euro, true, 26, euro},
        {"bytes that are no UTF-8 stay", {}, true, "\xff\xfe", true, encoder::NO_ECI, "\xff\xfe"},
        {"input byte for byte", {}, false, euro, true, encoder::NO_ECI, euro},
        {"converted", {"--charset", "ISO-8859-15"}, false, euro, true, 17, "12 \xa4"},
        {"kept", {"--charset", "none"}, true, euro, true, encoder::NO_ECI, euro},
        {"designated", {"--eci", "17"}, true, "12 \xa4", true, 17, "12 \xa4"},
        {"refused",
         {"--charset", "ISO-8859-1"},
         true,
         euro,
         false,
         0,
         "'\xe2\x82\xac' at 4 has no ISO-8859-1 form: use --charset UTF-8 or ISO-8859-15"},
        {"not UTF-8", {"--charset", "Windows-1250"}, false, "a\xff", false, 0, "(byte 2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParseResult parsed = parse(c.options);
        ASSERT_TRUE(parsed.run) << parsed.text;
        std::string data = c.data, error;
        int eci = -2;
        ASSERT_EQ(applyCharset(parsed.request, c.fromText, &data, &eci, &error), c.ok);
        if (c.ok) {
            EXPECT_EQ(eci, c.eci);
            EXPECT_EQ(data, c.bytes);
        } else {
            EXPECT_NE(error.find(c.bytes), std::string::npos) << error;
        }
    }
}

TEST(FitGeometry, TakesTheLargestWholeDotModuleThatFitsTheLabel) {
    const struct {
        const char* area;
        bool ok;
        int moduleWidth;
        const char* error;
    } cases[] = {
        {"50x30", true, 5, ""},   // 590 x 354 dots: 20 + 103 x 5 across, 20 + 30 x 5 down
        {"100x10", true, 3, ""},  // 118 dots high: 20 + 30 x 3
        {"5x3", false, 0, "needs at least 10.4 x 4.2 mm at 300 dpi"},
    };
    auto job = std::make_unique<encoder::SymbolJob>();
    job->width = 103;  // 2 columns
    job->rows = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.area);
        const ParseResult parsed = parse({"--fit", c.area, "--dpi", "300"});
        ASSERT_TRUE(parsed.run) << parsed.text;
        ModuleGeometry geometry;
        std::string error;
        ASSERT_EQ(fitGeometry(*job, parsed.request, &geometry, &error), c.ok);
        if (c.ok) {
            EXPECT_EQ(geometry.moduleWidth, c.moduleWidth);
            EXPECT_EQ(geometry.rowHeight, 3 * c.moduleWidth);
            EXPECT_EQ(geometry.dpi, 300);
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
}

TEST(SeriesNames, FollowTheCounterOrGetANumberBeforeTheExtension) {
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
    for (const auto& c : cases) EXPECT_EQ(segmentName(c.output, c.index, c.count), c.name);
}

}  // namespace
}  // namespace barquill::cli
