// SPDX-License-Identifier: MIT
// Lays the finished codeword list out as rows of modules: start pattern,
// left row indicator, the row's data codewords, right row indicator, stop
// pattern ('1' bar, '0' space). Row r uses cluster 0, 3 or 6 for r mod 3.

#include <array>
#include <cstring>

#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

// Eight module characters for every byte value, so that a 17-module pattern
// is written as one character and two 8-character copies.
constexpr std::array<std::array<char, 8>, 256> byteModules() {
    std::array<std::array<char, 8>, 256> table{};
    for (std::size_t b = 0; b < 256; ++b) {
        for (std::size_t i = 0; i < 8; ++i) table[b][i] = (b >> (7 - i)) & 1 ? '1' : '0';
    }
    return table;
}
constexpr auto BYTE_MODULES = byteModules();

char* writeModules(char* out, std::uint32_t pattern, int modules) {
    for (int i = modules - 1; i >= 16; --i) *out++ = (pattern >> i) & 1 ? '1' : '0';
    std::memcpy(out, BYTE_MODULES[(pattern >> 8) & 0xff].data(), 8);
    std::memcpy(out + 8, BYTE_MODULES[pattern & 0xff].data(), 8);
    return out + 16;
}

char* writeCodeword(char* out, const std::uint32_t* cluster, std::int32_t codeword) {
    return writeModules(out, cluster[codeword], 17);
}

}  // namespace

void assembleRows(SymbolJob* job, const CodewordList* list) {
    const int columns = job->columns;
    const int rows = list->count / columns;
    const int ecLevel = job->ecLevel;
    const bool compact = job->variant == SYMBOL_COMPACT;

    int width = 0;
    for (int r = 0; r < rows; ++r) {
        const std::uint32_t* cluster = codewordPatterns + (r % 3) * 929;
        const auto [left, right] = rowIndicators(r, rows, columns, ecLevel);

        char* const begin = job->rowBits[r];
        char* out = writeModules(begin, START_PATTERN, 17);
        out = writeCodeword(out, cluster, left);
        const std::int32_t* data = list->entries + r * columns;
        for (int c = 0; c < columns; ++c) out = writeCodeword(out, cluster, data[c]);
        if (compact) {
            // The compact form ends in a single bar module instead of the
            // right indicator and the stop pattern.
            *out++ = '1';
        } else {
            out = writeCodeword(out, cluster, right);
            out = writeModules(out, STOP_PATTERN, 18);
        }
        width = static_cast<int>(out - begin);
    }
    job->rows = rows;
    job->width = width;
}

}  // namespace barquill::encoder
