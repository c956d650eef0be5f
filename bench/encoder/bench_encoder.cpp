// SPDX-License-Identifier: MIT
// Time to encode typical inputs, from text to finished rows.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "encoder/explanation.h"
#include "encoder/pdf417.h"

using namespace barquill::encoder;

namespace {

std::string mixedText(std::size_t length) {
    const std::string unit =
        "Order 4711/2024: 3 x widget (blue), EUR 12.50 each.\nShip to: J. Smith, 221B Baker St\n";
    std::string s;
    while (s.size() < length) s += unit;
    s.resize(length);
    return s;
}

std::string randomBytes(std::size_t length) {
    std::mt19937 random(500);
    std::string s(length, '\0');
    for (char& c : s) c = static_cast<char>(random() & 0xff);
    return s;
}

// The longest prefix of the mixed text that still makes a symbol at the level.
std::string largestText(int level) {
    auto job = std::make_unique<SymbolJob>();
    for (std::size_t length = 2800; length > 0; --length) {
        initSymbolJob(job.get());
        job->ecLevel = level;
        const std::string text = mixedText(length);
        if (encodeSymbolJob(job.get(), text.c_str()) == 0) return text;
    }
    return {};
}

// Each iteration encodes into the same job; level and columns are reset
// because the encoder writes back the values it used.
void encodeText(benchmark::State& state, const std::string& text, int level) {
    auto job = std::make_unique<SymbolJob>();
    initSymbolJob(job.get());
    for (auto _ : state) {
        job->ecLevel = level;
        job->columns = 0;
        benchmark::DoNotOptimize(encodeSymbolBytes(
            job.get(), reinterpret_cast<const unsigned char*>(text.data()), text.size()));
    }
    if (job->rows == 0) state.SkipWithError(job->message);
    state.counters["rows"] = job->rows;
    state.counters["columns"] = job->columns;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Url20(benchmark::State& state) {
    encodeText(state, "https://barquill.org", -1);
}
void BM_Mixed300(benchmark::State& state) {
    encodeText(state, mixedText(300), -1);
}
void BM_Digits1000(benchmark::State& state) {
    std::mt19937 random(1000);
    std::string digits(1000, '0');
    for (char& d : digits) d = static_cast<char>('0' + random() % 10);
    encodeText(state, digits, -1);
}
void BM_RandomBytes500(benchmark::State& state) {
    encodeText(state, randomBytes(500), -1);
}
void BM_LargestTextLevel5(benchmark::State& state) {
    static const std::string text = largestText(5);
    state.counters["characters"] = static_cast<double>(text.size());
    encodeText(state, text, 5);
}

// The same symbol as BM_Mixed300, built again with every codeword explained.
void BM_ExplainMixed300(benchmark::State& state) {
    const std::string text = mixedText(300);
    auto job = std::make_unique<SymbolJob>();
    initSymbolJob(job.get());
    for (auto _ : state) {
        job->ecLevel = -1;
        job->columns = 0;
        benchmark::DoNotOptimize(explainSymbol(job.get(),
                                               reinterpret_cast<const unsigned char*>(text.data()),
                                               text.size(), SymbolOptions{}));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The record is ~97 KB and is zeroed before every symbol.
void BM_InitSymbolJob(benchmark::State& state) {
    auto job = std::make_unique<SymbolJob>();
    for (auto _ : state) {
        initSymbolJob(job.get());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Url20);
BENCHMARK(BM_Mixed300);
BENCHMARK(BM_Digits1000);
BENCHMARK(BM_RandomBytes500);
BENCHMARK(BM_LargestTextLevel5);
BENCHMARK(BM_ExplainMixed300);
BENCHMARK(BM_InitSymbolJob);

}  // namespace
