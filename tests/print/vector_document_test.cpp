// SPDX-License-Identifier: MIT
// PDF and EPS documents read by standard tools: rasterised by pdftoppm and
// Ghostscript and decoded by the PDF417 reader, their page sizes and
// content read back as written.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "print/print.h"
#include "tests/print/document_tools.h"
#include "tests/print/print_fixtures.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::print {
namespace {

using testing::bytesOf;

constexpr double POINTS_PER_MM = 72 / 25.4;
constexpr int RASTER_DPI = 600;

class VectorDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        const testing::Tools tools;
        if (tools.pdftoppm.empty() || tools.pdfimages.empty() || tools.pdfinfo.empty() ||
            tools.ghostscript.empty())
            GTEST_SKIP() << "pdftoppm, pdfimages and pdfinfo (poppler-utils) and gs "
                            "(ghostscript) are needed to read the documents";
    }

    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    const raster::ModuleMatrix modules = testing::matrixOf(symbol);
};

std::optional<barquill::testing::DecodedImage> rasterise(VectorFormat format,
                                                         const testing::Document& document) {
    return format == VectorFormat::pdf ? testing::rasterisePdf(document, RASTER_DPI)
                                       : testing::rasteriseEps(document, RASTER_DPI);
}

std::optional<barquill::testing::Bytes> decode(const barquill::testing::DecodedImage& image) {
    return barquill::testing::readPdf417Grey(image.grey.data(), image.width, image.height,
                                             image.width);
}

VectorLayout millimetres(double moduleWidth, double rowHeight, double quietZone) {
    VectorLayout layout;
    layout.moduleWidthMm = moduleWidth;
    layout.rowHeightMm = rowHeight;
    layout.quietZoneMm = quietZone;
    return layout;
}

// The operands of each colour operator ("rg" or "g") in order.
std::vector<std::vector<double>> colours(const std::vector<std::string>& words,
                                         const std::string& op, std::size_t operands) {
    std::vector<std::vector<double>> found;
    for (std::size_t i = operands; i < words.size(); ++i) {
        if (words[i] != op) continue;
        std::vector<double> values;
        for (std::size_t j = i - operands; j < i; ++j) values.push_back(std::stod(words[j]));
        found.push_back(values);
    }
    return found;
}

