// SPDX-License-Identifier: MIT
#pragma once
// Entity tags: the same request always gives the same bytes, so a tag of
// the bytes lets a client's cache ask "has it changed?" for nothing.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace barquill::service {

// A strong tag of the response's bytes, quoted: "\"0123456789abcdef\"".
std::string entityTag(std::span<const std::uint8_t> bytes);

// Whether an If-None-Match header names the tag: "*", or a list of tags,
// weak ones (W/"...") compared by their value as the header's rules ask.
bool matchesIfNoneMatch(std::string_view header, std::string_view tag);

}  // namespace barquill::service
