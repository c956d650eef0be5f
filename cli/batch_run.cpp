// SPDX-License-Identifier: MIT
#include "cli/batch_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <unordered_set>

#include "barquill/barquill.hpp"
#include "cli/batch_input.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/profile_run.h"

namespace barquill::cli {

namespace {

// A list shorter than this finishes before a progress line would be of use.
constexpr std::size_t PROGRESS_MIN_ITEMS = 200;
constexpr auto PROGRESS_INTERVAL = std::chrono::milliseconds(200);

// Items read ahead of the oldest unreported one: enough to keep every worker
// busy, few enough that memory stays bounded however long the list is. A
// full window is refilled once half of it is done, so that the reading
// thread wakes once per many items rather than once per item.
constexpr std::size_t WINDOW_ITEMS_PER_WORKER = 32;
constexpr std::size_t WINDOW_BYTES = 16 << 20;

struct ItemResult {
    int status = EXIT_WRITTEN;
    std::vector<std::string> messages;  // errors, and warnings unless quiet
    std::vector<std::string> details;   // -v lines
};

struct Slot {
    BatchItem item;
    std::string name;  // the output file
    ItemResult result;
    bool done = false;
};

std::string nameRefusal(NameProblem problem, const std::string& name) {
    const std::string quoted = "the name \"" + name + "\"";
    switch (problem) {
        case NameProblem::empty:
            return "the line names no file after its tab";
        case NameProblem::absolute:
            return quoted + " is absolute; give a name inside the output folder";
        case NameProblem::parentFolder:
            return quoted + " has a \"..\" part; give a name inside the output folder";
        case NameProblem::controlByte:
            return "the name after the tab holds a control byte; names are plain text";
        case NameProblem::none:
            break;
    }
    return {};
}

class BatchRunner {
public:
    BatchRunner(const Request& request, const Console& console)
        : request_(request), console_(console) {
        if (!request.outputPath.empty())
            if (auto pattern = NamePattern::parse(request.outputPath)) {
                pattern_ = *pattern;
                hasPattern_ = true;
                folder_ = pattern_.folder();
            }
        const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        threads_ = request.jobs > 0 ? request.jobs : cores;
        windowItems_ = WINDOW_ITEMS_PER_WORKER * static_cast<std::size_t>(threads_);
    }

    // Reads, encodes, writes and reports every item; returns the exit status.
    int run(BatchSplitter& splitter) {
        int listStatus = EXIT_WRITTEN;
        std::size_t admitted = 0;
        while (true) {
            auto slot = std::make_unique<Slot>();
            const ListStatus got = splitter.next(&slot->item);
            if (got == ListStatus::readError) {
                std::fprintf(console_.err, "barquill: cannot read %s: %s\n", listName().c_str(),
                             std::strerror(errno));
                // Items before the failure may have been written: then not
                // every output was, which is no usage error.
                listStatus = admitted > 0 ? EXIT_NOT_WRITTEN : EXIT_USAGE;
                break;
            }
            ++admitted;
            if (got == ListStatus::end) break;
            admit(std::move(slot));
        }
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        work_.notify_all();
        reportUntil(0);
        for (std::thread& worker : workers_) worker.join();
        if (progressShown_) std::fprintf(console_.err, "\rbarquill: %zu done\n", reported_);

        if (failed_ > 0 || request_.verbose)
            std::fprintf(console_.err, "barquill: %zu of %zu written, %zu failed\n",
                         reported_ - failed_, reported_, failed_);
        return listStatus != EXIT_WRITTEN ? listStatus : status_;
    }

private:
    std::string listName() const {
        return *request_.batchPath == "-" ? std::string("standard input") : *request_.batchPath;
    }

