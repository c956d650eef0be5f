// Fixes the shape of the symbol: error-correction level, columns and rows,
// padding and the length descriptor.

#include <cmath>
#include <cstring>

#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

// More data earns more error correction, so that a larger symbol survives
// proportionally as much damage.
int automaticLevel(int dataCodewords) {
    if (dataCodewords <= 40) return 2;
    if (dataCodewords <= 160) return 3;
    if (dataCodewords <= 320) return 4;
    if (dataCodewords <= 640) return 5;
    if (dataCodewords <= 1280) return 6;
    return 7;
}

}  // namespace

int dimensionSymbol(SymbolJob* job, CodewordList* list) {
    if (job->ecLevel == -1) job->ecLevel = automaticLevel(list->count);
    const int k = 2 << job->ecLevel;
    // x counts data and error correction, not yet the descriptor.
    const int x = k + list->count;

    // Roughly three times as many rows as columns: the square root of x / 3,
    // rounded half up.
    if (job->columns == 0) {
        job->columns = static_cast<int>(std::sqrt(static_cast<double>(x / 3)) + 0.5);
    }
    if (x / job->columns > MAX_ROWS) ++job->columns;

    if (x > MAX_CODEWORDS) return BUILD_TOO_LONG;
    // The descriptor counts itself and the data, and must be a codeword value.
    if (list->count + 1 > MAX_CODEWORD_VALUE) return BUILD_TOO_LONG;
    const int columns = job->columns;
    if ((x + 1 + columns - 1) / columns > MAX_ROWS) return BUILD_TOO_MANY_ROWS;

    const int t = x + 1;
    int padding = 0;
    if (t < MIN_ROWS * columns) {
        padding = MIN_ROWS * columns - t;
    } else if (t % columns != 0) {
        padding = columns - t % columns;
    }
    // Padding may push the descriptor past the largest codeword as well.
    const int descriptor = list->count + padding + 1;
    if (descriptor > MAX_CODEWORD_VALUE) return BUILD_TOO_LONG;

    for (int i = 0; i < padding; ++i) list->entries[list->count + i] = LATCH_TEXT;
    std::memmove(list->entries + 1, list->entries,
                 static_cast<std::size_t>(descriptor - 1) * sizeof list->entries[0]);
    list->entries[0] = descriptor;
    list->count = descriptor;
    return BUILD_OK;
}

}  // namespace barquill::encoder
