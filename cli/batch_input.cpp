// SPDX-License-Identifier: MIT
#include "cli/batch_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "barquill/files.hpp"

namespace barquill::cli {

namespace {

// Read in blocks of this size; an item may span any number of them.
constexpr std::size_t READ_BLOCK = 1 << 16;

bool onlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

BatchSplitter::BatchSplitter(ListSource source, BatchListFormat format, std::size_t itemLimit)
    : source_(std::move(source)), format_(format), itemLimit_(itemLimit) {}

bool BatchSplitter::fill() {
    if (ended_ || failed_) return false;
    // Keep the unread tail, then read behind it.
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (buffer_.size() - end_ < READ_BLOCK) buffer_.resize(end_ + READ_BLOCK);
    const long got = source_(buffer_.data() + end_, READ_BLOCK);
    if (got < 0) {
        failed_ = true;
        return false;
    }
    if (got == 0) {
        ended_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

ListStatus BatchSplitter::next(BatchItem* item) {
    const char separator = format_.nulSeparated ? '\0' : '\n';
    while (true) {
        // Gather one item: never more than the limit (and the separator's
        // look-ahead) in memory; the rest of an over-long item is skipped.
        std::size_t scanned = 0;
        bool tooLong = false, found = false;
        while (true) {
            // Nothing unread (and, before the first read, no buffer at all).
            const std::size_t unread = end_ - start_ - scanned;
            const void* hit =
                unread == 0 ? nullptr
                            : std::memchr(buffer_.data() + start_ + scanned, separator, unread);
            if (hit != nullptr) {
                scanned = static_cast<std::size_t>(static_cast<const char*>(hit) -
                                                   (buffer_.data() + start_));
                found = true;
                break;
            }
            scanned = end_ - start_;
            if (scanned > itemLimit_ + 1) {
                // Drop what is over the limit but keep the item's length known.
                tooLong = true;
                start_ = end_;
                scanned = 0;
            }
            if (!fill()) break;
        }
        if (failed_) return ListStatus::readError;
        if (!found && scanned == 0 && !tooLong) return ListStatus::end;

        std::string_view text(buffer_.data() + start_, scanned);
        start_ += scanned + (found ? 1 : 0);
        const long long line = ++line_;
        if (!format_.nulSeparated && !text.empty() && text.back() == '\r') text.remove_suffix(1);
        tooLong = tooLong || text.size() > itemLimit_;

        *item = BatchItem();
        item->line = line;
        if (tooLong) {
            item->tooLong = true;
            return ListStatus::item;
        }
        if (format_.nulSeparated ? text.empty() : onlyBlanks(text)) continue;
        if (format_.names) {
            const std::size_t tab = text.find_last_of('\t');
            if (tab != std::string_view::npos) {
                item->outputName = std::string(text.substr(tab + 1));
                text = text.substr(0, tab);
            }
        }
        item->data = std::string(text);
        return ListStatus::item;
    }
}

std::vector<BatchItem> splitBatch(std::string_view input, BatchListFormat format,
                                  std::size_t itemLimit) {
    std::size_t offset = 0;
    BatchSplitter splitter(
        [&](char* buffer, std::size_t size) {
            const std::size_t count = std::min(size, input.size() - offset);
            std::memcpy(buffer, input.data() + offset, count);
            offset += count;
            return static_cast<long>(count);
        },
        format, itemLimit);
    std::vector<BatchItem> items;
    BatchItem item;
    while (splitter.next(&item) == ListStatus::item) items.push_back(std::move(item));
    return items;
}

NameProblem checkOutputName(std::string_view name) {
    if (name.empty()) return NameProblem::empty;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return NameProblem::controlByte;
    // The rule itself is the library's, as it applies it when writing.
    if (const auto outside = checkNameBeneath(name))
        return outside->given == "/" ? NameProblem::absolute : NameProblem::parentFolder;
    return NameProblem::none;
}

}  // namespace barquill::cli
