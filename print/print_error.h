// SPDX-License-Identifier: MIT
#pragma once
// Why a print document was refused, as numbers: each face words its own
// message from the code, the setting at fault and the range it must lie in.

#include "base/result.h"

namespace barquill::print {

enum class ErrorCode : int {
    ok = 0,
    emptySymbol = 1,          // the module matrix has no rows or no modules
    emptyData = 2,            // a printer symbol with no data
    invalidSetting = 3,       // `setting` is `value`, outside [minimum, maximum]
    doesNotFitPage = 4,       // the symbol's far edge at `value` mm passes the page's `maximum`
    levelNotExpressible = 5,  // the command has no form for level `value` (-1 automatic)
    dataTooLong = 6,          // `value` bytes, the command holds `maximum`
    eciNotExpressible = 7,    // the command cannot carry ECI `value`
    macroNotExpressible = 8,  // the command cannot carry a Macro PDF417 control block
    shapeTooLarge = 9,        // columns x rows is `value`, a symbol holds `maximum` codewords
    bitmapTooLarge = 10,      // the picture's `setting` is `value`, the command allows `maximum`
    drawingFailed = 11,       // the drawing library stopped with status `value`
    vectorUnavailable = 12,   // the vector module cannot be loaded (loader::ModuleState `value`)
    noTemporaryFile = 13,   // EPS needs a temporary file; the system refused it with errno `value`
    widerThanPrinter = 14,  // the picture is `value` dots wide, the printer prints `maximum`
    notTheSymbol = 15,      // what would be drawn differs from the modules at row `value`,
                            // module `minimum` (both -1: an area off the module grid)
};

// The setting an error is about.
enum class Setting : int {
    none = 0,
    moduleWidth,
    rowHeight,
    quietZone,
    pageWidth,
    pageHeight,
    x,
    y,
    level,
    columns,
    rows,
    bytesPerRow,
    dotRows,
    graphicBytes,
    printWidth,
};

struct Error {
    ErrorCode code = ErrorCode::ok;
    Setting setting = Setting::none;
    // Millimetres for page sizes and placement, dots, modules or bytes
    // otherwise; integers are exact.
    double value = 0;
    double minimum = 0;
    double maximum = 0;
};

// The document or the reason it was refused: the parts' one template.
template <class T>
using Result = base::Result<T, Error>;

}  // namespace barquill::print
