// SPDX-License-Identifier: MIT
// The one table of settings: names, ranges and defaults, and how each is
// taken from text.

#include "barquill/settings.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <ctime>
#include <functional>

#include "barquill/text.hpp"
#include "lib/internal.h"
#include "lib/numbers.h"
#include "lib/option_rules.h"

namespace barquill {

namespace {

using Apply = std::optional<Error> (*)(Settings&, std::string_view value, const SettingInfo&);

struct Entry {
    SettingInfo info;
    Apply apply;
};

Error invalid(const SettingInfo& info, std::string_view value) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = info.field;
    error.given = value;
    error.minimum = info.minimum;
    error.maximum = info.maximum;
    error.message = std::string(info.name) + " must be " + std::string(info.values) + ", not \"" +
                    std::string(value) + "\"";
    return error;
}

std::optional<bool> parseFlag(std::string_view value) {
    for (std::string_view yes : {"", "true", "1", "yes", "on"})
        if (value == yes) return true;
    for (std::string_view no : {"false", "0", "no", "off"})
        if (value == no) return false;
    return std::nullopt;
}

// A whole number in the setting's range, or "auto" for `automatic`.
std::optional<Error> number(std::string_view value, const SettingInfo& info, int* target,
                            std::optional<int> automatic = std::nullopt) {
    if (automatic && value == "auto") {
        *target = *automatic;
        return std::nullopt;
    }
    const auto parsed = parseWholeNumber(value, info.minimum, info.maximum);
    if (!parsed) return invalid(info, value);
    *target = static_cast<int>(*parsed);
    return std::nullopt;
}

std::optional<Error> optionalNumber(std::string_view value, const SettingInfo& info,
                                    std::optional<int>* target) {
    int parsed = 0;
    if (auto error = number(value, info, &parsed)) return error;
    *target = parsed;
    return std::nullopt;
}

std::optional<Error> flag(std::string_view value, const SettingInfo& info, bool* target) {
    const auto parsed = parseFlag(value);
    if (!parsed) return invalid(info, value);
    *target = *parsed;
    return std::nullopt;
}

// "3", "1.5" or "W:H" such as "3:1".
std::optional<double> parseRatio(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return parseDecimal(text);
    const auto width = parseDecimal(text.substr(0, colon));
    const auto height = parseDecimal(text.substr(colon + 1));
    if (!width || !height || *height == 0) return std::nullopt;
    return *width / *height;
}

std::optional<Error> macroText(std::string_view value, const SettingInfo& info,
                               std::string* target) {
    if (checkMacroText(info.field, value)) return invalid(info, value);
    *target = value;
    return std::nullopt;
}

// The file ID as readers show it: three digits per codeword.
std::optional<Error> fileId(Settings& s, std::string_view value, const SettingInfo& info) {
    if (value.size() % 3 != 0) return invalid(info, value);
    std::vector<int> codewords;
    for (std::size_t i = 0; i < value.size() && codewords.size() <= std::size_t{maxFileIdCodewords};
         i += 3) {
        const auto group = parseWholeNumber(value.substr(i, 3), 0, 999);
        if (!group) return invalid(info, value);
        codewords.push_back(static_cast<int>(*group));
    }
    if (checkFileId(info.field, codewords, true)) return invalid(info, value);
    s.series.fileId = std::move(codewords);
    return std::nullopt;
}

// "now", seconds since 1970 UTC, or an ISO 8601 UTC time 2026-12-10T14:30:00Z.
std::optional<Error> timestamp(Settings& s, std::string_view value, const SettingInfo& info) {
    if (value == "now") {
        s.series.timeStamp = static_cast<std::int64_t>(std::time(nullptr));
        return std::nullopt;
    }
    if (const auto seconds = parseWholeNumber(value, 0, 999999999999LL)) {
        s.series.timeStamp = *seconds;
        return std::nullopt;
    }
    const auto time = parseUtcTime(value);
    if (!time) return invalid(info, value);
    s.series.timeStamp = *time;
    return std::nullopt;
}

// "WxH" in millimetres, such as "50x30" or "101.6x50.8".
std::optional<LabelArea> parseArea(std::string_view value) {
    const std::size_t x = value.find_first_of("xX");
    if (x == std::string_view::npos) return std::nullopt;
    const auto width = parseDecimal(value.substr(0, x));
    const auto height = parseDecimal(value.substr(x + 1));
    if (!width || !height || *width <= 0 || *height <= 0 || *width > maxLabelMm ||
        *height > maxLabelMm)
        return std::nullopt;
    return LabelArea{*width, *height};
}

std::optional<Error> fit(Settings& s, std::string_view value, const SettingInfo& info) {
    const auto area = parseArea(value);
    if (!area) return invalid(info, value);
    s.fit = *area;
    return std::nullopt;
}

// "A4", "Letter" (any case) or "WxH" in millimetres.
std::optional<Error> page(Settings& s, std::string_view value, const SettingInfo& info) {
    const auto same = [&value](std::string_view name) {
        return value.size() == name.size() &&
               std::equal(value.begin(), value.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    };
    Page chosen;
    if (same("a4")) {
        chosen = a4Page;
    } else if (same("letter")) {
        chosen = letterPage;
    } else {
        const auto area = parseArea(value);
        if (!area) return invalid(info, value);
        chosen.widthMm = area->widthMm;
        chosen.heightMm = area->heightMm;
    }
    const Page placed = s.page.value_or(Page{});
    chosen.xMm = placed.xMm;
    chosen.yMm = placed.yMm;
    s.page = chosen;
    return std::nullopt;
}

// "X,Y" in millimetres from the page's top left.
std::optional<Error> position(Settings& s, std::string_view value, const SettingInfo& info) {
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) return invalid(info, value);
    const auto x = parseDecimal(value.substr(0, comma));
    const auto y = parseDecimal(value.substr(comma + 1));
    if (!x || !y || *x > maxLabelMm || *y > maxLabelMm) return invalid(info, value);
    Page placed = s.page.value_or(Page{});
    placed.xMm = *x;
    placed.yMm = *y;
    s.page = placed;
    return std::nullopt;
}

std::optional<Error> colour(std::string_view value, const SettingInfo& info, Rgb* target) {
    const auto parsed = parseColour(value);
    if (!parsed) return invalid(info, value);
    *target = *parsed;
    return std::nullopt;
}

// clang-format off
const std::array entries{
    // Symbol
    Entry{{"level", "level", SettingKind::text, "LEVEL", "Error-correction level 0 to 8, auto or fill",
           "a whole number from 0 to 8, auto or fill", "auto", 0, maxLevel, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              // "fill" is the automatic level raised to fill the symbol's spare codewords.
              s.options.fillLevel = v == "fill";
              return number(s.options.fillLevel ? "auto" : v, i, &s.options.level, autoLevel);
          }},
    Entry{{"columns", "columns", SettingKind::number, "N", "Data columns 1 to 30, or auto",
           "a whole number from 1 to 30 or auto", "auto", 1, maxColumns, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return number(v, i, &s.options.columns, 0);
          }},
    Entry{{"rows", "rows", SettingKind::number, "N", "Rows 3 to 90: with columns a fixed size",
           "3 to 90 or auto", "auto", minRows, maxRows, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return number(v, i, &s.options.rows, 0);
          }},
    Entry{{"aspect", "aspect", SettingKind::text, "RATIO", "Printed width : height wanted (3:1 or 3)",
           "a ratio such as 3:1, 1:2 or 2.5", "", 0, 0, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              const auto ratio = parseRatio(v);
              if (!ratio || *ratio == 0 || checkAspectRange(*ratio)) return invalid(i, v);
              s.options.aspect = *ratio;
              return std::nullopt;
          }},
    Entry{{"compact", "compact", SettingKind::flag, "", "The compact form: no right row indicator",
           "true or false", "", 0, 0, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.options.compact);
          }},
    Entry{{"compaction", "compaction", SettingKind::text, "MODE",
           "auto: by the characters; byte: all data as bytes, as some schemes require",
           "auto or byte", "auto", 0, 0, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              if (v != "auto" && v != "byte") return invalid(i, v);
              s.options.compaction = v == "byte" ? Compaction::byte : Compaction::automatic;
              return std::nullopt;
          }},
    Entry{{"fg", "bar", SettingKind::text, "COLOUR", "Bar colour: #RRGGBB or a name (black)",
           "#RRGGBB or a name such as black or navy", "black", 0, 0, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) { return colour(v, i, &s.bar); }},
    Entry{{"bg", "space", SettingKind::text, "COLOUR", "Background colour (white)",
           "#RRGGBB or a name such as white or yellow", "white", 0, 0, "Symbol"},
          [](Settings& s, std::string_view v, const SettingInfo& i) { return colour(v, i, &s.space); }},
    // Size
    Entry{{"margin", "quietZone", SettingKind::number, "PIXELS", "Quiet zone on every side, in pixels",
           "a whole number from 0 to 1000 pixels", "10", 0, maxQuietZone, "Size"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return number(v, i, &s.quietZone);
          }},
    Entry{{"module-width", "moduleWidth", SettingKind::number, "PIXELS", "Module width in pixels (2)",
           "a whole number from 1 to 64 pixels", "", 1, maxModuleWidth, "Size"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return optionalNumber(v, i, &s.size.moduleWidth);
          }},
    Entry{{"row-height", "rowHeight", SettingKind::number, "PIXELS",
           "Row height (2 x module width; 3 x with --xdim)",
           "a whole number from 1 to 256 pixels", "", 1, maxRowHeight, "Size"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return optionalNumber(v, i, &s.size.rowHeight);
          }},
    Entry{{"xdim", "moduleMm", SettingKind::decimal, "MM", "Module width in mm, in whole printer dots",
           "a length in mm such as 0.25", "", 0, static_cast<long>(maxModuleMm), "Size"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              const auto mm = parseDecimal(v);
              if (!mm) return invalid(i, v);
              s.size.moduleMm = *mm;
              return std::nullopt;
          }},
    Entry{{"dpi", "dpi", SettingKind::number, "N", "Printer resolution, stored in the file",
           "a whole number from 1 to 10000", "", 1, maxDpi, "Size"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return optionalNumber(v, i, &s.size.dpi);
          }},
    Entry{{"fit", "fit", SettingKind::text, "WxH", "Largest module that fits the label, in mm (with --dpi)",
           "the label's width and height in mm, such as 50x30", "", 0, 0, "Symbol"}, fit},
    // Data
    Entry{{"escapes", "escapes", SettingKind::flag, "", "Decode \\n \\r \\t \\\\ and \\xHH in the data",
           "true or false", "", 0, 0, "Data"},
          [](Settings& s, std::string_view v, const SettingInfo& i) { return flag(v, i, &s.escapes); }},
    Entry{{"strip-newline", "stripNewline", SettingKind::flag, "", "Drop one line feed ending the data",
           "true or false", "", 0, 0, "Data"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.stripNewline);
          }},
    Entry{{"charset", "charset", SettingKind::text, "NAME",
           "Convert the text into NAME and mark it with its ECI; none: bytes as given",
           "none or a known character set", "", 0, 0, "Character set"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              if (v == rawBytes) {
                  s.options.charset = rawBytes;
                  return std::nullopt;
              }
              const CharsetInfo* charset = findCharset(v);
              if (!charset) return invalid(i, v);
              s.options.charset = charset->name;
              return std::nullopt;
          }},
    Entry{{"eci", "eci", SettingKind::number, "N", "Mark the data, already in that set, with ECI N",
           "0 to 811799", "", 0, maxEci, "Character set"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return number(v, i, &s.options.eci);
          }},
    // Print
    Entry{{"page", "page", SettingKind::text, "PAGE",
           "PDF and EPS on a page: A4, Letter or WxH in mm; ESC/POS: W is the print width",
           "A4, Letter or a size in mm such as 100x150", "", 0, 0, "Print"},
          page},
    Entry{{"position", "page.position", SettingKind::text, "X,Y",
           "Where on the page the symbol goes, in mm from the top left",
           "two lengths in mm such as 20,30", "", 0, 0, "Print"},
          position},
    Entry{{"zpl-native", "printerEncodes", SettingKind::flag, "",
           "ZPL: the printer's own PDF417 command (^B7) instead of the picture",
           "true or false", "", 0, 0, "Print"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.printerEncodes);
          }},
    Entry{{"escpos-native", "printerEncodes", SettingKind::flag, "",
           "ESC/POS: the printer's own PDF417 command (GS ( k) instead of the picture",
           "true or false", "", 0, 0, "Print"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.printerEncodes);
          }},
    // Output
    Entry{{"format", "format", SettingKind::text, "FORMAT",
           "png, gif, bmp, svg, pdf, eps, zpl or escpos (default: the extension)",
           "png, gif, bmp, svg, pdf, eps, zpl or escpos", "", 0, 0, "Output"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              const auto format = parseFormat(v);
              if (!format) return invalid(i, v);
              s.write.format = *format;
              return std::nullopt;
          }},
    Entry{{"verify", "verify", SettingKind::flag, "",
           "Read every symbol back before writing it; a mismatch writes nothing",
           "true or false", "", 0, 0, "Output"},
          [](Settings& s, std::string_view v, const SettingInfo& i) { return flag(v, i, &s.verify); }},
    Entry{{"force", "replaceReadOnly", SettingKind::flag, "", "Replace output files that are read-only",
           "true or false", "", 0, 0, "Output"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.write.replaceReadOnly);
          }},
    // Macro PDF417
    Entry{{"macro", "split", SettingKind::flag, "", "Split data too large for one symbol into a series (a series of one when a series field is given)",
           "true or false", "", 0, 0, "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) { return flag(v, i, &s.split); }},
    Entry{{"segments", "series.segments", SettingKind::number, "N", "Split into exactly N symbols",
           "1 to 99999", "", 1, maxSegments, "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) -> std::optional<Error> {
              s.split = true;
              return number(v, i, &s.series.segments);
          }},
    Entry{{"file-id", "series.fileId", SettingKind::text, "ID", "Series ID: groups of 3 digits, each up to 899",
           "1 to 30 groups of three digits, each 000 to 899, such as 123045", "", 0, 0,
           "Macro PDF417 (a series of symbols)"},
          fileId},
    Entry{{"file-name", "series.fileName", SettingKind::text, "NAME", "File name carried by the series",
           "printable ASCII of at most 100 characters", "", 0, maxMacroText,
           "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return macroText(v, i, &s.series.fileName);
          }},
    Entry{{"sender", "series.sender", SettingKind::text, "TEXT", "Sender carried by the series",
           "printable ASCII of at most 100 characters", "", 0, maxMacroText,
           "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return macroText(v, i, &s.series.sender);
          }},
    Entry{{"addressee", "series.addressee", SettingKind::text, "TEXT", "Addressee carried by the series",
           "printable ASCII of at most 100 characters", "", 0, maxMacroText,
           "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return macroText(v, i, &s.series.addressee);
          }},
    Entry{{"timestamp", "series.timeStamp", SettingKind::text, "TIME",
           "Time stamp: now, seconds since 1970, or 2026-12-10T14:30:00Z",
           "now, seconds since 1970, or a UTC time such as 2026-12-10T14:30:00Z", "", 0, 0,
           "Macro PDF417 (a series of symbols)"},
          timestamp},
    Entry{{"file-size", "series.fileSize", SettingKind::flag, "", "Carry the data's size in bytes",
           "true or false", "", 0, 0, "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.series.fileSize);
          }},
    Entry{{"checksum", "series.checksum", SettingKind::flag, "", "Carry the data's CRC-16 checksum",
           "true or false", "", 0, 0, "Macro PDF417 (a series of symbols)"},
          [](Settings& s, std::string_view v, const SettingInfo& i) {
              return flag(v, i, &s.series.checksum);
          }},
};
// clang-format on

const std::array<SettingInfo, entries.size()> infos = [] {
    std::array<SettingInfo, entries.size()> table{};
    for (std::size_t i = 0; i < entries.size(); ++i) table[i] = entries[i].info;
    return table;
}();

}  // namespace

