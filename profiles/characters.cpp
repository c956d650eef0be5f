// SPDX-License-Identifier: MIT
#include "profiles/characters.h"

namespace barquill::profiles {

namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t utf8Length(std::string_view text, std::size_t offset) {
    // The lead byte says how long the character is; a stray continuation byte
    // or a truncated sequence counts as one byte, so that a walk over text
    // that is not UTF-8 still moves on and never reads past the character.
    const unsigned char lead = static_cast<unsigned char>(text[offset]);
    const std::size_t expected = lead < 0xC0   ? 1
                                 : lead < 0xE0 ? 2
                                 : lead < 0xF0 ? 3
                                 : lead < 0xF8 ? 4
                                               : 1;
    std::size_t end = offset + 1;
    while (end < text.size() && end - offset < expected && isContinuation(text[end])) ++end;
    return end - offset == expected ? expected : 1;
}

char32_t codePointAt(std::string_view text, std::size_t offset) {
    const std::size_t length = utf8Length(text, offset);
    const unsigned char lead = static_cast<unsigned char>(text[offset]);
    if (length == 1) return lead;
    // The lead byte keeps 7 - length bits of the code point, each
    // continuation byte six.
    char32_t point = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i)
        point = (point << 6) | (static_cast<unsigned char>(text[offset + i]) & 0x3Fu);
    return point;
}

std::size_t characterPosition(std::string_view text, std::size_t offset) {
    // Characters start at every byte that is not a continuation byte.
    std::size_t position = 0;
    for (std::size_t i = 0; i <= offset && i < text.size(); ++i)
        if (!isContinuation(text[i])) ++position;
    return position == 0 ? 1 : position;
}

std::string codePointName(std::string_view text, std::size_t offset) {
    static constexpr char hex[] = "0123456789ABCDEF";
    char32_t point = codePointAt(text, offset);
    std::string digits;
    do {
        digits.insert(digits.begin(), hex[point & 0xFu]);
        point >>= 4;
    } while (point != 0 || digits.size() < 4);
    return "U+" + digits;
}

std::size_t firstControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        const unsigned char next =
            i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const unsigned char third =
            i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (isControl(text[i])) return i;
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) return i;
        // U+2028 and U+2029 are E2 80 A8 and E2 80 A9.
        if (byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)) return i;
    }
    return std::string_view::npos;
}

}  // namespace barquill::profiles
