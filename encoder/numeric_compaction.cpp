// SPDX-License-Identifier: MIT
// Numeric compaction: groups of up to 44 digits, each written as the base-900
// digits of the number "1" followed by the group's digits (the leading 1 keeps
// the group's leading zeros).

#include "encoder/codeword_notes.h"
#include "encoder/encoding_steps.h"

namespace barquill::encoder {

namespace {

constexpr int GROUP_DIGITS = 44;
// 10^45 < 900^16, and a 44-digit group with its leading 1 needs exactly 15.
constexpr int GROUP_CODEWORDS_MAX = 16;

// Converts "1" followed by digits[0 .. count-1] to base 900. The number is
// built in base-900 limbs, least significant first, by multiplying in three
// decimal digits at a time; every intermediate stays far below 2^31.
int toBase900(const unsigned char* digits, int count, std::int32_t* limbs) {
    int used = 1;
    limbs[0] = 1;
    int i = 0;
    while (i < count) {
        int factor = 1;
        int addend = 0;
        for (int d = 0; d < 3 && i < count; ++d, ++i) {
            factor *= 10;
            addend = addend * 10 + (digits[i] - '0');
        }
        int carry = addend;
        for (int l = 0; l < used; ++l) {
            const int v = limbs[l] * factor + carry;
            limbs[l] = v % 900;
            carry = v / 900;
        }
        while (carry > 0) {
            limbs[used++] = carry % 900;
            carry /= 900;
        }
    }
    return used;
}

}  // namespace

template <class Notes>
void compactNumeric(CodewordList* list, const unsigned char* data, int start, int length,
                    Notes& notes) {
    appendCodeword(list, LATCH_NUMERIC);
    notes.mode(*list);
    for (int p = 0; p < length; p += GROUP_DIGITS) {
        const int group = length - p < GROUP_DIGITS ? length - p : GROUP_DIGITS;
        std::int32_t limbs[GROUP_CODEWORDS_MAX];
        const int used = toBase900(data + start + p, group, limbs);
        for (int l = used - 1; l >= 0; --l) appendCodeword(list, limbs[l]);
        notes.group(*list, LATCH_NUMERIC, start + p, group, used);
    }
}

template void compactNumeric(CodewordList*, const unsigned char*, int, int, NoNotes&);
template void compactNumeric(CodewordList*, const unsigned char*, int, int, CodewordNotes&);

void compactNumeric(CodewordList* list, const unsigned char* data, int start, int length) {
    NoNotes none;
    compactNumeric(list, data, start, length, none);
}

}  // namespace barquill::encoder
