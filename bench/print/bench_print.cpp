// SPDX-License-Identifier: MIT
// One document per iteration for the same typical symbol (40 characters,
// level 2, 2 x 4 pixel modules, 10 pixel quiet zone): the vector PDF and
// EPS at 72 dpi next to the PNG the library writes, and the label and
// receipt printers' bitmaps at 203 dpi with 0.25 mm modules.
#include <benchmark/benchmark.h>

#include <string>

#include "barquill/barquill.hpp"
#include "print/print.h"

namespace {

const barquill::Symbol& typicalSymbol() {
    static const barquill::Symbol symbol =
        barquill::encode("SHIP TO DOCK 7 / LOT 2024-118 / QTY 0042", {.level = 2}).value();
    return symbol;
}

barquill::raster::ModuleMatrix modules() {
    const barquill::Symbol& symbol = typicalSymbol();
    return {symbol.modules().data(), static_cast<std::size_t>(symbol.width()), symbol.rows(),
            symbol.width(), 1};
}

const barquill::print::DotGeometry printerDots{barquill::units::dotsFromMm(0.25, 203),
                                               2 * barquill::units::dotsFromMm(0.25, 203), 10};

template <class Make>
void measure(benchmark::State& state, Make make) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto document = make();
        bytes = document.value().size();
        benchmark::DoNotOptimize(document.value().data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Png(benchmark::State& state) {
    measure(state, [] { return barquill::toPng(typicalSymbol()); });
}
BENCHMARK(BM_Png);

void BM_Pdf(benchmark::State& state) {
    const auto layout = barquill::print::layoutFromPixels(2, 4, 10);
    measure(state, [&] {
        return barquill::print::vectorDocument(modules(), barquill::print::VectorFormat::pdf,
                                               layout);
    });
}
BENCHMARK(BM_Pdf);

void BM_Eps(benchmark::State& state) {
    const auto layout = barquill::print::layoutFromPixels(2, 4, 10);
    measure(state, [&] {
        return barquill::print::vectorDocument(modules(), barquill::print::VectorFormat::eps,
                                               layout);
    });
}
BENCHMARK(BM_Eps);

void BM_ZplRaster(benchmark::State& state) {
    measure(state, [] { return barquill::print::zplRaster(modules(), printerDots); });
}
BENCHMARK(BM_ZplRaster);

void BM_EscPosRaster(benchmark::State& state) {
    measure(state, [] { return barquill::print::escPosRaster(modules(), printerDots); });
}
BENCHMARK(BM_EscPosRaster);

}  // namespace
