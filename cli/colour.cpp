#include "cli/colour.h"

#include <array>
#include <cctype>
#include <string>

namespace barquill::cli {

namespace {

struct NamedColour {
    std::string_view name;
    std::uint32_t rgb;  // 0xRRGGBB, as people write it
};

// The sixteen basic colours of HTML and CSS, plus the usual aliases.
constexpr std::array<NamedColour, 19> namedColours{{
    {"black", 0x000000},   {"silver", 0xC0C0C0},  {"gray", 0x808080},  {"grey", 0x808080},
    {"white", 0xFFFFFF},   {"maroon", 0x800000},  {"red", 0xFF0000},   {"purple", 0x800080},
    {"fuchsia", 0xFF00FF}, {"magenta", 0xFF00FF}, {"green", 0x008000}, {"lime", 0x00FF00},
    {"olive", 0x808000},   {"yellow", 0xFFFF00},  {"navy", 0x000080},  {"blue", 0x0000FF},
    {"teal", 0x008080},    {"aqua", 0x00FFFF},    {"cyan", 0x00FFFF},
}};

std::uint32_t packed(std::uint32_t rgb) {
    const std::uint32_t red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red | green << 8 | blue << 16;
}

}  // namespace

std::optional<std::uint32_t> parseColour(std::string_view text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const NamedColour& colour : namedColours)
        if (lower == colour.name) return packed(colour.rgb);

    std::string_view hex = lower;
    if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
    if (hex.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        rgb = rgb * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return packed(rgb);
}

}  // namespace barquill::cli
