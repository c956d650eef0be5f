// SPDX-License-Identifier: MIT
#pragma once
// Many symbols at once, each to a file in memory, on the library's own
// threads: for callers that hold a list of labels and want them all.

#include <span>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/render.hpp"
#include "barquill/settings.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

// One item's data: typed text (UTF-8, and the default ECI rule), or bytes
// taken as they are, as the two encode() overloads take them.
struct BatchData {
    std::string_view bytes;
    bool isText = true;
};

// Encodes every item with `options` and renders it as `format`: the same
// file encode() and render() give for that item alone, or its error, in
// the items' order. `threads` 0 is one thread per core; never more threads
// than items; a negative count is every item's invalidOption ("threads").
// Each thread holds one symbol and one file at a time besides the results.
// The data must stay valid until the call returns.
BARQUILL_API std::vector<Result<Bytes>> encodeMany(std::span<const BatchData> items,
                                                   const Options& options, Format format,
                                                   const Render& render = {}, int threads = 0);

// encodeMany through makeLabel: each item's file is the one makeLabel(item,
// settings) and render(symbol, format, label.render) give, escapes, print
// sizing, fit and read-back included. One symbol per item: settings that
// split the data into a series are every item's invalidOption ("split").
BARQUILL_API std::vector<Result<Bytes>> makeLabelFiles(std::span<const BatchData> items,
                                                       const Settings& settings, Format format,
                                                       int threads = 0);

}  // namespace barquill
