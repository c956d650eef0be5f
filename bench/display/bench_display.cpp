// SPDX-License-Identifier: MIT
// The Encode path after the encoder: painting the rows into a device bitmap,
// importing it into a picture, and drawing the picture into a target, plain
// and stretched.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "display/draw_target.h"
#include "encoder/rendering.h"
#include "image/picture.h"

using namespace barquill::encoder;
using namespace barquill::image;

using namespace barquill::display;

namespace {

// A large symbol: 1000 digits at level 5.
SymbolJob largeJob() {
    SymbolJob job;
    initSymbolJob(&job);
    job.ecLevel = 5;
    job.margin = 10;
    std::memset(job.text, '7', 1000);
    return job;
}

struct Surface : DrawTarget {
    Surface(int w, int h) : pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
        attach(pixels.data(), w, h, std::ptrdiff_t(w) * 4);
    }
    std::vector<PixelWord> pixels;
};

void BM_RenderSymbol(benchmark::State& state) {
    const SymbolJob prototype = largeJob();
    for (auto _ : state) {
        SymbolJob job = prototype;
        benchmark::DoNotOptimize(renderSymbol(&job));
        releaseSymbolBitmap();
    }
}
BENCHMARK(BM_RenderSymbol);

Picture renderedPicture() {
    SymbolJob job = largeJob();
    Picture picture;
    picture.CreateFromHBITMAP(renderSymbol(&job));
    releaseSymbolBitmap();
    return picture;
}

void BM_CreateFromHBITMAP(benchmark::State& state) {
    SymbolJob job = largeJob();
    const DeviceBitmap* bitmap = renderSymbol(&job);
    Picture picture;
    for (auto _ : state) benchmark::DoNotOptimize(picture.CreateFromHBITMAP(bitmap));
    state.counters["pixels"] = double(bitmap->width()) * bitmap->height();
    releaseSymbolBitmap();
}
BENCHMARK(BM_CreateFromHBITMAP);

// The dialog's paint: the picture at natural size into the 620 × 313 area.
void BM_DrawNaturalSize(benchmark::State& state) {
    Picture picture = renderedPicture();
    Surface area(620, 313);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            picture.Draw(&area, (620 - picture.GetWidth()) / 2, (313 - picture.GetHeight()) / 2));
}
BENCHMARK(BM_DrawNaturalSize);

void BM_DrawStretched(benchmark::State& state) {
    Picture picture = renderedPicture();
    Surface area(620, 313);
    const bool smooth = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(picture.Draw(&area, 0, 0, 620, 313, nullptr, smooth));
}
BENCHMARK(BM_DrawStretched)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
