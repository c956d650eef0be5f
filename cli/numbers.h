#pragma once
// Numbers on the command line: plain decimal only, one rule for every option.

#include <string>

namespace barquill::cli {

// A whole number in [low, high]: decimal digits only, no sign, base prefix or
// space; a leading zero is only a zero (0300 is 300, not octal).
bool parseWholeNumber(const std::string& text, long long low, long long high, long long* value);
bool parseWholeNumber(const std::string& text, int low, int high, int* value);

// A length or ratio such as 0.25 or 1: digits with at most one decimal point,
// no sign or exponent.
bool parseDecimal(const std::string& text, double* value);

}  // namespace barquill::cli
