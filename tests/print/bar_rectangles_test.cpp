// SPDX-License-Identifier: MIT
// The rectangles a vector document fills: every bar module covered once,
// no space covered, and runs repeated down the rows merged.
#include "print/bar_rectangles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/print/print_fixtures.h"

namespace barquill::print {
namespace {

using testing::DrawnModules;

// How often each module is covered.
std::vector<int> coverage(const raster::ModuleMatrix& modules,
                          const std::vector<BarRectangle>& rectangles) {
    std::vector<int> covered(static_cast<std::size_t>(modules.rows * modules.width), 0);
    for (const BarRectangle& r : rectangles)
        for (int row = r.row; row < r.row + r.rows; ++row)
            for (int module = r.module; module < r.module + r.modules; ++module)
                ++covered[static_cast<std::size_t>(row * modules.width + module)];
    return covered;
}

void expectExactCover(const raster::ModuleMatrix& modules) {
    const std::vector<BarRectangle> rectangles = barRectangles(modules);
    const std::vector<int> covered = coverage(modules, rectangles);
    for (int row = 0; row < modules.rows; ++row)
        for (int module = 0; module < modules.width; ++module)
            ASSERT_EQ(covered[static_cast<std::size_t>(row * modules.width + module)],
                      modules.isBar(row, module) ? 1 : 0)
                << "row " << row << " module " << module;
}

TEST(BarRectangles, RunsRepeatedDownTheRowsBecomeOneRectangle) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        std::vector<BarRectangle> rectangles;
    };
    const Case cases[] = {
        {"runs that end where the next row differs",
         {"1101", "1101", "1001"},
         {{0, 0, 2, 2}, {3, 0, 1, 3}, {0, 2, 1, 1}}},
        {"a run that grows is a new rectangle", {"0110", "0111"}, {{1, 0, 2, 1}, {1, 1, 3, 1}}},
        {"a run that returns after a gap is a new rectangle",
         {"10", "00", "10"},
         {{0, 0, 1, 1}, {0, 2, 1, 1}}},
        {"no bars", {"000"}, {}},
    };
    for (const Case& c : cases) {
        const DrawnModules drawn(c.rows);
        EXPECT_EQ(barRectangles(drawn.matrix()), c.rectangles) << c.name;
    }
}

TEST(BarRectangles, CoverEveryBarOnceAndNoSpace) {
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    expectExactCover(testing::matrixOf(symbol));

    // Random rows, some repeated, with a fixed seed.
    std::mt19937 random(417);
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<std::string> rows(1 + random() % 12);
        const std::size_t width = 1 + random() % 40;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (row > 0 && random() % 3 == 0) {
                rows[row] = rows[row - 1];
                continue;
            }
            for (std::size_t module = 0; module < width; ++module)
                rows[row] += random() % 2 == 0 ? '1' : '0';
        }
        const DrawnModules drawn(rows);
        expectExactCover(drawn.matrix());
    }
}

TEST(BarRectangles, StartAndStopPatternsSpanTheSymbol) {
    // Every row starts with the start pattern's 8-module bar and ends with
    // the stop pattern's 7-module bar and 1-module bar (81111113 and
    // 711311121): each is one rectangle the symbol's height.
    const Symbol symbol = testing::buildSymbol(testing::typicalText());
    const std::vector<BarRectangle> rectangles = barRectangles(testing::matrixOf(symbol));
    const int rows = symbol.rows(), width = symbol.width();
    for (const BarRectangle& spanning :
         {BarRectangle{0, 0, 8, rows}, BarRectangle{width - 18, 0, 7, rows},
          BarRectangle{width - 1, 0, 1, rows}})
        EXPECT_NE(std::find(rectangles.begin(), rectangles.end(), spanning), rectangles.end())
            << "module " << spanning.module;
}

}  // namespace
}  // namespace barquill::print
