// SPDX-License-Identifier: MIT
// Planning a Macro PDF417 series: how many segments, where the data is cut,
// and the one size every segment gets.

#include "encoder/macro_series.h"

#include <algorithm>

#include "encoder/charset.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

// A cut never splits a character of a multi-byte encoding that a reader
// decodes segment by segment; `starts` tells where characters begin (empty:
// at every byte). Each cut is the first character start at or after its
// share of the data, moved on past the cut before it and back so that every
// later segment keeps a character: no segment is left empty while the data
// has a character for each.
std::vector<MacroSegment> cut(std::size_t length, int count, const std::vector<bool>& starts,
                              const MacroControl& common) {
    const std::size_t parts = static_cast<std::size_t>(count);  // at least 1
    std::vector<std::size_t> boundaries;  // where characters begin, when not at every byte
    for (std::size_t i = 0; i < starts.size(); ++i)
        if (starts[i]) boundaries.push_back(i);
    const std::size_t characters = starts.empty() ? length : boundaries.size();
    // The offset of the k-th character, `length` past the last.
    const auto offsetOf = [&](std::size_t k) {
        if (k >= characters) return length;
        return starts.empty() ? k : boundaries[k];
    };
    // The first character at or after an offset.
    const auto characterAt = [&](std::size_t offset) {
        if (starts.empty()) return offset;
        return static_cast<std::size_t>(
            std::lower_bound(boundaries.begin(), boundaries.end(), offset) - boundaries.begin());
    };
    std::vector<MacroSegment> segments(parts);
    std::size_t start = 0, first = 0;  // the segment's offset and first character
    for (std::size_t i = 0; i < parts; ++i) {
        std::size_t next = characters;  // the next segment's first character
        if (i + 1 < parts) {
            next = std::max(characterAt(length * (i + 1) / parts), first + 1);
            if (characters >= parts) next = std::min(next, characters - (parts - i - 1));
        }
        const std::size_t end = std::max(start, offsetOf(next));
        MacroSegment& segment = segments[i];
        segment.offset = start;
        segment.length = end - start;
        segment.control = common;
        segment.control.segmentIndex = static_cast<int>(i);  // i < count
        segment.control.segmentCount = count;
        segment.control.lastSegment = i + 1 == parts;
        start = end;
        first = next;
    }
    return segments;
}

// The most data codewords one symbol holds with these options, 0 if none.
int dataCapacity(int ecLevel, int columns, int variant, const SymbolOptions& shape) {
    int low = 0, high = MAX_SYMBOL_CODEWORDS;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (chooseShape(mid, ecLevel, columns, variant, shape).ok())
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

SymbolReport invalid(SymbolOption option) {
    SymbolReport report;
    report.error = SymbolError::InvalidOption;
    report.option = option;
    return report;
}

}  // namespace

std::vector<std::int32_t> defaultFileId(const unsigned char* data, std::size_t length) {
    // FNV-1a: cheap, and the same data always gives the same ID.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    std::vector<std::int32_t> id;
    for (int i = 0; i < 3; ++i) {
        id.push_back(static_cast<std::int32_t>(hash % 900));
        hash /= 900;
    }
    return id;
}

