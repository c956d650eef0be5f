// SPDX-License-Identifier: MIT
// ESC/POS's own PDF417: each setting one GS ( k function (cn 0x30), then
// the data stored and printed. Every function is
//   GS ( k pL pH cn fn parameters
// with pL pH the little-endian count of the bytes from cn on.

#include <optional>

#include "print/native_symbol.h"
#include "print/print.h"

namespace barquill::print {

namespace {

constexpr std::uint8_t GS = 0x1D;
constexpr std::uint8_t PDF417 = 0x30;  // cn

enum class Function : std::uint8_t {
    columns = 0x41,
    rows = 0x42,
    moduleWidth = 0x43,
    rowHeight = 0x44,
    errorCorrection = 0x45,
    options = 0x46,
    storeData = 0x50,
    printSymbol = 0x51,
};

constexpr int MIN_SIZE = 2;
constexpr int MAX_SIZE = 8;
constexpr std::uint8_t BY_LEVEL = 0x30;     // fn 69's m: n is 0x30 + level
constexpr std::uint8_t TRUNCATED = 0x01;    // fn 70's m; 0x00 standard
constexpr std::uint8_t SYMBOL_DATA = 0x30;  // fn 80's and fn 81's m

void appendLittleEndian16(Bytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendFunction(Bytes& out, Function function, std::initializer_list<std::uint8_t> head,
                    std::span<const std::uint8_t> data = {}) {
    out.insert(out.end(), {GS, '(', 'k'});
    appendLittleEndian16(out, 2 + head.size() + data.size());
    out.insert(out.end(), {PDF417, static_cast<std::uint8_t>(function)});
    out.insert(out.end(), head);
    out.insert(out.end(), data.begin(), data.end());
}

std::optional<Error> checkSize(Setting setting, int value) {
    if (value >= MIN_SIZE && value <= MAX_SIZE) return std::nullopt;
    return Error{ErrorCode::invalidSetting, setting, static_cast<double>(value), MIN_SIZE,
                 MAX_SIZE};
}

}  // namespace

Result<Bytes> escPosNative(const NativeSymbol& symbol, const EscPosNativeSettings& settings) {
    const std::optional<Error> checks[] = {
        checkSize(Setting::moduleWidth, settings.moduleWidth),
        checkSize(Setting::rowHeight, settings.rowHeight),
        checkNativeSymbol(symbol, {.minimumLevel = 0, .maximumData = ESCPOS_MAX_DATA}),
    };
    for (const std::optional<Error>& error : checks)
        if (error) return *error;

    Bytes out;
    out.reserve(symbol.data.size() + 64);
    appendFunction(out, Function::columns, {static_cast<std::uint8_t>(symbol.columns)});
    appendFunction(out, Function::rows, {static_cast<std::uint8_t>(symbol.rows)});
    appendFunction(out, Function::moduleWidth, {static_cast<std::uint8_t>(settings.moduleWidth)});
    appendFunction(out, Function::rowHeight, {static_cast<std::uint8_t>(settings.rowHeight)});
    appendFunction(out, Function::errorCorrection,
                   {BY_LEVEL, static_cast<std::uint8_t>(BY_LEVEL + symbol.level)});
    appendFunction(out, Function::options, {symbol.truncated ? TRUNCATED : std::uint8_t{0}});
    appendFunction(out, Function::storeData, {SYMBOL_DATA}, symbol.data);
    appendFunction(out, Function::printSymbol, {SYMBOL_DATA});
    return out;
}

}  // namespace barquill::print
