// SPDX-License-Identifier: MIT
// Rules the front ends take from the library instead of writing their own:
// the shapes a refusal advises, and the kinds behind the stable warning ids.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "barquill/barquill.hpp"

namespace barquill {
namespace {

TEST(FittingShapes, AdviseOnlyShapesASymbolCanHave) {
    const struct {
        const char* name;
        ShapeNumbers refused;
        std::vector<Shape> advised;
    } cases[] = {
        {"both ways",
         {.rows = 10, .columns = 4, .columnsAtRows = 6, .rowsAtColumns = 15},
         {{6, 10}, {4, 15}}},
        {"rows only asked", {.rows = 10, .columnsAtRows = 6, .rowsAtColumns = 0}, {{6, 10}}},
        {"more columns than a symbol has",
         {.rows = 10, .columns = 4, .columnsAtRows = 31, .rowsAtColumns = 15},
         {{4, 15}}},
        {"more rows than a symbol has",
         {.rows = 10, .columns = 4, .columnsAtRows = 6, .rowsAtColumns = 91},
         {{6, 10}}},
        {"no columns at all",
         {.rows = 90, .columns = 4, .columnsAtRows = 0, .rowsAtColumns = 2},
         {}},
        {"past the codewords of a symbol",
         {.rows = 90, .columns = 11, .columnsAtRows = 11, .rowsAtColumns = 85},
         {}},
        {"as many codewords as a symbol holds",
         {.rows = 29, .columns = 30, .columnsAtRows = 32, .rowsAtColumns = 30},
         {{30, 30}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fittingShapes(c.refused), c.advised);
    }
    EXPECT_TRUE(isSymbolShape({30, 30}));   // 900 codewords
    EXPECT_FALSE(isSymbolShape({30, 31}));  // 930
    EXPECT_FALSE(isSymbolShape({1, 2}));
}

// A front end words a warning by its kind: every id the library gives has
// one, and each kind's id leads back to it.
TEST(WarningKinds, EveryIdTheLibraryGivesHasItsKind) {
    std::set<std::string> ids;
    for (int k = 0; k <= static_cast<int>(WarningKind::rowsTooLow); ++k) {
        const auto kind = static_cast<WarningKind>(k);
        const std::string id(warningId(kind));
        EXPECT_EQ(warningKind(id), kind) << id;
        EXPECT_TRUE(ids.insert(id).second) << id << " named twice";
    }
    EXPECT_EQ(warningKind("no-such-warning"), std::nullopt);
    // The ids scripts rely on, each at its kind.
    const std::pair<WarningKind, const char*> stable[] = {
        {WarningKind::compact, "compact"},
        {WarningKind::lowLevel, "low-level"},
        {WarningKind::wide, "wide"},
        {WarningKind::thinModule, "thin-module"},
        {WarningKind::lowRows, "low-rows"},
        {WarningKind::quietZone, "quiet-zone"},
        {WarningKind::contrast, "contrast"},
        {WarningKind::lightBars, "light-bars"},
        {WarningKind::noEci, "no-eci"},
        {WarningKind::longSeries, "long-series"},
        {WarningKind::transliterated, "transliterated"},
        {WarningKind::dataLooksUtf8, "data-looks-utf8"},
        {WarningKind::moduleTooNarrow, "module-too-narrow"},
        {WarningKind::moduleTooWide, "module-too-wide"},
        {WarningKind::rowsTooLow, "rows-too-low"},
    };
    for (const auto& [kind, id] : stable) EXPECT_EQ(warningId(kind), id);

    // A label that draws every scan warning it can at once.
    Settings settings;
    ASSERT_FALSE(applySetting(settings, "compact", "true"));
    ASSERT_FALSE(applySetting(settings, "level", "0"));
    ASSERT_FALSE(applySetting(settings, "columns", "25"));
    ASSERT_FALSE(applySetting(settings, "xdim", "0.1"));
    ASSERT_FALSE(applySetting(settings, "dpi", "300"));
    ASSERT_FALSE(applySetting(settings, "row-height", "1"));
    ASSERT_FALSE(applySetting(settings, "margin", "0"));
    settings.bar = {200, 200, 200};
    const Result<Label> label = makeLabel(std::string(300, 'x') + "\xC3\xA9", settings);
    ASSERT_TRUE(label) << label.error().message;
    ASSERT_GE(label->warnings.size(), 5u);
    for (const Warning& w : label->warnings) EXPECT_TRUE(warningKind(w.id).has_value()) << w.id;
}

// Scripts match the ids the command line's page lists: every id the library
// gives is there, and none it does not give.
TEST(WarningKinds, TheDocumentedTableListsEveryId) {
    std::ifstream file(BARQUILL_COMMAND_LINE_DOC);
    ASSERT_TRUE(file) << BARQUILL_COMMAND_LINE_DOC;
    std::stringstream readme;
    readme << file.rdbuf();
    const std::string text = readme.str();
    const std::size_t section = text.find("### SCAN WARNINGS");
    ASSERT_NE(section, std::string::npos);
    const std::size_t end = text.find("\n### ", section + 1);
    const std::string table = text.substr(section, end - section);
    // The first column of each row: `compact`, or `contrast`, `light-bars`.
    std::set<std::string> listed;
    const std::regex row(R"(\n\| ([^|]*)\|)"), id("`([a-z0-9-]+)`");
    for (auto r = std::sregex_iterator(table.begin(), table.end(), row);
         r != std::sregex_iterator(); ++r) {
        const std::string cell = r->str(1);
        for (auto i = std::sregex_iterator(cell.begin(), cell.end(), id);
             i != std::sregex_iterator(); ++i)
            listed.insert(i->str(1));
    }
    for (int k = 0; k <= static_cast<int>(WarningKind::rowsTooLow); ++k) {
        const std::string given(warningId(static_cast<WarningKind>(k)));
        EXPECT_TRUE(listed.count(given)) << given << " is not in docs/command-line.md";
    }
    // A profile's setting kept against its scheme warns with an id of its own.
    for (const std::string& name : listed)
        EXPECT_TRUE(warningKind(name) || name == "profile-rule") << name << " is not given";
}

}  // namespace
}  // namespace barquill
