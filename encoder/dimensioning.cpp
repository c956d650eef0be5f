// SPDX-License-Identifier: MIT
// Fixes the shape of the symbol: error-correction level, columns and rows,
// padding and the length descriptor.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "encoder/encoding_steps.h"
#include "encoder/error_correction_level.h"

namespace barquill::encoder {

namespace {

int errorCorrectionCodewords(int level) {
    return 2 << level;
}

int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

// Rows of a symbol of n codewords (descriptor, data, error correction) at c columns.
int rowsFor(int n, int columns) {
    return std::max(MIN_ROWS, ceilDiv(n, columns));
}

// A column count fits when the rows stay within 90 and the whole symbol,
// padding included, within the 928 codewords a Reed-Solomon code over
// GF(929) can protect.
bool columnsFit(int n, int columns) {
    const int rows = rowsFor(n, columns);
    return rows <= MAX_ROWS && rows * columns <= MAX_SYMBOL_CODEWORDS;
}

std::uint32_t fittingColumnsMask(int n) {
    std::uint32_t mask = 0;
    for (int c = 1; c <= MAX_COLUMNS; ++c)
        if (columnsFit(n, c)) mask |= 1u << c;
    return mask;
}

int symbolWidthModules(int columns, int variant) {
    return 17 * columns + (variant == SYMBOL_COMPACT ? 35 : 69);
}

// The column count whose printed symbol comes closest to the wanted
// width : height, compared as ratios so that 2:1 and 1:2 are equally far
// from 1:1. Ties go to fewer columns.
int columnsForAspect(int n, int variant, const SymbolOptions& options) {
    int best = 0;
    double bestDistance = 0.0;
    for (int c = 1; c <= MAX_COLUMNS; ++c) {
        if (!columnsFit(n, c)) continue;
        const double width = double(symbolWidthModules(c, variant)) * options.moduleWidth;
        const double height = double(rowsFor(n, c)) * options.rowHeight;
        const double distance = std::fabs(std::log(width / height / options.aspect));
        if (best == 0 || distance < bestDistance - 1e-12) {
            best = c;
            bestDistance = distance;
        }
    }
    return best;
}

SymbolReport failure(SymbolReport report, SymbolError error) {
    report.error = error;
    return report;
}

}  // namespace

SymbolReport chooseShape(int dataCodewords, int ecLevel, int columns, int variant,
                         const SymbolOptions& options) {
    SymbolReport report;
    report.dataCodewords = dataCodewords;

    int level = ecLevel;
    if (level == -1) {
        level = automaticLevel(dataCodewords);
        // Past 928 codewords the automatic level gives way to the highest
        // lower one that fits; when none does, the original choice is reported.
        int lower = level;
        while (lower > 0 &&
               dataCodewords + 1 + errorCorrectionCodewords(lower) > MAX_SYMBOL_CODEWORDS)
            --lower;
        if (dataCodewords + 1 + errorCorrectionCodewords(lower) <= MAX_SYMBOL_CODEWORDS)
            level = lower;
    }
    int k = errorCorrectionCodewords(level);
    // n: length descriptor, data and error correction.
    const int n = dataCodewords + 1 + k;
    report.level = level;
    report.errorCorrectionCodewords = k;
    report.needed = n;
    report.available = MAX_SYMBOL_CODEWORDS;

    int rows = 0;
    if (options.rows != 0) {
        rows = options.rows;
        report.rows = rows;
        report.columns = columns;
        report.columnsAtRows = ceilDiv(n, rows);
        if (n > MAX_SYMBOL_CODEWORDS) return failure(report, SymbolError::TooLong);
        if (columns != 0) {
            report.rowsAtColumns = ceilDiv(n, columns);
            report.available = rows * columns;
            if (rows * columns < n || rows * columns > MAX_SYMBOL_CODEWORDS)
                return failure(report, SymbolError::ShapeDoesNotFit);
        } else {
            for (int c = 1; c <= MAX_COLUMNS && columns == 0; ++c)
                if (rows * c >= n && rows * c <= MAX_SYMBOL_CODEWORDS) columns = c;
            if (columns == 0) return failure(report, SymbolError::ShapeDoesNotFit);
        }
    } else if (options.aspect > 0.0) {
        if (n > MAX_SYMBOL_CODEWORDS) return failure(report, SymbolError::TooLong);
        columns = columnsForAspect(n, variant, options);
        rows = rowsFor(n, columns);
    } else {
        const bool automatic = columns == 0;
        // Roughly three times as many rows as columns: the square root of
        // (data + error correction) / 3, rounded half up.
        if (automatic) columns = static_cast<int>(std::sqrt(double((k + dataCodewords) / 3)) + 0.5);
        // One more column when the rows would pass 90: the same count the
        // row limit below tests, descriptor included.
        if (ceilDiv(n, columns) > MAX_ROWS && columns < MAX_COLUMNS) ++columns;
        report.columns = columns;
        if (n > MAX_SYMBOL_CODEWORDS) return failure(report, SymbolError::TooLong);
        if (!columnsFit(n, columns)) {
            if (!automatic) {
                report.rowsAtColumns = ceilDiv(n, columns);
                report.fittingColumns = fittingColumnsMask(n);
                return failure(report, SymbolError::ColumnsDoNotFit);
            }
            // The nearest count that fits, trying c+1, c-1, c+2, c-2, ...
            const int wanted = columns;
            columns = 0;
            for (int step = 1; step < MAX_COLUMNS && columns == 0; ++step) {
                for (int c : {wanted + step, wanted - step}) {
                    if (c >= 1 && c <= MAX_COLUMNS && columnsFit(n, c)) {
                        columns = c;
                        break;
                    }
                }
            }
            // Unreachable for n <= 928 (29 columns of 32 rows hold it all).
            if (columns == 0) return failure(report, SymbolError::TooLong);
        }
        rows = rowsFor(n, columns);
    }

    if (options.fillLevel) {
        for (int raised = 8; raised > level; --raised) {
            if (dataCodewords + 1 + errorCorrectionCodewords(raised) <= rows * columns) {
                level = raised;
                break;
            }
        }
        k = errorCorrectionCodewords(level);
        report.level = level;
        report.errorCorrectionCodewords = k;
        report.needed = dataCodewords + 1 + k;
    }
    report.rows = rows;
    report.columns = columns;
    report.available = rows * columns;
    return report;
}

SymbolReport dimensionSymbol(SymbolJob* job, CodewordList* list, const SymbolOptions& options,
                             const std::int32_t* trailer, int trailerCount) {
    const int dataCodewords = list->count + trailerCount;
    SymbolReport report =
        chooseShape(dataCodewords, job->ecLevel, job->columns, job->variant, options);
    job->ecLevel = report.level;
    if (report.columns != 0) job->columns = report.columns;
    if (!report.ok()) return report;

    const int total = report.rows * report.columns;
    const int descriptor = total - report.errorCorrectionCodewords;
    // Padding goes between the data and the control block, which a reader
    // expects last.
    for (int i = list->count; i < descriptor - 1 - trailerCount; ++i) list->entries[i] = LATCH_TEXT;
    for (int i = 0; i < trailerCount; ++i)
        list->entries[descriptor - 1 - trailerCount + i] = trailer[i];
    std::memmove(list->entries + 1, list->entries,
                 static_cast<std::size_t>(descriptor - 1) * sizeof list->entries[0]);
    list->entries[0] = descriptor;
    list->count = descriptor;
    return report;
}

int dimensionSymbol(SymbolJob* job, CodewordList* list) {
    static const SymbolOptions none;
    const SymbolReport report = dimensionSymbol(job, list, none, nullptr, 0);
    return static_cast<int>(report.error);
}

}  // namespace barquill::encoder
