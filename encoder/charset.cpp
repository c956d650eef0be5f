// SPDX-License-Identifier: MIT
// Character sets with their ECI numbers, and conversion from UTF-8 into
// them through iconv.

#include "encoder/charset.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace barquill::encoder {

namespace {

std::string normalised(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_')
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// Bytes of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t n = sequenceLength(lead);
        if (n == 0 || i + n > text.size()) return i;
        for (std::size_t j = 1; j < n; ++j)
            if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) return i;
        const unsigned char second =
            static_cast<unsigned char>(text[i + 1 < text.size() ? i + 1 : i]);
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
            return i;
        i += n;
    }
    return std::string_view::npos;
}

const std::vector<Charset>& knownCharsets() {
    static const std::vector<Charset> sets = {
        {"ISO-8859-1", 3, "ISO-8859-1"},    {"ISO-8859-2", 4, "ISO-8859-2"},
        {"ISO-8859-3", 5, "ISO-8859-3"},    {"ISO-8859-4", 6, "ISO-8859-4"},
        {"ISO-8859-5", 7, "ISO-8859-5"},    {"ISO-8859-6", 8, "ISO-8859-6"},
        {"ISO-8859-7", 9, "ISO-8859-7"},    {"ISO-8859-8", 10, "ISO-8859-8"},
        {"ISO-8859-9", 11, "ISO-8859-9"},   {"ISO-8859-10", 12, "ISO-8859-10"},
        {"ISO-8859-11", 13, "ISO-8859-11"}, {"ISO-8859-13", 15, "ISO-8859-13"},
        {"ISO-8859-14", 16, "ISO-8859-14"}, {"ISO-8859-15", 17, "ISO-8859-15"},
        {"ISO-8859-16", 18, "ISO-8859-16"}, {"Shift_JIS", 20, "SHIFT_JIS"},
        {"Windows-1250", 21, "CP1250"},     {"Windows-1251", 22, "CP1251"},
        {"Windows-1252", 23, "CP1252"},     {"Windows-1256", 24, "CP1256"},
        {"UTF-16BE", 25, "UTF-16BE"},       {"UTF-8", ECI_UTF8, "UTF-8"},
        {"US-ASCII", 27, "ASCII"},          {"Big5", 28, "BIG5"},
        {"EUC-KR", 30, "EUC-KR"},           {"GB18030", 32, "GB18030"},
    };
    return sets;
}

std::optional<Charset> findCharset(std::string_view name) {
    const std::string key = normalised(name);
    for (const Charset& set : knownCharsets())
        if (normalised(set.name) == key) return set;
    return std::nullopt;
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

int defaultTextEci(std::string_view text) {
    if (isAscii(text) || firstInvalidUtf8(text) != std::string_view::npos) return -1;
    return ECI_UTF8;
}

Conversion convertText(std::string_view utf8, const Charset& charset) {
    Conversion result;
    if (const std::size_t bad = firstInvalidUtf8(utf8); bad != std::string_view::npos) {
        result.error = ConversionError::InvalidUtf8;
        result.position = bad + 1;
        return result;
    }
    if (charset.eci == ECI_UTF8) {
        result.bytes = std::string(utf8);
        return result;
    }
    iconv_t converter = iconv_open(charset.iconvName, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        result.error = ConversionError::Unavailable;
        return result;
    }
    // Four bytes out for every byte in is more than any of the sets needs.
    std::string out(utf8.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    const int failure = errno;
    if (done != static_cast<std::size_t>(-1)) iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) {
        if (failure != EILSEQ && failure != EINVAL) {
            result.error = ConversionError::Unavailable;
            return result;
        }
        // The text is valid UTF-8, so iconv stopped at a character the set lacks.
        const std::size_t offset = static_cast<std::size_t>(in - utf8.data());
        std::size_t position = 1;
        for (std::size_t i = 0; i < offset; ++i)
            if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++position;
        result.error = ConversionError::NotRepresentable;
        result.position = position;
        const std::size_t n = sequenceLength(static_cast<unsigned char>(utf8[offset]));
        result.character = std::string(utf8.substr(offset, n));
        return result;
    }
    out.resize(out.size() - outLeft);
    result.bytes = std::move(out);
    return result;
}

std::vector<bool> characterStarts(const unsigned char* data, std::size_t length, int eci) {
    // The sets whose characters take more than one byte.
    static constexpr int multiByte[] = {20, 25, ECI_UTF8, 28, 30, 32};
    if (std::find(std::begin(multiByte), std::end(multiByte), eci) == std::end(multiByte))
        return {};
    const Charset* set = nullptr;
    for (const Charset& known : knownCharsets())
        if (known.eci == eci) set = &known;
    iconv_t cd = iconv_open("UTF-32BE", set->iconvName);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    // Room for one character in UTF-32: each call converts exactly one, so
    // the input advances one character at a time.
    std::vector<bool> starts(length, false);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(data));
    std::size_t left = length;
    while (left > 0) {
        starts[length - left] = true;
        char character[4];
        char* out = character;
        std::size_t room = sizeof character;
        const std::size_t before = left;
        const std::size_t result = iconv(cd, &in, &left, &out, &room);
        if (left == before && result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte that starts no character of the set: step over it alone.
            ++in;
            --left;
        }
    }
    iconv_close(cd);
    return starts;
}

}  // namespace barquill::encoder
