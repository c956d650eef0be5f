#include "cli/numbers.h"

#include <algorithm>
#include <cstdlib>

namespace barquill::cli {

bool parseWholeNumber(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    // More digits than the highest bound has can only be out of range.
    if (text.size() - first > std::to_string(high).size()) return false;
    const long long number = std::stoll(text.substr(first));
    if (number < low || number > high) return false;
    *value = number;
    return true;
}

bool parseWholeNumber(const std::string& text, int low, int high, int* value) {
    long long number = 0;
    if (!parseWholeNumber(text, static_cast<long long>(low), static_cast<long long>(high), &number))
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool parseDecimal(const std::string& text, double* value) {
    const std::size_t point = text.find('.');
    const std::string digits =
        point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
    if (digits.empty() || digits.size() > 12 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::strtod(text.c_str(), nullptr);
    return true;
}

}  // namespace barquill::cli
