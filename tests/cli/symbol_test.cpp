// Symbols are built, drawn 1 bit deep at the asked geometry and read back.
#include "cli/symbol.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "cli/symbol_writer.h"
#include "image/picture.h"
#include "tests/support/pdf417_reader.h"

using namespace barquill::image;

namespace barquill::cli {
namespace {

using barquill::testing::Bytes;
using barquill::testing::toBytes;

// The picture as 8-bit grey through its own palette, top row first.
std::vector<std::uint8_t> greyPixels(const Picture& picture) {
    const int width = picture.GetWidth(), height = picture.GetHeight();
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const RgbQuad colour = picture.GetPixelColor(x, height - 1 - y);
            grey[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(
                (colour.red * 299 + colour.green * 587 + colour.blue * 114) / 1000);
        }
    return grey;
}

std::string allByteValues() {
    std::string bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

TEST(DrawnSymbols, AreOneBitDeepAndDecodeToTheirData) {
    struct Case {
        const char* name;
        std::string data;
        SymbolOptions symbol;
        DrawOptions draw;
    };
    DrawOptions printer;
    printer.geometry = {3, 9, 300};
    DrawOptions coloured;
    coloured.barColor = 0x800000;    // navy bars
    coloured.spaceColor = 0x00FFFF;  // on yellow
    coloured.margin = 4;
    const Case cases[] = {
        {"desktop geometry", "Hello, World!", {}, {}},
        {"every byte value", allByteValues(), {5, 0, false}, {}},
        {"compact form", "COMPACT 0123456789", {-1, 0, true}, {}},
        {"printer dots", "LOT 4711", {}, printer},
        {"colours", "navy on yellow", {2, 3, false}, coloured},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto job = std::make_unique<encoder::SymbolJob>();
        ASSERT_TRUE(encodeSymbol(job.get(), c.symbol, c.data).built);
        Picture picture;
        ASSERT_TRUE(drawSymbol(*job, c.draw, &picture));
        EXPECT_EQ(picture.GetBpp(), 1);
        const PictureSize size = pictureSize(*job, c.draw);
        ASSERT_EQ(picture.GetWidth(), size.width);
        ASSERT_EQ(picture.GetHeight(), size.height);
        EXPECT_EQ(size.width, 2 * c.draw.margin + job->width * c.draw.geometry.moduleWidth);
        EXPECT_EQ(size.height, 2 * c.draw.margin + job->rows * c.draw.geometry.rowHeight);
        if (c.draw.geometry.dpi) {
            EXPECT_EQ(picture.GetXDPI(), c.draw.geometry.dpi);
        }

        const std::vector<std::uint8_t> grey = greyPixels(picture);
        EXPECT_EQ(
            barquill::testing::readPdf417Grey(grey.data(), size.width, size.height, size.width),
            toBytes(c.data));
    }
}

TEST(DrawnSymbols, EveryModuleCoversItsBlockTopRowFirstInsideTheMargin) {
    auto job = std::make_unique<encoder::SymbolJob>();
    ASSERT_TRUE(encodeSymbol(job.get(), {}, "F, asymmetric").built);
    DrawOptions options;
    options.geometry = {3, 5, 0};
    options.margin = 7;
    options.barColor = 0x0000FF;
    Picture picture;
    ASSERT_TRUE(drawSymbol(*job, options, &picture));
    const int height = picture.GetHeight();
    auto indexAt = [&](long x, long yFromTop) {
        return picture.GetPixelIndex(static_cast<int>(x), static_cast<int>(height - 1 - yFromTop));
    };
    EXPECT_EQ(picture.GetPaletteColor(0), (RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(picture.GetPaletteColor(1), (RgbQuad{0, 0, 255, 0}));
    for (int row = 0; row < job->rows; ++row)
        for (int module = 0; module < job->width; ++module) {
            const int expected = job->rowBits[row][module] == '1';
            const long left = 7 + 3L * module, top = 7 + 5L * row;
            ASSERT_EQ(indexAt(left, top), expected) << row << "," << module;
            ASSERT_EQ(indexAt(left + 2, top + 4), expected) << row << "," << module;
        }
    for (long x = 0; x < picture.GetWidth(); ++x) {
        EXPECT_EQ(indexAt(x, 6), 0);
        EXPECT_EQ(indexAt(x, height - 7), 0);
    }
    for (long y = 0; y < height; ++y) {
        EXPECT_EQ(indexAt(6, y), 0);
        EXPECT_EQ(indexAt(picture.GetWidth() - 7, y), 0);
    }
}

TEST(EncodeFailures, SayHowManyCodewordsAreNeededAndWhatToChange) {
    struct Case {
        const char* name;
        std::string data;
        SymbolOptions options;
        std::vector<const char*> messages;
        int rows = 0;  // --rows
    };
    const Case cases[] = {
        {"empty", "", {}, {"nothing to encode"}},
        {"beyond any symbol",
         std::string(2000, '\x80'),
         {8, 0, false},
         {"error: input string too long (PDF error 2)", "the data needs 1668 data codewords",
          "level 8 adds 512", "2181 codewords, more than the 928 one symbol holds", "lower level",
          "--macro"}},
        {"too many rows for the columns",
         std::string(400, 'x'),
         {4, 1, false},
         {"error: data too long for specified number of columns (PDF error 4)",
          "more than 2 columns hold", "give -c 3 to 30, or -c auto"}},
        {"a fixed size too small",
         std::string(500, 'x'),
         {2, 9, false},
         {"error: data does not fit the specified rows and columns",
          "needs 13 columns at 20 rows, or 29 rows at 9 columns"},
         20},
        {"longer than the encoder reads",
         std::string(8000, '7'),
         {},
         {"8000 bytes are more than any symbol holds"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto job = std::make_unique<encoder::SymbolJob>();
        SymbolOptions options = c.options;
        options.shape.rows = c.rows;
        const EncodeOutcome outcome = encodeSymbol(job.get(), options, c.data);
        EXPECT_FALSE(outcome.built);
        std::string all;
        for (const std::string& line : outcome.errors) all += line + "\n";
        for (const char* message : c.messages)
            EXPECT_NE(all.find(message), std::string::npos) << all;
    }
}

TEST(EncoderWarnings, KeepTheirTextsAndStillBuild) {
    struct Case {
        SymbolOptions options;
        const char* warning;
    };
    const Case cases[] = {
        {{9, 0, false}, "warning: security value out of range"},
        {{2, 31, false}, "warning: number of columns out of range"},
    };
    for (const Case& c : cases) {
        auto job = std::make_unique<encoder::SymbolJob>();
        const EncodeOutcome outcome = encodeSymbol(job.get(), c.options, "warned");
        EXPECT_TRUE(outcome.built);
        EXPECT_EQ(outcome.warnings, std::vector<std::string>{c.warning});
    }
}

TEST(VerboseDescription, ReportsTheSymbolAsBuilt) {
    auto job = std::make_unique<encoder::SymbolJob>();
    const std::string data(100, 'A');
    ASSERT_TRUE(encodeSymbol(job.get(), {3, 4, false}, data).built);
    const int dataCodewords = countDataCodewords(data);
    // Upper-case letters go two to a text codeword.
    EXPECT_EQ(dataCodewords, 50);
    std::string all;
    for (const std::string& line : describeSymbol(*job, dataCodewords, 308, 120, {3, 9, 300}))
        all += line + "\n";
    for (const std::string& part :
         {std::to_string(job->rows) + " rows", std::string("4 columns"), std::string("level 3"),
          std::string("50 of 928 data codewords (5%)"), std::to_string(job->rows) + " of 90 rows",
          std::string("308 x 120 pixels, modules of 3 x 9"),
          std::string("26.1 x 10.2 mm at 300 dpi")})
        EXPECT_NE(all.find(part), std::string::npos) << part << "\n" << all;
}

}  // namespace
}  // namespace barquill::cli
