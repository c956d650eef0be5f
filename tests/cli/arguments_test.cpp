// The command line is checked completely before anything is read or written.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "cli/exit_status.h"
#include "cli/geometry.h"

namespace barquill::cli {
namespace {

ParseResult parse(std::vector<std::string> args) {
    args.insert(args.begin(), "barquill");
    return parseArguments(args);
}

TEST(Geometry, PrinterSizingGivesWholeDotsAndWarnsBelowThree) {
    struct Case {
        GeometryRequest request;
        bool ok;
        int moduleWidth, rowHeight, dpi;
        const char* warningOrError;  // "" for none
    };
    const Case cases[] = {
        {{}, true, 2, 4, 0, ""},
        {{3, {}, {}, {}}, true, 3, 6, 0, ""},
        {{3, 5, {}, {}}, true, 3, 5, 0, ""},
        {{{}, {}, {}, 600}, true, 2, 4, 600, ""},
        {{{}, {}, 0.25, 300}, true, 3, 9, 300, ""},   // 2.95 dots become 3
        {{{}, {}, 0.33, 600}, true, 8, 24, 600, ""},  // 7.8 dots become 8
        {{{}, 10, 0.5, 300}, true, 6, 10, 300, ""},
        {{{}, {}, 0.25, 203}, true, 2, 6, 203, "only 2 printer dots"},
        {{{}, {}, 0.01, 96}, true, 1, 3, 96, "only 1 printer dot "},
        {{{}, {}, 0.25, {}}, false, 0, 0, 0, "needs --dpi"},
        {{2, {}, 0.25, 300}, false, 0, 0, 0, "not both"},
        {{{}, {}, 0.0, 300}, false, 0, 0, 0, "--xdim must be"},
        {{{}, {}, 5.0, 1200}, false, 0, 0, 0, "dots per module"},
        {{0, {}, {}, {}}, false, 0, 0, 0, "--module-width must be"},
        {{65, {}, {}, {}}, false, 0, 0, 0, "--module-width must be"},
        {{{}, 257, {}, {}}, false, 0, 0, 0, "--row-height must be"},
        {{{}, {}, {}, 0}, false, 0, 0, 0, "--dpi must be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warningOrError);
        const GeometryResult result = computeGeometry(c.request);
        ASSERT_EQ(result.ok, c.ok) << result.error;
        const std::string& text = c.ok ? result.warning : result.error;
        if (*c.warningOrError == '\0')
            EXPECT_EQ(text, "");
        else
            EXPECT_NE(text.find(c.warningOrError), std::string::npos) << text;
        if (!c.ok) continue;
        EXPECT_EQ(result.geometry.moduleWidth, c.moduleWidth);
        EXPECT_EQ(result.geometry.rowHeight, c.rowHeight);
        EXPECT_EQ(result.geometry.dpi, c.dpi);
    }
}

TEST(Arguments, BadCommandLinesAreUsageErrorsThatSayWhatToChange) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--bogus", "-o", "a.png", "x"}, "--bogus"},
        {{"x"}, "give -o FILE"},
        {{"-o", "-", "x"}, "needs --format"},
        {{"-o", "a.png", "-l", "9", "x"}, "--level must be 0 to 8, auto or fill"},
        {{"-o", "a.png", "-l", "-1", "x"}, "--level"},
        {{"-o", "a.png", "-l", "high", "x"}, "--level"},
        {{"-o", "a.png", "-c", "0", "x"}, "--columns must be 1 to 30 or auto"},
        {{"-o", "a.png", "-c", "31", "x"}, "--columns"},
        {{"-o", "a.png", "-m", "-1", "x"}, "--margin must be"},
        {{"-o", "a.png", "-m", "1001", "x"}, "--margin must be"},
        {{"-o", "a.png", "-m", "ten", "x"}, "margin"},
        {{"-o", "a.png", "--fg", "#12345", "x"}, "--fg \"#12345\" is no colour"},
        {{"-o", "a.png", "--fg", "white", "x"}, "same colour"},
        {{"-o", "a.png", "--format", "jpg", "x"}, "--format must be"},
        {{"-o", "a.png", "--xdim", "0.25", "x"}, "needs --dpi"},
        {{"-o", "a.png", "-i", "in.txt", "x"}, "not both"},
        {{"--batch", "list", "-o", "-"}, "-o - is for a single symbol"},
        {{"--batch", "list", "-o", "same.png"}, "exactly one counter"},
        {{"--batch", "list", "x"}, "give no TEXT"},
        {{"--batch-nul", "-o", "a.png", "x"}, "--batch"},
        {{"-j", "2", "-o", "a.png", "x"}, "--batch"},
        {{"-o", "a.png", "x", "y"}, "y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ParseResult result = parse(c.args);
        EXPECT_FALSE(result.run);
        EXPECT_EQ(result.exitStatus, EXIT_USAGE);
        EXPECT_NE(result.text.find(c.message), std::string::npos) << result.text;
        EXPECT_NE(result.text.find("--help"), std::string::npos);
    }
}

TEST(Arguments, OptionsReachTheRequest) {
    const ParseResult result = parse({"-o",
                                      "-",
                                      "--format",
                                      "SVG",
                                      "-l",
                                      "5",
                                      "-c",
                                      "7",
                                      "--compact",
                                      "-m",
                                      "0",
                                      "--fg",
                                      "navy",
                                      "--bg",
                                      "#ffff00",
                                      "--xdim",
                                      "0.5",
                                      "--dpi",
                                      "300",
                                      "-v",
                                      "-q",
                                      "--escapes",
                                      "--strip-newline",
                                      "--",
                                      "-leading dash"});
    ASSERT_TRUE(result.run) << result.text;
    const Request& request = result.request;
    EXPECT_EQ(request.text, "-leading dash");
    EXPECT_EQ(request.outputPath, "-");
    EXPECT_EQ(request.format, OutputFormat::svg);
    EXPECT_EQ(request.level, 5);
    EXPECT_EQ(request.columns, 7);
    EXPECT_TRUE(request.compact);
    EXPECT_EQ(request.margin, 0);
    EXPECT_EQ(request.barColor, 0x800000u);
    EXPECT_EQ(request.spaceColor, 0x00FFFFu);
    EXPECT_EQ(request.geometry.moduleWidth, 6);
    EXPECT_EQ(request.geometry.rowHeight, 18);
    EXPECT_EQ(request.geometry.dpi, 300);
    EXPECT_TRUE(request.verbose && request.quiet && request.escapes && request.stripNewline);
}

TEST(Arguments, DefaultsAreTheDesktopSymbolWithAutomaticLevelAndColumns) {
    const ParseResult result = parse({"-o", "a.png", "Hello"});
    ASSERT_TRUE(result.run) << result.text;
    EXPECT_EQ(result.request.level, -1);
    EXPECT_EQ(result.request.columns, 0);
    EXPECT_EQ(result.request.margin, 10);
    EXPECT_EQ(result.request.barColor, 0x000000u);
    EXPECT_EQ(result.request.spaceColor, 0xFFFFFFu);
    EXPECT_EQ(result.request.geometry.moduleWidth, 2);
    EXPECT_EQ(result.request.geometry.rowHeight, 4);
    EXPECT_FALSE(result.request.format);
    EXPECT_FALSE(result.request.batchPath);

    const ParseResult standardInput = parse({"-o", "a.png"});
    ASSERT_TRUE(standardInput.run);
    EXPECT_FALSE(standardInput.request.text);
    EXPECT_EQ(standardInput.request.inputPath, "");
}

TEST(Arguments, BatchNeedsNoOutputPatternWhenTheListNamesItsFiles) {
    const ParseResult result = parse({"--batch", "-", "--batch-nul", "-j", "3"});
    ASSERT_TRUE(result.run) << result.text;
    EXPECT_EQ(result.request.batchPath, "-");
    EXPECT_TRUE(result.request.batchNul);
    EXPECT_EQ(result.request.jobs, 3);
}

TEST(Arguments, HelpAndVersionSucceedWithoutRunning) {
    const ParseResult help = parse({"--help"});
    EXPECT_FALSE(help.run);
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--xdim", "--batch", "--escapes", "Exit status", "Examples"})
        EXPECT_NE(help.text.find(option), std::string::npos) << option;
    const ParseResult version = parse({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.text.rfind("barquill ", 0), 0u);
}

}  // namespace
}  // namespace barquill::cli
