// SPDX-License-Identifier: MIT
// A series in one SVG drawing: each symbol's own drawing at its place on
// one sheet, one below the other, the sheet sized in pixels or in mm.
#include <gtest/gtest.h>

#include <regex>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

std::vector<long> numbersAfter(const std::string& svg, const std::string& attribute) {
    std::vector<long> found;
    const std::regex pattern(" " + attribute + "=\"([0-9]+)\"");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.push_back(std::stol((*it)[1]));
    return found;
}

TEST(SeriesSvg, PlacesEachSymbolsDrawingBelowTheLastOnASheetOfTheSpaceColour) {
    std::string data;
    for (int i = 0; data.size() < 2400; ++i) data += "Line " + std::to_string(i) + "; ";
    const auto series = encodeSeries(data, {.level = 2});
    ASSERT_TRUE(series) << series.error().message;
    ASSERT_GE(series->size(), 2u);
    const Render render{.quietZone = 6, .space = {255, 255, 0}};
    const int gap = 12;
    const auto svg = seriesToSvg(*series, render, gap);
    ASSERT_TRUE(svg) << svg.error().message;
    const PictureSize one = pictureSize(series->front(), render);
    const long count = static_cast<long>(series->size());
    const long height = count * one.height + (count - 1) * gap;
    EXPECT_NE(svg->find("viewBox=\"0 0 " + std::to_string(one.width) + " " +
                        std::to_string(height) + "\""),
              std::string::npos);
    EXPECT_NE(svg->find("fill=\"#ffff00\""), std::string::npos);
    // One XML declaration, one nested drawing per symbol at its offset.
    EXPECT_EQ(svg->find("<?xml", 1), std::string::npos);
    std::vector<long> expected;
    for (long i = 0; i < count; ++i) expected.push_back(i * (one.height + gap));
    EXPECT_EQ(numbersAfter(*svg, "y"), expected);
    // Each nested drawing is the symbol's own, in pixels.
    const auto first = toSvg(series->front(), render);
    ASSERT_TRUE(first);
    const std::string body = first->substr(first->find("<rect"));
    EXPECT_NE(svg->find(body), std::string::npos);
}

TEST(SeriesSvg, SheetTakesItsSizeInMillimetresFromTheResolution) {
    const auto series = encodeSeries(std::string(1500, 'x'), {}, {.segments = 2});
    ASSERT_TRUE(series);
    const Render render{.moduleWidth = 4, .rowHeight = 12, .quietZone = 10, .dpi = 300};
    const auto svg = seriesToSvg(*series, render, 0);
    ASSERT_TRUE(svg);
    const PictureSize one = pictureSize(series->front(), render);
    // Only the sheet is measured in mm; its drawings keep their pixels.
    const std::regex sheet("<svg xmlns=\"[^\"]+\" version=\"1.1\" width=\"([0-9.]+)mm\"");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(*svg, match, sheet)) << svg->substr(0, 200);
    EXPECT_NEAR(std::stod(match[1]), dotsToMm(one.width, 300), 1e-4);
    EXPECT_EQ(numbersAfter(*svg, "width").front(), one.width);
}

TEST(SeriesSvg, RefusesNoSymbolsAndAGapOutOfRange) {
    const auto symbol = encode("one");
    ASSERT_TRUE(symbol);
    const std::vector<Symbol> one{*symbol};
    EXPECT_EQ(seriesToSvg({}, {}, 0).error().code, ErrorCode::emptyData);
    const auto wide = seriesToSvg(one, {}, maxQuietZone + 1);
    ASSERT_FALSE(wide);
    EXPECT_EQ(wide.error().code, ErrorCode::invalidRender);
    EXPECT_EQ(wide.error().field, "gap");
    EXPECT_EQ(seriesToSvg(one, {.quietZone = -1}, 0).error().code, ErrorCode::invalidRender);
}

}  // namespace
}  // namespace barquill
