// SPDX-License-Identifier: MIT
#pragma once
// Small functions the encoder tests share.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "encoder/encoding_steps.h"

namespace encoder_test {

using namespace barquill::encoder;

inline const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// The data codewords segmentation and compaction produce for `input`.
inline std::vector<int> dataCodewords(const std::string& input) {
    auto table = std::make_unique<RunTable>();
    auto list = std::make_unique<CodewordList>();
    list->count = 0;
    segmentText(table.get(), bytesOf(input), input.size());
    compactRuns(table.get(), bytesOf(input), list.get());
    return std::vector<int>(list->entries, list->entries + list->count);
}

// A fresh job with the given options.
inline std::unique_ptr<SymbolJob> makeJob(int ecLevel = -1, int columns = 0,
                                          int variant = SYMBOL_FULL) {
    auto job = std::make_unique<SymbolJob>();
    initSymbolJob(job.get());
    job->ecLevel = ecLevel;
    job->columns = columns;
    job->variant = variant;
    return job;
}

inline int encode(SymbolJob* job, const std::string& data) {
    return encodeSymbolBytes(job, bytesOf(data), data.size());
}

inline std::vector<std::string> rowsOf(const SymbolJob& job) {
    std::vector<std::string> rows;
    for (int r = 0; r < job.rows; ++r) rows.emplace_back(job.rowBits[r], job.width);
    return rows;
}

// The codeword whose 17-module pattern starts at `module` of a row of
// table block `block` (row r uses block r % 3), read through the pattern table.
inline int codewordAt(const std::string& row, int module, int block) {
    static const std::vector<std::map<std::string, int>> lookup = [] {
        std::vector<std::map<std::string, int>> tables(3);
        for (std::size_t b = 0; b < 3; ++b)
            for (std::size_t v = 0; v < 929; ++v) {
                std::string modules;
                for (int i = 16; i >= 0; --i)
                    modules += (codewordPatterns[b * 929 + v] >> i) & 1 ? '1' : '0';
                tables[b][modules] = static_cast<int>(v);
            }
        return tables;
    }();
    return lookup[static_cast<std::size_t>(block)].at(
        row.substr(static_cast<std::size_t>(module), 17));
}

// The codewords of a built symbol, read back from its rows through the
// pattern tables: descriptor, data, padding, control block, error correction.
inline std::vector<int> symbolCodewords(const SymbolJob& job) {
    std::vector<int> codewords;
    for (int r = 0; r < job.rows; ++r) {
        const std::string row(job.rowBits[r], static_cast<std::size_t>(job.width));
        for (int c = 0; c < job.columns; ++c)
            codewords.push_back(codewordAt(row, 34 + 17 * c, r % 3));
    }
    return codewords;
}

inline std::string repeat(const std::string& unit, std::size_t length) {
    std::string s;
    while (s.size() < length) s += unit;
    s.resize(length);
    return s;
}

}  // namespace encoder_test
