// SPDX-License-Identifier: MIT
#include "lib/numbers.h"

#include <array>
#include <cctype>
#include <charconv>
#include <string>

namespace barquill {

namespace {

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

struct NamedColour {
    std::string_view name;
    std::uint32_t rgb;  // 0xRRGGBB, as people write it
};

// The sixteen basic colours of HTML and CSS, plus the usual aliases.
constexpr std::array<NamedColour, 19> namedColours{{
    {"black", 0x000000},   {"silver", 0xC0C0C0},  {"gray", 0x808080},  {"grey", 0x808080},
    {"white", 0xFFFFFF},   {"maroon", 0x800000},  {"red", 0xFF0000},   {"purple", 0x800080},
    {"fuchsia", 0xFF00FF}, {"magenta", 0xFF00FF}, {"green", 0x008000}, {"lime", 0x00FF00},
    {"olive", 0x808000},   {"yellow", 0xFFFF00},  {"navy", 0x000080},  {"blue", 0x0000FF},
    {"teal", 0x008080},    {"aqua", 0x00FFFF},    {"cyan", 0x00FFFF},
}};

Rgb rgbOf(std::uint32_t rgb) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb)};
}

int digitsAt(std::string_view text, std::size_t at, std::size_t count) {
    const std::string_view part = text.substr(at, count);
    if (part.size() != count || !allDigits(part)) return -1;
    int value = 0;
    for (char c : part) value = value * 10 + (c - '0');
    return value;
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const int era = year / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

std::optional<long long> parseWholeNumber(std::string_view text, long long low, long long high) {
    if (!allDigits(text)) return std::nullopt;
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    // More digits than the highest bound has can only be out of range.
    if (text.size() - first > std::to_string(high).size()) return std::nullopt;
    long long number = 0;
    std::from_chars(text.data() + first, text.data() + text.size(), number);
    if (number < low || number > high) return std::nullopt;
    return number;
}

std::optional<double> parseDecimal(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string digits =
        point == std::string_view::npos
            ? std::string(text)
            : std::string(text.substr(0, point)) + std::string(text.substr(point + 1));
    if (digits.size() > 12 || !allDigits(digits)) return std::nullopt;
    double value = 0;
    const auto [end, failed] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (failed != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<Rgb> parseColour(std::string_view text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const NamedColour& colour : namedColours)
        if (lower == colour.name) return rgbOf(colour.rgb);
    std::string_view hex = lower;
    if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
    if (hex.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        rgb = rgb * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return rgbOf(rgb);
}

std::optional<std::int64_t> parseUtcTime(std::string_view text) {
    // 2026-12-10T14:30:00Z
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2),
              second = digitsAt(text, 17, 2);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 60 || day > daysInMonth(year, month))
        return std::nullopt;
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

}  // namespace barquill
