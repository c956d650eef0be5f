// SPDX-License-Identifier: MIT
// The cost of reading one finished symbol back: the whole picture through
// the reader (verifyGrey, after the 1-bit picture is turned grey as a
// caller must) against the quick proof (the picture sampled back to the
// matrix, the matrix checked, and read from one pixel per module), for
// label texts of 20, 40 and 60 characters and the largest symbol.
#include <benchmark/benchmark.h>

#include "bench/verify/symbols.h"
#include "verify/minimal_raster.h"
#include "verify/reader_module.h"

namespace {

using namespace barquill;

void OldReadBack(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(state.range(0)), {2, 4, 10});
    for (auto _ : state) {
        const std::vector<std::uint8_t> grey = symbol.greyPixels();
        const verify::Outcome outcome =
            verify::verifyGrey(grey.data(), static_cast<int>(symbol.view().width),
                               static_cast<int>(symbol.view().height),
                               static_cast<int>(symbol.view().width), symbol.expected());
        if (!outcome.ok()) state.SkipWithError("did not read back");
    }
}

void NewReadBack(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(state.range(0)), {2, 4, 10});
    for (auto _ : state) {
        const verify::Outcome outcome = verify::verifyPicture(
            symbol.view(), symbol.modules(), symbol.layout(), false, symbol.expected());
        if (!outcome.ok()) state.SkipWithError("did not read back");
    }
}

// The parts of the quick proof, to show what dominates.
void NewSamplesBackOnly(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(state.range(0)), {2, 4, 10});
    for (auto _ : state)
        benchmark::DoNotOptimize(
            verify::samplesBack(symbol.view(), symbol.modules(), symbol.layout()));
}

void NewMatrixAndReaderOnly(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(state.range(0)), {2, 4, 10});
    for (auto _ : state)
        benchmark::DoNotOptimize(verify::verifySymbol(symbol.modules(), false, symbol.expected()));
}

// The reader alone on the raster the quick proof gives it: the floor of
// any path that keeps this reader in the loop.
void ReaderOnMinimalRaster(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(state.range(0)), {2, 4, 10});
    const verify::GreyRaster raster = verify::minimalRaster(symbol.modules(), {});
    verify::Reading reading;
    for (auto _ : state) {
        if (verify::readGrey(
                {raster.pixels.data(), raster.width, raster.height, raster.width, true}, true,
                &reading) != verify::ReadStatus::Read)
            state.SkipWithError("did not read back");
    }
}

// 20, 40 and 60 characters of label text; 0 is the largest symbol.
void Sizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(20)->Arg(40)->Arg(60)->Arg(bench::LARGEST)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(OldReadBack)->Apply(Sizes);
BENCHMARK(NewReadBack)->Apply(Sizes);
BENCHMARK(NewSamplesBackOnly)->Apply(Sizes);
BENCHMARK(NewMatrixAndReaderOnly)->Apply(Sizes);
BENCHMARK(ReaderOnMinimalRaster)->Apply(Sizes);

namespace {

// Read-backs per second on one thread and on two, each reading its own
// symbols: whether the reader lets threads run side by side.
void NewReadBackThreads(benchmark::State& state) {
    const bench::DrawnSymbol symbol(bench::benchText(40), {2, 4, 10});
    for (auto _ : state) {
        const verify::Outcome outcome = verify::verifyPicture(
            symbol.view(), symbol.modules(), symbol.layout(), false, symbol.expected());
        if (!outcome.ok()) state.SkipWithError("did not read back");
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(NewReadBackThreads)->Threads(1)->Threads(2)->UseRealTime();
