// SPDX-License-Identifier: MIT
// The scan checks, one function each, in the order of WarningKind. Numbers
// in the texts go through std::to_chars, so no locale changes them.

#include "checks/scan_checks.h"

#include <cmath>
#include <utility>

#include "base/number_text.h"
#include "base/units.h"
#include "encoder/error_correction_level.h"

namespace barquill::checks {

namespace {

std::string plural(double count, const char* one, const char* many) {
    return numberText(count) + ' ' + (count == 1 ? one : many);
}

Warning warning(WarningKind kind, double value, double limit, std::string reason,
                std::string change) {
    return Warning{kind, warningId(kind), value, limit, std::move(reason), std::move(change)};
}

void checkCompact(const SymbolFacts& symbol, std::vector<Warning>& out) {
    if (!symbol.compact) return;
    out.push_back(warning(WarningKind::Compact, 1, 0,
                          "compact form: phone cameras and many scanners do not read "
                          "symbols without the right row indicators",
                          "use the full form"));
}

void checkLevel(const SymbolFacts& symbol, std::vector<Warning>& out) {
    const int minimum = encoder::recommendedMinimumLevel(symbol.dataCodewords);
    if (symbol.level >= minimum) return;
    out.push_back(warning(WarningKind::LowLevel, symbol.level, minimum,
                          "error-correction level " + numberText(symbol.level) +
                              " is below the recommended minimum " + numberText(minimum) + " for " +
                              plural(symbol.dataCodewords, "data codeword", "data codewords"),
                          "raise the level to " + numberText(minimum)));
}

void checkColumns(const SymbolFacts& symbol, std::vector<Warning>& out) {
    if (symbol.dataColumns <= MAX_COMFORTABLE_COLUMNS) return;
    out.push_back(warning(WarningKind::Wide, symbol.dataColumns, MAX_COMFORTABLE_COLUMNS,
                          numberText(symbol.dataColumns) + " data columns: more than " +
                              numberText(MAX_COMFORTABLE_COLUMNS) +
                              " make a symbol wider than many scanners take in at once",
                          "use at most " + numberText(MAX_COMFORTABLE_COLUMNS) + " columns"));
}

// Printers spread ink or heat by a fraction of a dot, so a bar of one or
// two dots prints noticeably too wide or too narrow.
void checkModuleWidth(const PrintFacts& print, std::vector<Warning>& out) {
    if (print.dpi <= 0 || print.moduleWidthPx >= MIN_MODULE_DOTS) return;
    const double millimetres = units::mmFromDots(print.moduleWidthPx, print.dpi);
    out.push_back(warning(
        WarningKind::ThinModule, print.moduleWidthPx, MIN_MODULE_DOTS,
        "a module is " + plural(print.moduleWidthPx, "printer dot", "printer dots") + " wide (" +
            numberText(millimetres) + " mm at " + numberText(print.dpi) + " dpi): below " +
            numberText(MIN_MODULE_DOTS) + " dots print spread makes bars uneven",
        "make modules at least " + numberText(MIN_MODULE_DOTS) + " dots wide"));
}

// Only for print: on screen the default module of 2 x 4 pixels, rows two
// module widths high, reads well, while print blur and a hand-held
// scanner's tilt need taller rows.
void checkRowHeight(const PrintFacts& print, std::vector<Warning>& out) {
    const int minimum = MIN_ROW_HEIGHT_MODULES * print.moduleWidthPx;
    if (print.dpi <= 0 || print.rowHeightPx >= minimum) return;
    out.push_back(warning(WarningKind::LowRows, print.rowHeightPx, minimum,
                          "rows are " + plural(print.rowHeightPx, "dot", "dots") + " high, below " +
                              numberText(MIN_ROW_HEIGHT_MODULES) + " module widths (" +
                              numberText(minimum) + " dots)",
                          "make rows at least " + numberText(minimum) + " dots high"));
}

void checkQuietZone(const PrintFacts& print, std::vector<Warning>& out) {
    const int minimum = MIN_QUIET_ZONE_MODULES * print.moduleWidthPx;
    if (print.quietZonePx >= minimum) return;
    out.push_back(warning(WarningKind::QuietZone, print.quietZonePx, minimum,
                          "the quiet zone is " + plural(print.quietZonePx, "pixel", "pixels") +
                              ", below " + numberText(MIN_QUIET_ZONE_MODULES) + " module widths (" +
                              numberText(minimum) +
                              " pixels): readers need clear space to find the symbol's edges",
                          "make the quiet zone at least " + numberText(minimum) + " pixels"));
}

void checkColours(const PrintFacts& print, std::vector<Warning>& out) {
    const double ratio = contrastRatio(print.bar, print.space);
    // Rounded down, so that a ratio just below the limit never reads as it.
    const double shown = std::floor(ratio * 100) / 100;
    if (ratio < MIN_CONTRAST_RATIO)
        out.push_back(warning(WarningKind::Contrast, ratio, MIN_CONTRAST_RATIO,
                              "bars and spaces have a contrast ratio of " + numberText(shown) +
                                  ":1, below " + numberText(MIN_CONTRAST_RATIO) + ":1",
                              "use darker bars or lighter spaces"));
    const double bar = relativeLuminance(print.bar);
    const double space = relativeLuminance(print.space);
    if (bar > space) {
        out.push_back(warning(WarningKind::LightBars, bar, space,
                              "bars are lighter than spaces: many readers look only for dark "
                              "bars on a light ground",
                              "swap the bar and space colours"));
        return;
    }
    // A colourful background can pass the contrast ratio and still be
    // darker than mid-grey, where a reader that sees in grey finds no bars.
    const std::uint8_t grey = greyLevel(print.space);
    if (ratio >= MIN_CONTRAST_RATIO && grey < MIN_BACKGROUND_GREY)
        out.push_back(warning(WarningKind::Contrast, grey, MIN_BACKGROUND_GREY,
                              "the background is grey " + numberText(grey) +
                                  " of 255 to a reader that sees in grey, darker than the " +
                                  numberText(MIN_BACKGROUND_GREY) + " where bars begin",
                              "use a background lighter than mid-grey"));
}

void checkEci(const SymbolFacts& symbol, std::vector<Warning>& out) {
    if (!symbol.nonAsciiWithoutEci) return;
    out.push_back(warning(WarningKind::NoEci, 1, 0,
                          "the text goes beyond ASCII and no ECI tells readers its character "
                          "set, so each reader guesses",
                          "name the character set (ECI 26 for UTF-8)"));
}

void checkSeries(const SymbolFacts& symbol, std::vector<Warning>& out) {
    if (symbol.seriesSymbols <= MAX_COMFORTABLE_SERIES) return;
    out.push_back(warning(WarningKind::LongSeries, symbol.seriesSymbols, MAX_COMFORTABLE_SERIES,
                          "the series has " + numberText(symbol.seriesSymbols) +
                              " symbols: scanning more than " + numberText(MAX_COMFORTABLE_SERIES) +
                              " is slow and one is easily missed",
                          "use larger symbols or less data so that at most " +
                              numberText(MAX_COMFORTABLE_SERIES) + " are needed"));
}

}  // namespace

const char* warningId(WarningKind kind) {
    switch (kind) {
        case WarningKind::Compact:
            return "compact";
        case WarningKind::LowLevel:
            return "low-level";
        case WarningKind::Wide:
            return "wide";
        case WarningKind::ThinModule:
            return "thin-module";
        case WarningKind::LowRows:
            return "low-rows";
        case WarningKind::QuietZone:
            return "quiet-zone";
        case WarningKind::Contrast:
            return "contrast";
        case WarningKind::LightBars:
            return "light-bars";
        case WarningKind::NoEci:
            return "no-eci";
        case WarningKind::LongSeries:
            return "long-series";
    }
    return "unknown";
}

std::vector<Warning> check(const SymbolFacts& symbol, const PrintFacts& print) {
    std::vector<Warning> warnings;
    checkCompact(symbol, warnings);
    checkLevel(symbol, warnings);
    checkColumns(symbol, warnings);
    checkModuleWidth(print, warnings);
    checkRowHeight(print, warnings);
    checkQuietZone(print, warnings);
    checkColours(print, warnings);
    checkEci(symbol, warnings);
    checkSeries(symbol, warnings);
    return warnings;
}

}  // namespace barquill::checks
