// SPDX-License-Identifier: MIT
// A 20 kB Macro PDF417 series: planning, encoding every segment and
// writing each as a PNG file in memory, on one thread. Text, digits and
// random bytes compact very differently, so each has its own run.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "barquill/barquill.hpp"
#include "encoder/macro_series.h"

namespace {

using namespace barquill;

constexpr std::size_t SERIES_BYTES = 20000;

std::string sample(int kind) {
    std::mt19937 random(20);
    std::string s(SERIES_BYTES, '\0');
    for (char& c : s) {
        if (kind == 0)
            c = "Lorem ipsum dolor sit amet, 42 consectetur.\n"[random() % 44];
        else if (kind == 1)
            c = static_cast<char>('0' + random() % 10);
        else
            c = static_cast<char>(random() & 0xff);
    }
    return s;
}

// png false: the symbols are built but not drawn, to show the share of each.
void macroSeries(benchmark::State& state, bool png) {
    const std::string data = sample(static_cast<int>(state.range(0)));
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    std::size_t segments = 0, written = 0;
    for (auto _ : state) {
        const auto series = encodeSeries(bytes);
        if (!series) {
            state.SkipWithError("the series failed");
            return;
        }
        segments = series->size();
        written = 0;
        if (!png) continue;
        for (const Symbol& symbol : *series) {
            const auto file = toPng(symbol);
            if (!file) {
                state.SkipWithError("a segment failed");
                return;
            }
            written += file->size();
        }
    }
    state.counters["segments"] = static_cast<double>(segments);
    state.counters["png_bytes"] = static_cast<double>(written);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}

void BM_MacroSeriesToPng(benchmark::State& state) {
    macroSeries(state, true);
}

void BM_MacroSeriesSymbols(benchmark::State& state) {
    macroSeries(state, false);
}

// Planning alone: how the data is cut and sized.
void BM_MacroSeriesPlan(benchmark::State& state) {
    const std::string data = sample(static_cast<int>(state.range(0)));
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(encoder::planMacroSeries(
            bytes, data.size(), -1, 0, encoder::SymbolOptions{}, encoder::MacroSeriesOptions{}));
    }
}

// 0 text, 1 digits, 2 random bytes.
BENCHMARK(BM_MacroSeriesToPng)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MacroSeriesSymbols)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MacroSeriesPlan)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
