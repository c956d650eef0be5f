// SPDX-License-Identifier: MIT
// The C++ interface: symbols decode to their data and failures come back
// as codes with the numbers behind them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <string>

#include "barquill/barquill.h"
#include "barquill/barquill.hpp"
#include "tests/cli/image_files.h"
#include "tests/support/pdf417_reader.h"

namespace barquill {
namespace {

using testing::Bytes;
using testing::toBytes;

std::string allByteValues() {
    std::string bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

std::optional<Bytes> decodePng(const Bytes& png) {
    const auto image = testing::readPng(std::string(png.begin(), png.end()));
    if (!image) return std::nullopt;
    return testing::readPdf417Grey(image->grey.data(), image->width, image->height, image->width);
}

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(Encode, SymbolsDecodeToTheirDataWithTheShapeAsked) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        int level;  // expected level used
        int rows;   // expected rows, 0 not checked
    };
    const Case cases[] = {
        {"text, automatic level", "Hello, World!", {}, 2, 0},
        {"every byte value", allByteValues(), {.level = 5}, 5, 0},
        {"digits, fixed columns", std::string(120, '7'), {.level = 3, .columns = 4}, 3, 0},
        {"compact", "COMPACT 0123456789", {.compact = true}, 2, 0},
        {"fixed rows", "twelve rows exactly", {.rows = 12}, 2, 12},
        {"fixed shape, level raised to fill it",
         "filled",
         {.columns = 4, .rows = 20, .fillLevel = true},
         5,
         20},
        {"macro segment",
         "first part",
         {.macro = Macro{.segmentIndex = 0, .fileId = {17, 42}, .segmentCount = 2}},
         2,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto symbol = encode(bytesOf(c.data), c.options);
        ASSERT_TRUE(symbol) << symbol.error().message;
        EXPECT_EQ(symbol->level(), c.level);
        if (c.rows > 0) {
            EXPECT_EQ(symbol->rows(), c.rows);
        }
        if (c.options.columns > 0) {
            EXPECT_EQ(symbol->columns(), c.options.columns);
        }
        EXPECT_EQ(symbol->compact(), c.options.compact);
        // Start, left indicator, data, right indicator, stop; compact drops
        // the right indicator and ends in a one-module bar.
        EXPECT_EQ(symbol->width(),
                  c.options.compact ? 17 * symbol->columns() + 35 : 17 * symbol->columns() + 69);
        EXPECT_EQ(symbol->modules().size(), static_cast<std::size_t>(symbol->rows()) *
                                                static_cast<std::size_t>(symbol->width()));
        EXPECT_GE(symbol->capacity(), symbol->dataCodewords());
        const auto png = toPng(*symbol);
        ASSERT_TRUE(png);
        EXPECT_EQ(decodePng(*png), toBytes(c.data));
    }
}

TEST(Encode, RefusesWithTheCodeTheFieldAndTheNumbers) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        ErrorCode code;
        const char* field;
        bool asText = false;  // through the UTF-8 text overload
    };
    const Case cases[] = {
        {"empty data", "", {}, ErrorCode::emptyData, ""},
        {"rows above 90", "x", {.rows = 91}, ErrorCode::invalidOption, "rows"},
        {"eci above its range", "x", {.eci = 900000}, ErrorCode::invalidOption, "eci"},
        {"aspect with fixed rows",
         "x",
         {.rows = 10, .aspect = 2},
         ErrorCode::conflictingOptions,
         "aspect"},
        {"unknown charset", "x", {.charset = "KLINGON"}, ErrorCode::invalidOption, "charset"},
        {"eci against the charset",
         "x",
         {.charset = "ISO-8859-2", .eci = 3},
         ErrorCode::invalidOption,
         "eci"},
        {"segment index",
         "x",
         {.macro = Macro{.segmentIndex = 99999, .fileId = {1}}},
         ErrorCode::invalidOption,
         "macro.segmentIndex"},
        {"file name not ASCII",
         "x",
         {.macro = Macro{.fileId = {1}, .fileName = "caf\xC3\xA9"}},
         ErrorCode::invalidOption,
         "macro.fileName"},
        {"text not UTF-8 for a named charset",
         "caf\xE9",
         {.charset = "ISO-8859-2"},
         ErrorCode::invalidText,
         "charset",
         true},
        {"character not in the charset",
         "\xE6\x9D\xB1",
         {.charset = "ISO-8859-1"},
         ErrorCode::invalidText,
         "charset",
         true},
        {"shape too small",
         std::string(200, 'a'),
         {.columns = 2, .rows = 3},
         ErrorCode::shapeDoesNotFit,
         ""},
        {"level above 8", "x", {.level = 9}, ErrorCode::invalidOption, "level"},
        {"level below automatic", "x", {.level = -2}, ErrorCode::invalidOption, "level"},
        {"columns above 30", "x", {.columns = 31}, ErrorCode::invalidOption, "columns"},
        {"negative columns", "x", {.columns = -1}, ErrorCode::invalidOption, "columns"},
        {"more than any symbol holds", std::string(2000, '\xB5'), {}, ErrorCode::dataTooLong, ""},
        {"longer than the encoder reads", std::string(100000, 'a'), {}, ErrorCode::dataTooLong, ""},
        {"too many rows of one column",
         std::string(300, 'a'),
         {.level = 4, .columns = 1},
         ErrorCode::columnsDoNotFit,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result =
            c.asText ? encode(c.data, c.options) : encode(bytesOf(c.data), c.options);
        ASSERT_FALSE(result);
        const Error& e = result.error();
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.field, c.field);
        EXPECT_FALSE(e.message.empty());
        if (c.code == ErrorCode::invalidOption) {
            EXPECT_NE(e.message.find(c.field), std::string::npos);
        }
        if (c.code == ErrorCode::dataTooLong || c.code == ErrorCode::columnsDoNotFit ||
            c.code == ErrorCode::shapeDoesNotFit) {
            EXPECT_GT(e.needed, e.available);
        }
    }
}

