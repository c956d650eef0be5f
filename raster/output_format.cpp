#include "raster/output_format.h"

#include <cctype>
#include <string>

namespace barquill::raster {

namespace {

std::string upperCase(std::string_view text) {
    std::string upper;
    for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace

OutputFormat formatFromName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return OutputFormat::bmp;
    const std::string extension = upperCase(name.substr(dot));
    if (extension == ".GIF") return OutputFormat::gif;
    if (extension == ".PNG") return OutputFormat::png;
    if (extension == ".SVG") return OutputFormat::svg;
    return OutputFormat::bmp;
}

std::optional<OutputFormat> parseFormatName(std::string_view name) {
    const std::string upper = upperCase(name);
    if (upper == "BMP") return OutputFormat::bmp;
    if (upper == "GIF") return OutputFormat::gif;
    if (upper == "PNG") return OutputFormat::png;
    if (upper == "SVG") return OutputFormat::svg;
    return std::nullopt;
}

std::string_view formatName(OutputFormat format) {
    switch (format) {
        case OutputFormat::bmp:
            return "bmp";
        case OutputFormat::gif:
            return "gif";
        case OutputFormat::png:
            return "png";
        case OutputFormat::svg:
            return "svg";
    }
    return "bmp";
}

}  // namespace barquill::raster
