#pragma once
// Colours given on the command line, in the encoder's packed layout.

#include <cstdint>
#include <optional>
#include <string_view>

namespace barquill::cli {

// "#RRGGBB" (the # may be left out, as it starts a comment in the shell), or
// a basic colour name such as "black", "navy" or "grey", in any letter case.
// The result is 0x00BBGGRR, red in the lowest byte; nothing when unknown.
std::optional<std::uint32_t> parseColour(std::string_view text);

}  // namespace barquill::cli
