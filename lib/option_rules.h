// SPDX-License-Identifier: MIT
#pragma once
// The rules on encoding options and series, one function per condition,
// each with its one error code and field. encode(), makeLabel() and the
// settings' parsers all ask these, so that a request gets the same answer
// from every face.

#include <optional>
#include <span>
#include <string_view>

#include "barquill/errors.hpp"
#include "barquill/symbol.hpp"

namespace barquill {

// invalidOption, field "aspect": an aspect other than 0 (none) outside
// 1/maxAspect to maxAspect, or not a number.
std::optional<Error> checkAspectRange(double aspect);

// conflictingOptions, field "aspect", other "rows" or "columns": the aspect
// chooses the columns and rows itself.
std::optional<Error> checkAspectAlone(const Options& options);

// invalidOption, field `field`: a Macro text (file name, sender, addressee)
// is printable ASCII of at most maxMacroText characters.
std::optional<Error> checkMacroText(std::string_view field, std::string_view text);

// invalidOption, field `field`: a file ID of 1 to maxFileIdCodewords
// codewords, each 0 to 899; an empty one passes unless `required`.
std::optional<Error> checkFileId(std::string_view field, std::span<const int> fileId,
                                 bool required);

// invalidOption, field "series.segments": 0 (as few as hold the data) to
// maxSegments.
std::optional<Error> checkSegments(int segments);

}  // namespace barquill