// Text is UTF-8: not ASCII, it goes with ECI 26 so that readers know; a
// named set converts it and writes that set's ECI instead.
TEST(Encode, TextCarriesItsCharacterSet) {
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e";  // "Grüße"
    const auto utf8 = encode(text);
    const auto explicitUtf8 = encode(bytesOf(text), {.eci = 26});
    ASSERT_TRUE(utf8 && explicitUtf8);
    EXPECT_EQ(*utf8, *explicitUtf8);
    const auto latin1 = encode(text, {.charset = "ISO-8859-1"});
    const auto latin1Bytes = encode(bytesOf("Gr\xFC\xDF"
                                            "e"),
                                    {.charset = "ISO-8859-1"});
    ASSERT_TRUE(latin1 && latin1Bytes);
    EXPECT_EQ(*latin1, *latin1Bytes);
    EXPECT_NE(*latin1, *utf8);
    // ASCII text is written without an ECI, as bytes would be, and so is
    // text that is not UTF-8: it can only be bytes in some other set.
    EXPECT_EQ(*encode("plain"), *encode(bytesOf("plain")));
    EXPECT_EQ(*encode("caf\xE9"), *encode(bytesOf("caf\xE9")));
}

TEST(Text, Utf8ValidityAndLatin1TextAreTheLibrarys) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"plain", 0},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x99\x82", 0},
        {"\xC0\x80", 1},          // an overlong NUL
        {"a\xED\xA0\x80", 2},     // a surrogate
        {"\xF4\x90\x80\x80", 1},  // past U+10FFFF
        {"ab\xE2\x82", 3},        // cut short
        {"ok\xFF", 3},
    };
    for (const auto& [text, position] : cases) EXPECT_EQ(firstInvalidUtf8(text), position) << text;
    EXPECT_EQ(utf8FromLatin1("Gr\xFC\xDF"
                             "e \xA9"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xC2\xA9");
    EXPECT_EQ(firstInvalidUtf8(utf8FromLatin1(std::string(1, '\xFF'))), 0u);
}

std::vector<std::string> rowStrings(const Symbol& symbol) {
    std::vector<std::string> rows;
    for (int row = 0; row < symbol.rows(); ++row) {
        std::string line;
        for (int module = 0; module < symbol.width(); ++module)
            line += symbol.bar(row, module) ? '1' : '0';
        rows.push_back(line);
    }
    return rows;
}

TEST(EncodeSeries, SplitsTheDataOverSymbolsOfOneSizeThatReadBackAsOne) {
    std::string data;
    for (int i = 0; data.size() < 1500; ++i) data += "line " + std::to_string(i * 7919) + "; ";
    for (int segments : {0, 4}) {
        SCOPED_TRACE(segments);
        const auto series = encodeSeries(bytesOf(data), {.level = 3, .columns = 8},
                                         {.segments = segments, .fileName = "parts.txt"});
        ASSERT_TRUE(series) << series.error().message;
        ASSERT_GE(series->size(), 2u);
        if (segments > 0) {
            EXPECT_EQ(series->size(), static_cast<std::size_t>(segments));
        }
        std::vector<std::vector<std::string>> symbols;
        for (const Symbol& s : *series) {
            EXPECT_EQ(s.rows(), series->front().rows());
            EXPECT_EQ(s.columns(), 8);
            EXPECT_EQ(s.level(), 3);
            symbols.push_back(rowStrings(s));
        }
        const auto merged = testing::readPdf417Series(symbols);
        ASSERT_TRUE(merged);
        EXPECT_EQ(merged->bytes, toBytes(data));
        EXPECT_EQ(merged->sequenceSize, static_cast<int>(series->size()));
    }
    const auto refused = encodeSeries("x", {}, {.segments = 100000});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().field, "series.segments");
}

