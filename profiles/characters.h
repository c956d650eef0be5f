// SPDX-License-Identifier: MIT
#pragma once
// Walking UTF-8 text character by character, and the character classes the
// schemes' rules are made of.

#include <cstddef>
#include <string>
#include <string_view>

namespace barquill::profiles {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool isCapitalLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
// A control character breaks every layout here: LF, CR and RS are separators.
inline bool isControl(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}
inline bool isPrintableAscii(char c) {
    return c >= 0x20 && c < 0x7F;
}

// The number of bytes of the UTF-8 character starting at `offset`; 1 for a
// byte that does not start a whole UTF-8 character.
std::size_t utf8Length(std::string_view text, std::size_t offset);

// The code point of the UTF-8 character starting at `offset`; the byte's own
// value for a byte that does not start a whole UTF-8 character.
char32_t codePointAt(std::string_view text, std::size_t offset);

// The 1-based character position of the character holding byte `offset`.
std::size_t characterPosition(std::string_view text, std::size_t offset);

// The offset of the first character of UTF-8 text that some reader takes for a
// line break or a control: C0, DEL, C1 (U+0080 to U+009F, NEL among them) and
// the Unicode line and paragraph separators U+2028 and U+2029. A layout
// whose fields are split by LF would shift every later field. npos when none.
std::size_t firstControl(std::string_view text);

// The code point at `offset` written as U+XXXX, for messages that name a
// character no one can see.
std::string codePointName(std::string_view text, std::size_t offset);

// The offset of the first byte `allowed` refuses, or npos.
template <class Predicate>
std::size_t firstRefused(std::string_view text, Predicate allowed) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!allowed(text[i])) return i;
    return std::string_view::npos;
}

}  // namespace barquill::profiles