// The page content of an EPS, after its prolog and setup.
std::vector<std::string> epsPageWords(const testing::Document& eps) {
    const std::string text(eps.begin(), eps.end());
    const std::size_t begin = text.find("%%EndPageSetup"), end = text.find("showpage");
    std::istringstream in(text.substr(begin, end - begin));
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

TEST_F(VectorDocumentTest, SymbolsReadBackAtTheSizeAsked) {
    struct Case {
        const char* name;
        VectorLayout layout;
        double width, height;  // points, quiet zone included
    };
    const double w = symbol.width(), r = symbol.rows();
    const Case cases[] = {
        {"pixel geometry at 72 dpi", layoutFromPixels(2, 4, 10), 2 * w + 20, 4 * r + 20},
        {"pixel geometry at 300 dpi", layoutFromPixels(3, 9, 20, 300), (3 * w + 40) * 72 / 300,
         (9 * r + 40) * 72 / 300},
        {"0.254 mm modules", millimetres(0.254, 0.762, 2), (0.254 * w + 4) * POINTS_PER_MM,
         (0.762 * r + 4) * POINTS_PER_MM},
    };
    for (const Case& c : cases) {
        for (const VectorFormat format : {VectorFormat::pdf, VectorFormat::eps}) {
            const std::string name =
                std::string(c.name) + (format == VectorFormat::pdf ? ", PDF" : ", EPS");
            const Result<Bytes> document = vectorDocument(modules, format, c.layout);
            ASSERT_TRUE(document.ok()) << name;
            if (format == VectorFormat::pdf) {
                const auto box = testing::mediaBox(document.value());
                ASSERT_TRUE(box.has_value()) << name;
                EXPECT_NEAR((*box)[2] - (*box)[0], c.width, 0.01) << name;
                EXPECT_NEAR((*box)[3] - (*box)[1], c.height, 0.01) << name;
            } else {
                // Cairo gives an EPS's box in whole points, rounded outwards.
                const auto box = testing::boundingBox(document.value());
                ASSERT_TRUE(box.has_value()) << name;
                EXPECT_EQ((*box)[0], 0) << name;
                EXPECT_EQ((*box)[1], 0) << name;
                EXPECT_EQ((*box)[2], std::ceil(c.width - 1e-6)) << name;
                EXPECT_EQ((*box)[3], std::ceil(c.height - 1e-6)) << name;
            }
            const auto image = rasterise(format, document.value());
            ASSERT_TRUE(image.has_value()) << name;
            EXPECT_EQ(decode(*image), bytesOf(testing::typicalText())) << name;
        }
    }
}

TEST_F(VectorDocumentTest, NamedPagesHaveTheirSizeInPoints) {
    struct Case {
        const char* name;
        Page page;
        double width, height;
    };
    const Case cases[] = {
        {"A4", A4, 595.28, 841.89},
        {"Letter", LETTER, 612, 792},
        {"custom", Page{100, 50}, 283.46, 141.73},
    };
    for (const Case& c : cases) {
        VectorLayout layout = millimetres(0.3, 0.9, 2);
        layout.page = c.page;
        const Result<Bytes> document = vectorDocument(modules, VectorFormat::pdf, layout);
        ASSERT_TRUE(document.ok()) << c.name;
        const auto box = testing::mediaBox(document.value());
        ASSERT_TRUE(box.has_value()) << c.name;
        EXPECT_NEAR((*box)[2] - (*box)[0], c.width, 0.01) << c.name;
        EXPECT_NEAR((*box)[3] - (*box)[1], c.height, 0.01) << c.name;
    }
}

TEST_F(VectorDocumentTest, SymbolLiesWhereItWasPlacedFromTheTopLeft) {
    // A page of 360 x 180 points, whole points so that the EPS box is the
    // page exactly; the quiet zone's corner 1 inch across and half down.
    VectorLayout layout = millimetres(0.3, 0.9, 2);
    layout.page = Page{127, 63.5};
    layout.xMm = 25.4;
    layout.yMm = 12.7;
    const double dotsPerMm = RASTER_DPI / 25.4;
    for (const VectorFormat format : {VectorFormat::pdf, VectorFormat::eps}) {
        const Result<Bytes> document = vectorDocument(modules, format, layout);
        ASSERT_TRUE(document.ok());
        const auto image = rasterise(format, document.value());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, 3000);
        EXPECT_EQ(image->height, 1500);
        const std::array<int, 4> ink = testing::inkBox(*image);
        EXPECT_NEAR(ink[0], (25.4 + 2) * dotsPerMm, 2);
        EXPECT_NEAR(ink[1], (12.7 + 2) * dotsPerMm, 2);
        EXPECT_NEAR(ink[2], (25.4 + 2 + 0.3 * symbol.width()) * dotsPerMm, 2);
        EXPECT_NEAR(ink[3], (12.7 + 2 + 0.9 * symbol.rows()) * dotsPerMm, 2);
        EXPECT_EQ(decode(*image), bytesOf(testing::typicalText()));
    }
}

TEST_F(VectorDocumentTest, BarsAreFewMergedRectanglesAndNoPicture) {
    const Result<Bytes> pdf =
        vectorDocument(modules, VectorFormat::pdf, layoutFromPixels(2, 4, 10));
    ASSERT_TRUE(pdf.ok());
    const auto images = testing::toolOutput(testing::Tools().pdfimages, {"-list"}, pdf.value());
    ASSERT_TRUE(images.has_value());
    // Only the two heading lines of the table, no image under them.
    EXPECT_EQ(std::count(images->begin(), images->end(), '\n'), 2) << *images;

    long barModules = 0, runs = 0;
    for (int row = 0; row < symbol.rows(); ++row)
        for (int module = 0; module < symbol.width(); ++module) {
            barModules += symbol.bar(row, module);
            runs += symbol.bar(row, module) && (module == 0 || !symbol.bar(row, module - 1));
        }
    const std::vector<std::string> words = testing::pdfContentWords(pdf.value());
    const long rectangles =
        std::count(words.begin(), words.end(), "re") + std::count(words.begin(), words.end(), "h");
    EXPECT_GT(rectangles, 0);
    // Fewer than the runs of bars: the start and stop patterns span all rows.
    EXPECT_LT(rectangles, runs - 2 * symbol.rows());
    EXPECT_LT(rectangles, barModules);
    for (const char* picture : {"Do", "BI", "sh"})
        EXPECT_EQ(std::count(words.begin(), words.end(), picture), 0) << picture;
}