    // Names the item, refuses what cannot be written, and queues the rest.
    void admit(std::unique_ptr<Slot> slot) {
        Slot& s = *slot;
        if (s.item.tooLong) {
            refuse(s, EXIT_NOT_ENCODABLE,
                   "error: the item is more than " + std::to_string(MAX_DATA_BYTES) +
                       " bytes, far more than any symbol holds");
        } else if (!s.item.outputName.empty() || (request_.batchNames && !hasPattern_)) {
            const NameProblem problem = checkOutputName(s.item.outputName);
            if (problem == NameProblem::empty && !hasPattern_)
                refuse(s, EXIT_NOT_ENCODABLE,
                       "no output name: give one after a tab, or -o with a counter such as "
                       "%05d");
            else if (problem != NameProblem::none)
                refuse(s, EXIT_NOT_ENCODABLE, nameRefusal(problem, s.item.outputName));
            else
                s.name = folder_ + s.item.outputName;
        } else {
            s.name = pattern_.nameFor(s.item.line);
        }
        // Only lists that name their files can name one twice; counters differ.
        if (!s.done && request_.batchNames) {
            const std::string key = std::filesystem::path(s.name).lexically_normal().string();
            if (!names_.insert(key).second)
                refuse(s, EXIT_NOT_ENCODABLE,
                       "\"" + s.name + "\" is named by an earlier line; each file is written once");
        }

        const bool queued = !s.done;
        {
            std::unique_lock lock(mutex_);
            bytes_ += s.item.data.size();
            window_.push_back(std::move(slot));
            if (queued) pending_.push_back(window_.back().get());
            if (queued && workers_.size() < static_cast<std::size_t>(threads_) &&
                pending_.size() > idle_)
                workers_.emplace_back([this] { work(); });
        }
        if (queued) work_.notify_one();
        reportUntil(windowItems_);
    }

    static void refuse(Slot& slot, int status, std::string message) {
        slot.result.status = status;
        slot.result.messages.push_back(std::move(message));
        slot.done = true;
    }

    // Reports finished items in line order, waiting while more than
    // `keep` items (or too many bytes) are in the window.
    void reportUntil(std::size_t keep) {
        std::unique_lock lock(mutex_);
        while (true) {
            std::vector<std::unique_ptr<Slot>> finished;
            while (!window_.empty() && window_.front()->done) {
                bytes_ -= window_.front()->item.data.size();
                finished.push_back(std::move(window_.front()));
                window_.pop_front();
            }
            if (!finished.empty()) {
                lock.unlock();
                for (const auto& slot : finished) report(*slot);
                lock.lock();
            }
            const bool full =
                !window_.empty() && (window_.size() > keep || (keep > 0 && bytes_ > WINDOW_BYTES));
            if (!full) return;
            awaited_ = std::min(window_.size(), std::max<std::size_t>(1, keep / 2));
            const bool woken =
                done_.wait_for(lock, PROGRESS_INTERVAL, [this] { return finishedAtFront(); });
            awaited_ = 0;
            if (!woken) showProgress();
        }
    }

    void work() {
        while (true) {
            Slot* slot = nullptr;
            {
                std::unique_lock lock(mutex_);
                ++idle_;
                work_.wait(lock, [this] { return !pending_.empty() || ended_; });
                --idle_;
                if (pending_.empty()) return;
                slot = pending_.front();
                pending_.pop_front();
            }
            process(*slot);
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                slot->done = true;
                wake = awaited_ > 0 && finishedAtFront();
            }
            if (wake) done_.notify_one();
        }
    }

    // An item that runs out of memory fails alone: what it held is freed
    // as the exception unwinds, and the items after it go on.
    void process(Slot& slot) {
        try {
            processItem(slot);
        } catch (const std::bad_alloc&) {
            fail(&slot.result, EXIT_NOT_ENCODABLE,
                 {std::string(errorText(ErrorCode::outOfMemory))});
        }
    }

    void processItem(Slot& slot) {
        ItemResult* result = &slot.result;
        const std::string& data = slot.item.data;
        auto label = makeItem(data);
        if (!label) {
            std::vector<std::string> lines = failureLines(label.error(), data.size());
            if (label.error().code == ErrorCode::notVerified)
                for (std::string& line : lines) line = slot.name + ": " + line;
            fail(result, exitStatusOf(label.error()), lines);
            return;
        }
        if (request_.strict && !label->warnings.empty()) {
            std::vector<std::string> lines;
            for (const Warning& warning : label->warnings)
                lines.push_back(warningText(warning, "error"));
            fail(result, EXIT_NOT_ENCODABLE, lines);
            return;
        }
        // A name the list gave stays inside the output folder, links or not.
        WriteOptions write = request_.settings.write;
        std::string name = slot.name;
        if (!slot.item.outputName.empty()) {
            write.beneath = folder_;
            name = slot.item.outputName;
        }
        auto written = saveLabel(*label, name, write, request_.verify);
        if (!written) {
            std::vector<std::string> lines = failureLines(written.error(), data.size());
            if (written.error().code == ErrorCode::notVerified)
                for (std::string& line : lines) line = slot.name + ": " + line;
            fail(result, exitStatusOf(written.error()), lines);
            return;
        }
        if (request_.verbose) {
            result->details.push_back("wrote " + slot.name);
            for (std::string& line : describeLabel(*label))
                result->details.push_back(std::move(line));
        }
        // Warnings come after the file is written, as for one symbol.
        if (!request_.quiet)
            for (const Warning& warning : label->warnings)
                result->messages.push_back(warningText(warning));
    }

