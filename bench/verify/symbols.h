// SPDX-License-Identifier: MIT
#pragma once
// The symbols the verification benchmarks read back: label texts and the
// largest symbol, built by the encoder and drawn by the rasteriser.

#include <memory>
#include <string>
#include <vector>

#include "encoder/pdf417.h"
#include "image/picture.h"
#include "raster/symbol_picture.h"
#include "verify/verify.h"

namespace barquill::bench {

// The argument that stands for the largest symbol: 1400 characters of text
// in 30 columns of 30 rows, 900 codewords.
inline constexpr long LARGEST = 0;

// Label-like text of `length` characters, or the largest symbol's text.
std::string benchText(long length);

class DrawnSymbol {
public:
    DrawnSymbol(const std::string& text, const verify::Layout& layout);

    verify::PictureView view() const;
    verify::ModuleView modules() const;
    const verify::Layout& layout() const { return layout_; }
    const verify::Expected& expected() const { return expected_; }
    // The picture as the reader sees it: one grey byte a pixel.
    std::vector<std::uint8_t> greyPixels() const;

private:
    std::unique_ptr<encoder::SymbolJob> job_;
    image::Picture picture_;
    verify::Layout layout_;
    verify::Expected expected_;
};

}  // namespace barquill::bench
