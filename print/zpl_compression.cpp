// SPDX-License-Identifier: MIT
#include "print/zpl_compression.h"

#include <algorithm>
#include <cstring>

namespace barquill::print {

namespace {

// The most one count can say: z (400) and Y (19).
constexpr long MAX_COUNT = 419;

char hexDigit(const std::uint8_t* row, long digit) {
    const int nibble = digit % 2 == 0 ? row[digit / 2] >> 4 : row[digit / 2] & 0x0F;
    return "0123456789ABCDEF"[nibble];
}

void appendRun(char digit, long count, std::string& out) {
    while (count > 0) {
        const long run = std::min(count, MAX_COUNT);
        count -= run;
        // Two digits are as short as a count and one digit.
        if (run <= 2) {
            out.append(static_cast<std::size_t>(run), digit);
            continue;
        }
        if (run >= 20) out += static_cast<char>('g' + run / 20 - 1);
        if (run % 20 != 0) out += static_cast<char>('G' + run % 20 - 1);
        out += digit;
    }
}

void appendRow(const std::uint8_t* row, long digits, std::string& out) {
    for (long first = 0; first < digits;) {
        const char digit = hexDigit(row, first);
        long next = first + 1;
        while (next < digits && hexDigit(row, next) == digit) ++next;
        if (next == digits && next - first >= 2 && (digit == '0' || digit == 'F')) {
            out += digit == '0' ? ',' : '!';
            return;
        }
        appendRun(digit, next - first, out);
        first = next;
    }
}

}  // namespace

void appendCompressedRows(const PrinterBitmap& bitmap, std::string& out) {
    const auto rowBytes = static_cast<std::size_t>(bitmap.size.bytesPerRow);
    for (long y = 0; y < bitmap.size.height; ++y) {
        if (y > 0 && std::memcmp(bitmap.row(y), bitmap.row(y - 1), rowBytes) == 0) {
            out += ':';
            continue;
        }
        appendRow(bitmap.row(y), 2 * bitmap.size.bytesPerRow, out);
    }
}

}  // namespace barquill::print
