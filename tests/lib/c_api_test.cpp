// SPDX-License-Identifier: MIT
// The C interface: statuses and error records instead of exceptions, sized
// structures from older headers, and buffers the caller frees.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "barquill/barquill.h"
#include "barquill/barquill.hpp"

extern "C" const char* statusTextFromC(int code);
extern "C" barquill_status toFormatFromC(const barquill_symbol* symbol, int format,
                                         std::uint8_t** bytes, std::size_t* length,
                                         barquill_error* error);

namespace {

struct SymbolDeleter {
    void operator()(barquill_symbol* s) const { barquill_symbol_free(s); }
};
using SymbolPtr = std::unique_ptr<barquill_symbol, SymbolDeleter>;

SymbolPtr encodeText(const std::string& text, const barquill_options* options,
                     barquill_error* error, barquill_status* status) {
    barquill_symbol* symbol = nullptr;
    *status = barquill_encode(text.data(), text.size(), options, &symbol, error);
    return SymbolPtr(symbol);
}

TEST(CApi, EncodesAndWritesWhatTheCppInterfaceWrites) {
    barquill_options options;
    barquill_options_init(&options);
    options.level = 3;
    options.columns = 4;
    barquill_status status;
    barquill_error error;
    const auto symbol = encodeText("C and C++ agree", &options, &error, &status);
    ASSERT_EQ(status, BARQUILL_OK);
    EXPECT_EQ(error.code, BARQUILL_OK);

    const auto expected = barquill::encode("C and C++ agree", {.level = 3, .columns = 4});
    ASSERT_TRUE(expected);
    EXPECT_EQ(barquill_symbol_rows(symbol.get()), expected->rows());
    EXPECT_EQ(barquill_symbol_columns(symbol.get()), 4);
    EXPECT_EQ(barquill_symbol_level(symbol.get()), 3);
    ASSERT_EQ(barquill_symbol_width(symbol.get()), expected->width());
    EXPECT_EQ(0, std::memcmp(barquill_symbol_modules(symbol.get()), expected->modules().data(),
                             expected->modules().size()));

    barquill_render render;
    barquill_render_init(&render);
    render.module_width = 3;
    render.bar_color = 0x000080;  // navy
    const barquill::Render same{.moduleWidth = 3, .bar = {0, 0, 128}};
    uint8_t* png = nullptr;
    size_t size = 0;
    ASSERT_EQ(barquill_to_png(symbol.get(), &render, &png, &size, nullptr), BARQUILL_OK);
    const auto pngExpected = barquill::toPng(*expected, same);
    EXPECT_EQ(std::vector<uint8_t>(png, png + size), *pngExpected);
    barquill_free(png);

    char* svg = nullptr;
    ASSERT_EQ(barquill_to_svg(symbol.get(), &render, &svg, &size, nullptr), BARQUILL_OK);
    EXPECT_EQ(std::string(svg), *barquill::toSvg(*expected, same));
    EXPECT_EQ(std::strlen(svg), size);
    barquill_free(svg);
}

TEST(CApi, ReportsFailuresAsStatusesWithDetails) {
    barquill_options options;
    barquill_options_init(&options);
    barquill_status status;
    barquill_error error;

    options.columns = 31;
    EXPECT_FALSE(encodeText("x", &options, &error, &status));
    EXPECT_EQ(status, BARQUILL_INVALID_OPTION);
    EXPECT_STREQ(error.field, "columns");
    EXPECT_EQ(error.value, 31);
    EXPECT_EQ(error.maximum, 30);

    options.columns = 1;
    options.level = 4;
    EXPECT_FALSE(encodeText(std::string(300, 'a'), &options, &error, &status));
    EXPECT_EQ(status, BARQUILL_COLUMNS_DO_NOT_FIT);
    EXPECT_GT(error.needed, error.available);
    EXPECT_GT(std::strlen(error.message), 0u);

    EXPECT_FALSE(encodeText("", nullptr, &error, &status));
    EXPECT_EQ(status, BARQUILL_EMPTY_DATA);

    // Null pointers and structures of an unknown size are refused, not read.
    EXPECT_EQ(barquill_encode("x", 1, nullptr, nullptr, &error), BARQUILL_INVALID_ARGUMENT);
    barquill_symbol* symbol = nullptr;
    EXPECT_EQ(barquill_encode(nullptr, 5, nullptr, &symbol, &error), BARQUILL_INVALID_ARGUMENT);
    options.size = sizeof options + 4;
    EXPECT_EQ(barquill_encode("x", 1, &options, &symbol, &error), BARQUILL_INVALID_ARGUMENT);
    EXPECT_EQ(symbol, nullptr);
    uint8_t* bytes = nullptr;
    size_t size = 0;
    EXPECT_EQ(barquill_to_png(nullptr, nullptr, &bytes, &size, nullptr), BARQUILL_INVALID_ARGUMENT);

    barquill_render render;
    barquill_render_init(&render);
    render.row_height = 0;
    const auto built = encodeText("x", nullptr, nullptr, &status);
    EXPECT_EQ(barquill_to_png(built.get(), &render, &bytes, &size, &error),
              BARQUILL_INVALID_RENDER);
    EXPECT_STREQ(error.field, "rowHeight");
    EXPECT_EQ(bytes, nullptr);
}

TEST(CApi, AnOlderShorterOptionsStructureGetsDefaultsForTheRest) {
    barquill_options options;
    barquill_options_init(&options);
    options.level = 6;
    options.columns = 29;  // beyond the short structure: not read
    options.size = offsetof(barquill_options, columns);
    barquill_status status;
    const auto symbol = encodeText("older caller", &options, nullptr, &status);
    ASSERT_EQ(status, BARQUILL_OK);
    EXPECT_EQ(barquill_symbol_level(symbol.get()), 6);
    EXPECT_NE(barquill_symbol_columns(symbol.get()), 29);
}

TEST(CApi, PassesShapeCharsetAndMacroFields) {
    barquill_options options;
    barquill_options_init(&options);
    options.rows = 15;
    options.charset = "ISO-8859-1";
    const int32_t fileId[] = {17, 42};
    options.macro = 1;
    options.macro_segment_index = 1;
    options.macro_segment_count = 2;
    options.macro_last_segment = 1;
    options.macro_file_id = fileId;
    options.macro_file_id_count = 2;
    options.macro_file_name = "report.txt";
    barquill_symbol* symbol = nullptr;
    barquill_error error;
    ASSERT_EQ(barquill_encode_text("Gr\xC3\xBC\xC3\x9F"
                                   "e",
                                   &options, &symbol, &error),
              BARQUILL_OK)
        << error.message;
    const SymbolPtr owned(symbol);
    const auto expected = barquill::encode(
        "Gr\xC3\xBC\xC3\x9F"
        "e",
        {.rows = 15,
         .charset = "ISO-8859-1",
         .macro = barquill::Macro{.segmentIndex = 1,
                                  .fileId = {17, 42},
                                  .lastSegment = true,
                                  .segmentCount = 2,
                                  .fileName = "report.txt"}});
    ASSERT_TRUE(expected);
    EXPECT_EQ(barquill_symbol_rows(symbol), 15);
    ASSERT_EQ(barquill_symbol_width(symbol), expected->width());
    EXPECT_EQ(0, std::memcmp(barquill_symbol_modules(symbol), expected->modules().data(),
                             expected->modules().size()));

    options.macro_sender = "\x01";
    EXPECT_EQ(barquill_encode_text("x", &options, &symbol, &error), BARQUILL_INVALID_OPTION);
    EXPECT_STREQ(error.field, "macro.sender");
    options.macro_sender = nullptr;
    // A checksum outside 16 bits is an option out of range, named as such.
    options.macro_checksum = 70000;
    EXPECT_EQ(barquill_encode_text("x", &options, &symbol, &error), BARQUILL_INVALID_OPTION);
    EXPECT_STREQ(error.field, "macro.checksum");
    EXPECT_EQ(error.value, 70000);
}

TEST(CApi, NamesFormatsAndStatusesAndItsVersion) {
    EXPECT_EQ(barquill_format_from_name("label.PNG"), BARQUILL_FORMAT_PNG);
    EXPECT_EQ(barquill_format_from_name("dir.svg/label"), BARQUILL_FORMAT_BMP);
    EXPECT_EQ(barquill_format_from_name(nullptr), BARQUILL_FORMAT_BMP);
    EXPECT_STREQ(barquill_version(), BARQUILL_VERSION_STRING);
    // Codes in the table's gaps, and one far outside it as only a C caller can pass.
    for (const int unnamed : {3, 7, 26})
        EXPECT_STREQ(barquill_status_text(static_cast<barquill_status>(unnamed)), "unknown status")
            << unnamed;
    EXPECT_STREQ(statusTextFromC(99), "unknown status");
    // One table of texts for both interfaces.
    for (int code : {0, 2, 10, 17, 21, 30})
        EXPECT_EQ(barquill_status_text(static_cast<barquill_status>(code)),
                  barquill::errorText(static_cast<barquill::ErrorCode>(code)));
    EXPECT_EQ(barquill_format_from_name("label.pdf"), BARQUILL_FORMAT_PDF);
}

TEST(CApi, TheLastErrorTellsTheWholeFailureToTheSizeTheCallerKnows) {
    barquill_options options;
    barquill_options_init(&options);
    options.charset = "ISO-8859-1";
    barquill_symbol* symbol = nullptr;
    barquill_error error;
    // A character ISO-8859-1 lacks: barquill_error has no room for it or for
    // the character set that holds it.
    ASSERT_EQ(barquill_encode_text("Gda\xC5\x84sk", &options, &symbol, &error),
              BARQUILL_INVALID_TEXT);
    barquill_error_info info;
    barquill_error_info_init(&info);
    ASSERT_EQ(barquill_last_error(&info), BARQUILL_OK);
    EXPECT_EQ(info.size, sizeof info);
    EXPECT_EQ(info.code, BARQUILL_INVALID_TEXT);
    EXPECT_EQ(info.value, error.value);
    EXPECT_STREQ(info.message, error.message);
    EXPECT_STREQ(info.character, "\xC5\x84");
    EXPECT_STRNE(info.suggestion, "");

    // A caller built against an older, shorter structure: the library fills
    // what it knows of and never writes past it.
    unsigned char older[sizeof(barquill_error_info)];
    std::memset(older, 0x5A, sizeof older);
    const std::uint32_t olderSize = offsetof(barquill_error_info, other);
    std::memcpy(older, &olderSize, sizeof olderSize);
    ASSERT_EQ(barquill_last_error(reinterpret_cast<barquill_error_info*>(older)), BARQUILL_OK);
    barquill_error_info seen;
    std::memcpy(&seen, older, sizeof seen);
    EXPECT_EQ(seen.code, BARQUILL_INVALID_TEXT);
    EXPECT_STREQ(seen.message, error.message);
    for (std::size_t i = olderSize; i < sizeof older; ++i)
        ASSERT_EQ(older[i], 0x5A) << "byte " << i << " of a structure of " << olderSize;

    info.size = sizeof info + 8;
    EXPECT_EQ(barquill_last_error(&info), BARQUILL_INVALID_ARGUMENT);
    info.size = 0;
    EXPECT_EQ(barquill_last_error(&info), BARQUILL_INVALID_ARGUMENT);
    EXPECT_EQ(barquill_last_error(nullptr), BARQUILL_INVALID_ARGUMENT);

    // Another thread's calls are its own; this thread's next success clears it.
    std::thread([] {
        barquill_symbol* other = nullptr;
        EXPECT_EQ(barquill_encode_text("", nullptr, &other, nullptr), BARQUILL_EMPTY_DATA);
    }).join();
    barquill_error_info_init(&info);
    ASSERT_EQ(barquill_last_error(&info), BARQUILL_OK);
    EXPECT_EQ(info.code, BARQUILL_INVALID_TEXT);
    ASSERT_EQ(barquill_encode_text("ok", nullptr, &symbol, nullptr), BARQUILL_OK);
    barquill_symbol_free(symbol);
    ASSERT_EQ(barquill_last_error(&info), BARQUILL_OK);
    EXPECT_EQ(info.code, BARQUILL_OK);
}

TEST(CApi, CountsAndReadsTheScanWarningsAndTakesByteCompaction) {
    barquill_options options;
    barquill_options_init(&options);
    options.compact = 1;
    options.compaction = 1;
    barquill_symbol* symbol = nullptr;
    ASSERT_EQ(barquill_encode_text("12345678901234567890", &options, &symbol, nullptr),
              BARQUILL_OK);
    // All digits as bytes: 20 bytes take more codewords than numeric compaction's 8.
    EXPECT_GT(barquill_symbol_data_codewords(symbol), 16);
    ASSERT_EQ(barquill_warning_count(symbol, nullptr), 1u);
    barquill_warning warning;
    warning.size = sizeof warning;
    ASSERT_EQ(barquill_warning_at(symbol, nullptr, 0, &warning), BARQUILL_OK);
    EXPECT_STREQ(warning.id, "compact");
    EXPECT_GT(std::strlen(warning.change), 0u);
    EXPECT_EQ(barquill_warning_at(symbol, nullptr, 1, &warning), BARQUILL_INVALID_ARGUMENT);
    EXPECT_NE(std::string(barquill_status_text(BARQUILL_INVALID_ARGUMENT)).find("out of its range"),
              std::string::npos);
    barquill_symbol_free(symbol);
}

TEST(CApi, AFormatOutOfRangeIsNamedWithItsRange) {
    barquill_symbol* symbol = nullptr;
    ASSERT_EQ(barquill_encode_text("FORMAT", nullptr, &symbol, nullptr), BARQUILL_OK);
    // Any int a C caller may pass, beyond the enumeration's range too.
    for (const int format : {42, -1, 1 << 20}) {
        std::uint8_t* bytes = nullptr;
        std::size_t length = 0;
        barquill_error error;
        EXPECT_EQ(toFormatFromC(symbol, format, &bytes, &length, &error),
                  BARQUILL_INVALID_ARGUMENT);
        EXPECT_STREQ(error.field, "format");
        EXPECT_EQ(error.value, format);
        EXPECT_EQ(error.maximum, BARQUILL_FORMAT_ESCPOS);
        EXPECT_NE(std::string(error.message)
                      .find("format " + std::to_string(format) + " is out of range 0 to"),
                  std::string::npos)
            << error.message;
        EXPECT_EQ(bytes, nullptr);
    }
    barquill_symbol_free(symbol);
}

}  // namespace
