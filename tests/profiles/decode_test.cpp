// SPDX-License-Identifier: MIT
// Each profile's data encoded with the scheme's settings through the
// public interface and read back by an independent reader (zxing-cpp, as a
// black box): the same bytes, the level and the data columns asked for.

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <span>

#include "barquill/barquill.hpp"
#include "tests/profiles/profile_cases.h"

namespace barquill::profiles {
namespace {

constexpr int moduleWidth = 3;
constexpr int quietZone = 4;  // modules
// Start pattern, left and right row indicators and stop pattern, in modules.
constexpr int fullSymbolOverhead = 69;
constexpr int modulesPerColumn = 17;

struct Reading {
    std::string bytes;
    std::string level;
};

std::optional<Reading> read(const Symbol& symbol, int rowHeight) {
    const int width = (symbol.width() + 2 * quietZone) * moduleWidth;
    const int height = (symbol.rows() * rowHeight) + 2 * quietZone * moduleWidth;
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width * height), 255);
    for (int row = 0; row < symbol.rows(); ++row)
        for (int module = 0; module < symbol.width(); ++module) {
            if (!symbol.bar(row, module)) continue;
            for (int y = 0; y < rowHeight; ++y)
                for (int x = 0; x < moduleWidth; ++x) {
                    const int px = (quietZone + module) * moduleWidth + x;
                    const int py = quietZone * moduleWidth + row * rowHeight + y;
                    grey[static_cast<std::size_t>(py * width + px)] = 0;
                }
        }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(true);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid()) return std::nullopt;
    const auto& bytes = result.bytes();
    return Reading{std::string(bytes.begin(), bytes.end()), result.ecLevel()};
}

TEST(ProfileSymbols, DecodeToTheBuiltBytesWithTheSchemeSettings) {
    struct Case {
        const char* name;
        const char* profile;
        FieldValues fields;
        BuildChoices choices;
    };
    const FieldValues slip = {
        {"amount", "1.250,00"},  // refused: see below; replaced by the next
        {"amount", "1250,00"},
        {"payer_name",
         "\xC5\xBD"
         "eljko \xC4\x86ori\xC4\x87"},  // Željko Ćorić
        {"payer_place", "10000 Zagreb"},
        {"recipient_name", "Gradska pla\xC4\x8Dnica"},
        {"recipient_place", "21000 Split"},
        {"iban", "HR1210010051863000160"},
        {"model", "HR00"},
        {"reference", "123-456"},
        {"description",
         "\xC4\x90"
         "a\xC4\x8Dki dom"},
    };
    const Case cases[] = {
        {"HUB-3 in ISO-8859-2", "hub3", slip, {Hub3Charset::iso8859_2}},
        {"HUB-3 in UTF-8", "hub3", slip, {Hub3Charset::utf8}},
        {"HUB-3 in ASCII", "hub3", slip, {Hub3Charset::ascii}},
        {"AAMVA licence", "aamva", testing::with(testing::licence, {{"DL.DAD", "NONE"}}), {}},
        {"boarding pass", "bcbp", testing::pass, {}},
        {"tax stamp",
         "sii-cl",
         {{"data",
           "<TED version=\"1.0\"><DD><RE>97975000-5</RE><TD>33</TD><F>1</F>"
           "<RSR>Compa\xF1\xED"
           "a</RSR><MNT>119000</MNT></DD></TED>"}},
         {}},
        {"invoice", "aeat-es", {{"data", "NIF:B12345678|FAC:2024-001|IMP:121.00|\xE1\xE9"}}, {}},
    };
    // The slip's first amount would have been refused.
    ASSERT_FALSE(build(testing::profile("hub3"), {slip.front(), slip[2], slip[4], slip[6]}).ok());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto built = build(testing::profile(c.profile), c.fields, c.choices);
        ASSERT_TRUE(built.ok()) << describe(built.error());
        Options options;
        options.level = built->settings.level;
        options.columns = built->settings.columns;
        options.eci = built->eci;
        const std::string& data = built->bytes;
        const auto symbol = encode(
            std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()), options);
        ASSERT_TRUE(symbol.ok()) << symbol.error().message;
        const int rowHeight = moduleWidth * std::max(built->settings.rowHeightModules, 3);
        const auto reading = read(*symbol, rowHeight);
        ASSERT_TRUE(reading.has_value()) << "unreadable";
        EXPECT_EQ(reading->bytes, data);
        const int level = built->settings.level >= 0 ? built->settings.level : symbol->level();
        EXPECT_EQ(reading->level, std::to_string(level));
        const int columns = (symbol->width() - fullSymbolOverhead) / modulesPerColumn;
        if (built->settings.columns > 0) {
            EXPECT_EQ(columns, built->settings.columns);
        }
    }
}

}  // namespace
}  // namespace barquill::profiles
