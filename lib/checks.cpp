// SPDX-License-Identifier: MIT
// Scan checks of a label: the facts of each symbol and of its drawing go to
// the one table of checks; a series is checked once for what its symbols
// share and once as a whole.

#include <algorithm>

#include "barquill/label.hpp"
#include "checks/scan_checks.h"
#include "lib/internal.h"

namespace barquill {

namespace {

bool beyondAscii(std::span<const std::uint8_t> data) {
    return std::any_of(data.begin(), data.end(), [](std::uint8_t b) { return b >= 0x80; });
}

checks::SymbolFacts factsOf(const Symbol& symbol, int seriesSymbols) {
    checks::SymbolFacts facts;
    facts.compact = symbol.compact();
    facts.level = symbol.level();
    facts.dataCodewords = symbol.dataCodewords();
    facts.dataColumns = symbol.columns();
    facts.seriesSymbols = seriesSymbols;
    facts.nonAsciiWithoutEci = symbol.eci() == noEci && beyondAscii(symbol.data());
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
    warning.id = w.id;
    warning.message = w.reason;
    warning.change = w.change;
    warning.value = w.value;
    warning.limit = w.limit;
    return warning;
}

}  // namespace

std::vector<Warning> checkLabel(const Label& label) {
    std::vector<Warning> warnings;
    const int count = static_cast<int>(label.symbols.size());
    for (int i = 0; i < count; ++i) {
        for (const checks::Warning& found :
             checks::check(factsOf(label.symbols[static_cast<std::size_t>(i)], count),
                           factsOf(label.render))) {
            Warning warning = warningOf(found);
            // What the symbols of a series share is said once.
            const bool known = std::any_of(warnings.begin(), warnings.end(),
                                           [&](const Warning& w) { return w.id == warning.id; });
            if (known) continue;
            if (count > 1 && (warning.id == "low-level" || warning.id == "no-eci"))
                warning.symbol = i;
            warnings.push_back(std::move(warning));
        }
    }
    return warnings;
}

}  // namespace barquill
