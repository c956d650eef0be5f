// SPDX-License-Identifier: MIT
// The public C++ and C interfaces with random options, render settings,
// settings given as text, and data: every call ends in a value or an error
// with its message, never a crash, and every symbol made draws and reads.
#include <cstdlib>
#include <string>

#include "barquill/barquill.h"
#include "barquill/barquill.hpp"

namespace {

// Takes numbers off the front of the fuzzer's bytes; zeros when used up.
struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    int take(int range) {
        if (size == 0) return 0;
        --size;
        return *data++ % range;
    }
    int signedTake(int low, int high) { return low + take(high - low + 1); }
};

const char* const charsets[] = {"",          "none",    "UTF-8",    "ISO-8859-2",
                                "Shift_JIS", "GB18030", "UTF-16BE", "klingon"};
const char* const settingNames[] = {"level",    "columns",   "rows",   "aspect", "margin",
                                    "xdim",     "dpi",       "fit",    "fg",     "page",
                                    "position", "timestamp", "file-id"};
const char* const settingValues[] = {"auto", "fill", "0",   "3",     "30", "91",
                                     "3:1",  "0.25", "300", "50x30", "A4", "1,2",
                                     "now",  "900",  "",    "-1",    "1e9"};

void require(bool condition) {
    if (!condition) std::abort();
}

void checkError(const barquill::Error& error) {
    require(error.code != barquill::ErrorCode::ok && !error.message.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    barquill::Options options;
    options.level = in.signedTake(-2, 9);
    options.columns = in.signedTake(-1, 31);
    options.rows = in.take(4) == 0 ? in.signedTake(0, 95) : 0;
    options.compact = in.take(2) == 1;
    options.charset = charsets[in.take(8)];
    options.eci = in.take(3) == 0 ? in.signedTake(-2, 1000) : barquill::noEci;
    options.compaction =
        in.take(3) == 0 ? barquill::Compaction::byte : barquill::Compaction::automatic;
    if (in.take(5) == 0)
        options.macro =
            barquill::Macro{.segmentIndex = in.signedTake(-1, 100000) * (in.take(2) ? 20 : 1),
                            .fileId = {in.signedTake(0, 1000)}};
    barquill::Render render;
    render.moduleWidth = in.signedTake(0, 70);
    render.rowHeight = in.signedTake(0, 20);
    render.quietZone = in.signedTake(-1, 40);
    render.dpi = in.take(2) ? in.signedTake(-1, 700) : 0;
    render.printerEncodes = in.take(2) == 1;
    const auto format = static_cast<barquill::Format>(in.take(8));

    barquill::Settings settings;
    for (int i = in.take(4); i > 0; --i)
        if (auto error = barquill::applySetting(settings, settingNames[in.take(13)],
                                                settingValues[in.take(17)]))
            checkError(*error);

    const std::string text(reinterpret_cast<const char*>(in.data), in.size);
    const auto symbol = barquill::encode(text, options);
    if (!symbol) {
        checkError(symbol.error());
    } else {
        require(symbol->rows() * symbol->columns() <= 928);
        const auto file = barquill::render(*symbol, format, render);
        if (!file) checkError(file.error());
        const auto image = barquill::toImage(*symbol, render, barquill::PixelFormat::mono1);
        if (!image) checkError(image.error());
        (void)barquill::checkLabel(barquill::Label{{*symbol}, render, {}});
    }
    if (!barquill::checkSettings(settings)) {
        const auto label = barquill::makeLabel(text, settings);
        if (!label) checkError(label.error());
        const auto explained = barquill::explain(text, settings);
        if (!explained) checkError(explained.error());
    }

    // The C interface with a structure of any size the fuzzer chooses.
    barquill_options c;
    barquill_options_init(&c);
    c.size = static_cast<std::uint32_t>(in.signedTake(0, sizeof c + 8));
    c.level = options.level;
    c.columns = options.columns;
    c.macro_checksum = in.signedTake(-2, 70000);
    barquill_symbol* made = nullptr;
    barquill_error error;
    if (barquill_encode(text.data(), text.size(), &c, &made, &error) == BARQUILL_OK) {
        std::uint8_t* bytes = nullptr;
        std::size_t length = 0;
        barquill_to_format(made, static_cast<barquill_format>(in.take(9)), nullptr, &bytes, &length,
                           nullptr);
        barquill_free(bytes);
        (void)barquill_warning_count(made, nullptr);
        barquill_symbol_free(made);
    } else {
        require(error.message[0] != '\0');
    }
    return 0;
}
