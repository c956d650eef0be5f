// SPDX-License-Identifier: MIT
// Every format from one symbol: print documents sized from the render, the
// printer's own commands from the symbol as built, and a resolution in a
// picture only when one was given.
#include <gtest/gtest.h>

#include <limits>
#include <regex>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

std::string text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

bool hasChunk(const Bytes& png, std::string_view type) {
    return text(png).find(type) != std::string::npos;
}

std::uint32_t littleEndian32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(PrintFormats, APictureRecordsAResolutionOnlyWhenOneIsGiven) {
    const auto symbol = encode("LOT 4711");
    ASSERT_TRUE(symbol);
    const auto plainPng = toPng(*symbol);
    const auto printedPng = toPng(*symbol, {.dpi = 300});
    ASSERT_TRUE(plainPng && printedPng);
    EXPECT_FALSE(hasChunk(*plainPng, "pHYs"));
    EXPECT_TRUE(hasChunk(*printedPng, "pHYs"));
    const auto plainBmp = toBmp(*symbol);
    const auto printedBmp = toBmp(*symbol, {.dpi = 300});
    ASSERT_TRUE(plainBmp && printedBmp);
    EXPECT_EQ(littleEndian32(*plainBmp, 38), 0u);
    EXPECT_EQ(littleEndian32(*plainBmp, 42), 0u);
    EXPECT_EQ(littleEndian32(*printedBmp, 38), 11811u);  // 300 dpi in pixels per metre
}

TEST(PrintFormats, EveryFormatIsMadeAndTheNameChoosesIt) {
    const auto symbol = encode("every format");
    ASSERT_TRUE(symbol);
    for (const FormatInfo& info : formats()) {
        SCOPED_TRACE(std::string(info.name));
        const auto file = render(*symbol, info.format, {.dpi = 203});
        ASSERT_TRUE(file) << file.error().message;
        EXPECT_GT(file->size(), 20u);
        EXPECT_EQ(formatFromName("label" + std::string(info.extension)), info.format);
    }
    EXPECT_EQ(text(*render(*symbol, Format::pdf)).substr(0, 5), "%PDF-");
    EXPECT_EQ(text(*render(*symbol, Format::eps)).substr(0, 11), "%!PS-Adobe-");
    EXPECT_EQ(text(*render(*symbol, Format::zpl)).substr(0, 3), "^XA");
}

// Without a page the document is the symbol's size: 2 x 4 pixel modules and
// a 10-pixel quiet zone are points at no resolution, dots at one.
TEST(PrintFormats, APdfMeasuresThePixelsAtTheResolutionOrAPointEach) {
    const auto symbol = encode("measured");
    ASSERT_TRUE(symbol);
    const std::regex mediaBox(R"(/MediaBox \[ ?0 0 ([0-9.]+) ([0-9.]+) ?\])");
    const struct {
        Render render;
        double width, height;  // points
    } cases[] = {
        {{}, 20.0 + 2 * symbol->width(), 20.0 + 4 * symbol->rows()},
        {{.moduleWidth = 3, .rowHeight = 9, .quietZone = 30, .dpi = 300},
         (60.0 + 3 * symbol->width()) * 72 / 300,
         (60.0 + 9 * symbol->rows()) * 72 / 300},
        {{.page = Page{210, 297, 20, 30}}, 595.276, 841.89},
    };
    for (const auto& c : cases) {
        const auto pdf = render(*symbol, Format::pdf, c.render);
        ASSERT_TRUE(pdf) << pdf.error().message;
        std::smatch box;
        const std::string document = text(*pdf);
        ASSERT_TRUE(std::regex_search(document, box, mediaBox));
        EXPECT_NEAR(std::stod(box[1]), c.width, 0.01);
        EXPECT_NEAR(std::stod(box[2]), c.height, 0.01);
    }
    const auto offPage = render(*symbol, Format::pdf, {.page = Page{50, 20, 40, 5}});
    ASSERT_FALSE(offPage);
    EXPECT_EQ(offPage.error().code, ErrorCode::notOnPage);
}

