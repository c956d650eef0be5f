// SPDX-License-Identifier: MIT
#pragma once
// Rectangles in device pixels: left and top inside, right and bottom just
// outside, as clip boxes and paint boxes are measured.

#include <algorithm>

namespace barquill::display {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part of two rectangles; an empty rectangle when they do not meet.
inline Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.isEmpty()) return Rect{};
    return r;
}

}  // namespace barquill::display
