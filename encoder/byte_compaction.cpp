// SPDX-License-Identifier: MIT
// Byte compaction: six bytes at a time as five base-900 digits, the bytes
// after the last full group one codeword each.

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

template <class Notes>
void compactByteRun(CodewordList* list, const unsigned char* data, int start, int length,
                    Notes& notes) {
    const unsigned char* bytes = data + start;
    // 924 tells the reader that every byte sits in a full group.
    appendCodeword(list, length % 6 == 0 ? LATCH_BYTE6 : LATCH_BYTE);
    notes.mode(*list);
    int i = 0;
    for (; length - i >= 6; i += 6) {
        std::uint64_t value = 0;
        for (int b = 0; b < 6; ++b) value = (value << 8) | bytes[i + b];
        std::int32_t digits[5];
        for (int d = 4; d >= 0; --d) {
            digits[d] = static_cast<std::int32_t>(value % 900);
            value /= 900;
        }
        for (std::int32_t digit : digits) appendCodeword(list, digit);
        notes.group(*list, LATCH_BYTE, start + i, 6, 5);
    }
    for (; i < length; ++i) {
        appendCodeword(list, bytes[i]);
        notes.group(*list, LATCH_BYTE, start + i, 1, 1);
    }
}

template <class Notes>
void compactBytes(CodewordList* list, const unsigned char* data, int start, int length,
                  int previousKind, Notes& notes) {
    if (length == 1) {
        // The one-byte shift exists only in text compaction; after a numeric
        // run the reader is in numeric mode, where 913 is no shift, so the
        // byte has to be latched.
        appendCodeword(list, previousKind == LATCH_NUMERIC ? LATCH_BYTE : SHIFT_BYTE);
        notes.mode(*list);
        appendCodeword(list, data[start]);
        notes.group(*list, LATCH_BYTE, start, 1, 1);
        return;
    }
    compactByteRun(list, data, start, length, notes);
}

template void compactByteRun(CodewordList*, const unsigned char*, int, int, NoNotes&);
template void compactByteRun(CodewordList*, const unsigned char*, int, int, CodewordNotes&);
template void compactBytes(CodewordList*, const unsigned char*, int, int, int, NoNotes&);
template void compactBytes(CodewordList*, const unsigned char*, int, int, int, CodewordNotes&);

void compactBytes(CodewordList* list, const unsigned char* data, int start, int length,
                  int previousKind) {
    NoNotes none;
    compactBytes(list, data, start, length, previousKind, none);
}

}  // namespace barquill::encoder
