// SPDX-License-Identifier: MIT
#include "service/entity_tag.h"

namespace barquill::service {

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string entityTag(std::span<const std::uint8_t> bytes) {
    // FNV-1a over 64 bits: a cache key, not a defence against forgery.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    constexpr char digits[] = "0123456789abcdef";
    std::string tag(18, '"');
    for (int i = 0; i < 16; ++i)
        tag[static_cast<std::size_t>(16 - i)] = digits[(hash >> (4 * i)) & 0xF];
    return tag;
}

bool matchesIfNoneMatch(std::string_view header, std::string_view tag) {
    if (trimmed(header) == "*") return true;
    while (!header.empty()) {
        const std::size_t comma = header.find(',');
        std::string_view candidate = trimmed(header.substr(0, comma));
        header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
        if (candidate.starts_with("W/")) candidate.remove_prefix(2);
        if (candidate == tag) return true;
    }
    return false;
}

}  // namespace barquill::service
