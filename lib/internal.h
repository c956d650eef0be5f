// SPDX-License-Identifier: MIT
#pragma once
// What the library's own files share: building symbols and errors, and the
// view of a symbol's modules that the rasteriser draws.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/label.hpp"
#include "barquill/render.hpp"
#include "barquill/settings.hpp"
#include "barquill/symbol.hpp"
#include "encoder/symbol_options.h"
#include "raster/symbol_picture.h"

namespace barquill {

// The one maker of symbols, so that every Symbol is whole.
struct SymbolMaker {
    static Symbol make(int rows, int columns, int width, int level, int dataCodewords, int capacity,
                       bool compact, std::vector<std::uint8_t> modules,
                       std::span<const std::uint8_t> data, int eci, std::optional<Macro> macro);
};

// An error whose default message is made by finishMessage from its fields.
Error rangeError(ErrorCode code, const char* field, long value, long minimum, long maximum);

// Fills error.message from the code and its numbers, naming the field as
// `fieldName` (the error's own field when empty).
void finishMessage(Error& error, std::string_view fieldName = {});

Error makeError(ErrorCode code);

// An error about two fields: `field` conflicts with, or needs, `other`.
Error pairError(ErrorCode code, std::string_view field, std::string_view other);

// The encoder's form of a Macro PDF417 control block.
encoder::MacroControl macroControl(const Macro& m);

std::span<const std::uint8_t> bytesOf(std::string_view text);

// A read-back error that found no symbol, with the greys of bars and
// background that may explain it.
Error withShades(Error error, const Render& render);

// makeLabel for data of any kind: a profile's data is the scheme's bytes.
Result<Label> makeLabelOf(std::string_view data, DataKind kind, const Settings& settings);

raster::ModuleMatrix moduleMatrix(const Symbol& symbol);
raster::DrawOptions drawOptions(const Render& render);
std::optional<Error> checkRender(const Render& render);

// A module's proportions, from the old names where a caller still sets them.
inline ModuleProportions proportionsOf(const Options& options) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return {options.moduleWidth != 0 ? options.moduleWidth : options.moduleProportions.width,
            options.rowHeight != 0 ? options.rowHeight : options.moduleProportions.height};
#pragma GCC diagnostic pop
}

// The scan checks' thin-module warning for a module of `moduleDots` printer
// dots at `dpi`, when it applies: print sizing gives it as the checks do.
std::optional<Warning> thinModuleWarning(int moduleDots, int dpi);

// The PNG, GIF or BMP file of a picture drawn with drawOptions(render).
Result<Bytes> encodePicture(image::Picture& picture, Format format, const Render& render);

// PDF, EPS, ZPL and ESC/POS files of a symbol.
Result<Bytes> printFile(const Symbol& symbol, Format format, const Render& render);

// Decimal numbers as the settings take them and as messages write them,
// whatever the host program's locale.
std::string decimalText(double value, int decimals);

}  // namespace barquill
