// SPDX-License-Identifier: MIT
#pragma once
// Character sets with their ECI numbers, and converting UTF-8 text into
// one of them (through the C library's iconv). Touches no files.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barquill::encoder {

struct Charset {
    const char* name;       // as the user writes it, e.g. "ISO-8859-2"
    int eci;                // its ECI number
    const char* iconvName;  // as iconv knows it
};

inline constexpr int ECI_UTF8 = 26;

// Every character set the encoder converts into, in ECI order.
const std::vector<Charset>& knownCharsets();

// Finds a set by name, ignoring case, '-' and '_' ("utf8", "Latin-1" is
// not a name; "iso8859-2" is). Nothing for an unknown name.
std::optional<Charset> findCharset(std::string_view name);

enum class ConversionError : int {
    None = 0,
    InvalidUtf8,       // the text is not UTF-8: `position` is the first bad byte's
    NotRepresentable,  // `character` has no form in the set
    Unavailable,       // the C library cannot convert into this set
};

struct Conversion {
    ConversionError error = ConversionError::None;
    std::string bytes;         // the converted text
    std::string character;     // NotRepresentable: the character, in UTF-8
    std::size_t position = 0;  // 1-based character position (InvalidUtf8: byte position)
    bool ok() const { return error == ConversionError::None; }
};

// Converts UTF-8 text into the set.
Conversion convertText(std::string_view utf8, const Charset& charset);

// Where the characters of data in the set of ECI `eci` begin: entry i is
// true when a character starts at byte i (or the byte is no character of
// the set). Empty for sets of one byte a character, where every byte
// starts one, and for designators that name no set we know.
std::vector<bool> characterStarts(const unsigned char* data, std::size_t length, int eci);

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

// The byte offset of the first sequence that is not UTF-8 (overlong forms,
// surrogates and code points past U+10FFFF included), or npos.
std::size_t firstInvalidUtf8(std::string_view text);

// The ECI that text a person typed gets when no character set is named:
// none (-1) for plain ASCII, so such symbols stay as they always were;
// ECI_UTF8 for other valid UTF-8, so that readers do not show it in their
// default set; none for bytes that are not UTF-8, which are encoded as given.
int defaultTextEci(std::string_view text);

}  // namespace barquill::encoder
