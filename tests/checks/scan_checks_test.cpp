// SPDX-License-Identifier: MIT
// Each scan check on both sides of its threshold, and the numbers its
// warning gives. Contrast ratios were worked out apart from the code, from
// the WCAG formula.

#include "checks/scan_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace barquill::checks;

namespace {

// A symbol and a screen picture that raise no warning.
SymbolFacts fineSymbol() {
    SymbolFacts s;
    s.level = 2;
    s.dataCodewords = 10;
    s.dataColumns = 3;
    return s;
}

PrintFacts printed(int dpi, int moduleWidth, int rowHeight, int quietZone) {
    PrintFacts p;
    p.dpi = dpi;
    p.moduleWidthPx = moduleWidth;
    p.rowHeightPx = rowHeight;
    p.quietZonePx = quietZone;
    return p;
}

PrintFacts coloured(Rgb bar, Rgb space) {
    PrintFacts p;
    p.bar = bar;
    p.space = space;
    return p;
}

template <class Change>
SymbolFacts symbolWith(Change change) {
    SymbolFacts s = fineSymbol();
    change(s);
    return s;
}

SymbolFacts level(int level, int dataCodewords) {
    return symbolWith([&](SymbolFacts& s) {
        s.level = level;
        s.dataCodewords = dataCodewords;
    });
}

std::vector<std::string> idsOf(const std::vector<Warning>& warnings) {
    std::vector<std::string> ids;
    for (const Warning& w : warnings) ids.push_back(w.id);
    return ids;
}

using Ids = std::vector<std::string>;

TEST(ScanChecks, EachCheckFiresPastItsThresholdAndNotAtIt) {
    const Rgb black{0, 0, 0};
    const Rgb white{255, 255, 255};
    const struct {
        const char* name;
        SymbolFacts symbol;
        PrintFacts print;
        Ids ids;
    } cases[] = {
        {"defaults on screen", fineSymbol(), PrintFacts{}, {}},

        {"full form", symbolWith([](SymbolFacts& s) { s.compact = false; }), PrintFacts{}, {}},
        {"compact form",
         symbolWith([](SymbolFacts& s) { s.compact = true; }),
         PrintFacts{},
         {"compact"}},

        // The standard's recommended minimum: 2 to 40, 3 to 160, 4 to 320, 5 above.
        {"level 1 for 40", level(1, 40), PrintFacts{}, {"low-level"}},
        {"level 2 for 40", level(2, 40), PrintFacts{}, {}},
        {"level 2 for 41", level(2, 41), PrintFacts{}, {"low-level"}},
        {"level 3 for 160", level(3, 160), PrintFacts{}, {}},
        {"level 3 for 161", level(3, 161), PrintFacts{}, {"low-level"}},
        {"level 4 for 320", level(4, 320), PrintFacts{}, {}},
        {"level 4 for 321", level(4, 321), PrintFacts{}, {"low-level"}},
        // The encoder chooses 6 and 7 for the largest data by itself; the
        // recommendation stops at 5.
        {"level 5 for 900", level(5, 900), PrintFacts{}, {}},
        {"level 8 for 1", level(8, 1), PrintFacts{}, {}},

        {"20 columns", symbolWith([](SymbolFacts& s) { s.dataColumns = 20; }), PrintFacts{}, {}},
        {"21 columns",
         symbolWith([](SymbolFacts& s) { s.dataColumns = 21; }),
         PrintFacts{},
         {"wide"}},

        // Module width and row height count only in print.
        {"1-pixel modules on screen", fineSymbol(), printed(0, 1, 2, 2), {}},
        {"2-dot modules in print", fineSymbol(), printed(203, 2, 6, 4), {"thin-module"}},
        {"3-dot modules in print", fineSymbol(), printed(203, 3, 9, 6), {}},
        {"rows of 2 modules on screen", fineSymbol(), printed(0, 2, 4, 4), {}},
        {"rows of 8 dots for 3-dot modules", fineSymbol(), printed(300, 3, 8, 6), {"low-rows"}},
        {"rows of 9 dots for 3-dot modules", fineSymbol(), printed(300, 3, 9, 6), {}},

        {"quiet zone of 1.5 modules", fineSymbol(), printed(0, 2, 4, 3), {"quiet-zone"}},
        {"quiet zone of 2 modules", fineSymbol(), printed(0, 2, 4, 4), {}},
        {"quiet zone of 1 module in print", fineSymbol(), printed(600, 4, 12, 4), {"quiet-zone"}},

        // Grey 148 on white is 3.03:1, grey 149 is 2.995:1; black on grey 90
        // is 3.04:1, on grey 89 2.998:1. A background darker than grey 128
        // passes the ratio yet reads as bars to a reader that sees in grey.
        {"grey 148 bars", fineSymbol(), coloured({148, 148, 148}, white), {}},
        {"grey 149 bars", fineSymbol(), coloured({149, 149, 149}, white), {"contrast"}},
        {"grey 90 spaces", fineSymbol(), coloured(black, {90, 90, 90}), {"contrast"}},
        {"grey 89 spaces", fineSymbol(), coloured(black, {89, 89, 89}), {"contrast"}},
        {"grey 127 spaces", fineSymbol(), coloured(black, {127, 127, 127}), {"contrast"}},
        {"grey 128 spaces", fineSymbol(), coloured(black, {128, 128, 128}), {}},
        {"red spaces", fineSymbol(), coloured(black, {255, 0, 0}), {"contrast"}},
        {"red bars", fineSymbol(), coloured({255, 0, 0}, white), {}},
        {"white on black", fineSymbol(), coloured(white, black), {"light-bars"}},
        {"one colour", fineSymbol(), coloured({128, 0, 0}, {128, 0, 0}), {"contrast"}},
        {"light grey bars on white", fineSymbol(), coloured({250, 250, 250}, white), {"contrast"}},
        {"yellow bars on blue", fineSymbol(), coloured({255, 255, 0}, {0, 0, 255}), {"light-bars"}},

        {"non-ASCII with an ECI", fineSymbol(), PrintFacts{}, {}},
        {"non-ASCII without an ECI",
         symbolWith([](SymbolFacts& s) { s.nonAsciiWithoutEci = true; }),
         PrintFacts{},
         {"no-eci"}},

        {"series of 20",
         symbolWith([](SymbolFacts& s) { s.seriesSymbols = 20; }),
         PrintFacts{},
         {}},
        {"series of 21",
         symbolWith([](SymbolFacts& s) { s.seriesSymbols = 21; }),
         PrintFacts{},
         {"long-series"}},

        {"several at once",
         symbolWith([](SymbolFacts& s) {
             s.compact = true;
             s.level = 0;
             s.dataColumns = 30;
             s.seriesSymbols = 40;
         }),
         printed(203, 1, 2, 0),
         {"compact", "low-level", "wide", "thin-module", "low-rows", "quiet-zone", "long-series"}},
    };
    for (const auto& c : cases) EXPECT_EQ(idsOf(check(c.symbol, c.print)), c.ids) << c.name;
}

TEST(ScanChecks, WarningsCarryTheirNumbersAsValuesAndInText) {
    const Rgb white{255, 255, 255};
    const struct {
        const char* name;
        SymbolFacts symbol;
        PrintFacts print;
        const char* id;
        double value;
        double limit;
        std::vector<std::string> inReason;
        std::string inChange;
    } cases[] = {
        {"low level",
         level(2, 161),
         PrintFacts{},
         "low-level",
         2,
         4,
         {"level 2", "minimum 4", "161 data codewords"},
         "raise the level to 4"},
        {"wide",
         symbolWith([](SymbolFacts& s) { s.dataColumns = 25; }),
         PrintFacts{},
         "wide",
         25,
         20,
         {"25 data columns"},
         "at most 20 columns"},
        {"thin module",
         fineSymbol(),
         printed(203, 2, 6, 4),
         "thin-module",
         2,
         3,
         {"2 printer dots", "0.25 mm at 203 dpi"},
         "at least 3 dots"},
        {"low rows",
         fineSymbol(),
         printed(300, 3, 7, 6),
         "low-rows",
         7,
         9,
         {"7 dots high"},
         "at least 9 dots high"},
        {"quiet zone",
         fineSymbol(),
         printed(0, 3, 6, 1),
         "quiet-zone",
         1,
         6,
         {"1 pixel,"},
         "at least 6 pixels"},
        // 2.995:1 must not read as 3:1 in the text.
        {"contrast",
         fineSymbol(),
         coloured({149, 149, 149}, white),
         "contrast",
         2.9953,
         3,
         {"2.99:1", "below 3:1"},
         "darker bars"},
        {"long series",
         symbolWith([](SymbolFacts& s) { s.seriesSymbols = 64; }),
         PrintFacts{},
         "long-series",
         64,
         20,
         {"64 symbols"},
         "at most 20"},
    };
    for (const auto& c : cases) {
        const std::vector<Warning> warnings = check(c.symbol, c.print);
        ASSERT_EQ(warnings.size(), 1u) << c.name;
        const Warning& w = warnings[0];
        EXPECT_STREQ(w.id, c.id) << c.name;
        EXPECT_STREQ(w.id, warningId(w.kind)) << c.name;
        EXPECT_NEAR(w.value, c.value, 1e-4) << c.name;
        EXPECT_DOUBLE_EQ(w.limit, c.limit) << c.name;
        for (const std::string& part : c.inReason)
            EXPECT_NE(w.reason.find(part), std::string::npos) << c.name << ": " << w.reason;
        EXPECT_NE(w.change.find(c.inChange), std::string::npos) << c.name << ": " << w.change;
        EXPECT_EQ(w.reason.find('\n'), std::string::npos) << c.name;
    }
}

TEST(Contrast, FollowsTheWcagFormula) {
    EXPECT_NEAR(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
    EXPECT_DOUBLE_EQ(contrastRatio({12, 200, 7}, {12, 200, 7}), 1.0);
    // Pure primaries: the luminance weights of red, green and blue.
    EXPECT_NEAR(relativeLuminance({255, 0, 0}), 0.2126, 1e-12);
    EXPECT_NEAR(relativeLuminance({0, 255, 0}), 0.7152, 1e-12);
    EXPECT_NEAR(relativeLuminance({0, 0, 255}), 0.0722, 1e-12);
    EXPECT_NEAR(contrastRatio({255, 0, 0}, {255, 255, 255}), 3.99848, 1e-5);
    EXPECT_NEAR(contrastRatio({149, 149, 149}, {255, 255, 255}), 2.99535, 1e-5);
}

}  // namespace