std::span<const SettingInfo> settingTable() {
    return infos;
}

const SettingInfo* findSetting(std::string_view name) {
    for (const SettingInfo& info : infos)
        if (info.name == name) return &info;
    return nullptr;
}

std::optional<Error> applySetting(Settings& settings, std::string_view name,
                                  std::string_view value) {
    for (const Entry& entry : entries) {
        if (entry.info.name != name) continue;
        if (value.empty() && entry.info.kind != SettingKind::flag) {
            Error error = invalid(entry.info, value);
            error.message = std::string(name) + " needs a value, not an empty one";
            return error;
        }
        return entry.apply(settings, value, entry.info);
    }
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = name;
    error.given = value;
    error.message = "there is no setting " + std::string(name);
    return error;
}

std::optional<Error> checkSettings(const Settings& settings) {
    const Options& options = settings.options;
    if (auto error = checkAspectRange(options.aspect)) return error;
    if (auto error = checkAspectAlone(options)) return error;
    // Bytes kept as they are may well carry an ECI of their own set.
    if (!options.charset.empty() && options.charset != rawBytes && options.eci != noEci)
        return pairError(ErrorCode::conflictingOptions, "charset", "eci");
    if (settings.fit) {
        if (!settings.size.dpi) return pairError(ErrorCode::missingOption, "fit", "dpi");
        if (settings.size.moduleMm)
            return pairError(ErrorCode::conflictingOptions, "fit", "moduleMm");
        if (settings.size.moduleWidth)
            return pairError(ErrorCode::conflictingOptions, "fit", "moduleWidth");
        if (settings.size.rowHeight)
            return pairError(ErrorCode::conflictingOptions, "fit", "rowHeight");
    }
    if (auto sized = sizeModules(settings.size); !sized) return sized.error();
    // A position alone has no page to be on.
    if (settings.page && settings.page->widthMm == 0)
        return pairError(ErrorCode::missingOption, "page.position", "page");
    if (settings.bar == settings.space)
        return pairError(ErrorCode::conflictingOptions, "bar", "space");
    // The printer's own command is a printer's file: a picture would drop it unsaid.
    if (settings.printerEncodes && settings.write.format &&
        !formatInfo(*settings.write.format).printer) {
        Error error = pairError(ErrorCode::conflictingOptions, "printerEncodes", "format");
        error.given = formatInfo(*settings.write.format).name;
        return error;
    }
    const Series& series = settings.series;
    if (!settings.split) {
        const std::pair<const char*, bool> details[] = {
            {"series.fileId", !series.fileId.empty()},
            {"series.fileName", !series.fileName.empty()},
            {"series.sender", !series.sender.empty()},
            {"series.addressee", !series.addressee.empty()},
            {"series.timeStamp", series.timeStamp.has_value()},
            {"series.fileSize", series.fileSize},
            {"series.checksum", series.checksum},
        };
        for (const auto& [field, given] : details)
            if (given) return pairError(ErrorCode::missingOption, field, "split");
    }
    return std::nullopt;
}

}  // namespace barquill
