// SPDX-License-Identifier: MIT
// Sizes and placements a vector document refuses before drawing, and the
// pixel geometry's millimetres.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "barquill/print_size.hpp"
#include "print/print.h"
#include "tests/print/print_fixtures.h"

namespace barquill::print {
namespace {

TEST(VectorLayout, PixelsAreOnePointEachWithoutAResolution) {
    const VectorLayout points = layoutFromPixels(2, 4, 10);
    EXPECT_DOUBLE_EQ(points.moduleWidthMm, 2 * 25.4 / 72);
    EXPECT_DOUBLE_EQ(points.rowHeightMm, 4 * 25.4 / 72);
    EXPECT_DOUBLE_EQ(points.quietZoneMm, 10 * 25.4 / 72);
    const VectorLayout printer = layoutFromPixels(3, 9, 20, 300);
    EXPECT_DOUBLE_EQ(printer.moduleWidthMm, 0.254);
    EXPECT_DOUBLE_EQ(printer.rowHeightMm, 0.762);
    EXPECT_DOUBLE_EQ(printer.quietZoneMm, 20 * 25.4 / 300);
}

TEST(Units, MillimetresBecomeTheNearestDotAHalfRoundingUp) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double mm;
        int dpi;
        int dots;
    } cases[] = {
        {0.25, 203, 2},       // 1.998
        {0.33, 300, 4},       // 3.898
        {1.0, 203, 8},        // 7.992
        {0.0, 203, 0},        //
        {0.3175, 200, 3},     // 2.5 exactly: up, not to even
        {2.667, 300, 32},     // 31.5, computed a hair below
        {1.8415, 200, 15},    // 14.5, likewise
        {-0.381, 300, -4},    // -4.5: up
        {nan, 300, INT_MAX},  // refused by every size check
        {1e300, 300, INT_MAX}, {-1e300, 300, INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(units::dotsFromMm(c.mm, c.dpi), c.dots) << c.mm << " mm at " << c.dpi;
        // The public function is the same rule.
        EXPECT_EQ(barquill::dotsFromMm(c.mm, c.dpi), c.dots) << c.mm << " mm at " << c.dpi;
    }
    EXPECT_DOUBLE_EQ(units::mmFromDots(4, 300), 4 * 25.4 / 300);
    EXPECT_EQ(units::mmFromDots(4, 0), 0.0);
}

TEST(VectorDocument, RefusesSizesAndPlacementsThatCannotBeDrawn) {
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    const raster::ModuleMatrix modules = testing::matrixOf(symbol);
    // The symbol's box at 0.5 mm modules, 1.5 mm rows and a 2 mm quiet zone.
    const double boxWidth = 4 + symbol.width() * 0.5, boxHeight = 4 + symbol.rows() * 1.5;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto layout = [](double moduleWidth, std::optional<Page> page, double x, double y) {
        VectorLayout l;
        l.moduleWidthMm = moduleWidth;
        l.rowHeightMm = 1.5;
        l.quietZoneMm = 2;
        l.page = page;
        l.xMm = x;
        l.yMm = y;
        return l;
    };
    struct Case {
        const char* name;
        VectorLayout layout;
        ErrorCode code;
        Setting setting;
        double value;
    };
    VectorLayout negativeQuietZone = layout(0.5, std::nullopt, 0, 0);
    negativeQuietZone.quietZoneMm = -0.1;
    VectorLayout nanRows = layout(0.5, std::nullopt, 0, 0);
    nanRows.rowHeightMm = nan;
    const Case cases[] = {
        {"module width 0", layout(0, std::nullopt, 0, 0), ErrorCode::invalidSetting,
         Setting::moduleWidth, 0},
        {"negative quiet zone", negativeQuietZone, ErrorCode::invalidSetting, Setting::quietZone,
         -0.1},
        {"page without width", layout(0.5, Page{0, 100}, 0, 0), ErrorCode::invalidSetting,
         Setting::pageWidth, 0},
        {"negative x", layout(0.5, A4, -1, 0), ErrorCode::invalidSetting, Setting::x, -1},
        {"moved on its own page", layout(0.5, std::nullopt, 1, 0), ErrorCode::doesNotFitPage,
         Setting::x, 1 + boxWidth},
        {"past A4's foot", layout(0.5, A4, 10, 297 - boxHeight + 0.01), ErrorCode::doesNotFitPage,
         Setting::y, 297.01},
        {"past Letter's edge", layout(0.5, LETTER, 215.9 - boxWidth + 0.5, 0),
         ErrorCode::doesNotFitPage, Setting::x, 216.4},
        {"wider than any page", layout(100, std::nullopt, 0, 0), ErrorCode::doesNotFitPage,
         Setting::pageWidth, 4 + symbol.width() * 100.0},
    };
    for (const Case& c : cases) {
        const Result<Bytes> document = vectorDocument(modules, VectorFormat::pdf, c.layout);
        ASSERT_FALSE(document.ok()) << c.name;
        EXPECT_EQ(document.error().code, c.code) << c.name;
        EXPECT_EQ(document.error().setting, c.setting) << c.name;
        EXPECT_NEAR(document.error().value, c.value, 1e-9) << c.name;
    }
    // NaN compares unequal to itself; the setting tells it apart.
    const Result<Bytes> nanDocument = vectorDocument(modules, VectorFormat::eps, nanRows);
    ASSERT_FALSE(nanDocument.ok());
    EXPECT_EQ(nanDocument.error().code, ErrorCode::invalidSetting);
    EXPECT_EQ(nanDocument.error().setting, Setting::rowHeight);
    EXPECT_EQ(vectorDocument({}, VectorFormat::pdf, {}).error().code, ErrorCode::emptySymbol);

    // A box that ends exactly on the page's edge fits.
    EXPECT_TRUE(
        vectorDocument(modules, VectorFormat::pdf, layout(0.5, A4, 210 - boxWidth, 297 - boxHeight))
            .ok());
}

}  // namespace
}  // namespace barquill::print
