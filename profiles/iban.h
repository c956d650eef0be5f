// SPDX-License-Identifier: MIT
#pragma once
// The check of an International Bank Account Number (ISO 13616).

#include <string_view>

namespace barquill::profiles {

// True when the check digits match: with the first four characters moved to
// the end and each letter read as 10 to 35, the number leaves 1 when divided
// by 97 (ISO 7064 MOD 97-10). The IBAN holds only digits and capital
// letters, at least four.
bool ibanCheckDigitsMatch(std::string_view iban);

}  // namespace barquill::profiles
