#include "cli/batch_run.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "cli/batch_input.h"
#include "cli/exit_status.h"
#include "cli/symbol.h"
#include "cli/symbol_writer.h"
#include "cli/symbology.h"

namespace barquill::cli {

namespace {

// Lists shorter than this finish before a progress line would be of use.
constexpr std::size_t PROGRESS_MIN_ITEMS = 200;
constexpr auto PROGRESS_INTERVAL = std::chrono::milliseconds(200);

struct ItemResult {
    int status = EXIT_WRITTEN;
    std::vector<std::string> messages;  // errors, and warnings unless quiet
    std::vector<std::string> details;   // -v lines
};

class BatchRunner {
public:
    BatchRunner(const Request& request, std::vector<BatchItem> items)
        : request_(request),
          items_(std::move(items)),
          results_(items_.size()),
          options_(drawOptions(request)) {
        if (!request.outputPath.empty()) {
            std::string error;
            pattern_ = CounterPattern::parse(request.outputPath, &error);
            hasPattern_ = error.empty();
        }
    }

    void run(int threads, const Console& console) {
        std::vector<std::thread> workers;
        for (int i = 0; i < threads; ++i) workers.emplace_back([this] { work(); });
        showProgress(console);
        for (std::thread& worker : workers) worker.join();
    }

    const std::vector<BatchItem>& items() const { return items_; }
    const std::vector<ItemResult>& results() const { return results_; }

private:
    void work() {
        // One job per worker: the encoder keeps nothing between calls but the job.
        auto job = std::make_unique_for_overwrite<encoder::SymbolJob>();
        for (std::size_t i = next_++; i < items_.size(); i = next_++) {
            process(items_[i], job.get(), &results_[i]);
            if (++finished_ == items_.size()) {
                std::lock_guard lock(mutex_);
                done_.notify_all();
            }
        }
    }

    void process(const BatchItem& item, encoder::SymbolJob* job, ItemResult* result) {
        std::string data = item.data, error;
        if (!prepareData(request_, &data, &error)) {
            fail(result, EXIT_NOT_ENCODABLE, {error});
            return;
        }
        const std::string name = !item.outputName.empty() ? item.outputName
                                 : hasPattern_            ? pattern_.nameFor(item.line)
                                                          : std::string();
        if (name.empty()) {
            fail(result, EXIT_NOT_ENCODABLE,
                 {"no output name: give -o with a counter such as %05d, or a name after a tab"});
            return;
        }
        int eci = encoder::NO_ECI;
        if (!applyCharset(request_, false, &data, &eci, &error)) {
            fail(result, EXIT_NOT_ENCODABLE, {"error: " + error});
            return;
        }
        const EncodeOutcome outcome = encodeSymbol(
            job, {request_.level, request_.columns, request_.compact, shapeOptions(request_, eci)},
            data);
        if (!request_.quiet) result->messages = outcome.warnings;
        if (!outcome.built) {
            fail(result, EXIT_NOT_ENCODABLE, outcome.errors);
            return;
        }
        const OutputFormat format = request_.format.value_or(formatFromName(name));
        if (!writeSymbolFile(*job, options_, format, name, &error)) {
            fail(result, EXIT_NOT_WRITTEN, {"cannot write " + name + ": " + error});
            return;
        }
        if (request_.verbose) {
            const PictureSize size = pictureSize(*job, options_);
            result->details.push_back("wrote " + name);
            for (std::string& line : describeSymbol(*job, countDataCodewords(data), size.width,
                                                    size.height, request_.geometry))
                result->details.push_back(std::move(line));
        }
    }

    static void fail(ItemResult* result, int status, const std::vector<std::string>& lines) {
        result->status = status;
        result->messages.insert(result->messages.end(), lines.begin(), lines.end());
    }

    // A line on the terminal that counts up while the workers run.
    void showProgress(const Console& console) {
        const bool show =
            console.errIsTerminal && !request_.quiet && items_.size() >= PROGRESS_MIN_ITEMS;
        bool shown = false;
        std::unique_lock lock(mutex_);
        while (!done_.wait_for(lock, PROGRESS_INTERVAL,
                               [this] { return finished_ == items_.size(); })) {
            if (!show) continue;
            std::fprintf(console.err, "\rbarquill: %zu of %zu done", finished_.load(),
                         items_.size());
            std::fflush(console.err);
            shown = true;
        }
        if (shown)
            std::fprintf(console.err, "\rbarquill: %zu of %zu done\n", items_.size(),
                         items_.size());
    }

    const Request& request_;
    std::vector<BatchItem> items_;
    std::vector<ItemResult> results_;
    DrawOptions options_;
    CounterPattern pattern_;
    bool hasPattern_ = false;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> finished_{0};
    std::mutex mutex_;
    std::condition_variable done_;
};

bool readList(const Request& request, const Console& console, std::string* list) {
    const std::string& path = *request.batchPath;
    std::FILE* stream = path == "-" ? console.in : std::fopen(path.c_str(), "rb");
    if (!stream) {
        std::fprintf(console.err, "barquill: cannot read %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    bool truncated = false;
    const bool ok = readStream(stream, list->max_size(), list, &truncated);
    if (!ok)
        std::fprintf(console.err, "barquill: cannot read %s: %s\n",
                     path == "-" ? "standard input" : path.c_str(), std::strerror(errno));
    if (stream != console.in) std::fclose(stream);
    return ok;
}

}  // namespace

int runBatch(const Request& request, const Console& console) {
    std::string list;
    if (!readList(request, console, &list)) return EXIT_USAGE;
    BatchRunner runner(request, splitBatch(list, request.batchNul));
    list.clear();
    list.shrink_to_fit();

    const std::size_t count = runner.items().size();
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = static_cast<int>(std::min<std::size_t>(
        request.jobs > 0 ? request.jobs : cores, std::max<std::size_t>(count, 1)));
    runner.run(threads, console);

    int status = EXIT_WRITTEN, failed = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const ItemResult& result = runner.results()[i];
        const int line = runner.items()[i].line;
        for (const std::string& message : result.messages)
            std::fprintf(console.err, "barquill: line %d: %s\n", line, message.c_str());
        for (const std::string& detail : result.details)
            std::fprintf(console.err, "barquill: line %d: %s\n", line, detail.c_str());
        if (result.status != EXIT_WRITTEN) ++failed;
        if (result.status == EXIT_NOT_ENCODABLE) status = EXIT_NOT_ENCODABLE;
        if (result.status == EXIT_NOT_WRITTEN && status == EXIT_WRITTEN) status = EXIT_NOT_WRITTEN;
    }
    if (failed > 0 || request.verbose)
        std::fprintf(console.err, "barquill: %zu of %zu written, %d failed\n", count - failed,
                     count, failed);
    return status;
}

}  // namespace barquill::cli
