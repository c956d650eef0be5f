// SPDX-License-Identifier: MIT
// From data to symbols in one call: every front end's way, so each rule
// (escapes, the character set, a series, print sizing) lives here once.

#include "barquill/label.hpp"

#include "barquill/text.hpp"
#include "barquill/verify.hpp"
#include "lib/internal.h"

namespace barquill {

namespace {

Result<std::vector<Symbol>> encodeData(std::string_view data, bool isText, const Options& options) {
    auto one = isText ? encode(data, options) : encode(bytesOf(data), options);
    if (!one) return one.error();
    return std::vector<Symbol>{std::move(one).value()};
}

bool namesFields(const Series& series) {
    return !series.fileId.empty() || !series.fileName.empty() || !series.sender.empty() ||
           !series.addressee.empty() || series.timeStamp || series.fileSize || series.checksum;
}

Result<std::vector<Symbol>> encodeAll(std::string_view data, bool isText, const Settings& settings,
                                      const Options& options) {
    if (!settings.split) return encodeData(data, isText, options);
    auto series = isText ? encodeSeries(data, options, settings.series)
                         : encodeSeries(bytesOf(data), options, settings.series);
    if (!series) return series.error();
    // Data that fits one symbol needs no series, unless a count or a field
    // of the control block was asked for: a series of one keeps them.
    if (series->size() == 1 && settings.series.segments == 0 && !namesFields(settings.series))
        return encodeData(data, isText, options);
    return series;
}

}  // namespace

Result<Label> makeLabelOf(std::string_view given, DataKind kind, const Settings& settings) {
    const bool isText = kind == DataKind::text;
    if (auto error = checkSettings(settings)) return *error;
    std::string data(given);
    if (settings.escapes) {
        auto decoded = decodeEscapes(data);
        if (!decoded) return decoded.error();
        data = std::move(decoded).value();
    }
    if (settings.stripNewline && !data.empty() && data.back() == '\n') {
        data.pop_back();
        if (!data.empty() && data.back() == '\r') data.pop_back();
    }

    auto sized = sizeModules(settings.size);
    if (!sized) return sized.error();
    Options options = settings.options;
    // The aspect ratio is of the printed symbol: the module's own proportions count.
    options.moduleProportions = {sized->size.moduleWidth, sized->size.rowHeight};
    if (settings.fit && options.rows == 0 && options.aspect == 0 && options.columns == 0) {
        // A label area with no shape asked for: a symbol of the label's proportions.
        options.aspect = settings.fit->widthMm / settings.fit->heightMm;
        options.moduleProportions = {1, printedRowModules};
    }

    auto symbols = encodeAll(data, isText, settings, options);
    if (!symbols) return symbols.error();
    Label label;
    label.symbols = std::move(symbols).value();
    ModuleSize size = sized->size;
    if (settings.fit) {
        // One module size for the whole series: its symbols share their shape.
        const Symbol& first = label.symbols.front();
        auto fitted = fitToLabel(first.width(), first.rows(), settings.quietZone, *settings.fit,
                                 *settings.size.dpi);
        if (!fitted) return fitted.error();
        size = *fitted;
    }
    label.render =
        Render{size.moduleWidth, size.rowHeight, settings.quietZone, settings.bar,
               settings.space,   size.dpi,       settings.page,      settings.printerEncodes};
    label.warnings = checkLabel(label, kind);
    if (settings.verify)
        if (auto error = verifyLabel(label)) return *error;
    return label;
}

Result<Label> makeLabel(std::span<const std::uint8_t> data, const Settings& settings) {
    return makeLabelOf({reinterpret_cast<const char*>(data.data()), data.size()}, DataKind::bytes,
                       settings);
}

Result<Label> makeLabel(std::string_view text, const Settings& settings) {
    return makeLabelOf(text, DataKind::text, settings);
}

std::optional<Error> verifyLabel(const Label& label) {
    for (std::size_t i = 0; i < label.symbols.size(); ++i)
        if (auto error = verifySymbol(label.symbols[i], label.render)) {
            if (label.symbols.size() > 1) {
                error->symbol = static_cast<int>(i);
                finishMessage(*error);
            }
            return error;
        }
    return std::nullopt;
}

Result<std::vector<std::string>> saveLabel(const Label& label, const std::string& path,
                                           const WriteOptions& options) {
    return saveLabel(label, path, options, Verification::on);
}

}  // namespace barquill
