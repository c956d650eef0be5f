// SPDX-License-Identifier: MIT
#include "profiles/iban.h"

#include <string>

namespace barquill::profiles {

bool ibanCheckDigitsMatch(std::string_view iban) {
    const std::string rearranged = std::string(iban.substr(4)) + std::string(iban.substr(0, 4));
    // Digit by digit, so the remainder never outgrows an int.
    int remainder = 0;
    for (char c : rearranged) {
        if (c >= 'A' && c <= 'Z') {
            const int value = c - 'A' + 10;
            remainder = (remainder * 100 + value) % 97;
        } else {
            remainder = (remainder * 10 + (c - '0')) % 97;
        }
    }
    return remainder == 1;
}

}  // namespace barquill::profiles
