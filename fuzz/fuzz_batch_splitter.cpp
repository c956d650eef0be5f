// SPDX-License-Identifier: MIT
// The batch splitter with any list, read in pieces of random sizes: no
// crash, items within the limit and free of separators, and the same items
// however the list arrives.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>

#include "cli/batch_input.h"

namespace {

using namespace barquill::cli;

bool sameItems(const std::vector<BatchItem>& a, const std::vector<BatchItem>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].line != b[i].line || a[i].data != b[i].data ||
            a[i].outputName != b[i].outputName || a[i].tooLong != b[i].tooLong)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    const BatchListFormat format{input.ConsumeBool(), input.ConsumeBool()};
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::size_t seed = input.ConsumeIntegral<std::uint32_t>();
    const std::string list = input.ConsumeRemainingBytesAsString();

    const std::vector<BatchItem> whole = splitBatch(list, format, limit);
    std::size_t offset = 0, piece = seed;
    BatchSplitter splitter(
        [&](char* buffer, std::size_t room) -> long {
            piece = piece * 1103515245 + 12345;
            const std::size_t count = std::min({room, list.size() - offset, piece % 97 + 1});
            std::memcpy(buffer, list.data() + offset, count);
            offset += count;
            return static_cast<long>(count);
        },
        format, limit);
    std::vector<BatchItem> pieces;
    BatchItem item;
    int previous = 0;
    while (splitter.next(&item) == ListStatus::item) {
        if (item.line <= previous || item.data.size() > limit) std::abort();
        if (item.data.find(format.nulSeparated ? '\0' : '\n') != std::string::npos) std::abort();
        if (item.tooLong && !item.data.empty()) std::abort();
        previous = item.line;
        checkOutputName(item.outputName);
        pieces.push_back(item);
    }
    if (!sameItems(whole, pieces)) std::abort();
    return 0;
}
