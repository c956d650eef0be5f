// SPDX-License-Identifier: MIT
// The SVG document carries the raster's exact geometry in user units.
#include "image/svg_writer.h"

#include <gtest/gtest.h>

#include <regex>

using namespace barquill::image;

namespace {

// An asymmetric two-row symbol: runs at the edges and in the middle.
const std::string topRow = "1101000111";
const std::string bottomRow = "0111111001";

SvgSymbol smallSymbol() {
    SvgSymbol symbol;
    symbol.rows = {topRow, bottomRow};
    symbol.moduleWidth = 3;
    symbol.rowHeight = 5;
    symbol.margin = 4;
    symbol.barColor = 0x563412;  // #123456
    symbol.spaceColor = 0xFFFFFF;
    return symbol;
}

TEST(SvgWriter, OneRectanglePerRunOfBarsAtExactModuleGeometry) {
    const std::string svg = EncodeSvg(smallSymbol());
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_NE(svg.find("width=\"38\" height=\"18\" viewBox=\"0 0 38 18\""), std::string::npos)
        << svg;
    EXPECT_NE(svg.find("shape-rendering=\"crispEdges\""), std::string::npos);
    EXPECT_NE(svg.find("<rect width=\"38\" height=\"18\" fill=\"#ffffff\"/>"), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#123456\""), std::string::npos);

    std::vector<std::string> runs;
    const std::regex run(R"(M(\d+) (\d+)h(\d+)v(\d+)h-(\d+)z)");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), run); it != std::sregex_iterator();
         ++it)
        runs.push_back((*it)[1].str() + "," + (*it)[2].str() + " " + (*it)[3].str() + "x" +
                       (*it)[4].str());
    const std::vector<std::string> expected = {// top row at y 4: modules 0-1, 3, 7-9
                                               "4,4 6x5", "13,4 3x5", "25,4 9x5",
                                               // bottom row at y 9: modules 1-6, 9
                                               "7,9 18x5", "31,9 3x5"};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(SvgWriter, KnownResolutionGivesThePhysicalSizeInMillimetres) {
    struct Case {
        int dpi;
        const char* size;
    };
    const Case cases[] = {
        {0, "width=\"38\" height=\"18\""},
        {254, "width=\"3.8mm\" height=\"1.8mm\""},
        {300, "width=\"3.2173mm\" height=\"1.524mm\""},
    };
    for (const Case& c : cases) {
        SvgSymbol symbol = smallSymbol();
        symbol.dpi = c.dpi;
        const std::string svg = EncodeSvg(symbol);
        EXPECT_NE(svg.find(c.size), std::string::npos) << svg;
        EXPECT_NE(svg.find("viewBox=\"0 0 38 18\""), std::string::npos);
    }
}

}  // namespace
