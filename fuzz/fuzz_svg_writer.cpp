// SPDX-License-Identifier: MIT
// The SVG writer with random rows, sizes, colours and resolutions: no crash,
// and always one complete document.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "image/svg_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    barquill::image::SvgSymbol symbol;
    symbol.moduleWidth = input.ConsumeIntegralInRange(-2, 70);
    symbol.rowHeight = input.ConsumeIntegralInRange(-2, 300);
    symbol.margin = input.ConsumeIntegralInRange(-2, 1100);
    symbol.barColor = input.ConsumeIntegral<std::uint32_t>();
    symbol.spaceColor = input.ConsumeIntegral<std::uint32_t>();
    symbol.dpi = input.ConsumeIntegralInRange(-1, 20000);
    const int width = input.ConsumeIntegralInRange(0, 600);
    const int rows = input.ConsumeIntegralInRange(0, 95);
    std::vector<std::string> storage;
    for (int row = 0; row < rows; ++row) {
        std::string modules = input.ConsumeBytesAsString(static_cast<std::size_t>(width));
        for (char& c : modules) c = (c & 1) ? '1' : '0';
        storage.push_back(modules);
    }
    for (const std::string& row : storage) symbol.rows.push_back(row);
    const std::string document = barquill::image::EncodeSvg(symbol);
    if (!document.starts_with("<?xml") || !document.ends_with("</svg>\n")) std::abort();
    return 0;
}
