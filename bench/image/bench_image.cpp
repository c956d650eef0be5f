// SPDX-License-Identifier: MIT
// Writing a symbol-sized picture to memory in each format: a 1200 x 400
// picture of bars and spaces, long runs of two colours like a PDF417 symbol.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "image/byte_stream.h"
#include "image/picture.h"

using namespace barquill::image;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 400;
constexpr int kMargin = 10;
constexpr int kModuleWidth = 2;
constexpr int kRowHeight = 4;

// 24 bits, or 1 bit with a two-entry palette (background, bars).
Picture barcodePicture(std::uint32_t bitsPerPixel) {
    Picture picture(kWidth, kHeight, bitsPerPixel, 0);
    if (picture.IsIndexed()) {
        picture.SetPaletteColor(0, 255, 255, 255);
        picture.SetPaletteColor(1, 0, 0, 0);
    }
    std::mt19937 random(417);
    std::vector<bool> modules((kWidth - 2 * kMargin) / kModuleWidth);
    for (int y = 0; y < kHeight; ++y) {
        const int top = kHeight - 1 - y;
        const bool inside = top >= kMargin && top < kHeight - kMargin;
        if ((top - kMargin) % kRowHeight == 0) {
            for (std::size_t m = 0; m < modules.size(); ++m) modules[m] = random() % 2 == 0;
        }
        for (int x = 0; x < kWidth; ++x) {
            const int module = (x - kMargin) / kModuleWidth;
            // Tested after x >= kMargin, where module is not negative.
            const bool bar = inside && x >= kMargin && module < static_cast<int>(modules.size()) &&
                             modules[static_cast<std::size_t>(module)];
            if (picture.IsIndexed()) {
                picture.SetPixelIndex(x, y, bar ? 1 : 0);
            } else {
                std::uint8_t* pixel = picture.GetBits(static_cast<std::uint32_t>(y)) + 3 * x;
                pixel[0] = pixel[1] = pixel[2] = bar ? 0 : 255;
            }
        }
    }
    return picture;
}

// Every pixel a colour of its own: the worst case of the GIF tiles' colour lookup.
Picture noisePicture() {
    Picture picture(kWidth, kHeight, 24, 0);
    std::mt19937 random(15438);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = picture.GetBits(static_cast<std::uint32_t>(y));
        for (int i = 0; i < 3 * kWidth; ++i) row[i] = static_cast<std::uint8_t>(random());
    }
    return picture;
}

void encodeToMemory(benchmark::State& state, Picture& picture, std::uint32_t type) {
    std::int32_t size = 0;
    for (auto _ : state) {
        MemoryStream stream;
        stream.Open();
        if (!picture.Encode(&stream, type)) state.SkipWithError(picture.GetLastError());
        size = stream.Size();
        benchmark::DoNotOptimize(stream.GetBuffer(false));
    }
    state.counters["output_bytes"] = size;
}

void writeToMemory(benchmark::State& state, std::uint32_t bitsPerPixel, std::uint32_t type) {
    Picture picture = barcodePicture(bitsPerPixel);
    encodeToMemory(state, picture, type);
}

void BM_TrueColourBmp(benchmark::State& state) {
    writeToMemory(state, 24, IMAGE_FORMAT_BMP);
}
void BM_TrueColourPng(benchmark::State& state) {
    writeToMemory(state, 24, IMAGE_FORMAT_PNG);
}
void BM_TrueColourGif(benchmark::State& state) {
    writeToMemory(state, 24, IMAGE_FORMAT_GIF);
}
void BM_NoiseGif(benchmark::State& state) {
    Picture picture = noisePicture();
    encodeToMemory(state, picture, IMAGE_FORMAT_GIF);
}
void BM_TwoColourBmp(benchmark::State& state) {
    writeToMemory(state, 1, IMAGE_FORMAT_BMP);
}
void BM_TwoColourPng(benchmark::State& state) {
    writeToMemory(state, 1, IMAGE_FORMAT_PNG);
}
void BM_TwoColourGif(benchmark::State& state) {
    writeToMemory(state, 1, IMAGE_FORMAT_GIF);
}

BENCHMARK(BM_TrueColourBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueColourPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrueColourGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoiseGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoColourBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoColourPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoColourGif)->Unit(benchmark::kMillisecond);

}  // namespace