TEST_F(VectorDocumentTest, BlackIsOneColourAndWhiteIsNotPaintedInPdf) {
    const Result<Bytes> pdf = vectorDocument(modules, VectorFormat::pdf, {});
    ASSERT_TRUE(pdf.ok());
    const std::vector<std::string> words = testing::pdfContentWords(pdf.value());
    // Cairo writes black as RGB 0 0 0 and has no gray for PDF.
    EXPECT_EQ(colours(words, "rg", 3), (std::vector<std::vector<double>>{{0, 0, 0}}));
    EXPECT_TRUE(colours(words, "g", 1).empty());
    // One fill per bar rectangle, none for the background.
    EXPECT_EQ(std::count(words.begin(), words.end(), "f"),
              std::count(words.begin(), words.end(), "re"));

    const Result<Bytes> eps = vectorDocument(modules, VectorFormat::eps, {});
    ASSERT_TRUE(eps.ok());
    const std::vector<std::string> page = epsPageWords(eps.value());
    // The white box, then the bars in gray 0.
    EXPECT_EQ(colours(page, "g", 1), (std::vector<std::vector<double>>{{1}, {0}}));
    EXPECT_TRUE(colours(page, "rg", 3).empty());
    for (const char* picture : {"image", "imagemask", "cairo_image"})
        EXPECT_EQ(std::count(page.begin(), page.end(), picture), 0) << picture;
}

TEST_F(VectorDocumentTest, ColoursAreRgbWithTheSpacePaintedFirst) {
    VectorLayout layout = layoutFromPixels(2, 4, 10);
    layout.bar = {0x20, 0x40, 0x90};
    layout.space = {0xFF, 0xF0, 0xC0};
    const std::vector<std::vector<double>> expected = {{1, 0xF0 / 255.0, 0xC0 / 255.0},
                                                       {0x20 / 255.0, 0x40 / 255.0, 0x90 / 255.0}};
    for (const VectorFormat format : {VectorFormat::pdf, VectorFormat::eps}) {
        const Result<Bytes> document = vectorDocument(modules, format, layout);
        ASSERT_TRUE(document.ok());
        const std::vector<std::string> words = format == VectorFormat::pdf
                                                   ? testing::pdfContentWords(document.value())
                                                   : epsPageWords(document.value());
        const auto found = colours(words, "rg", 3);
        ASSERT_EQ(found.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i)
            for (std::size_t channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(found[i][channel], expected[i][channel], 1e-4);
        const auto image = rasterise(format, document.value());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(decode(*image), bytesOf(testing::typicalText()));
    }
}

TEST_F(VectorDocumentTest, DocumentsNameThemselves) {
    const Result<Bytes> pdf = vectorDocument(modules, VectorFormat::pdf, {});
    ASSERT_TRUE(pdf.ok());
    const auto info = testing::toolOutput(testing::Tools().pdfinfo, {}, pdf.value());
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(std::regex_search(*info, std::regex("(^|\n)Title: +PDF417 barcode\n"))) << *info;
    EXPECT_TRUE(std::regex_search(*info, std::regex("(^|\n)Creator: +Barquill\n"))) << *info;

    const Result<Bytes> eps = vectorDocument(modules, VectorFormat::eps, {});
    ASSERT_TRUE(eps.ok());
    const std::string text(eps.value().begin(), eps.value().end());
    EXPECT_TRUE(text.starts_with("%!PS-Adobe-3.0 EPSF-3.0\n"));
    EXPECT_NE(text.find("\n%%Title: PDF417 barcode\n"), std::string::npos);
}

}  // namespace
}  // namespace barquill::print
