// SPDX-License-Identifier: MIT
// Escapes and character sets, shared by every front end that takes text.

#include "barquill/text.hpp"

#include <vector>

#include "encoder/charset.h"
#include "lib/internal.h"

namespace barquill {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Error escapeError(std::string_view text, std::size_t backslash, std::size_t length) {
    Error error;
    error.code = ErrorCode::invalidEscape;
    error.field = "escapes";
    error.value = static_cast<long>(backslash + 1);
    error.given = std::string(text.substr(backslash, length));
    finishMessage(error);
    return error;
}

const std::vector<CharsetInfo>& charsetTable() {
    static const std::vector<CharsetInfo> table = [] {
        std::vector<CharsetInfo> infos;
        for (const encoder::Charset& c : encoder::knownCharsets()) infos.push_back({c.name, c.eci});
        return infos;
    }();
    return table;
}

}  // namespace

Result<std::string> decodeEscapes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 1 == text.size()) return escapeError(text, i, 1);
        switch (text[i + 1]) {
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'x': {
                const int high = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
                const int low = i + 3 < text.size() ? hexValue(text[i + 3]) : -1;
                if (high < 0 || low < 0)
                    return escapeError(text, i, std::min<std::size_t>(4, text.size() - i));
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return escapeError(text, i, 2);
        }
        ++i;
    }
    return bytes;
}

EscapedText encodeEscapes(std::string_view bytes) {
    const bool validUtf8 =
        encoder::isAscii(bytes) || encoder::defaultTextEci(bytes) == encoder::ECI_UTF8;
    EscapedText result;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char* named = c == '\\'   ? "\\\\"
                            : c == '\n' ? "\\n"
                            : c == '\r' ? "\\r"
                            : c == '\t' ? "\\t"
                                        : nullptr;
        if (named) {
            result.text += named;
            result.escaped = true;
        } else if (b < 0x20 || b == 0x7F || (b >= 0x80 && !validUtf8)) {
            // Valid UTF-8 keeps its characters readable; otherwise every
            // high byte is written as \xHH.
            static constexpr char hex[] = "0123456789ABCDEF";
            result.text += "\\x";
            result.text += hex[b >> 4];
            result.text += hex[b & 15];
            result.escaped = true;
        } else {
            result.text += c;
        }
    }
    return result;
}

std::span<const CharsetInfo> charsets() {
    return charsetTable();
}

const CharsetInfo* findCharset(std::string_view name) {
    const auto found = encoder::findCharset(name);
    if (!found) return nullptr;
    for (const CharsetInfo& info : charsetTable())
        if (info.eci == found->eci) return &info;
    return nullptr;
}

int defaultTextEci(std::string_view text) {
    return encoder::defaultTextEci(text);
}

std::size_t firstInvalidUtf8(std::string_view text) {
    const std::size_t offset = encoder::firstInvalidUtf8(text);
    return offset == std::string_view::npos ? 0 : offset + 1;
}

std::string utf8FromLatin1(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

}  // namespace barquill
