// SPDX-License-Identifier: MIT
// An SVG document is the same in every locale: a program that took a
// comma-decimal locale (a Qt application in German) still writes lengths
// with a decimal point, which is all SVG reads.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "image/svg_writer.h"

using namespace barquill::image;

namespace {

TEST(SvgLocale, MillimetresKeepTheirDecimalPointInACommaLocale) {
    SvgSymbol symbol;
    const std::string row = "1101000111";
    symbol.rows = {row, row};
    symbol.moduleWidth = 3;
    symbol.rowHeight = 5;
    symbol.margin = 4;
    symbol.dpi = 300;
    const std::string inC = EncodeSvg(symbol);
    // 38 x 18 units at 300 dpi: 3.21733... mm by 1.524 mm.
    ASSERT_NE(inC.find("width=\"3.2173mm\" height=\"1.524mm\""), std::string::npos) << inC;

    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed; scripts/install-deps.sh "
                        "generates it";
    const std::locale previous = std::locale::global(std::locale("de_DE.UTF-8"));
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    const std::string inGerman = EncodeSvg(symbol);
    std::locale::global(previous);
    std::setlocale(LC_ALL, "C");
    ASSERT_STREQ(text, "1,5") << "the locale is in force";
    EXPECT_EQ(inGerman, inC);
}

}  // namespace
