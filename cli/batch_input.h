#pragma once
// Splitting a batch list into data items and naming their output files.

#include <string>
#include <string_view>
#include <vector>

namespace barquill::cli {

struct BatchItem {
    int line = 0;            // 1-based line (or item) number, for messages and counters
    std::string data;        // the bytes to encode
    std::string outputName;  // from the second column; empty when the line has none
};

// One item per line, split at line feeds; a carriage return before the line
// feed is dropped (lists written on Windows), and a line holding a tab has
// its output name after the last tab. With nulSeparated the items are split
// at NUL bytes instead and taken byte for byte, with no name column, so they
// may hold line feeds, carriage returns and tabs. A final separator does not
// start another item.
std::vector<BatchItem> splitBatch(std::string_view input, bool nulSeparated);

// An output name pattern with one printf-style counter: %d, %5d or %05d;
// %% stands for a percent sign.
class CounterPattern {
public:
    // Empty error when the pattern holds exactly one counter.
    static CounterPattern parse(std::string_view pattern, std::string* error);
    std::string nameFor(int counter) const;

private:
    std::string before_, after_;
    int width_ = 0;
    bool zeroPadded_ = false;
};

}  // namespace barquill::cli
