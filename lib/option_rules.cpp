// SPDX-License-Identifier: MIT
#include "lib/option_rules.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "lib/internal.h"

namespace barquill {

namespace {

Error optionError(std::string_view field, long value, long minimum, long maximum) {
    return rangeError(ErrorCode::invalidOption, std::string(field).c_str(), value, minimum,
                      maximum);
}

}  // namespace

std::optional<Error> checkAspectRange(double aspect) {
    if (aspect == 0) return std::nullopt;
    if (std::isfinite(aspect) && aspect >= 1 / maxAspect && aspect <= maxAspect)
        return std::nullopt;
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "aspect";
    error.given = std::isfinite(aspect) ? decimalText(aspect, 4) : "not a number";
    finishMessage(error);
    return error;
}

std::optional<Error> checkAspectAlone(const Options& options) {
    if (options.aspect == 0 || (options.rows == 0 && options.columns == 0)) return std::nullopt;
    return pairError(ErrorCode::conflictingOptions, "aspect",
                     options.rows != 0 ? "rows" : "columns");
}

std::optional<Error> checkMacroText(std::string_view field, std::string_view text) {
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) <= 0x7E;
    });
    if (printable && text.size() <= static_cast<std::size_t>(maxMacroText)) return std::nullopt;
    return optionError(field, static_cast<long>(text.size()), 0, maxMacroText);
}

std::optional<Error> checkFileId(std::string_view field, std::span<const int> fileId,
                                 bool required) {
    if (fileId.empty() && !required) return std::nullopt;
    if (fileId.empty() || fileId.size() > static_cast<std::size_t>(maxFileIdCodewords))
        return optionError(field, static_cast<long>(fileId.size()), 1, maxFileIdCodewords);
    for (int codeword : fileId)
        if (codeword < 0 || codeword > 899) return optionError(field, codeword, 0, 899);
    return std::nullopt;
}

std::optional<Error> checkSegments(int segments) {
    if (segments >= 0 && segments <= maxSegments) return std::nullopt;
    return optionError("series.segments", segments, 0, maxSegments);
}

}  // namespace barquill
