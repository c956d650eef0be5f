// SPDX-License-Identifier: MIT
// The command line's words for what the library refused or built.
#include "cli/messages.h"

#include <gtest/gtest.h>

namespace barquill::cli {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

TEST(EncodeFailures, SayHowManyCodewordsAreNeededAndWhatToChange) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        std::vector<const char*> messages;
    };
    const Case cases[] = {
        {"empty", "", {}, {"nothing to encode"}},
        {"beyond any symbol",
         std::string(2000, '\x80'),
         {.level = 8},
         {"error: input string too long (PDF error 2)", "the data needs 1668 data codewords",
          "level 8 adds 512", "2181 codewords, more than the 928 one symbol holds at any level",
          "split it over several symbols with --macro"}},
        {"a lower level fits",
         std::string(1500, 'x'),
         {.level = 8},
         {"more than the 928 one symbol holds: choose a lower level (-l)", "--macro"}},
        {"too many rows for the columns",
         std::string(400, 'x'),
         {.level = 4, .columns = 1},
         {"error: data too long for specified number of columns (PDF error 4)",
          "more than 2 columns hold", "give -c 3 to 30, or -c auto"}},
        {"a fixed size too small",
         std::string(500, 'x'),
         {.level = 2, .columns = 9, .rows = 20},
         {"error: data does not fit the specified rows and columns",
          "needs 13 columns at 20 rows, or 29 rows at 9 columns"}},
        {"longer than the encoder reads",
         std::string(8000, '7'),
         {},
         {"8000 bytes are more than any symbol holds"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto symbol =
            encode(std::span(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size()),
                   c.options);
        ASSERT_FALSE(symbol);
        const std::string all = joined(failureLines(symbol.error(), c.data.size()));
        for (const char* message : c.messages)
            EXPECT_NE(all.find(message), std::string::npos) << all;
    }
}

// Advice names only shapes a symbol can have: at most 30 columns and 90 rows.
TEST(EncodeFailures, ShapeAdviceStaysWithinTheLimits) {
    struct Case {
        std::size_t letters;
        std::vector<const char*> present, absent;
    };
    const Case cases[] = {
        // 160 codewords: 32 columns at 5 rows (too many), 80 rows at 2 columns.
        {300, {"needs 80 rows at 2 columns"}, {"columns at 5 rows"}},
        // 210 codewords: neither 42 columns nor 105 rows is a symbol.
        {400, {"give more rows or columns, or a lower level"}, {"columns at 5 rows", "rows at 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letters);
        const auto symbol =
            encode(std::string(c.letters, 'x'), {.level = 2, .columns = 2, .rows = 5});
        ASSERT_FALSE(symbol);
        const std::string all = joined(failureLines(symbol.error(), c.letters));
        for (const char* part : c.present) EXPECT_NE(all.find(part), std::string::npos) << all;
        for (const char* part : c.absent) EXPECT_EQ(all.find(part), std::string::npos) << all;
    }
}

TEST(VerboseDescription, ReportsTheSymbolAsBuilt) {
    Settings settings;
    settings.options = {.level = 3, .columns = 4};
    settings.size = {.moduleWidth = 3, .rowHeight = 9, .moduleMm = std::nullopt, .dpi = 300};
    const auto label = makeLabel(std::string(100, 'A'), settings);
    ASSERT_TRUE(label);
    const Symbol& symbol = label->symbols.front();
    // Upper-case letters go two to a text codeword.
    EXPECT_EQ(symbol.dataCodewords(), 50);
    const std::string all = joined(describeLabel(*label));
    const PictureSize size = pictureSize(symbol, label->render);
    for (const std::string& part :
         {std::to_string(symbol.rows()) + " rows", std::string("4 columns"), std::string("level 3"),
          "50 of " + std::to_string(symbol.capacity()) + " data codewords",
          std::to_string(symbol.rows()) + " of 90 rows",
          std::to_string(size.width) + " x " + std::to_string(size.height) +
              " pixels, modules of 3 x 9",
          std::string(" mm at 300 dpi")})
        EXPECT_NE(all.find(part), std::string::npos) << part << "\n" << all;
}

}  // namespace
}  // namespace barquill::cli
