// SPDX-License-Identifier: MIT
// Many symbols on the library's threads: each thread takes the next item
// until none is left and writes its result into the item's own place, so
// nothing is shared but the counter.

#include "barquill/batch.hpp"

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>
#include <thread>

#include "lib/internal.h"

namespace barquill {

namespace {

Result<Bytes> encodeOne(const BatchData& item, const Options& options, Format format,
                        const Render& render) {
    // Nothing may leave a helper thread, which would end the process.
    try {
        auto symbol =
            item.isText ? encode(item.bytes, options) : encode(bytesOf(item.bytes), options);
        if (!symbol) return symbol.error();
        return barquill::render(*symbol, format, render);
    } catch (const std::bad_alloc&) {
        return makeError(ErrorCode::outOfMemory);
    }
}

}  // namespace

std::vector<Result<Bytes>> encodeMany(std::span<const BatchData> items, const Options& options,
                                      Format format, const Render& render, int threads) {
    // Results are made in place; a Result has no empty state, so each
    // starts as nothing and is filled by exactly one thread.
    std::vector<std::optional<Result<Bytes>>> made(items.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < items.size(); i = next++)
            made[i].emplace(encodeOne(items[i], options, format, render));
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

}  // namespace barquill
