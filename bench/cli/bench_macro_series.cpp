// A 20 kB Macro PDF417 series: planning, encoding every segment and
// writing each as a PNG file in memory, on one thread. Text, digits and
// random bytes compact very differently, so each has its own run.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "cli/symbol.h"
#include "cli/symbol_writer.h"
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
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    auto job = std::make_unique<encoder::SymbolJob>();
    const cli::DrawOptions draw;
    std::string file, error;
    std::size_t segments = 0, written = 0;
    for (auto _ : state) {
        const encoder::MacroSeries series = encoder::planMacroSeries(
            bytes, data.size(), -1, 0, encoder::SymbolOptions{}, encoder::MacroSeriesOptions{});
        segments = series.segments.size();
        written = 0;
        for (const encoder::MacroSegment& segment : series.segments) {
            cli::SymbolOptions options{series.level, series.columns, false};
            options.shape.rows = series.rows;
            options.shape.macro = segment.control;
            const cli::EncodeOutcome outcome = cli::encodeSymbol(
                job.get(), options, std::string_view(data).substr(segment.offset, segment.length));
            if (!outcome.built || (png && !cli::encodeSymbolFile(*job, draw, cli::OutputFormat::png,
                                                                 &file, &error))) {
                state.SkipWithError("a segment failed");
                return;
            }
            written += file.size();
        }
    }
    state.counters["segments"] = static_cast<double>(segments);
    state.counters["png_bytes"] = static_cast<double>(written);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
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
