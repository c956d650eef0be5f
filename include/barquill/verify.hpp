// SPDX-License-Identifier: MIT
#pragma once
// Reading a finished symbol back with an independent reader before it
// leaves the program, so that a symbol that would not scan, or would scan
// as something else, is never written.

#include <optional>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/render.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

// True when this build can read symbols back.
BARQUILL_API bool canVerify();

// Nothing when symbols can be read back; else verifyUnavailable with the
// reader module's `path` and, in `given`, why it cannot serve (missing, not
// loadable and the loader's reason, another interface, refused as root).
// A build without the reader names no path. Loads the reader on first use.
BARQUILL_API std::optional<Error> readerProblem();

// Reads the symbol back as `render` draws it and compares what it holds
// (its data, ECI and Macro fields) with what the reader gets: nothing when
// they agree, else notVerified with the mismatch, or verifyUnavailable (as
// readerProblem() gives it).
BARQUILL_API std::optional<Error> verifySymbol(const Symbol& symbol, const Render& render = {});

// The file render() gives, handed out only once it is proven to be the
// symbol. PNG, GIF and BMP files are decoded back from their bytes (PNG by
// libpng's reader, GIF and BMP by decoders of their own, never the
// writers' code) and must equal, pixel for pixel, the picture they were
// encoded from, which must be the symbol's modules drawn at the render; the
// reader reads the modules from the decoded file. SVG, ZPL and ESC/POS
// files are decoded back likewise and must be the modules drawn at the
// render; the rectangles of PDF and EPS are checked against the modules
// before they are drawn. The modules themselves are proven exact codeword
// by codeword. Where this build cannot read back (canVerify() false) the
// reader's step is left out and the exact checks alone are made. A file
// that fails is notVerified: the message says what differs.
BARQUILL_API Result<Bytes> renderVerified(const Symbol& symbol, Format format,
                                          const Render& render = {});

}  // namespace barquill
