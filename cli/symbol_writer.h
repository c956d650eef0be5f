#pragma once
// Drawing a built symbol and writing it out in one of the four formats.

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/geometry.h"
#include "cli/output_format.h"
#include "encoder/pdf417.h"
#include "raster/symbol_picture.h"

namespace barquill::image {
class Picture;
}  // namespace barquill::image

namespace barquill::cli {

// The rasteriser and the SVG document live in the raster library, shared
// with the library API.
using raster::DrawOptions;
using raster::drawSymbol;
using raster::pictureSize;
using raster::PictureSize;
using raster::svgDocument;

// The complete file in the given format: the picture encoded by the image
// library's writers, or the SVG document.
bool encodeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options,
                      OutputFormat format, std::string* bytes, std::string* error);

// Writes the symbol to `path` through the image library's safe save (a
// temporary file and a rename), so an existing file is replaced only by a
// complete new one. False with the reason in *error when the file could not
// be written.
bool writeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options, OutputFormat format,
                     const std::string& path, std::string* error);

// Encodes the whole file in memory first, then writes it to the stream.
bool writeSymbolStream(const encoder::SymbolJob& job, const DrawOptions& options,
                       OutputFormat format, std::FILE* stream, std::string* error);

}  // namespace barquill::cli