    // An item's label: its bytes, or with a profile its JSON object of fields.
    Result<Label> makeItem(const std::string& data) const {
        if (request_.profile.empty())
            return makeLabel(
                std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                request_.settings);
        auto fields = parseFieldsJson(data);
        if (!fields) return fields.error();
        auto profile = profileRequest(request_, *fields);
        if (!profile) return profile.error();
        return makeProfileLabel(*profile, request_.settings);
    }

    static void fail(ItemResult* result, int status, const std::vector<std::string>& lines) {
        result->status = status;
        result->messages.insert(result->messages.end(), lines.begin(), lines.end());
    }

    void report(const Slot& slot) {
        const long long line = slot.item.line;
        const bool any = !slot.result.messages.empty() || !slot.result.details.empty();
        if (any && progressShown_) std::fputs("\r\033[K", console_.err);
        for (const std::string& message : slot.result.messages)
            std::fprintf(console_.err, "barquill: line %lld: %s\n", line, message.c_str());
        for (const std::string& detail : slot.result.details)
            std::fprintf(console_.err, "barquill: line %lld: %s\n", line, detail.c_str());
        ++reported_;
        const int status = slot.result.status;
        if (status != EXIT_WRITTEN) ++failed_;
        // The data's fault first, then our own symbol's, then the disk's.
        if (status == EXIT_NOT_ENCODABLE) status_ = EXIT_NOT_ENCODABLE;
        if (status == EXIT_NOT_VERIFIED && status_ != EXIT_NOT_ENCODABLE) status_ = status;
        if (status == EXIT_NOT_WRITTEN && status_ == EXIT_WRITTEN) status_ = EXIT_NOT_WRITTEN;
    }

    // Whether the reporting thread may go on: the `awaited_` oldest items
    // are done. Under mutex_.
    bool finishedAtFront() const {
        std::size_t done = 0;
        for (auto slot = window_.begin(); done < awaited_ && slot != window_.end() && (*slot)->done;
             ++slot)
            ++done;
        return done >= awaited_;
    }

    // A line on the terminal that counts up while the workers run.
    void showProgress() {
        if (!console_.errIsTerminal || request_.quiet || reported_ < PROGRESS_MIN_ITEMS) return;
        std::fprintf(console_.err, "\rbarquill: %zu done", reported_);
        std::fflush(console_.err);
        progressShown_ = true;
    }

    const Request& request_;
    const Console& console_;
    NamePattern pattern_;
    bool hasPattern_ = false;
    std::string folder_;  // where names given in the list are written
    int threads_ = 1;
    std::size_t windowItems_ = 1;
    std::unordered_set<std::string> names_;  // with names: every output so far

    // Shared with the workers, under mutex_.
    std::mutex mutex_;
    std::condition_variable work_, done_;
    std::deque<std::unique_ptr<Slot>> window_;  // read and not yet reported, in line order
    std::deque<Slot*> pending_;                 // not yet taken by a worker
    std::size_t bytes_ = 0;
    std::size_t idle_ = 0;
    std::size_t awaited_ = 0;  // done items the reporting thread waits for, 0 when it does not
    bool ended_ = false;
    std::vector<std::thread> workers_;

    // The reporting (main) thread's own.
    std::size_t reported_ = 0, failed_ = 0;
    int status_ = EXIT_WRITTEN;
    bool progressShown_ = false;
};

}  // namespace

int runBatch(const Request& request, const Console& console) {
    const std::string& path = *request.batchPath;
    std::FILE* stream = path == "-" ? console.in : std::fopen(path.c_str(), "rb");
    if (!stream) {
        std::fprintf(console.err, "barquill: cannot read %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return EXIT_USAGE;
    }
    // What is there now, not a full block: an item from a slow pipe is taken
    // as soon as its line ends.
    const int fd = ::fileno(stream);
    BatchSplitter splitter(
        [fd](char* buffer, std::size_t size) -> long {
            while (true) {
                const ssize_t got = ::read(fd, buffer, size);
                if (got >= 0) return static_cast<long>(got);
                if (errno != EINTR) return -1;
            }
        },
        {request.batchNul, request.batchNames}, MAX_DATA_BYTES);
    BatchRunner runner(request, console);
    const int status = runner.run(splitter);
    if (stream != console.in) std::fclose(stream);
    return status;
}

}  // namespace barquill::cli
