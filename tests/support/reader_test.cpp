// SPDX-License-Identifier: MIT
// The tests' reader: every round-trip test trusts it, so the order of its
// two readers is proven here with the symbols that tell them apart.
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barquill/barquill.hpp"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {
namespace {

struct Drawn {
    std::vector<std::string> rows;
    std::vector<std::uint8_t> grey;
    int width = 0;
    int height = 0;
};

// The symbol's rows as the reader helpers take them, and drawn the way
// readPdf417Rows draws them, for the readers on their own.
Drawn draw(const std::string& data, const Options& options, int moduleWidth, int rowHeight) {
    Drawn drawn;
    const auto symbol = encode(data, options);
    if (!symbol) return drawn;
    constexpr int quietZone = 2;
    drawn.width = (symbol->width() + 2 * quietZone) * moduleWidth;
    drawn.height = symbol->rows() * rowHeight + 2 * quietZone * moduleWidth;
    drawn.grey.assign(static_cast<std::size_t>(drawn.width * drawn.height), 255);
    for (int r = 0; r < symbol->rows(); ++r) {
        std::string row;
        for (int m = 0; m < symbol->width(); ++m) {
            row += symbol->bar(r, m) ? '1' : '0';
            if (!symbol->bar(r, m)) continue;
            for (int y = 0; y < rowHeight; ++y)
                for (int x = 0; x < moduleWidth; ++x)
                    drawn.grey[static_cast<std::size_t>(
                        (quietZone * moduleWidth + r * rowHeight + y) * drawn.width +
                        (quietZone + m) * moduleWidth + x)] = 0;
        }
        drawn.rows.push_back(row);
    }
    return drawn;
}

// What one of zxing-cpp's two readers makes of the picture: the bytes, or
// nothing when it finds no symbol.
std::optional<std::string> readAlone(const Drawn& drawn, bool pure) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(pure);
    hints.setTryRotate(false);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(drawn.grey.data(), drawn.width, drawn.height, ZXing::ImageFormat::Lum),
        hints);
    if (!result.isValid()) return std::nullopt;
    return std::string(result.bytes().begin(), result.bytes().end());
}

TEST(TestReader, TrustsTheSearchingReaderAndFallsBackToThePureOne) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        int moduleWidth;
        int rowHeight;
    };
    const Case cases[] = {
        // One pixel per module: the pure reader reads other data out of
        // it, the searching one reads it right, so the searching reader
        // must have the first word.
        {"a compact symbol the pure reader misreads",
         "j<4uyx)NlI)|'{wW718SC)9k U9B](lI PO]%}d_9*0",
         {.level = 0, .columns = 3, .compact = true},
         1,
         1},
        // Nine pixels high: only the pure reader finds it, so it must stay
        // as the fallback.
        {"a symbol too low for the searching reader", "A", {.columns = 4}, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn drawn = draw(c.data, c.options, c.moduleWidth, c.rowHeight);
        ASSERT_FALSE(drawn.rows.empty());
        // The fixture still tells the two readers apart: exactly one of
        // them gets the data.
        const auto searched = readAlone(drawn, false), pure = readAlone(drawn, true);
        ASSERT_NE(searched == c.data, pure == c.data)
            << "searching: " << searched.value_or("(none)")
            << ", pure: " << pure.value_or("(none)");

        EXPECT_EQ(readPdf417Rows(drawn.rows, c.moduleWidth, c.rowHeight, 2), toBytes(c.data));
        const auto details = readPdf417Details(drawn.rows, c.moduleWidth, c.rowHeight);
        ASSERT_TRUE(details);
        EXPECT_EQ(details->bytes, toBytes(c.data));
        const auto grey = readPdf417GreyDetails({drawn.grey.data(), drawn.width, drawn.height});
        ASSERT_TRUE(grey);
        EXPECT_EQ(grey->bytes, toBytes(c.data));
    }
}

}  // namespace
}  // namespace barquill::testing
