// SPDX-License-Identifier: MIT
#pragma once
// How data became a symbol: the compaction segments, every codeword with
// what it means, the length descriptor, the error correction, the shape and
// the row indicators, for people who want to know why a symbol looks as it
// does and for tools that check it.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/settings.hpp"

namespace barquill {

struct ExplainedSegment {
    std::string mode;  // "text", "byte" or "numeric"
    std::size_t offset = 0;
    std::size_t length = 0;  // bytes of the data this mode carries
};

struct ExplainedCodeword {
    int value = 0;
    // "length-descriptor", "latch", "shift", "text", "byte", "numeric",
    // "padding", "eci", "eci-number", "macro-marker", "macro-segment-index",
    // "macro-file-id", "macro-field", "macro-field-id", "macro-field-data",
    // "macro-terminator", "error-correction"
    std::string role;
    std::string mode;        // latch, shift and data codewords: the compaction mode
    std::size_t offset = 0;  // byte and numeric codewords: the data their group carries
    std::size_t length = 0;
    int part = 0;  // of a group carried together: this is `part` of `parts`
    int parts = 1;
};

struct RowIndicators {
    int left = 0;
    std::optional<int> right;  // none in the compact form
};

struct Explanation {
    std::vector<ExplainedSegment> segments;    // cover every byte of the data once
    std::vector<ExplainedCodeword> codewords;  // in symbol order, row by row
    int rows = 0;
    int columns = 0;
    bool compact = false;
    int level = 0;
    int errorCorrectionCodewords = 0;
    int lengthDescriptor = 0;
    int dataCodewords = 0;
    int paddingCodewords = 0;
    int capacityLeft = 0;  // data codewords that would still fit this symbol
    std::vector<RowIndicators> rowIndicators;
    std::string text;  // the whole explanation for people, a line a codeword
    std::string json;  // the same as one JSON object (its keys are in docs/command-line.md)
};

// The explanation of each symbol makeLabel would make of the data (one, or
// those of a series), built by the same steps.
BARQUILL_API Result<std::vector<Explanation>> explain(std::span<const std::uint8_t> data,
                                                      const Settings& settings = {});
BARQUILL_API Result<std::vector<Explanation>> explain(std::string_view text,
                                                      const Settings& settings = {});

}  // namespace barquill
