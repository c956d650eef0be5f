// SPDX-License-Identifier: MIT
// The shape, character set and Macro options as the command line takes them.
#include <gtest/gtest.h>

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
    const Settings& s = result.request.settings;
    EXPECT_EQ(s.options.rows, 12);
    EXPECT_TRUE(s.options.fillLevel);
    EXPECT_EQ(s.options.level, -1);
    EXPECT_EQ(s.options.eci, 899);
    EXPECT_TRUE(s.split);
    EXPECT_EQ(s.series.segments, 4);
    EXPECT_EQ(s.series.fileId, (std::vector<int>{1, 899}));
    EXPECT_EQ(s.series.fileName, "a.txt");
    EXPECT_EQ(s.series.timeStamp, 1796913000);
    EXPECT_TRUE(s.series.checksum);
    EXPECT_TRUE(s.series.fileSize);
    ASSERT_TRUE(s.fit);
    EXPECT_DOUBLE_EQ(s.fit->heightMm, 30.5);

    const ParseResult aspect = parse({"--aspect", "3:2", "--charset", "iso8859_2"});
    ASSERT_TRUE(aspect.run) << aspect.text;
    EXPECT_DOUBLE_EQ(aspect.request.settings.options.aspect, 1.5);
    EXPECT_EQ(aspect.request.settings.options.charset, "ISO-8859-2");
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

}  // namespace
}  // namespace barquill::cli
