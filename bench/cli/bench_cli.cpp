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

#include "cli/batch_run.h"
#include "cli/symbol.h"
#include "cli/symbol_writer.h"
#include "image/picture.h"

using namespace barquill::image;

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
    request.verify = state.range(1) != 0;
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
    std::unique_ptr<barquill::encoder::SymbolJob> job =
        std::make_unique<barquill::encoder::SymbolJob>();
    DrawOptions options;
};

void Encode(benchmark::State& state) {
    OneSymbol symbol;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            encodeSymbol(symbol.job.get(), {}, symbol.texts[i++ % symbol.texts.size()]));
}
BENCHMARK(Encode);

void DrawOneBit(benchmark::State& state) {
    OneSymbol symbol;
    encodeSymbol(symbol.job.get(), {}, symbol.texts[0]);
    Picture picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSymbol(*symbol.job, symbol.options, &picture));
}
BENCHMARK(DrawOneBit);

void EncodeFileInMemory(benchmark::State& state) {
    OneSymbol symbol;
    encodeSymbol(symbol.job.get(), {}, symbol.texts[0]);
    Picture picture;
    drawSymbol(*symbol.job, symbol.options, &picture);
    const auto format = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        std::uint8_t* bytes = nullptr;
        std::int32_t size = 0;
        picture.Encode(bytes, size, format);
        Picture::FreeMemory(bytes);
    }
}
BENCHMARK(EncodeFileInMemory)->Arg(IMAGE_FORMAT_PNG)->Arg(IMAGE_FORMAT_GIF)->Arg(IMAGE_FORMAT_BMP);

void SvgDocument(benchmark::State& state) {
    OneSymbol symbol;
    encodeSymbol(symbol.job.get(), {}, symbol.texts[0]);
    for (auto _ : state) benchmark::DoNotOptimize(svgDocument(*symbol.job, symbol.options));
}
BENCHMARK(SvgDocument);

void WritePngFile(benchmark::State& state) {
    ScratchDirectory scratch;
    OneSymbol symbol;
    encodeSymbol(symbol.job.get(), {}, symbol.texts[0]);
    const std::string path = scratch.path + "/one.png";
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            writeSymbolFile(*symbol.job, symbol.options, OutputFormat::png, path, {}, &error));
}
BENCHMARK(WritePngFile);

// Reading the drawn symbol back (--verify): drawing, grey conversion and the
// reader, set against the encode and file costs above.
void VerifySymbol(benchmark::State& state) {
    OneSymbol symbol;
    std::size_t i = 0;
    std::string error;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string& text = symbol.texts[i++ % symbol.texts.size()];
        encodeSymbol(symbol.job.get(), {}, text);
        barquill::verify::Expected expected;
        expected.bytes = text;
        state.ResumeTiming();
        if (!verifySymbol(*symbol.job, symbol.options, expected, &error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(VerifySymbol);

}  // namespace
