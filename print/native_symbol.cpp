// SPDX-License-Identifier: MIT
#include "print/native_symbol.h"

namespace barquill::print {

namespace {

constexpr int MAX_LEVEL = 8;
constexpr int MAX_COLUMNS = 30;
constexpr int MIN_ROWS = 3;
constexpr int MAX_ROWS = 90;
// A symbol holds at most 928 codewords, whatever its shape asks.
constexpr int MAX_CODEWORDS = 928;

Error outOfRange(Setting setting, int value, int minimum, int maximum) {
    return {ErrorCode::invalidSetting, setting, static_cast<double>(value),
            static_cast<double>(minimum), static_cast<double>(maximum)};
}

}  // namespace

std::optional<Error> checkNativeSymbol(const NativeSymbol& symbol, const NativeLimits& limits) {
    if (symbol.level < AUTOMATIC_LEVEL || symbol.level > MAX_LEVEL)
        return outOfRange(Setting::level, symbol.level, 0, MAX_LEVEL);
    if (symbol.columns < 0 || symbol.columns > MAX_COLUMNS)
        return outOfRange(Setting::columns, symbol.columns, 0, MAX_COLUMNS);
    // 0 lets the printer choose.
    if (symbol.rows != 0 && (symbol.rows < MIN_ROWS || symbol.rows > MAX_ROWS))
        return outOfRange(Setting::rows, symbol.rows, MIN_ROWS, MAX_ROWS);
    if (symbol.data.empty()) return Error{ErrorCode::emptyData};
    if (symbol.eci != NO_ECI)
        return Error{ErrorCode::eciNotExpressible, Setting::none, static_cast<double>(symbol.eci)};
    if (symbol.macro) return Error{ErrorCode::macroNotExpressible};
    if (symbol.level == AUTOMATIC_LEVEL || symbol.level < limits.minimumLevel)
        return Error{ErrorCode::levelNotExpressible, Setting::level,
                     static_cast<double>(symbol.level), static_cast<double>(limits.minimumLevel),
                     static_cast<double>(MAX_LEVEL)};
    if (symbol.data.size() > limits.maximumData)
        return Error{ErrorCode::dataTooLong, Setting::none, static_cast<double>(symbol.data.size()),
                     0, static_cast<double>(limits.maximumData)};
    if (symbol.columns > 0 && symbol.rows > 0 && symbol.columns * symbol.rows > MAX_CODEWORDS)
        return Error{ErrorCode::shapeTooLarge, Setting::none,
                     static_cast<double>(symbol.columns * symbol.rows), 0, MAX_CODEWORDS};
    return std::nullopt;
}

}  // namespace barquill::print
