// SPDX-License-Identifier: MIT
#pragma once
// Verification of what is written: each file is made once, proven to be its
// symbol, and only then handed out or written.

#include <span>
#include <string>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/files.hpp"
#include "barquill/render.hpp"
#include "barquill/symbol.hpp"
#include "verify/verify.h"

namespace barquill::image {
class Picture;
}

namespace barquill {

// What the symbol must read back as.
verify::Expected expectedOf(const Symbol& symbol);

// The symbol's modules as the verifier reads them.
verify::ModuleView moduleView(const Symbol& symbol);

// A picture drawn with drawOptions(render) as the verifier reads it, where
// it was drawn (bottom row first, as the picture keeps it): no copy.
verify::PictureView drawnView(image::Picture& picture, const Render& render);

// The error of a failed verification; `where` says what was found wrong
// when it was the file rather than the symbol.
Error verificationError(const verify::Outcome& outcome, const verify::Expected& expected,
                        const std::string& where = {});

// The file of the symbol in `format`, with its check: PNG, GIF and BMP are
// decoded back from their bytes and compared pixel by pixel with the
// picture they were encoded from, which must sample back exactly to the
// symbol's modules; SVG, ZPL and ESC/POS rasters are decoded back and must
// be the modules drawn at the render; PDF and EPS rectangles are checked
// against the modules before they are drawn (print/). The symbol's modules
// are proven exact codeword by codeword, and with `readBack` the reader
// reads them: for PNG, GIF and BMP as sampled from the decoded file.
Result<Bytes> checkedFile(const Symbol& symbol, Format format, const Render& render, bool readBack);

// checkedFile with the reader's step where this build can read back: what
// renderVerified, save, saveAll and saveLabel write.
Result<Bytes> verifiedFile(const Symbol& symbol, Format format, const Render& render);

// For tests: called with every file checkedFile makes, after it is made
// and before it is read back, so that a test can spoil it.
using WrittenFileHook = void (*)(Format format, Bytes& bytes);
void setWrittenFileHook(WrittenFileHook hook);

// Writes each symbol's file as `make` makes it (a series whole or not at
// all, as saveAll).
using FileMaker = Result<Bytes> (*)(const Symbol& symbol, Format format, const Render& render);
Result<std::vector<std::string>> saveSymbols(std::span<const Symbol> symbols,
                                             const std::string& path, const Render& render,
                                             const WriteOptions& options, FileMaker make);

}  // namespace barquill
