#pragma once
// The output file formats and how a file name chooses one.

#include <optional>
#include <string_view>

namespace barquill::raster {

enum class OutputFormat { bmp, gif, png, svg };

// As the desktop application does: the upper-cased extension of the file's
// own name (after the last dot) picks GIF or PNG, and here also SVG; every
// other name, one without a dot included, is written as BMP.
OutputFormat formatFromName(std::string_view path);

// "png", "gif", "bmp" or "svg" in any letter case, as a format option takes them.
std::optional<OutputFormat> parseFormatName(std::string_view name);

std::string_view formatName(OutputFormat format);

}  // namespace barquill::raster
