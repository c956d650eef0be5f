// SPDX-License-Identifier: MIT
// Scan checks of a label: the facts of each symbol and of its drawing go to
// the one table of checks; a series is checked once for what its symbols
// share and once as a whole.

#include <algorithm>

#include "barquill/label.hpp"
#include "checks/scan_checks.h"
#include "encoder/charset.h"
#include "lib/internal.h"
#include "profiles/profiles.h"

namespace barquill {

namespace {

// The scan checks' kinds come first, in their order; a profile's follow.
static_assert(static_cast<int>(WarningKind::longSeries) ==
              static_cast<int>(checks::WarningKind::LongSeries));
constexpr int scanKinds = static_cast<int>(WarningKind::longSeries) + 1;
static_assert(static_cast<int>(WarningKind::transliterated) == scanKinds);
static_assert(static_cast<int>(WarningKind::rowsTooLow) ==
              scanKinds + static_cast<int>(profiles::WarningCode::rowsTooLow));
constexpr int allKinds = static_cast<int>(WarningKind::rowsTooLow) + 1;
static_assert(minReliableDots == checks::MIN_MODULE_DOTS);

// Bytes beyond ASCII that no ECI explains leave readers to guess a
// character set: worth telling for text, not for binary data, which no
// character set reads, nor for a scheme's data, whose set the scheme fixes.
bool unexplainedText(const Symbol& symbol, DataKind kind) {
    if (symbol.eci() != noEci || kind == DataKind::scheme) return false;
    const std::string_view data(reinterpret_cast<const char*>(symbol.data().data()),
                                symbol.data().size());
    if (encoder::isAscii(data)) return false;
    return kind == DataKind::text || encoder::firstInvalidUtf8(data) == std::string_view::npos;
}

checks::SymbolFacts factsOf(const Symbol& symbol, int seriesSymbols, DataKind kind) {
    checks::SymbolFacts facts;
    facts.compact = symbol.compact();
    facts.level = symbol.level();
    facts.dataCodewords = symbol.dataCodewords();
    facts.dataColumns = symbol.columns();
    facts.seriesSymbols = seriesSymbols;
    facts.nonAsciiWithoutEci = unexplainedText(symbol, kind);
    return facts;
}

checks::PrintFacts factsOf(const Render& render) {
    checks::PrintFacts facts;
    facts.moduleWidthPx = render.moduleWidth;
    facts.rowHeightPx = render.rowHeight;
    facts.quietZonePx = render.quietZone;
    facts.dpi = render.dpi;
    facts.bar = {render.bar.red, render.bar.green, render.bar.blue};
    facts.space = {render.space.red, render.space.green, render.space.blue};
    return facts;
}

Warning warningOf(const checks::Warning& w) {
    Warning warning;
    warning.id = warningId(static_cast<WarningKind>(w.kind));
    warning.message = w.reason;
    warning.change = w.change;
    warning.value = w.value;
    warning.limit = w.limit;
    return warning;
}

}  // namespace

std::string_view warningId(WarningKind kind) {
    const int k = static_cast<int>(kind);
    if (k >= 0 && k < scanKinds) return checks::warningId(static_cast<checks::WarningKind>(k));
    switch (kind) {
        case WarningKind::transliterated:
            return "transliterated";
        case WarningKind::dataLooksUtf8:
            return "data-looks-utf8";
        case WarningKind::moduleTooNarrow:
            return "module-too-narrow";
        case WarningKind::moduleTooWide:
            return "module-too-wide";
        case WarningKind::rowsTooLow:
            return "rows-too-low";
        default:
            return "unknown";
    }
}

std::optional<WarningKind> warningKind(std::string_view id) {
    for (int k = 0; k < allKinds; ++k)
        if (warningId(static_cast<WarningKind>(k)) == id) return static_cast<WarningKind>(k);
    return std::nullopt;
}

double contrastRatio(Rgb a, Rgb b) {
    return checks::contrastRatio({a.red, a.green, a.blue}, {b.red, b.green, b.blue});
}

std::optional<Warning> thinModuleWarning(int moduleDots, int dpi) {
    checks::PrintFacts print;
    print.moduleWidthPx = moduleDots;
    print.rowHeightPx = checks::MIN_ROW_HEIGHT_MODULES * moduleDots;
    print.quietZonePx = checks::MIN_QUIET_ZONE_MODULES * moduleDots;
    print.dpi = dpi;
    for (const checks::Warning& found : checks::check({}, print))
        if (found.kind == checks::WarningKind::ThinModule) return warningOf(found);
    return std::nullopt;
}

std::vector<Warning> checkLabel(const Label& label) {
    return checkLabel(label, DataKind::text);
}

std::vector<Warning> checkLabel(const Label& label, DataKind kind) {
    std::vector<Warning> warnings;
    const int count = static_cast<int>(label.symbols.size());
    for (int i = 0; i < count; ++i) {
        for (const checks::Warning& found :
             checks::check(factsOf(label.symbols[static_cast<std::size_t>(i)], count, kind),
                           factsOf(label.render))) {
            Warning warning = warningOf(found);
            // What the symbols of a series share is said once.
            const bool known = std::any_of(warnings.begin(), warnings.end(),
                                           [&](const Warning& w) { return w.id == warning.id; });
            if (known) continue;
            if (count > 1 && (found.kind == checks::WarningKind::LowLevel ||
                              found.kind == checks::WarningKind::NoEci))
                warning.symbol = i;
            warnings.push_back(std::move(warning));
        }
    }
    return warnings;
}

}  // namespace barquill
