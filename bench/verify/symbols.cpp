// SPDX-License-Identifier: MIT
#include "bench/verify/symbols.h"

#include <cstdio>
#include <cstdlib>

namespace barquill::bench {

std::string benchText(long length) {
    if (length == LARGEST) {
        std::string text;
        while (text.size() < 1400)
            text += "Lorem ipsum dolor sit amet " + std::to_string(text.size());
        text.resize(1400);
        return text;
    }
    const std::string label = "Invoice 2024-0042 / Lot 17: 1234.56 EUR, ship to Rue 12, Lyon FR";
    return label.substr(0, static_cast<std::size_t>(length));
}

DrawnSymbol::DrawnSymbol(const std::string& text, const verify::Layout& layout)
    : job_(std::make_unique<encoder::SymbolJob>()), layout_(layout) {
    encoder::initSymbolJob(job_.get());
    if (text.size() >= 1000) job_->columns = 30;
    if (encoder::encodeSymbolBytes(job_.get(), reinterpret_cast<const unsigned char*>(text.data()),
                                   text.size()) != encoder::STATUS_OK) {
        std::fprintf(stderr, "cannot encode: %s\n", job_->message);
        std::exit(1);
    }
    raster::DrawOptions options;
    options.geometry.moduleWidth = layout.moduleWidth;
    options.geometry.rowHeight = layout.rowHeight;
    options.margin = layout.margin;
    if (!raster::drawSymbol(*job_, options, &picture_)) {
        std::fprintf(stderr, "cannot draw the symbol\n");
        std::exit(1);
    }
    expected_.bytes = text;
}

verify::PictureView DrawnSymbol::view() const {
    verify::PictureView view;
    const auto height = static_cast<std::uint32_t>(picture_.GetHeight());
    view.top = picture_.GetBits(height - 1);  // stored bottom-up
    view.stride = -static_cast<std::ptrdiff_t>(picture_.GetEffWidth());
    view.width = static_cast<long>(picture_.GetWidth());
    view.height = static_cast<long>(height);
    return view;
}

verify::ModuleView DrawnSymbol::modules() const {
    return {reinterpret_cast<const std::uint8_t*>(job_->rowBits[0]), encoder::ROW_CAPACITY,
            job_->rows, job_->width, static_cast<std::uint8_t>('1')};
}

std::vector<std::uint8_t> DrawnSymbol::greyPixels() const {
    const auto width = static_cast<std::size_t>(picture_.GetWidth());
    const auto height = static_cast<std::uint32_t>(picture_.GetHeight());
    std::vector<std::uint8_t> grey(width * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = picture_.GetBits(height - 1 - y);
        std::uint8_t* out = grey.data() + y * width;
        for (std::size_t x = 0; x < width; ++x)
            out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
    }
    return grey;
}

}  // namespace barquill::bench
