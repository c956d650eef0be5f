// SPDX-License-Identifier: MIT
#pragma once
// Barquill: PDF417 barcodes from C++.
//
//   auto result = barquill::encode("Hello", {.level = 5});
//   if (!result) std::cerr << result.error().message << '\n';
//   auto png = barquill::toPng(result.value(), {.moduleWidth = 3});
//
// Everything is a value: options in, a symbol or an error out. Bad input is
// never an exception; an error says what went wrong with an enum code, the
// numbers behind it and a message for people. Functions may be called from
// several threads at once.
//
// The parts, each its own header:
//   errors.hpp      Error, Result, Warning
//   symbol.hpp      Options, Symbol, encode, encodeSeries
//   render.hpp      Render, formats, toPng/toGif/toBmp/toSvg, toImage
//   print_size.hpp  module widths in mm at a printer's resolution, fitting a label
//   text.hpp        escapes, character sets
//   verify.hpp      reading a symbol back
//   files.hpp       save, series file names
//   settings.hpp    the table of settings every front end takes
//   label.hpp       makeLabel: from data to symbols in one call; scan checks
//   profiles.hpp    the symbols laws and industries mandate, built from fields
//   explain.hpp     how data became codewords
//   batch.hpp       encodeMany: many files in memory on the library's threads

#include "barquill/batch.hpp"
#include "barquill/errors.hpp"
#include "barquill/explain.hpp"
#include "barquill/export.h"
#include "barquill/files.hpp"
#include "barquill/label.hpp"
#include "barquill/print_size.hpp"
#include "barquill/profiles.hpp"
#include "barquill/render.hpp"
#include "barquill/settings.hpp"
#include "barquill/symbol.hpp"
#include "barquill/text.hpp"
#include "barquill/verify.hpp"
#include "barquill/version.h"

namespace barquill {

// The library's version, such as "2.0.0".
BARQUILL_API const char* version();

}  // namespace barquill