TEST(Encode, AFailureLeavesNothingBehindForTheNextSymbol) {
    const auto fresh = encode("after the failure");
    ASSERT_TRUE(fresh);
    ASSERT_FALSE(encode(std::string(300, 'a'), {.level = 4, .columns = 1}));
    const auto again = encode("after the failure");
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *fresh);
}

TEST(Render, RefusesOutOfRangeGeometryNamingTheField) {
    const auto symbol = encode("geometry");
    ASSERT_TRUE(symbol);
    struct Case {
        Render render;
        const char* field;
    };
    const Case cases[] = {
        {{.moduleWidth = 0}, "moduleWidth"},
        {{.moduleWidth = 65}, "moduleWidth"},
        {{.rowHeight = 0}, "rowHeight"},
        {{.quietZone = -1}, "quietZone"},
        {{.dpi = 10001}, "dpi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        for (Format format : {Format::png, Format::gif, Format::bmp, Format::svg}) {
            const auto file = barquill::render(*symbol, format, c.render);
            ASSERT_FALSE(file);
            EXPECT_EQ(file.error().code, ErrorCode::invalidRender);
            EXPECT_EQ(file.error().field, c.field);
        }
    }
}

// Every pixel is its module's colour, at widths and margins that put module
// edges at every bit position of a byte.
TEST(Render, PaintsEachModuleAsItsRectangleOfPixels) {
    const auto symbol = encode("pixel for pixel", {.columns = 3});
    ASSERT_TRUE(symbol);
    for (int moduleWidth : {1, 3, 8, 11})
        for (int quietZone : {0, 5}) {
            SCOPED_TRACE(std::to_string(moduleWidth) + " wide, margin " +
                         std::to_string(quietZone));
            const Render render{.moduleWidth = moduleWidth, .rowHeight = 2, .quietZone = quietZone};
            const auto image = testing::readPng([&] {
                auto png = *toPng(*symbol, render);
                return std::string(png.begin(), png.end());
            }());
            ASSERT_TRUE(image);
            ASSERT_EQ(image->width, symbol->width() * moduleWidth + 2 * quietZone);
            ASSERT_EQ(image->height, symbol->rows() * 2 + 2 * quietZone);
            int wrong = 0;
            for (int y = 0; y < image->height; ++y)
                for (int x = 0; x < image->width; ++x) {
                    const int row = (y - quietZone) / 2, module = (x - quietZone) / moduleWidth;
                    const bool inside = y >= quietZone && x >= quietZone && row < symbol->rows() &&
                                        module < symbol->width();
                    const bool bar = inside && symbol->bar(row, module);
                    wrong += (image->at(x, y) == 0) != bar;
                }
            EXPECT_EQ(wrong, 0);
        }
}

