// SPDX-License-Identifier: MIT
#include "profiles/characters.h"

namespace barquill::profiles {

namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t utf8Length(std::string_view text, std::size_t offset) {
    std::size_t end = offset + 1;
    while (end < text.size() && isContinuation(text[end])) ++end;
    return end - offset;
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

}  // namespace barquill::profiles
