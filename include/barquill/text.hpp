// SPDX-License-Identifier: MIT
#pragma once
// Text before it becomes bytes: backslash escapes, the character sets the
// encoder converts into, and the rule that gives typed text its ECI.

#include <span>
#include <string>
#include <string_view>

#include "barquill/errors.hpp"
#include "barquill/export.h"

namespace barquill {

// Decodes \n, \r, \t, \\ and \xHH (exactly two hex digits) so control
// characters (the separators of identity-card data, line breaks) can be
// typed on one line; any other escape is refused (invalidEscape, `value`
// its 1-based position, `given` the escape) rather than guessed at.
BARQUILL_API Result<std::string> decodeEscapes(std::string_view text);

// The bytes written back as escapes where they are not printable text, so
// that decodeEscapes gives them back exactly; `escaped` tells whether any
// escape (or a backslash, doubled) was needed.
struct EscapedText {
    std::string text;
    bool escaped = false;
};
BARQUILL_API EscapedText encodeEscapes(std::string_view bytes);

struct CharsetInfo {
    std::string_view name;  // as the user writes it, e.g. "ISO-8859-2"
    int eci;
};

// Every character set text can be converted into, in ECI order.
BARQUILL_API std::span<const CharsetInfo> charsets();

// The set of that name, ignoring case, '-' and '_'; null when unknown.
BARQUILL_API const CharsetInfo* findCharset(std::string_view name);

// The ECI that typed text gets when no set is named: none for plain ASCII,
// so such symbols stay as they always were; UTF-8's (26) for other valid
// UTF-8, so readers do not show it in their default set; none for bytes that
// are not UTF-8, which are encoded as given.
BARQUILL_API int defaultTextEci(std::string_view text);

// The 1-based position of the first byte that breaks UTF-8 (overlong forms,
// surrogates and code points past U+10FFFF included), or 0 for UTF-8 text:
// the position invalidText errors carry.
BARQUILL_API std::size_t firstInvalidUtf8(std::string_view text);

// ISO-8859-1 text as UTF-8, every byte one character: the form typed text
// takes before its character-set rule.
BARQUILL_API std::string utf8FromLatin1(std::string_view text);

}  // namespace barquill
