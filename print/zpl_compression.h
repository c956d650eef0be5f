// SPDX-License-Identifier: MIT
#pragma once
// ZPL's ASCII compression of a ^GFA picture, row by row. Each row is its
// bytes in hexadecimal, with
//   - a run of one hex digit written as its count and the digit: G to Y
//     count 1 to 19, g to z count 20 to 400 in steps of 20, summed ("hI0"
//     is 43 zeros); longer runs take several counts;
//   - "," for the zeros that end a row, "!" for the ones (F digits);
//   - ":" for a row the same as the row before.

#include <string>

#include "print/printer_bitmap.h"

namespace barquill::print {

// Appends the compressed rows of `bitmap` to `out`.
void appendCompressedRows(const PrinterBitmap& bitmap, std::string& out);

}  // namespace barquill::print
