#pragma once
// Drawing a built symbol and writing it out in one of the four formats.

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/geometry.h"
#include "cli/output_format.h"
#include "encoder/pdf417.h"
#include "raster/symbol_picture.h"
#include "verify/verify.h"

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

struct WriteOptions {
    bool replaceReadOnly = false;  // --force: replace a file the user may not write
    // When set, the symbol's raster is read back and must hold this before
    // anything is written.
    const verify::Expected* verify = nullptr;
};

enum class WriteResult {
    written,
    notWritten,   // *error says why
    notVerified,  // the raster did not read back as expected; nothing written
};

// The raster of the symbol, read back and compared with `expected`; false
// with the reason in *error.
bool verifySymbol(const encoder::SymbolJob& job, const DrawOptions& options,
                  const verify::Expected& expected, std::string* error);

// Writes the symbol to `path` through the image library's safe replace, so
// an existing file is replaced only by a complete new one, and a device or
// FIFO is written into.
WriteResult writeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options,
                            OutputFormat format, const std::string& path,
                            const WriteOptions& writeOptions, std::string* error);

// Encodes the whole file in memory first, then writes it to the stream.
WriteResult writeSymbolStream(const encoder::SymbolJob& job, const DrawOptions& options,
                              OutputFormat format, std::FILE* stream,
                              const WriteOptions& writeOptions, std::string* error);

}  // namespace barquill::cli
