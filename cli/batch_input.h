// SPDX-License-Identifier: MIT
#pragma once
// Reading a batch list one item at a time and naming the items' output files.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barquill::cli {

struct BatchItem {
    long long line = 0;      // 1-based line (or item) number, for messages and counters
    std::string data;        // the bytes to encode
    std::string outputName;  // with names: after the line's last tab; empty when none
    bool tooLong = false;    // longer than the item limit: data is empty, the rest was skipped
};

struct BatchListFormat {
    bool nulSeparated = false;  // items end at NUL bytes and are taken byte for byte
    bool names = false;         // lines are "text<TAB>name"; the name is after the last tab
};

// Fills at most `size` bytes of `buffer` with the next part of the list:
// the count, 0 at the end, or -1 when the list could not be read (errno).
using ListSource = std::function<long(char* buffer, std::size_t size)>;

enum class ListStatus { item, end, readError };

// Splits a list into items while reading it, so memory stays bounded however
// long the list is. Lines end at line feeds; a carriage return before the
// line feed is dropped (lists written on Windows). The text of a line is the
// whole line unless the format asks for names. Lines holding nothing but
// spaces, tabs and carriage returns (and, with NUL separators, empty items)
// are skipped, though they still count for the line numbers. A final
// separator does not start another item.
class BatchSplitter {
public:
    BatchSplitter(ListSource source, BatchListFormat format, std::size_t itemLimit);

    ListStatus next(BatchItem* item);

private:
    // Reads more of the list into the buffer; false at the end or on error.
    bool fill();

    ListSource source_;
    BatchListFormat format_;
    std::size_t itemLimit_;
    std::vector<char> buffer_;
    std::size_t start_ = 0, end_ = 0;
    long long line_ = 0;
    bool ended_ = false, failed_ = false;
};

// Every item of a list held in memory, for callers that have it whole.
std::vector<BatchItem> splitBatch(std::string_view input, BatchListFormat format,
                                  std::size_t itemLimit);

// Why a name given in a list may not be used: it must be plain text, and a
// relative path that stays inside the output folder by the library's rule
// (checkNameBeneath), which writing the file applies again to the links on
// its way.
enum class NameProblem {
    none,
    empty,         // "text<TAB>" names nothing
    absolute,      // starts with '/'
    parentFolder,  // has a ".." part
    controlByte,   // holds a byte below 0x20 or 0x7F (NUL, line breaks, escapes)
};

NameProblem checkOutputName(std::string_view name);

}  // namespace barquill::cli
