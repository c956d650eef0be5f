// SPDX-License-Identifier: MIT
#pragma once
// The one way from data to symbols that every front end takes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/render.hpp"
#include "barquill/settings.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

// The symbols made of one data (one, or a Macro PDF417 series) and how
// they are drawn.
struct Label {
    std::vector<Symbol> symbols;
    Render render;
    std::vector<Warning> warnings;
};

// Escapes and a final newline as the settings ask, the character set and
// its ECI, one symbol or a series, print sizing or the fit to a label, and
// with settings.verify every symbol read back, all before anything is
// written. Bytes are taken as they are; text is typed text (UTF-8, and the
// default ECI rule when no character set is named).
BARQUILL_API Result<Label> makeLabel(std::span<const std::uint8_t> data, const Settings& settings);
BARQUILL_API Result<Label> makeLabel(std::string_view text, const Settings& settings);

// What may keep the label's symbols from scanning well, from what was built
// and how it is drawn: the compact form, a level low for the data, very wide
// symbols, modules of few printer dots and low rows (when printing, with a
// resolution), a thin quiet zone, poor contrast, text beyond ASCII without
// an ECI, long series. A check never changes a symbol. makeLabel puts these
// in Label::warnings. The label's data is taken as typed text.
BARQUILL_API std::vector<Warning> checkLabel(const Label& label);

// What the data of a label is, for the check of its character set: typed
// text; bytes as given (a file, a photo), told of a missing ECI only when
// they read as UTF-8 text beyond ASCII; or a profile's data, whose scheme
// fixes its character set, never told.
enum class DataKind : int { text = 0, bytes = 1, scheme = 2 };
BARQUILL_API std::vector<Warning> checkLabel(const Label& label, DataKind kind);

// Reads every symbol back as the label draws it; the error names the
// symbol of a series at fault.
BARQUILL_API std::optional<Error> verifyLabel(const Label& label);

// Whether the files written are verified first.
enum class Verification { on, off };

// Writes the label: one symbol to `path`, a series to its seriesFileName.
// Every file is made and verified as renderVerified makes it before the
// first is written; a file that fails is notVerified and nothing is
// written. Verification::off writes what render() gives, unchecked: the
// one way to write a file without its check.
BARQUILL_API Result<std::vector<std::string>> saveLabel(const Label& label, const std::string& path,
                                                        const WriteOptions& options = {});
BARQUILL_API Result<std::vector<std::string>> saveLabel(const Label& label, const std::string& path,
                                                        const WriteOptions& options,
                                                        Verification verification);

}  // namespace barquill
