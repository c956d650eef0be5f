// The C++ interface: symbols decode to their data, failures come back as
// codes with the numbers behind them, and the library draws exactly the
// pixels the command line draws.
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <numeric>
#include <string>

#include "barquill/barquill.hpp"
#include "cli/symbol.h"
#include "cli/symbol_writer.h"
#include "tests/cli/image_files.h"
#include "tests/support/pdf417_reader.h"

namespace barquill {
namespace {

using testing::Bytes;
using testing::toBytes;

std::string allByteValues() {
    std::string bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

std::optional<Bytes> decodePng(const Bytes& png) {
    const auto image = testing::readPng(std::string(png.begin(), png.end()));
    if (!image) return std::nullopt;
    return testing::readPdf417Grey(image->grey.data(), image->width, image->height, image->width);
}

TEST(Encode, SymbolsDecodeToTheirDataWithTheShapeAsked) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        int level;  // expected level used
    };
    const Case cases[] = {
        {"text, automatic level", "Hello, World!", {}, 2},
        {"every byte value", allByteValues(), {.level = 5}, 5},
        {"digits, fixed columns", std::string(120, '7'), {.level = 3, .columns = 4}, 3},
        {"compact", "COMPACT 0123456789", {.compact = true}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto symbol = encode(c.data, c.options);
        ASSERT_TRUE(symbol) << symbol.error().message;
        EXPECT_EQ(symbol->level(), c.level);
        if (c.options.columns > 0) {
            EXPECT_EQ(symbol->columns(), c.options.columns);
        }
        EXPECT_EQ(symbol->compact(), c.options.compact);
        // Start, left indicator, data, right indicator, stop; compact drops
        // the right indicator and ends in a one-module bar.
        EXPECT_EQ(symbol->width(),
                  c.options.compact ? 17 * symbol->columns() + 35 : 17 * symbol->columns() + 69);
        EXPECT_EQ(symbol->modules().size(),
                  static_cast<std::size_t>(symbol->rows()) * symbol->width());
        EXPECT_GE(symbol->capacity(), symbol->dataCodewords());
        const auto png = toPng(*symbol);
        ASSERT_TRUE(png);
        EXPECT_EQ(decodePng(*png), toBytes(c.data));
    }
}

TEST(Encode, RefusesWithTheCodeTheFieldAndTheNumbers) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        ErrorCode code;
        const char* field;
    };
    const Case cases[] = {
        {"empty data", "", {}, ErrorCode::emptyData, ""},
        {"level above 8", "x", {.level = 9}, ErrorCode::invalidOption, "level"},
        {"level below automatic", "x", {.level = -2}, ErrorCode::invalidOption, "level"},
        {"columns above 30", "x", {.columns = 31}, ErrorCode::invalidOption, "columns"},
        {"negative columns", "x", {.columns = -1}, ErrorCode::invalidOption, "columns"},
        {"more than any symbol holds", std::string(2000, '\xB5'), {}, ErrorCode::dataTooLong, ""},
        {"longer than the encoder reads", std::string(100000, 'a'), {}, ErrorCode::dataTooLong, ""},
        {"too many rows of one column",
         std::string(300, 'a'),
         {.level = 4, .columns = 1},
         ErrorCode::tooManyRows,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = encode(c.data, c.options);
        ASSERT_FALSE(result);
        const Error& e = result.error();
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.field, c.field);
        EXPECT_FALSE(e.message.empty());
        if (c.code == ErrorCode::invalidOption) {
            EXPECT_TRUE(e.value < e.minimum || e.value > e.maximum);
            EXPECT_NE(e.message.find(c.field), std::string::npos);
        }
        if (c.code == ErrorCode::dataTooLong || c.code == ErrorCode::tooManyRows) {
            EXPECT_GT(e.needed, e.available);
        }
    }
}

TEST(Encode, AFailureLeavesNothingBehindForTheNextSymbol) {
    const auto fresh = encode("after the failure");
    ASSERT_TRUE(fresh);
    ASSERT_FALSE(encode(std::string(300, 'a'), {.level = 4, .columns = 1}));
    const auto again = encode("after the failure");
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *fresh);
}

TEST(Render, RefusesOutOfRangeGeometryNamingTheField) {
    const auto symbol = encode("geometry");
    ASSERT_TRUE(symbol);
    struct Case {
        Render render;
        const char* field;
    };
    const Case cases[] = {
        {{.moduleWidth = 0}, "moduleWidth"},
        {{.moduleWidth = 65}, "moduleWidth"},
        {{.rowHeight = 0}, "rowHeight"},
        {{.quietZone = -1}, "quietZone"},
        {{.dpi = 10001}, "dpi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        for (Format format : {Format::png, Format::gif, Format::bmp, Format::svg}) {
            const auto file = barquill::render(*symbol, format, c.render);
            ASSERT_FALSE(file);
            EXPECT_EQ(file.error().code, ErrorCode::invalidRender);
            EXPECT_EQ(file.error().field, c.field);
        }
    }
}

// One rasteriser: the library's files are byte for byte the command line's.
TEST(Render, WritesTheSameFilesAsTheCommandLine) {
    const Render render{.moduleWidth = 3,
                        .rowHeight = 7,
                        .quietZone = 5,
                        .bar = {0, 0, 128},
                        .space = {255, 255, 0},
                        .dpi = 300};
    cli::DrawOptions draw;
    draw.geometry = {3, 7, 300};
    draw.margin = 5;
    draw.barColor = 0x800000;
    draw.spaceColor = 0x00FFFF;
    const std::string data = "the same pixels everywhere";
    const auto symbol = encode(data, {.level = 4, .columns = 5});
    ASSERT_TRUE(symbol);
    auto job = std::make_unique<encoder::SymbolJob>();
    ASSERT_TRUE(cli::encodeSymbol(job.get(), {4, 5, false}, data).built);
    for (auto [format, cliFormat] : {std::pair{Format::png, cli::OutputFormat::png},
                                     {Format::gif, cli::OutputFormat::gif},
                                     {Format::bmp, cli::OutputFormat::bmp},
                                     {Format::svg, cli::OutputFormat::svg}}) {
        SCOPED_TRACE(std::string(cli::formatName(cliFormat)));
        std::string expected, error;
        ASSERT_TRUE(cli::encodeSymbolFile(*job, draw, cliFormat, &expected, &error));
        const auto file = barquill::render(*symbol, format, render);
        ASSERT_TRUE(file);
        EXPECT_EQ(std::string(file->begin(), file->end()), expected);
    }
}

TEST(Save, WritesTheFormatTheNameAsksForAndKeepsTheOldFileOnFailure) {
    const auto symbol = encode("saved");
    ASSERT_TRUE(symbol);
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "/label.Svg";
    const auto saved = save(*symbol, path);
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(*saved, Format::svg);
    EXPECT_EQ(testing::readFile(path), *toSvg(*symbol));

    // A refused geometry writes nothing over the existing file.
    ASSERT_FALSE(save(*symbol, path, {.moduleWidth = 0}));
    EXPECT_EQ(testing::readFile(path), *toSvg(*symbol));

    const auto missing = save(*symbol, dir + "/no such folder/label.png");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::writeFailed);
    EXPECT_EQ(missing.error().value, ENOENT);
}

}  // namespace
}  // namespace barquill