TEST(PrintFormats, AnOffPageMessageNamesOnlyTheSideThatIsPastTheEdge) {
    const auto symbol = encode("LOT 4711");
    ASSERT_TRUE(symbol);
    struct Case {
        const char* name;
        Page page;
        const char* side;
        const char* fitting;
    };
    const Case cases[] = {
        {"past the right edge", Page{50, 200, 40, 5}, "across", "down"},
        {"past the bottom edge", Page{200, 20, 5, 15}, "down", "across"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pdf = render(*symbol, Format::pdf, {.page = c.page});
        ASSERT_FALSE(pdf);
        EXPECT_EQ(pdf.error().code, ErrorCode::notOnPage);
        EXPECT_EQ(pdf.error().other, c.side);
        EXPECT_NE(pdf.error().message.find(c.side), std::string::npos) << pdf.error().message;
        EXPECT_EQ(pdf.error().message.find(c.fitting), std::string::npos) << pdf.error().message;
    }
}

TEST(PrintFormats, ValuesWithoutAWholeNumberAreNamedNotCast) {
    const auto symbol = encode("LOT 4711");
    ASSERT_TRUE(symbol);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (const Page page : {Page{nan, 297}, Page{210, 297, infinity, 0}}) {
        const auto pdf = render(*symbol, Format::pdf, {.page = page});
        ASSERT_FALSE(pdf);
        EXPECT_EQ(pdf.error().value, 0);
        EXPECT_TRUE(pdf.error().given == "NaN" || pdf.error().given == "infinity")
            << pdf.error().given;
        EXPECT_EQ(pdf.error().message.find("-9223372036854775808"), std::string::npos)
            << pdf.error().message;
    }
}

TEST(PrintFormats, ThePrintersOwnCommandCarriesTheSymbolAsBuilt) {
    const auto symbol = encode("NATIVE 42", {.level = 4, .columns = 3});
    ASSERT_TRUE(symbol);
    const Render native{.moduleWidth = 3, .rowHeight = 9, .printerEncodes = true};
    const auto zpl = render(*symbol, Format::zpl, native);
    ASSERT_TRUE(zpl) << zpl.error().message;
    EXPECT_NE(text(*zpl).find("^BY3^B7N,3,4,3," + std::to_string(symbol->rows()) + ",N"),
              std::string::npos)
        << text(*zpl);
    EXPECT_NE(text(*zpl).find("^FDNATIVE 42^FS"), std::string::npos);
    const auto escpos = render(*symbol, Format::escpos, native);
    ASSERT_TRUE(escpos) << escpos.error().message;
    // GS ( k, function 069: error correction as a level, level 4.
    EXPECT_NE(text(*escpos).find(std::string("\x1d(k\x04\x00\x30\x45\x30\x34", 9)),
              std::string::npos);

    struct Case {
        const char* name;
        Result<Symbol> symbol;
        const char* field;
    };
    const Case refused[] = {
        {"an ECI", encode("caf\xc3\xa9"), "eci"},
        {"a Macro segment", encode("part", {.macro = Macro{.fileId = {1}}}), "macro"},
        {"level 0", encode("zero", {.level = 0}), "level"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.symbol);
        const auto file = render(*c.symbol, Format::zpl, native);
        ASSERT_FALSE(file);
        EXPECT_EQ(file.error().code, ErrorCode::notExpressible);
        EXPECT_EQ(file.error().field, c.field);
    }
    // The level the printer takes is named with its range, not a bare maximum.
    const auto levelZero = render(*encode("zero", {.level = 0}), Format::zpl, native);
    ASSERT_FALSE(levelZero);
    EXPECT_NE(levelZero.error().message.find("level 0: it takes levels 1 to 8"), std::string::npos)
        << levelZero.error().message;
}

TEST(PrintFormats, ThePrintersOwnSymbolKeepsItsQuietZoneAndPosition) {
    const auto symbol = encode("MARGIN", {.level = 2});
    ASSERT_TRUE(symbol);
    struct Case {
        const char* name;
        Render render;
        const char* origin;
    };
    const Case cases[] = {
        {"no margin", {.quietZone = 0, .printerEncodes = true}, "^FO0,0^"},
        {"margin in dots", {.quietZone = 20, .printerEncodes = true}, "^FO20,20^"},
        // 10 mm and 5 mm at 203 dpi are 80 and 40 dots, then the margin.
        {"placed on a page",
         {.quietZone = 20, .dpi = 203, .page = Page{100, 150, 10, 5}, .printerEncodes = true},
         "^FO100,60^"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto zpl = render(*symbol, Format::zpl, c.render);
        ASSERT_TRUE(zpl) << zpl.error().message;
        EXPECT_NE(text(*zpl).find(c.origin), std::string::npos) << text(*zpl);
    }
}

TEST(PrintFormats, APictureTooLargeForThePrinterNamesItsUnit) {
    const auto symbol = encode(std::string(900, 'A'), {.columns = 30});
    ASSERT_TRUE(symbol);
    const auto zpl = render(*symbol, Format::zpl, {.moduleWidth = 64, .rowHeight = 256});
    ASSERT_FALSE(zpl);
    EXPECT_EQ(zpl.error().code, ErrorCode::notExpressible);
    EXPECT_EQ(zpl.error().field, "picture.bytes");
    EXPECT_NE(zpl.error().message.find(" bytes, more than the "), std::string::npos)
        << zpl.error().message;
    EXPECT_EQ(zpl.error().message.find("PDF417 command"), std::string::npos);
}

TEST(PrintFormats, APageAndItsPositionAreSettings) {
    Settings settings;
    ASSERT_FALSE(applySetting(settings, "position", "20,30.5"));
    ASSERT_FALSE(applySetting(settings, "page", "letter"));
    ASSERT_TRUE(settings.page);
    EXPECT_EQ(*settings.page, (Page{215.9, 279.4, 20, 30.5}));
    ASSERT_FALSE(applySetting(settings, "page", "100x150"));
    EXPECT_EQ(*settings.page, (Page{100, 150, 20, 30.5}));
    for (const char* bad : {"A5", "100", "0x150", "x"})
        EXPECT_TRUE(applySetting(settings, "page", bad)) << bad;
    Settings positionOnly;
    ASSERT_FALSE(applySetting(positionOnly, "position", "1,2"));
    const auto error = checkSettings(positionOnly);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, ErrorCode::missingOption);
}

// A receipt printer cuts or wraps a picture wider than its print width:
// 576 dots (80 mm paper at 203 dpi) unless the resolution or the page says.
TEST(PrintFormats, AnEscPosPictureWiderThanThePrinterIsRefused) {
    const auto symbol = encode("LOT 4711", {.columns = 4});
    ASSERT_TRUE(symbol);
    struct Case {
        int moduleWidth;
        int dpi;
        double pageWidthMm;  // 0: no page
        long limit;          // 0: fits
    };
    const Case cases[] = {
        {4, 0, 0, 0},     {5, 0, 0, 576},   {5, 203, 0, 576}, {5, 300, 0, 0},
        {8, 300, 0, 851}, {8, 203, 150, 0}, {5, 0, 60, 480},
    };
    for (const Case& c : cases) {
        Render r;
        r.moduleWidth = c.moduleWidth;
        r.dpi = c.dpi;
        if (c.pageWidthMm > 0) r.page = Page{c.pageWidthMm, 100};
        const long dots = static_cast<long>(symbol->width()) * c.moduleWidth + 2 * r.quietZone;
        SCOPED_TRACE(testing::Message()
                     << dots << " dots at " << c.dpi << " dpi, page " << c.pageWidthMm);
        const auto escpos = render(*symbol, Format::escpos, r);
        if (c.limit == 0) {
            EXPECT_TRUE(escpos) << escpos.error().message;
            continue;
        }
        ASSERT_FALSE(escpos);
        EXPECT_EQ(escpos.error().code, ErrorCode::notOnPage);
        EXPECT_EQ(escpos.error().value, dots);
        EXPECT_EQ(escpos.error().maximum, c.limit);
        EXPECT_NE(escpos.error().message.find(std::to_string(dots) + " dots wide"),
                  std::string::npos)
            << escpos.error().message;
        EXPECT_NE(
            escpos.error().message.find("print width of " + std::to_string(c.limit) + " dots"),
            std::string::npos)
            << escpos.error().message;
    }
}

}  // namespace
}  // namespace barquill
