// SPDX-License-Identifier: MIT
// The check of a vector document's areas: what the page shows, module by
// module, must be the symbol, however the areas are cut.
#include "print/painted_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/print/print_fixtures.h"

namespace barquill::print {
namespace {

using testing::DrawnModules;

const DrawnModules drawn({
    "1101000111",
    "1100110111",
    "1101000111",
});

constexpr Colour BLACK{0, 0, 0};
constexpr Colour CREAM{255, 255, 238};

VectorLayout layoutOn(Colour space) {
    VectorLayout layout;
    layout.moduleWidthMm = 0.33;
    layout.rowHeightMm = 0.99;
    layout.quietZoneMm = 0.66;
    layout.xMm = 5;
    layout.yMm = 7;
    layout.space = space;
    return layout;
}

PagePlan planOf(const VectorLayout& layout, const raster::ModuleMatrix& modules) {
    return {210, 297, 2 * layout.quietZoneMm + modules.width * layout.moduleWidthMm,
            2 * layout.quietZoneMm + modules.rows * layout.rowHeightMm};
}

barquill_vector_area areaOf(double x, double y, double w, double h, Colour c) {
    return {x, y, w, h, c.red, c.green, c.blue};
}

// A bar module at a time, the space colour first when it is not white:
// another cut of the same drawing than the writer's rectangles.
std::vector<barquill_vector_area> moduleByModule(const raster::ModuleMatrix& modules,
                                                 const VectorLayout& layout, const PagePlan& plan) {
    std::vector<barquill_vector_area> areas;
    if (!(layout.space == Colour{255, 255, 255}))
        areas.push_back(
            areaOf(layout.xMm, layout.yMm, plan.boxWidth, plan.boxHeight, layout.space));
    const double left = layout.xMm + layout.quietZoneMm, top = layout.yMm + layout.quietZoneMm;
    for (int row = 0; row < modules.rows; ++row)
        for (int module = 0; module < modules.width; ++module)
            if (modules.isBar(row, module))
                areas.push_back(areaOf(left + module * layout.moduleWidthMm,
                                       top + row * layout.rowHeightMm, layout.moduleWidthMm,
                                       layout.rowHeightMm, layout.bar));
    return areas;
}

TEST(PaintedCheck, AFaithfulDrawingPassesHoweverItIsCut) {
    const raster::ModuleMatrix modules = drawn.matrix();
    for (const Colour space : {Colour{255, 255, 255}, CREAM}) {
        const VectorLayout layout = layoutOn(space);
        const PagePlan plan = planOf(layout, modules);
        EXPECT_TRUE(checkPainted(modules, layout, plan, moduleByModule(modules, layout, plan)).ok);
    }
    // The writer's own document passes its check.
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    VectorLayout layout = layoutOn(CREAM);
    layout.page = A4;
    const auto pdf = vectorDocument(testing::matrixOf(symbol), VectorFormat::pdf, layout);
    if (!pdf.ok() && pdf.error().code == ErrorCode::vectorUnavailable)
        GTEST_SKIP() << "no vector module in this build";
    EXPECT_TRUE(pdf.ok());
}

TEST(PaintedCheck, EveryWayADrawingCanDifferIsFound) {
    const raster::ModuleMatrix modules = drawn.matrix();
    using Areas = std::vector<barquill_vector_area>;
    struct Case {
        const char* name;
        Colour space;
        std::function<void(Areas&, const VectorLayout&)> spoil;
        int row;  // the module reported; -1 for an area off the grid
        int module;
    };
    const Case cases[] = {
        {"a bar missing", Colour{255, 255, 255},
         [](Areas& a, const VectorLayout&) { a.erase(a.begin() + 2); }, 0, 3},
        {"a bar half a module off", Colour{255, 255, 255},
         [](Areas& a, const VectorLayout& l) { a[0].x += l.moduleWidthMm / 2; }, -1, -1},
        {"a bar in the quiet zone", Colour{255, 255, 255},
         [](Areas& a, const VectorLayout& l) {
             a.push_back(areaOf(l.xMm, l.yMm, l.moduleWidthMm, l.rowHeightMm, BLACK));
         },
         -1, -1},
        {"a bar one step from black", Colour{255, 255, 255},
         [](Areas& a, const VectorLayout&) { a[1].blue = 1; }, 0, 1},
        {"the background missing", CREAM, [](Areas& a, const VectorLayout&) { a.erase(a.begin()); },
         0, 2},
        {"a background over half the symbol", CREAM,
         [](Areas& a, const VectorLayout& l) {
             a.push_back(areaOf(l.xMm, l.yMm, 1.0, 20.0, CREAM));
         },
         -1, -1},
        {"a space painted as a bar", Colour{255, 255, 255},
         [](Areas& a, const VectorLayout& l) {
             a.push_back(areaOf(l.xMm + l.quietZoneMm + 2 * l.moduleWidthMm,
                                l.yMm + l.quietZoneMm + l.rowHeightMm, l.moduleWidthMm,
                                l.rowHeightMm, BLACK));
         },
         1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const VectorLayout layout = layoutOn(c.space);
        const PagePlan plan = planOf(layout, modules);
        Areas areas = moduleByModule(modules, layout, plan);
        c.spoil(areas, layout);
        const PaintedFault fault = checkPainted(modules, layout, plan, areas);
        EXPECT_FALSE(fault.ok);
        EXPECT_EQ(fault.row, c.row);
        EXPECT_EQ(fault.module, c.module);
    }
}

}  // namespace
}  // namespace barquill::print
