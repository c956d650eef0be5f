// SPDX-License-Identifier: MIT
// The command line is checked completely before anything is read or written.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "barquill/barquill.hpp"
#include "cli/exit_status.h"

namespace barquill::cli {
namespace {

ParseResult parse(std::vector<std::string> args) {
    args.insert(args.begin(), "barquill");
    return parseArguments(args);
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
        {{"-o", "a.png", "-l", "9", "x"},
         "--level must be a whole number from 0 to 8, auto or fill"},
        {{"-o", "a.png", "-l", "-1", "x"}, "--level"},
        {{"-o", "a.png", "-l", "high", "x"}, "--level"},
        {{"-o", "a.png", "-c", "0", "x"}, "--columns must be a whole number from 1 to 30 or auto"},
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
        {{"--names", "-o", "a.png", "x"}, "--batch"},
        {{"--batch", "list"}, "a batch needs -o with a counter"},
        {{"--batch", "list", "--batch-nul"}, "a batch needs -o with a counter"},
        {{"--batch", "list", "--batch-nul", "--names"}, "no names"},
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
    EXPECT_EQ(request.settings.write.format, Format::svg);
    EXPECT_EQ(request.settings.options.level, 5);
    EXPECT_EQ(request.settings.options.columns, 7);
    EXPECT_TRUE(request.settings.options.compact);
    EXPECT_EQ(request.settings.quietZone, 0);
    EXPECT_EQ(request.settings.bar, (Rgb{0, 0, 0x80}));
    EXPECT_EQ(request.settings.space, (Rgb{0xFF, 0xFF, 0}));
    EXPECT_EQ(request.settings.size.moduleMm, 0.5);
    EXPECT_EQ(request.settings.size.dpi, 300);
    EXPECT_TRUE(request.verbose && request.quiet && request.settings.escapes &&
                request.settings.stripNewline);
}

TEST(Arguments, DefaultsAreTheDesktopSymbolWithAutomaticLevelAndColumns) {
    const ParseResult result = parse({"-o", "a.png", "Hello"});
    ASSERT_TRUE(result.run) << result.text;
    const Settings& settings = result.request.settings;
    EXPECT_EQ(settings.options.level, -1);
    EXPECT_EQ(settings.options.columns, 0);
    EXPECT_EQ(settings.quietZone, 10);
    EXPECT_EQ(settings.bar, black);
    EXPECT_EQ(settings.space, white);
    EXPECT_EQ(settings.size, PrintSize{});
    EXPECT_FALSE(settings.write.format);
    EXPECT_FALSE(result.request.batchPath);

    const ParseResult standardInput = parse({"-o", "a.png"});
    ASSERT_TRUE(standardInput.run);
    EXPECT_FALSE(standardInput.request.text);
    EXPECT_EQ(standardInput.request.inputPath, "");
}

TEST(Arguments, BatchNeedsNoOutputPatternWhenTheListNamesItsFiles) {
    const ParseResult result = parse({"--batch", "-", "--names", "-j", "3"});
    ASSERT_TRUE(result.run) << result.text;
    EXPECT_EQ(result.request.batchPath, "-");
    EXPECT_TRUE(result.request.batchNames);
    EXPECT_EQ(result.request.jobs, 3);
    const ParseResult nul = parse({"--batch", "-", "--batch-nul", "-o", "%d.png", "-f"});
    ASSERT_TRUE(nul.run) << nul.text;
    EXPECT_TRUE(nul.request.batchNul);
    EXPECT_TRUE(nul.request.settings.write.replaceReadOnly);
}

// Every number is plain decimal in every option: no octal, hex, sign, space
// or empty value slips through as something else.
TEST(Arguments, NumbersArePlainDecimalAndNoValueMayBeEmpty) {
    struct Case {
        std::vector<std::string> args;
        const char* refusal;  // nullptr: accepted
        int margin = 0;
    };
    const Case cases[] = {
        {{"-m", "010"}, nullptr, 10},
        {{"-m", "0"}, nullptr, 0},
        {{"-m", "0000000000000000000000007"}, nullptr, 7},
        {{"-m", "0x10"}, "--margin must be a whole number from 0 to 1000 pixels, not \"0x10\""},
        {{"-m", "+5"}, "--margin must be a whole number"},
        {{"-m", " 5"}, "--margin must be a whole number"},
        {{"-m", "5 "}, "--margin must be a whole number"},
        {{"-m", "1e2"}, "--margin must be a whole number"},
        {{"-m", "99999999999999999999"}, "--margin must be a whole number"},
        {{"-m", ""}, "--margin needs a value"},
        {{"-l", "0x3"}, "--level must be a whole number from 0 to 8, auto or fill"},
        {{"-l", ""}, "--level needs a value"},
        {{"-c", "+3"}, "--columns must be a whole number from 1 to 30 or auto"},
        {{"--module-width", "0x2"}, "--module-width must be a whole number from 1 to 64"},
        {{"--row-height", "-4"}, "--row-height must be a whole number"},
        {{"--dpi", "0"}, "--dpi must be a whole number from 1 to 10000"},
        {{"--dpi", "3e2"}, "--dpi must be a whole number"},
        {{"--xdim", "0x1p-2", "--dpi", "300"}, "--xdim must be a length in mm"},
        {{"--xdim", "nan", "--dpi", "300"}, "--xdim must be a length in mm"},
        {{"--xdim", "-0.25", "--dpi", "300"}, "--xdim must be a length in mm"},
        {{"--xdim", "", "--dpi", "300"}, "--xdim needs a value"},
        {{"--fg", ""}, "--fg needs a value"},
        {{"--bg", ""}, "--bg needs a value"},
        {{"--format", ""}, "--format needs a value"},
        {{"-i", ""}, "--input needs a value"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        SCOPED_TRACE(args[0] + " '" + args[1] + "'");
        args.insert(args.end(), {"-o", "a.png", "--", "x"});
        const ParseResult result = parse(args);
        if (c.refusal == nullptr) {
            ASSERT_TRUE(result.run) << result.text;
            EXPECT_EQ(result.request.settings.quietZone, c.margin);
            continue;
        }
        EXPECT_FALSE(result.run);
        EXPECT_EQ(result.exitStatus, EXIT_USAGE);
        EXPECT_NE(result.text.find(c.refusal), std::string::npos) << result.text;
    }
    const ParseResult dpi = parse({"--dpi", "0300", "-o", "a.png", "x"});
    ASSERT_TRUE(dpi.run) << dpi.text;
    EXPECT_EQ(dpi.request.settings.size.dpi, 300) << "not octal";
    const ParseResult level = parse({"-l", "08", "-c", "007", "-o", "a.png", "x"});
    ASSERT_TRUE(level.run) << level.text;
    EXPECT_EQ(level.request.settings.options.level, 8);
    EXPECT_EQ(level.request.settings.options.columns, 7);
    for (const char* jobs : {"0", "257", "0x4", ""}) {
        const ParseResult result = parse({"--batch", "-", "-o", "%d.png", "-j", jobs});
        EXPECT_FALSE(result.run) << jobs;
        EXPECT_NE(result.text.find("--jobs"), std::string::npos) << result.text;
    }
    EXPECT_EQ(parse({"-o", "", "x"}).exitStatus, EXIT_USAGE);
    EXPECT_EQ(parse({"--batch", "", "-o", "%d.png"}).exitStatus, EXIT_USAGE);
}

// Every file is verified where it is made, one symbol or a batch, unless
// --no-verify; the symbols are not read back once more before that.
TEST(Arguments, FilesAreVerifiedUnlessToldNotTo) {
    struct Case {
        std::vector<std::string> args;
        Verification verify;
    };
    const Case cases[] = {
        {{"-o", "a.png", "x"}, Verification::on},
        {{"-o", "a.png", "--verify", "x"}, Verification::on},
        {{"-o", "a.png", "--no-verify", "x"}, Verification::off},
        {{"--batch", "-", "-o", "%d.png"}, Verification::on},
        {{"--batch", "-", "-o", "%d.png", "--no-verify"}, Verification::off},
    };
    for (const Case& c : cases) {
        const ParseResult result = parse(c.args);
        ASSERT_TRUE(result.run) << result.text;
        EXPECT_EQ(result.request.verify, c.verify) << c.args[2];
        EXPECT_FALSE(result.request.settings.verify) << c.args[2];
    }
    EXPECT_NE(parse({"--verify", "--no-verify", "-o", "a.png", "x"}).text.find("not both"),
              std::string::npos);
}

TEST(Arguments, HelpAndVersionSucceedWithoutRunning) {
    const ParseResult help = parse({"--help"});
    EXPECT_FALSE(help.run);
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--xdim", "--batch", "--escapes", "Exit status", "Examples"})
        EXPECT_NE(help.text.find(option), std::string::npos) << option;
    // The formats and profiles the help names are the library's, every one.
    for (const FormatInfo& info : formats())
        EXPECT_NE(help.text.find(info.extension), std::string::npos) << info.extension;
    for (const ProfileInfo& profile : availableProfiles())
        EXPECT_NE(help.text.find(profile.name), std::string::npos) << profile.name;
    // Every way of calling the tool, and the range of every number.
    for (const char* usage : {"Usage: barquill [OPTIONS] [TEXT]\n",
                              "barquill [OPTIONS] --batch FILE -o PATTERN\n", "barquill serve"})
        EXPECT_NE(help.text.find(usage), std::string::npos) << usage;
    for (const SettingInfo& setting : settingTable()) {
        const bool length = setting.kind == SettingKind::decimal && setting.maximum > 0;
        if (setting.kind != SettingKind::number && !length) continue;
        const std::string name = "--" + std::string(setting.name) + " ";
        const std::size_t at = help.text.find("," + name) != std::string::npos
                                   ? help.text.find("," + name)
                                   : help.text.find("  " + name);
        ASSERT_NE(at, std::string::npos) << name;
        const std::string line = help.text.substr(at);
        EXPECT_NE(line.substr(0, line.find('\n'))
                      .find((length ? "at most " : std::to_string(setting.minimum) + " to ") +
                            std::to_string(setting.maximum)),
                  std::string::npos)
            << setting.name;
    }
    const ParseResult version = parse({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.text.rfind("barquill ", 0), 0u);
}

}  // namespace
}  // namespace barquill::cli
