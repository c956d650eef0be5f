// SPDX-License-Identifier: MIT
#pragma once
// Everything between data and file that a front end sets, and the one table
// of those settings with their ranges and defaults: the command line's
// options and its help, the application's tool tips and the service's
// query parameters all come from it.

#include <optional>
#include <span>
#include <string_view>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/files.hpp"
#include "barquill/print_size.hpp"
#include "barquill/render.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

struct Settings {
    Options options;               // level, columns, rows, aspect, fill, compact, charset, ECI
    PrintSize size;                // module size in pixels, or in mm at a resolution
    std::optional<LabelArea> fit;  // the largest module that fits the label (needs dpi)
    int quietZone = defaultQuietZone;
    Rgb bar = black;
    Rgb space = white;
    std::optional<Page> page;     // PDF and EPS: the page and the symbol's place on it
    bool printerEncodes = false;  // ZPL and ESC/POS: the printer's own PDF417 command
    bool escapes = false;         // decode backslash escapes in the data
    bool stripNewline = false;    // drop one line feed (and a CR before it) ending the data
    // Split the data into a Macro PDF417 series: with series.segments 0 only
    // data too large for one symbol, into as few as hold it.
    bool split = false;
    Series series;
    bool verify = false;  // read every symbol back before anything is written
    WriteOptions write;
};

enum class SettingKind { flag, number, decimal, text };

struct SettingInfo {
    std::string_view name;   // as an option or a query parameter spells it: "module-width"
    std::string_view field;  // as errors name it: "moduleWidth"
    SettingKind kind;
    std::string_view valueName;  // what the value is, for help: "PIXELS"; empty for a flag
    std::string_view help;       // one line
    // The values it takes, in words that complete "must be ...": "a whole
    // number from 0 to 8, auto or fill".
    std::string_view values;
    std::string_view defaultText;  // empty when there is no default to show
    long minimum = 0;              // numbers: the range
    long maximum = 0;
    std::string_view group;  // "Symbol", "Size", ... for help pages
};

BARQUILL_API std::span<const SettingInfo> settingTable();
BARQUILL_API const SettingInfo* findSetting(std::string_view name);

// Sets one setting from its text, as a command line or query gives it:
// numbers in plain decimal (0300 is 300), "auto" where the library chooses,
// a flag from "", "true" or "false", and never an empty value otherwise.
// An unknown name or a bad value is invalidOption naming the setting's
// field, with the text in `given`.
BARQUILL_API std::optional<Error> applySetting(Settings& settings, std::string_view name,
                                               std::string_view value);

// Checks the settings together (a module width in mm needs a resolution,
// an aspect ratio chooses the columns itself, the printer's own command
// needs a ZPL or ESC/POS format where one is set, ...): conflictingOptions
// and missingOption name both, invalidOption one.
BARQUILL_API std::optional<Error> checkSettings(const Settings& settings);

}  // namespace barquill
