// SPDX-License-Identifier: MIT
// Verification passes exactly the symbols that read back as asked, and says
// which part differs otherwise.
#include "verify/verify.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"

namespace barquill::verify {
namespace {

using namespace std::string_literals;

struct Raster {
    int width = 0, height = 0;
    std::vector<std::uint8_t> grey;
};

// The symbol as the command line draws it: 2 x 4 pixels per module inside a
// 10-pixel quiet zone, bars `bar`, background `space`.
Raster draw(const encoder::SymbolJob& job, std::uint8_t bar = 0, std::uint8_t space = 255) {
    constexpr int kMargin = 10, kModule = 2, kRow = 4;
    Raster raster;
    raster.width = 2 * kMargin + job.width * kModule;
    raster.height = 2 * kMargin + job.rows * kRow;
    const auto stride = static_cast<std::size_t>(raster.width);
    raster.grey.assign(stride * static_cast<std::size_t>(raster.height), space);
    for (int row = 0; row < job.rows; ++row)
        for (int module = 0; module < job.width; ++module)
            if (job.rowBits[row][module] == '1')
                for (int y = 0; y < kRow; ++y)
                    for (int x = 0; x < kModule; ++x)
                        raster.grey[static_cast<std::size_t>(kMargin + row * kRow + y) * stride +
                                    static_cast<std::size_t>(kMargin + module * kModule + x)] = bar;
    return raster;
}

std::unique_ptr<encoder::SymbolJob> build(const std::string& data, bool compact = false) {
    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    if (compact) job->variant = encoder::SYMBOL_COMPACT;
    EXPECT_EQ(encoder::encodeSymbolBytes(
                  job.get(), reinterpret_cast<const unsigned char*>(data.data()), data.size()),
              encoder::STATUS_OK);
    return job;
}

Outcome check(const Raster& raster, const Expected& expected) {
    return verifyGrey(raster.grey.data(), raster.width, raster.height, raster.width, expected);
}

TEST(Verification, PassesWhatReadsBackAndNamesWhatDiffers) {
    ASSERT_TRUE(available());
    const std::string data = "LOT 4711\x00\x1e\xff end"s;
    const Raster full = draw(*build(data));
    const Raster compact = draw(*build(data, true));
    struct Case {
        const char* what;
        const Raster* raster;
        Expected expected;
        Mismatch mismatch;
    };
    const Case cases[] = {
        {"full", &full, {data, NO_ECI, {}}, Mismatch::None},
        {"compact", &compact, {data, NO_ECI, {}}, Mismatch::None},
        {"one byte differs",
         &full,
         {data.substr(0, data.size() - 1) + "E", NO_ECI, {}},
         Mismatch::Bytes},
        {"one byte short", &full, {data.substr(0, data.size() - 1), NO_ECI, {}}, Mismatch::Bytes},
        {"ECI asked, none read", &full, {data, 26, {}}, Mismatch::Eci},
        {"Macro asked, none read",
         &full,
         {data, NO_ECI, MacroFields{0, 2, "001002003"}},
         Mismatch::Macro},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = check(*c.raster, c.expected);
        EXPECT_EQ(outcome.mismatch, c.mismatch);
        EXPECT_EQ(outcome.read.bytes, data) << "the reading is reported either way";
    }
}

TEST(Verification, ARasterNoReaderCanSeeIsNotFound) {
    const auto job = build("low contrast");
    for (const auto& [bar, space] : {std::pair<int, int>{128, 127}, {0, 0}}) {
        const Raster raster =
            draw(*job, static_cast<std::uint8_t>(bar), static_cast<std::uint8_t>(space));
        EXPECT_EQ(check(raster, {"low contrast", NO_ECI, {}}).mismatch, Mismatch::NotFound);
    }
}

// The designator and control block the encoder writes are what the reader
// reports: the file id as three digits per codeword, the stated count.
TEST(Verification, ReadsBackTheEciAndMacroFieldsTheEncoderWrote) {
    const std::string data = "Prix: 12 \xe9";  // ISO-8859-1
    encoder::SymbolOptions options;
    options.eci = 3;
    encoder::MacroControl control;
    control.segmentIndex = 1;
    control.segmentCount = 3;
    control.fileId = {17, 899, 0};
    options.macro = control;
    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    ASSERT_EQ(
        encoder::encodeSymbolBytes(job.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   data.size(), options, nullptr),
        encoder::STATUS_OK);
    const Raster raster = draw(*job);
    const MacroFields fields = macroFields(1, 3, {17, 899, 0});
    EXPECT_EQ(fields.fileId, "017899000");
    struct Case {
        Expected expected;
        Mismatch mismatch;
    };
    const Case cases[] = {
        {{data, 3, fields}, Mismatch::None},
        {{data, 26, fields}, Mismatch::Eci},
        {{data, NO_ECI, fields}, Mismatch::Eci},
        {{data, 3, MacroFields{1, 3, "017899001"}}, Mismatch::Macro},
        {{data, 3, MacroFields{2, 3, "017899000"}}, Mismatch::Macro},
        {{data, 3, std::nullopt}, Mismatch::Macro},
    };
    for (const Case& c : cases) EXPECT_EQ(check(raster, c.expected).mismatch, c.mismatch);
}

TEST(Verification, ComparesBytesThenEciThenMacro) {
    const MacroFields macro{1, 3, "123456"};
    struct Case {
        Reading read;
        Expected expected;
        Mismatch mismatch;
    };
    const Case cases[] = {
        {{"a", 26, macro}, {"a", 26, macro}, Mismatch::None},
        {{"a", 26, macro}, {"b", 3, std::nullopt}, Mismatch::Bytes},
        {{"a", 26, macro}, {"a", 3, macro}, Mismatch::Eci},
        {{"a", NO_ECI, {}}, {"a", 3, {}}, Mismatch::Eci},
        {{"a", NO_ECI, {}}, {"a", 899, {}}, Mismatch::Eci},
        {{"a", NO_ECI, {}}, {"a", 900, {}}, Mismatch::None},  // not reported by the reader
        {{"a", 3, {}}, {"a", 811799, {}}, Mismatch::Eci},
        {{"a", 26, macro}, {"a", 26, MacroFields{1, -1, "123456"}}, Mismatch::None},
        {{"a", 26, macro}, {"a", 26, MacroFields{1, 4, "123456"}}, Mismatch::Macro},
        {{"a", 26, macro}, {"a", 26, MacroFields{2, 3, "123456"}}, Mismatch::Macro},
        {{"a", 26, macro}, {"a", 26, MacroFields{1, 3, "123457"}}, Mismatch::Macro},
        {{"a", 26, {}}, {"a", 26, macro}, Mismatch::Macro},
    };
    for (const Case& c : cases) EXPECT_EQ(compare(c.read, c.expected), c.mismatch);
}

}  // namespace
}  // namespace barquill::verify
