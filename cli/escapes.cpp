#include "cli/escapes.h"

namespace barquill::cli {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

EscapeResult refuse(std::string what) {
    EscapeResult result;
    result.error = std::move(what) + " (escapes are \\n \\r \\t \\\\ and \\xHH)";
    return result;
}

}  // namespace

EscapeResult decodeEscapes(std::string_view text) {
    EscapeResult result;
    result.bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result.bytes += text[i];
            continue;
        }
        if (i + 1 == text.size()) return refuse("a lone backslash ends the text; write \\\\");
        const char kind = text[++i];
        switch (kind) {
            case 'n':
                result.bytes += '\n';
                break;
            case 'r':
                result.bytes += '\r';
                break;
            case 't':
                result.bytes += '\t';
                break;
            case '\\':
                result.bytes += '\\';
                break;
            case 'x': {
                const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
                if (high < 0 || low < 0) return refuse("\\x needs two hex digits, as in \\x1e");
                result.bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return refuse(std::string("unknown escape \\") + kind);
        }
    }
    result.ok = true;
    return result;
}

}  // namespace barquill::cli
