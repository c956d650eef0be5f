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

}  // namespace barquill
