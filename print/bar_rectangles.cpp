// SPDX-License-Identifier: MIT
#include "print/bar_rectangles.h"

#include <cstddef>

namespace barquill::print {

std::vector<BarRectangle> barRectangles(const raster::ModuleMatrix& modules) {
    std::vector<BarRectangle> rectangles;
    // The rectangles that reach the row above, left to right; a run that
    // matches one of them exactly extends it.
    std::vector<std::size_t> open, stillOpen;
    for (int row = 0; row < modules.rows; ++row) {
        stillOpen.clear();
        std::size_t above = 0;
        modules.forEachBarRun(row, [&](int first, int end) {
            while (above < open.size() && rectangles[open[above]].module < first) ++above;
            if (above < open.size() && rectangles[open[above]].module == first &&
                rectangles[open[above]].modules == end - first) {
                ++rectangles[open[above]].rows;
                stillOpen.push_back(open[above++]);
            } else {
                rectangles.push_back({first, row, end - first, 1});
                stillOpen.push_back(rectangles.size() - 1);
            }
        });
        open.swap(stillOpen);
    }
    return rectangles;
}

}  // namespace barquill::print
