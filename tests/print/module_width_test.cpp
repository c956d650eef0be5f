// SPDX-License-Identifier: MIT
// One module width in millimetres, one number of printer dots: the symbol
// made through the library's interface as --xdim 0.33 --dpi 300 asks, then
// written in every print format and measured in what each file holds. The
// start pattern that opens every row is 8, 1, 1, 1, 1, 1, 1 and 3 modules
// wide, so its first eight runs give the module width and show that each
// run is whole. Any row will do: the pictures are measured across their
// middle.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "barquill/barquill.hpp"
#include "tests/cli/image_files.h"
#include "tests/print/document_tools.h"
#include "tests/print/printer_bitmap_reader.h"

namespace barquill {
namespace {

constexpr int DPI = 300;
constexpr std::array<int, 8> START_PATTERN{8, 1, 1, 1, 1, 1, 1, 3};

// The runs, bar first, of one row from its first bar: at most eight.
std::vector<double> startRuns(const std::function<bool(int)>& black, int width) {
    int x = 0;
    while (x < width && !black(x)) ++x;
    std::vector<double> runs;
    while (x < width && runs.size() < START_PATTERN.size()) {
        const bool colour = black(x);
        const int start = x;
        while (x < width && black(x) == colour) ++x;
        runs.push_back(x - start);
    }
    return runs;
}

std::vector<double> pictureRuns(const testing::DecodedImage& image) {
    return startRuns([&](int x) { return image.at(x, image.height / 2) < 128; }, image.width);
}

std::vector<double> dotRuns(const print::testing::DotPicture& dots) {
    return startRuns([&](int x) { return dots.black(x, dots.height / 2); },
                     static_cast<int>(dots.bytesPerRow * 8));
}

// The SVG's first row of bars ("Mx yhWv..."), in dots: its user units
// scaled by the millimetres it declares.
std::vector<double> svgRuns(const std::string& svg) {
    std::smatch size;
    if (!std::regex_search(svg, size,
                           std::regex(R"re(width="([0-9.]+)mm".*viewBox="0 0 ([0-9]+) )re")))
        return {};
    const double dotsPerUnit = std::stod(size[1]) * DPI / 25.4 / std::stod(size[2]);
    const std::size_t path = svg.find(" d=\"");
    if (path == std::string::npos) return {};
    const std::string firstRow = svg.substr(path + 4, svg.find('\n', path) - path - 4);
    const std::regex bar(R"(M(\d+) \d+h(\d+)v)");
    std::vector<double> runs;
    double end = -1;
    for (auto it = std::sregex_iterator(firstRow.begin(), firstRow.end(), bar);
         it != std::sregex_iterator() && runs.size() < START_PATTERN.size(); ++it) {
        const double x = std::stod((*it)[1]) * dotsPerUnit;
        if (end >= 0) runs.push_back(x - end);  // the space before this bar
        const double width = std::stod((*it)[2]) * dotsPerUnit;
        runs.push_back(width);
        end = x + width;
    }
    runs.resize(std::min(runs.size(), START_PATTERN.size()));
    return runs;
}

// The runs of the first row of an EPS's bars ("x y w h re f" in points,
// after the white box and "0 g"), in dots. Ghostscript fills every pixel a
// shape touches, which widens each bar of its picture by a pixel, so the
// EPS is measured in what it draws.
std::vector<double> epsRuns(const std::string& eps) {
    const std::size_t bars = eps.find("\n0 g\n");
    if (bars == std::string::npos) return {};
    const std::string content = eps.substr(bars, eps.find("showpage") - bars);
    const std::regex rectangle(R"(([0-9.]+) ([0-9.]+) ([0-9.]+) [0-9.]+ re f)");
    struct Bar {
        double x, y, width;
    };
    std::vector<Bar> found;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), rectangle);
         it != std::sregex_iterator(); ++it)
        found.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])});
    if (found.empty()) return {};
    const double top = found.front().y;
    std::vector<double> runs;
    double end = -1;
    for (const Bar& bar : found) {
        if (bar.y != top || runs.size() >= START_PATTERN.size()) continue;
        if (end >= 0) runs.push_back((bar.x - end) * DPI / 72);
        runs.push_back(bar.width * DPI / 72);
        end = bar.x + bar.width;
    }
    runs.resize(std::min(runs.size(), START_PATTERN.size()));
    return runs;
}

TEST(ModuleWidth, EveryPrintFormatHasTheSameWholeDotsForOneWidthInMillimetres) {
    const print::testing::Tools tools;
    if (tools.pdftoppm.empty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is needed to measure the PDF";
    Settings settings;
    ASSERT_FALSE(applySetting(settings, "xdim", "0.33"));
    ASSERT_FALSE(applySetting(settings, "dpi", "300"));
    const Result<Label> label = makeLabel("LOT 4711 / 2026-12-11", settings);
    ASSERT_TRUE(label) << label.error().message;
    const Symbol& symbol = label->symbols.front();
    const Render& render = label->render;
    // 0.33 mm at 300 dpi is 3.898 dots: the nearest whole number.
    const int expected = dotsFromMm(0.33, DPI);
    EXPECT_EQ(expected, 4);
    EXPECT_EQ(render.moduleWidth, expected);

    auto file = [&](Format format) {
        const Result<Bytes> bytes = barquill::render(symbol, format, render);
        EXPECT_TRUE(bytes) << bytes.error().message;
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    };
    auto document = [&](Format format) {
        const std::string bytes = file(format);
        return print::testing::Document(bytes.begin(), bytes.end());
    };
    std::vector<std::pair<std::string, std::vector<double>>> measured;
    if (auto png = testing::readPng(file(Format::png)))
        measured.emplace_back("PNG", pictureRuns(*png));
    measured.emplace_back("SVG", svgRuns(file(Format::svg)));
    if (auto pdf = print::testing::rasterisePdf(document(Format::pdf), DPI))
        measured.emplace_back("PDF", pictureRuns(*pdf));
    measured.emplace_back("EPS", epsRuns(file(Format::eps)));
    if (auto zpl = print::testing::readZplGraphic(file(Format::zpl)))
        measured.emplace_back("ZPL", dotRuns(*zpl));
    const print::testing::Document escpos = document(Format::escpos);
    if (auto raster = print::testing::readEscPosRaster(escpos))
        measured.emplace_back("ESC/POS", dotRuns(*raster));
    ASSERT_EQ(measured.size(), 6u) << "a format could not be read back";

    for (const auto& [format, runs] : measured) {
        ASSERT_EQ(runs.size(), START_PATTERN.size()) << format;
        // Cairo places edges on a grid of 1/256 point, so an EPS run may be
        // a sixtieth of a dot off; the unrounded 3.898 dots would be a tenth.
        for (std::size_t i = 0; i < runs.size(); ++i)
            EXPECT_NEAR(runs[i], START_PATTERN[i] * expected, 0.05)
                << format << ": run " << i << " of the start pattern";
    }
}

}  // namespace
}  // namespace barquill
