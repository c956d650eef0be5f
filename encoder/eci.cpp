// SPDX-License-Identifier: MIT
// ECI designators: which character set (or other interpretation) the data
// after them is in. The standard spends one, two or one codeword on the
// number depending on its range.

#include "encoder/encoding_steps.h"

namespace barquill::encoder {

void appendEci(CodewordList* list, int eci) {
    if (eci < 900) {
        appendCodeword(list, ECI_CHARSET);
        appendCodeword(list, eci);
    } else if (eci < 810900) {
        appendCodeword(list, ECI_GENERAL);
        appendCodeword(list, eci / 900 - 1);
        appendCodeword(list, eci % 900);
    } else {
        appendCodeword(list, ECI_USER);
        appendCodeword(list, eci - 810900);
    }
}

}  // namespace barquill::encoder
