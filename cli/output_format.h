#pragma once
// The output file formats and how a file name chooses one: the rule lives in
// the raster library, which the library API shares.

#include "raster/output_format.h"

namespace barquill::cli {

using raster::formatFromName;
using raster::formatName;
using raster::OutputFormat;
using raster::parseFormatName;

}  // namespace barquill::cli
