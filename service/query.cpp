// SPDX-License-Identifier: MIT
#include "service/query.h"

namespace barquill::service {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> percentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c != '%') {
            decoded += c;
        } else {
            if (i + 2 >= text.size()) return std::nullopt;
            const int high = hexDigit(text[i + 1]);
            const int low = hexDigit(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return decoded;
}

ParsedQuery parseQuery(std::string_view query) {
    ParsedQuery parsed;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        const std::string_view rawName = pair.substr(0, equals);
        const std::string_view rawValue =
            equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
        auto name = percentDecode(rawName);
        auto value = percentDecode(rawValue);
        if (!name || !value) {
            parsed.malformed = std::string(rawName.substr(0, 64));
            return parsed;
        }
        parsed.parameters.push_back({std::move(*name), std::move(*value)});
    }
    return parsed;
}

}  // namespace barquill::service