MacroSeries planMacroSeries(const unsigned char* data, std::size_t length, int ecLevel, int columns,
                            const SymbolOptions& shape, const MacroSeriesOptions& options) {
    MacroSeries series;
    if (options.segments < 0 || options.segments > MAX_MACRO_SEGMENTS) {
        series.report = invalid(SymbolOption::SegmentCount);
        return series;
    }
    MacroControl common;
    common.fileId = options.fileId.empty() ? defaultFileId(data, length) : options.fileId;
    common.fileName = options.fileName;
    common.sender = options.sender;
    common.addressee = options.addressee;
    common.timeStamp = options.timeStamp;
    if (options.fileSize) common.fileSize = static_cast<std::int64_t>(length);
    if (options.checksum) common.checksum = macroChecksum(data, length);

    SymbolOptions segmentOptions = shape;
    segmentOptions.macro = common;
    if (const SymbolOption wrong = invalidOption(segmentOptions); wrong != SymbolOption::None) {
        series.report = invalid(wrong);
        return series;
    }
    if (options.segments > 0 &&
        static_cast<std::size_t>(options.segments) > std::max<std::size_t>(length, 1)) {
        series.report = invalid(SymbolOption::SegmentCount);
        return series;
    }

    const int variant = SYMBOL_FULL;  // the forms hold the same codewords
    const std::vector<bool> starts = characterStarts(data, length, shape.eci);
    // Cuts the data into `count` segments and sizes the series for the
    // largest; *largest tells how many data codewords that one needs.
    const auto attempt = [&](int count, int* largest) {
        MacroSeries planned;
        planned.segments = cut(length, count, starts, common);
        *largest = 0;
        for (const MacroSegment& segment : planned.segments) {
            segmentOptions.macro = segment.control;
            const int needed =
                segment.length > MAX_INPUT_LENGTH
                    ? MAX_SYMBOL_CODEWORDS + 1
                    : countDataCodewords(data + segment.offset, segment.length, segmentOptions);
            *largest = std::max(*largest, needed);
        }
        planned.report = chooseShape(*largest, ecLevel, columns, variant, shape);
        if (planned.report.ok()) {
            planned.level = planned.report.level;
            planned.columns = planned.report.columns;
            planned.rows = planned.report.rows;
        } else {
            planned.segments.clear();
        }
        return planned;
    };
    int largest = 0;
    if (options.segments > 0) return attempt(options.segments, &largest);

    // What one symbol of this shape holds, less the largest control block.
    MacroControl last = common;
    last.segmentIndex = MAX_MACRO_SEGMENTS - 1;
    last.segmentCount = MAX_MACRO_SEGMENTS;
    last.lastSegment = true;
    const int capacity = dataCapacity(ecLevel, columns, variant, shape) -
                         static_cast<int>(macroControlBlock(last).size());
    const int most = static_cast<int>(
        std::min<std::size_t>(MAX_MACRO_SEGMENTS, std::max<std::size_t>(length, 1)));
    if (capacity <= 0) {
        // Not even the control block and one data codeword fit: the
        // smallest segment's numbers tell why.
        series.report = chooseShape(static_cast<int>(macroControlBlock(last).size()) + 1, ecLevel,
                                    columns, variant, shape);
        return series;
    }
    // A first guess from the whole data's codewords, then larger counts in
    // steps the largest segment's overflow suggests, then back down to the
    // fewest that hold it.
    SymbolOptions dataOnly;
    dataOnly.compaction = shape.compaction;
    long long total = 0;
    for (std::size_t start = 0; start < length; start += MAX_INPUT_LENGTH) {
        const std::size_t part = std::min(length - start, MAX_INPUT_LENGTH);
        total += countDataCodewords(data + start, part, dataOnly);
    }
    // Symbols the input limit alone asks for, a small number.
    const auto pieces = static_cast<long long>((length + MAX_INPUT_LENGTH - 1) / MAX_INPUT_LENGTH);
    long long guess = std::max<long long>((total + capacity - 1) / capacity, pieces);
    int count = static_cast<int>(std::clamp<long long>(guess, 1, most));
    int failed = count - 1;  // the largest count known not to hold the data
    MacroSeries found = attempt(count, &largest);
    while (!found.report.ok()) {
        if (count >= most) return found;
        failed = count;
        const long long scaled =
            (static_cast<long long>(count) * largest + capacity - 1) / capacity;
        count = static_cast<int>(std::min<long long>(most, std::max<long long>(count + 1, scaled)));
        found = attempt(count, &largest);
    }
    for (int low = failed + 1, high = count - 1; low <= high;) {
        const int middle = low + (high - low) / 2;
        MacroSeries smaller = attempt(middle, &largest);
        if (smaller.report.ok()) {
            found = std::move(smaller);
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return found;
}

}  // namespace barquill::encoder