TEST(Save, WritesTheFormatTheNameAsksForAndKeepsTheOldFileOnFailure) {
    const auto symbol = encode("saved");
    ASSERT_TRUE(symbol);
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "/label.Svg";
    const auto saved = save(*symbol, path);
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(*saved, Format::svg);
    EXPECT_EQ(testing::readFile(path), *toSvg(*symbol));

    // A refused geometry writes nothing over the existing file.
    ASSERT_FALSE(save(*symbol, path, {.moduleWidth = 0}));
    EXPECT_EQ(testing::readFile(path), *toSvg(*symbol));

    const auto missing = save(*symbol, dir + "/no such folder/label.png");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::writeFailed);
    EXPECT_EQ(missing.error().value, ENOENT);
}

// Every way into a file agrees: a file the user may not write is refused
// and kept, unless replacing it is asked for.
TEST(Save, EveryWayOfSavingRefusesAReadOnlyFileAlike) {
    const auto symbol = encode("read-only");
    ASSERT_TRUE(symbol);
    barquill_symbol* cSymbol = nullptr;
    ASSERT_EQ(barquill_encode_text("read-only", nullptr, &cSymbol, nullptr), BARQUILL_OK);
    const std::unique_ptr<barquill_symbol, void (*)(barquill_symbol*)> cOwned(cSymbol,
                                                                              barquill_symbol_free);
    struct Way {
        const char* name;
        std::function<ErrorCode(const std::string&)> save;
    };
    const Way ways[] = {
        {"save(symbol, path)",
         [&](const std::string& path) {
             const auto saved = save(*symbol, path);
             return saved ? ErrorCode::ok : saved.error().code;
         }},
        {"save(symbol, path, render)",
         [&](const std::string& path) {
             const auto saved = save(*symbol, path, Render{.moduleWidth = 3});
             return saved ? ErrorCode::ok : saved.error().code;
         }},
        {"save(symbol, path, render, WriteOptions{})",
         [&](const std::string& path) {
             const auto saved = save(*symbol, path, Render{}, WriteOptions{});
             return saved ? ErrorCode::ok : saved.error().code;
         }},
        {"barquill_save",
         [&](const std::string& path) {
             barquill_error error;
             return static_cast<ErrorCode>(barquill_save(cSymbol, path.c_str(), nullptr, &error));
         }},
    };
    const std::string path = ::testing::TempDir() + "/read-only.png";
    const std::string kept = "a file nobody may write";
    for (const Way& way : ways) {
        ::unlink(path.c_str());
        std::ofstream(path, std::ios::binary) << kept;
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(way.save(path), ErrorCode::readOnly) << way.name;
        EXPECT_EQ(testing::readFile(path), kept) << way.name;
    }
    // Asked for, the replacement goes ahead.
    const auto replaced = save(*symbol, path, {}, WriteOptions{.replaceReadOnly = true});
    ASSERT_TRUE(replaced) << replaced.error().message;
    const Bytes png = *toPng(*symbol);
    EXPECT_EQ(testing::readFile(path), std::string(png.begin(), png.end()));
    ::unlink(path.c_str());
}

}  // namespace
}  // namespace barquill

namespace barquill {
namespace {

// The old names of a module's proportions still work until the next major
// version, and mean what moduleProportions means.
TEST(Encode, TheOldNamesOfTheModuleProportionsStillShapeTheSymbol) {
    const std::string data(200, 'x');
    Options renamed{.aspect = 4};
    renamed.moduleProportions = {1, 9};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Options old{.aspect = 4, .moduleWidth = 1, .rowHeight = 9};
#pragma GCC diagnostic pop
    const auto a = encode(data, renamed), b = encode(data, old),
               plain = encode(data, {.aspect = 4});
    ASSERT_TRUE(a && b && plain);
    EXPECT_EQ(a->columns(), b->columns());
    EXPECT_NE(a->columns(), plain->columns()) << "tall modules need other columns for 4:1";
}

}  // namespace
}  // namespace barquill
