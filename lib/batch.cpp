// SPDX-License-Identifier: MIT
// Many symbols on the library's threads: each thread takes the next item
// until none is left and writes its result into the item's own place, so
// nothing is shared but the counter.

#include "barquill/batch.hpp"

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "barquill/label.hpp"
#include "lib/internal.h"

namespace barquill {

namespace {

using MakeOne = Result<Bytes> (*)(const BatchData& item, const void* context);

// Nothing may leave a helper thread, which would end the process.
Result<Bytes> guarded(MakeOne make, const BatchData& item, const void* context) {
    try {
        return make(item, context);
    } catch (const std::bad_alloc&) {
        return makeError(ErrorCode::outOfMemory);
    }
}

std::vector<Result<Bytes>> everyItem(std::size_t count, const Error& error) {
    return std::vector<Result<Bytes>>(count, Result<Bytes>(error));
}

// Results are made in place; a Result has no empty state, so each starts as
// nothing and is filled by exactly one thread.
std::vector<Result<Bytes>> runMany(std::span<const BatchData> items, int threads, MakeOne make,
                                   const void* context) {
    if (threads < 0) {
        Error error = rangeError(ErrorCode::invalidOption, "threads", threads, 0, 0);
        error.message = "threads must be 0 (one per core) or more, not " + std::to_string(threads);
        return everyItem(items.size(), error);
    }
    std::vector<std::optional<Result<Bytes>>> made(items.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < items.size(); i = next++)
            made[i].emplace(guarded(make, items[i], context));
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = threads > 0 ? static_cast<std::size_t>(threads) : cores;
    const std::size_t count = std::min(wanted, std::max<std::size_t>(items.size(), 1));
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(count - 1);
        for (std::size_t i = 1; i < count; ++i) helpers.emplace_back(work);
        work();  // the calling thread is one of them
    }
    std::vector<Result<Bytes>> results;
    results.reserve(items.size());
    for (std::optional<Result<Bytes>>& result : made) results.push_back(std::move(*result));
    return results;
}

struct Plain {
    const Options& options;
    Format format;
    const Render& render;
};

struct Labelled {
    const Settings& settings;
    Format format;
};

}  // namespace

std::vector<Result<Bytes>> encodeMany(std::span<const BatchData> items, const Options& options,
                                      Format format, const Render& render, int threads) {
    const Plain plain{options, format, render};
    return runMany(
        items, threads,
        [](const BatchData& item, const void* context) -> Result<Bytes> {
            const Plain& p = *static_cast<const Plain*>(context);
            auto symbol = item.isText ? encode(item.bytes, p.options)
                                      : encode(bytesOf(item.bytes), p.options);
            if (!symbol) return symbol.error();
            return barquill::render(*symbol, p.format, p.render);
        },
        &plain);
}

std::vector<Result<Bytes>> makeLabelFiles(std::span<const BatchData> items,
                                          const Settings& settings, Format format, int threads) {
    if (settings.split) {
        Error error = makeError(ErrorCode::invalidOption);
        error.field = "split";
        error.message = "a batch makes one symbol of each item; a series is makeLabel's";
        return everyItem(items.size(), error);
    }
    const Labelled labelled{settings, format};
    return runMany(
        items, threads,
        [](const BatchData& item, const void* context) -> Result<Bytes> {
            const Labelled& l = *static_cast<const Labelled*>(context);
            auto label = item.isText ? makeLabel(item.bytes, l.settings)
                                     : makeLabel(bytesOf(item.bytes), l.settings);
            if (!label) return label.error();
            return barquill::render(label->symbols.front(), l.format, label->render);
        },
        &labelled);
}

}  // namespace barquill
