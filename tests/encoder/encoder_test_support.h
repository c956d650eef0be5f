#pragma once
// Small functions the encoder tests share.

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

inline std::string repeat(const std::string& unit, std::size_t length) {
    std::string s;
    while (s.size() < length) s += unit;
    s.resize(length);
    return s;
}

}  // namespace encoder_test
