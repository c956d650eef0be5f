// SPDX-License-Identifier: MIT
// One PNG label per iteration, from text to file bytes in memory: the
// library (encode + toPng) against zxing-cpp's writer (MultiFormatWriter +
// an 8-bit grey PNG through libpng), on the same 20 to 60 character texts
// and the same picture size. After the run the medians (or the single
// results) of the two and their ratio are printed; with
// --benchmark_repetitions=N --benchmark_enable_random_interleaving=true the
// two sides alternate, so that a busy machine slows both alike.
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <png.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/barquill.hpp"

namespace {

// Both sides allocate and free blocks of tens of kilobytes for every PNG
// (zlib's state). Where the heap's top lies after the other side's long-lived
// blocks decides whether each free hands memory back to the system and the
// next PNG faults it in again, which can triple a side's time: neither is
// trimmed here, so each is measured by its own work.
const bool heapKept = [] {
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    return true;
}();

std::vector<std::string> labelTexts() {
    std::vector<std::string> texts;
    const char* words[] = {"LOT", "SHIP", "DOCK", "BATCH", "PALLET", "ROUTE", "ORDER", "BIN"};
    for (int i = 0; i < 64; ++i) {
        std::string text = std::to_string(100000 + i * 7919) + " ";
        for (int w = 0; text.size() < static_cast<std::size_t>(20 + (i * 13) % 41); ++w)
            text += std::string(words[(i + w) % 8]) + "-" + std::to_string(i * w % 97) + " ";
        texts.push_back(text.substr(0, static_cast<std::size_t>(20 + (i * 13) % 41)));
    }
    return texts;
}

const std::vector<std::string>& texts() {
    static const std::vector<std::string> all = labelTexts();
    return all;
}

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

std::vector<std::uint8_t> greyPng(const ZXing::BitMatrix& matrix) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendPng, nullptr);
    const int width = matrix.width(), height = matrix.height();
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const auto grey = ZXing::ToMatrix<std::uint8_t>(matrix, 0, 255);
    for (int y = 0; y < height; ++y)
        png_write_row(png,
                      const_cast<png_bytep>(grey.data() + static_cast<std::size_t>(y) *
                                                              static_cast<std::size_t>(width)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void BM_Barquill_EncodeToPng(benchmark::State& state) {
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        const auto symbol = barquill::encode(texts()[i++ % texts().size()]);
        const auto png = barquill::toPng(*symbol);
        bytes += png->size();
        benchmark::DoNotOptimize(png->data());
    }
    state.counters["png_bytes"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Barquill_EncodeToPng);

void BM_Zxing_WriterToPng(benchmark::State& state) {
    // The picture size of the library's default rendering of each text, so
    // that both sides write about as many pixels.
    std::vector<std::pair<int, int>> sizes;
    for (const std::string& text : texts()) {
        const auto symbol = barquill::encode(text);
        sizes.emplace_back(symbol->width() * 2 + 20, symbol->rows() * 4 + 20);
    }
    const ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::PDF417);
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        const std::size_t k = i++ % texts().size();
        const auto matrix = writer.encode(texts()[k], sizes[k].first, sizes[k].second);
        const auto png = greyPng(matrix);
        bytes += png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_bytes"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Zxing_WriterToPng);

}  // namespace

namespace {

void BM_Barquill_EncodeOnly(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto symbol = barquill::encode(texts()[i++ % texts().size()]);
        benchmark::DoNotOptimize(symbol->modules().data());
    }
}
BENCHMARK(BM_Barquill_EncodeOnly);

void BM_Barquill_PngOnly(benchmark::State& state) {
    std::vector<barquill::Symbol> symbols;
    for (const std::string& text : texts()) symbols.push_back(*barquill::encode(text));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto png = barquill::toPng(symbols[i++ % symbols.size()]);
        benchmark::DoNotOptimize(png->data());
    }
}
BENCHMARK(BM_Barquill_PngOnly);

}  // namespace

namespace {

// Labels per second of encodeMany on one thread and on two: the library's
// own threads, without files.
void BM_Barquill_EncodeMany(benchmark::State& state) {
    std::vector<barquill::BatchData> items;
    for (int copy = 0; copy < 16; ++copy)
        for (const std::string& text : texts()) items.push_back({text, true});
    for (auto _ : state) {
        const auto files = barquill::encodeMany(items, {}, barquill::Format::png, {},
                                                static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(files.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_Barquill_EncodeMany)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The report in the format asked for (json, else console), and the real
// time of every run by benchmark name.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    explicit RatioReporter(std::unique_ptr<benchmark::BenchmarkReporter> shown)
        : shown_(std::move(shown)) {}

    bool ReportContext(const Context& context) override { return shown_->ReportContext(context); }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            // With only aggregates reported, the median is given.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        shown_->ReportRuns(runs);
    }

    void Finalize() override { shown_->Finalize(); }

    // The median of a benchmark's runs in nanoseconds; 0 when it did not run.
    double median(const std::string& name) {
        if (const auto given = medians_.find(name); given != medians_.end()) return given->second;
        std::vector<double>& times = times_[name];
        if (times.empty()) return 0;
        std::sort(times.begin(), times.end());
        const std::size_t middle = times.size() / 2;
        return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }

private:
    std::unique_ptr<benchmark::BenchmarkReporter> shown_;
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> medians_;
};

// --benchmark_format as Google Benchmark reads it; console by default.
std::string formatAsked(int argc, char** argv) {
    const std::string option = "--benchmark_format=";
    std::string format = "console";
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]).starts_with(option)) format = argv[i] + option.size();
    return format;
}

}  // namespace

// A figure with a point whatever the locale.
std::string fixed(double value, int decimals) {
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return std::string(digits, end.ptr);
}

int main(int argc, char** argv) {
    const std::string format = formatAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::unique_ptr<benchmark::BenchmarkReporter> shown;
    if (format == "json")
        shown = std::make_unique<benchmark::JSONReporter>();
    else
        shown = std::make_unique<benchmark::ConsoleReporter>();
    RatioReporter reporter(std::move(shown));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = reporter.median("BM_Barquill_EncodeToPng");
    const double zxing = reporter.median("BM_Zxing_WriterToPng");
    if (ours > 0 && zxing > 0) {
        // Beside a console report; after json, on standard error.
        std::FILE* out = format == "json" ? stderr : stdout;
        std::fprintf(out, "\nlabel to PNG in memory, median real time:\n");
        std::fprintf(out, "  barquill (encode + toPng):    %9s us\n",
                     fixed(ours / 1000, 2).c_str());
        std::fprintf(out, "  zxing-cpp writer + libpng:    %9s us\n",
                     fixed(zxing / 1000, 2).c_str());
        std::fprintf(out, "  barquill / zxing-cpp:         %9s\n", fixed(ours / zxing, 4).c_str());
    }
    return 0;
}
