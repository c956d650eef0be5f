// SPDX-License-Identifier: MIT
#include "verify/matrix_check.h"

#include <array>

#include "encoder/encoding_steps.h"
#include "verify/codeword_reading.h"
#include "verify/reed_solomon_check.h"

namespace barquill::verify {

namespace {

constexpr int CODEWORD_MODULES = 17;
constexpr int STOP_MODULES = 18;
// Modules of a row besides its data codewords: start pattern and left
// indicator, then the compact form's one-module bar, or the right indicator
// and the stop pattern.
constexpr int FULL_FRAME = 2 * CODEWORD_MODULES + CODEWORD_MODULES + STOP_MODULES;
constexpr int COMPACT_FRAME = 2 * CODEWORD_MODULES + 1;
constexpr int MAX_LEVEL = 8;

// What a row indicator tells, beside the row group: which of the three
// facts depends on the row's cluster and side.
enum Fact { ROWS, LEVEL, COLUMNS, FACTS };
constexpr Fact LEFT_FACT[3] = {ROWS, LEVEL, COLUMNS};
constexpr Fact RIGHT_FACT[3] = {COLUMNS, ROWS, LEVEL};

std::uint32_t patternAt(const ModuleView& modules, int row, int first, int count) {
    const std::uint8_t* module = modules.data + static_cast<std::size_t>(row) * modules.stride +
                                 static_cast<std::size_t>(first);
    std::uint32_t bits = 0;
    for (int i = 0; i < count; ++i) bits = bits << 1 | (module[i] == modules.bar ? 1u : 0u);
    return bits;
}

MatrixFault fault(Mismatch mismatch, int row = -1, int module = -1) {
    return {mismatch, row, module};
}

// The facts the row indicators state, each the same in every row that
// states it.
class IndicatorFacts {
public:
    // False when the indicator is of another row group or contradicts an
    // earlier one.
    bool add(int row, Fact fact, int indicator) {
        if (indicator / 30 != row / 3) return false;
        const int value = indicator % 30;
        if (firstRow_[fact] < 0) {
            firstRow_[fact] = row;
            value_[fact] = value;
        }
        return value_[fact] == value;
    }
    int value(Fact fact) const { return value_[fact]; }
    int firstRow(Fact fact) const { return firstRow_[fact]; }

private:
    std::array<int, FACTS> value_{};
    std::array<int, FACTS> firstRow_{-1, -1, -1};
};

}  // namespace

MatrixFault checkMatrix(const ModuleView& modules, bool compact) {
    const int frame = compact ? COMPACT_FRAME : FULL_FRAME;
    const int rows = modules.rows;
    if (!modules.data || rows < encoder::MIN_ROWS || rows > encoder::MAX_ROWS ||
        modules.width < frame + CODEWORD_MODULES || (modules.width - frame) % CODEWORD_MODULES != 0)
        return fault(Mismatch::Shape);
    const int columns = (modules.width - frame) / CODEWORD_MODULES;
    const int count = rows * columns;
    if (columns > encoder::MAX_COLUMNS || count > encoder::MAX_SYMBOL_CODEWORDS)
        return fault(Mismatch::Shape);

    const int leftIndicator = CODEWORD_MODULES;
    const int rightIndicator = modules.width - STOP_MODULES - CODEWORD_MODULES;
    std::array<std::int32_t, encoder::MAX_SYMBOL_CODEWORDS> codewords;
    IndicatorFacts facts;
    for (int row = 0; row < rows; ++row) {
        if (patternAt(modules, row, 0, CODEWORD_MODULES) != encoder::START_PATTERN)
            return fault(Mismatch::Guard, row, 0);
        if (compact ? !modules.isBar(row, modules.width - 1)
                    : patternAt(modules, row, modules.width - STOP_MODULES, STOP_MODULES) !=
                          encoder::STOP_PATTERN)
            return fault(Mismatch::Guard, row, compact ? modules.width - 1 : rightIndicator + 17);

        const int block = row % 3;
        const auto codewordAt = [&](int first) {
            return codewordValue(patternAt(modules, row, first, CODEWORD_MODULES), block);
        };
        for (int column = 0; column < columns; ++column) {
            const int first = leftIndicator + CODEWORD_MODULES * (column + 1);
            const int value = codewordAt(first);
            if (value < 0) return fault(Mismatch::Codeword, row, first);
            codewords[static_cast<std::size_t>(row * columns + column)] = value;
        }
        const int left = codewordAt(leftIndicator);
        if (left < 0) return fault(Mismatch::Codeword, row, leftIndicator);
        if (!facts.add(row, LEFT_FACT[block], left))
            return fault(Mismatch::RowIndicator, row, leftIndicator);
        if (!compact) {
            const int right = codewordAt(rightIndicator);
            if (right < 0) return fault(Mismatch::Codeword, row, rightIndicator);
            if (!facts.add(row, RIGHT_FACT[block], right))
                return fault(Mismatch::RowIndicator, row, rightIndicator);
        }
    }

    // Every fact is stated by the first three rows; each must fit the shape.
    const int levelFact = facts.value(LEVEL);
    const int level = levelFact / 3;
    if (facts.value(ROWS) != (rows - 1) / 3)
        return fault(Mismatch::RowIndicator, facts.firstRow(ROWS));
    if (facts.value(COLUMNS) != columns - 1)
        return fault(Mismatch::RowIndicator, facts.firstRow(COLUMNS));
    if (levelFact % 3 != (rows - 1) % 3 || level > MAX_LEVEL)
        return fault(Mismatch::RowIndicator, facts.firstRow(LEVEL));

    const int errorCorrection = 2 << level;
    if (codewords[0] < 1 || codewords[0] != count - errorCorrection)
        return fault(Mismatch::Length, 0, leftIndicator + CODEWORD_MODULES);
    if (!syndromesVanish(codewords.data(), count, errorCorrection))
        return fault(Mismatch::ErrorCorrection);
    return {};
}

}  // namespace barquill::verify
