// SPDX-License-Identifier: MIT
// ZPL's own PDF417: ^BY sets the module width, ^B7 the symbol, and ^FH lets
// ^FD carry any byte as _ and two hex digits.

#include <optional>
#include <string>

#include "print/native_symbol.h"
#include "print/print.h"
#include "print/zpl_origin.h"

namespace barquill::print {

namespace {

constexpr int MIN_MODULE_WIDTH = 2;
constexpr int MAX_MODULE_WIDTH = 10;
constexpr int MAX_ROW_HEIGHT = 255;

std::optional<Error> checkRange(Setting setting, int value, int minimum, int maximum) {
    if (value >= minimum && value <= maximum) return std::nullopt;
    return Error{ErrorCode::invalidSetting, setting, static_cast<double>(value),
                 static_cast<double>(minimum), static_cast<double>(maximum)};
}

// The field data with every byte ZPL would not take as it is escaped: ^
// and ~ start commands, _ is ^FH's escape, \ starts ^B7's own escapes in
// field data (\& for CR LF, \\ for one backslash), and the rest are not
// printable.
bool takenAsItIs(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E && byte != '^' && byte != '~' && byte != '_' &&
           byte != '\\';
}

std::string escapedFieldData(std::span<const std::uint8_t> data) {
    std::string field;
    field.reserve(data.size());
    for (const std::uint8_t byte : data) {
        if (takenAsItIs(byte)) {
            field += static_cast<char>(byte);
            continue;
        }
        field += '_';
        field += "0123456789ABCDEF"[byte >> 4];
        field += "0123456789ABCDEF"[byte & 0x0F];
    }
    return field;
}

// An automatic shape is an empty parameter: the printer's own default.
std::string shapeParameter(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

}  // namespace

Result<std::string> zplNative(const NativeSymbol& symbol, const ZplNativeSettings& settings) {
    const std::optional<Error> checks[] = {
        checkRange(Setting::moduleWidth, settings.moduleWidth, MIN_MODULE_WIDTH, MAX_MODULE_WIDTH),
        checkRange(Setting::rowHeight, settings.rowHeight, 1, MAX_ROW_HEIGHT),
        checkZplOrigin(settings.origin),
        checkNativeSymbol(symbol, {.minimumLevel = 1, .maximumData = ZPL_MAX_DATA}),
    };
    for (const std::optional<Error>& error : checks)
        if (error) return *error;

    // ^B7 orientation,row height in module widths,level,columns,rows,truncation
    return "^XA\n^FO" + std::to_string(settings.origin.x) + "," +
           std::to_string(settings.origin.y) + "^BY" + std::to_string(settings.moduleWidth) +
           "^B7N," + std::to_string(settings.rowHeight) + "," + std::to_string(symbol.level) + "," +
           shapeParameter(symbol.columns) + "," + shapeParameter(symbol.rows) + "," +
           (symbol.truncated ? "Y" : "N") + "^FH_^FD" + escapedFieldData(symbol.data) +
           "^FS\n^XZ\n";
}

}  // namespace barquill::print
