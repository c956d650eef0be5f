// SPDX-License-Identifier: MIT
// Symbols per second for label runs: 10,000 short texts (20 to 60
// characters) to PNG files, on one worker thread and on two, with and without
// reading each symbol back, and the cost of each step of one symbol, to show
// what dominates.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "barquill/barquill.hpp"
#include "cli/batch_run.h"

namespace {

using namespace barquill::cli;

constexpr int BATCH_ITEMS = 10000;

// Label-like texts: letters, digits and punctuation, 20 to 60 characters.
std::vector<std::string> shortTexts(int count) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -./:";
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> length(20, 60), letter(0, sizeof alphabet - 2);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) text += alphabet[letter(random)];
        texts.push_back(text);
    }
    return texts;
}

// In the temporary directory (TMPDIR): file creation costs differ a lot
// between file systems, so measure on the one the labels will go to.
struct ScratchDirectory {
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "barquill-bench-XXXXXX");
        path = mkdtemp(pattern.data());
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path); }
    std::string path;
};

void BatchToPngFiles(benchmark::State& state) {
    ScratchDirectory scratch;
    const std::string list = scratch.path + "/list.txt";
    {
        std::ofstream out(list);
        for (const std::string& text : shortTexts(BATCH_ITEMS)) out << text << '\n';
    }
    Request request;
    request.batchPath = list;
    request.outputPath = scratch.path + "/%05d.png";
    request.jobs = static_cast<int>(state.range(0));
    request.settings.verify = state.range(1) != 0;
    Console console;
    console.in = nullptr;
    console.out = nullptr;
    console.err = stderr;
    for (auto _ : state) {
        if (runBatch(request, console) != 0) state.SkipWithError("batch failed");
    }
    state.SetItemsProcessed(state.iterations() * BATCH_ITEMS);
}
BENCHMARK(BatchToPngFiles)
    ->ArgNames({"jobs", "verify"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The steps of one symbol, each on its own.
struct OneSymbol {
    std::vector<std::string> texts = shortTexts(1000);
    barquill::Symbol first = *barquill::encode(texts[0]);
    barquill::Render render;
};

void Encode(benchmark::State& state) {
    OneSymbol symbol;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(barquill::encode(symbol.texts[i++ % symbol.texts.size()]));
}
BENCHMARK(Encode);

void DrawOneBit(benchmark::State& state) {
    OneSymbol symbol;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            barquill::toImage(symbol.first, symbol.render, barquill::PixelFormat::mono1));
}
BENCHMARK(DrawOneBit);

void EncodeFileInMemory(benchmark::State& state) {
    OneSymbol symbol;
    const auto format = static_cast<barquill::Format>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(barquill::render(symbol.first, format, symbol.render));
}
BENCHMARK(EncodeFileInMemory)
    ->Arg(static_cast<int>(barquill::Format::png))
    ->Arg(static_cast<int>(barquill::Format::gif))
    ->Arg(static_cast<int>(barquill::Format::bmp));

void SvgDocument(benchmark::State& state) {
    OneSymbol symbol;
    for (auto _ : state) benchmark::DoNotOptimize(barquill::toSvg(symbol.first, symbol.render));
}
BENCHMARK(SvgDocument);

void WritePngFile(benchmark::State& state) {
    ScratchDirectory scratch;
    OneSymbol symbol;
    const std::string path = scratch.path + "/one.png";
    for (auto _ : state)
        benchmark::DoNotOptimize(barquill::save(symbol.first, path, symbol.render));
}
BENCHMARK(WritePngFile);

// Reading the drawn symbol back (--verify), set against the encode and file
// costs above.
void VerifySymbol(benchmark::State& state) {
    OneSymbol symbol;
    std::vector<barquill::Symbol> symbols;
    for (const std::string& text : symbol.texts) symbols.push_back(*barquill::encode(text));
    std::size_t i = 0;
    for (auto _ : state)
        if (auto error = barquill::verifySymbol(symbols[i++ % symbols.size()], symbol.render))
            state.SkipWithError(error->message.c_str());
}
BENCHMARK(VerifySymbol);

}  // namespace
