// SPDX-License-Identifier: MIT
// Reading symbols back: the symbol's modules are proven exact and read by
// the independent reader, and the picture as drawn must sample back to them.

#include "barquill/verify.hpp"

#include "image/picture.h"
#include "lib/internal.h"
#include "lib/written_check.h"
#include "raster/symbol_picture.h"
#include "verify/verify.h"

namespace barquill {

namespace {

Mismatch mismatchOf(verify::Mismatch mismatch) {
    switch (mismatch) {
        case verify::Mismatch::None:
        case verify::Mismatch::Unavailable:
            return Mismatch::none;
        case verify::Mismatch::NotFound:
            return Mismatch::notFound;
        case verify::Mismatch::Bytes:
            return Mismatch::bytes;
        case verify::Mismatch::Eci:
            return Mismatch::eci;
        case verify::Mismatch::Macro:
            return Mismatch::macro;
        case verify::Mismatch::PictureSize:
        case verify::Mismatch::QuietZone:
        case verify::Mismatch::RowShifted:
        case verify::Mismatch::ModuleColour:
        case verify::Mismatch::FileUnreadable:
        case verify::Mismatch::FileDiffers:
            return Mismatch::picture;
        default:
            return Mismatch::matrix;
    }
}

}  // namespace

verify::Expected expectedOf(const Symbol& symbol) {
    verify::Expected expected;
    expected.bytes.assign(symbol.data().begin(), symbol.data().end());
    expected.eci = symbol.eci() == noEci ? verify::NO_ECI : symbol.eci();
    if (const auto& macro = symbol.macro())
        expected.macro = verify::macroFields(
            macro->segmentIndex, macro->segmentCount,
            std::vector<std::int32_t>(macro->fileId.begin(), macro->fileId.end()));
    return expected;
}

Error unavailable(const verify::Availability& availability) {
    Error error;
    error.code = ErrorCode::verifyUnavailable;
    error.value = static_cast<long>(availability.state);
    if (availability.state != verify::ReaderState::NotBuilt) {
        error.path = availability.path;
        error.given = loader::reason(availability);
    }
    finishMessage(error);
    return error;
}

bool canVerify() {
    return static_cast<bool>(verify::available());
}

std::optional<Error> readerProblem() {
    if (const verify::Availability availability = verify::available(); !availability)
        return unavailable(availability);
    return std::nullopt;
}

std::optional<Error> verifySymbol(const Symbol& symbol, const Render& render) {
    if (const verify::Availability availability = verify::available(); !availability)
        return unavailable(availability);
    if (auto error = checkRender(render)) return *error;
    // The picture is checked where it was drawn, bottom row first as the
    // picture keeps it: no copy, so a read-back needs about one picture.
    image::Picture drawn;
    if (!raster::drawSymbol(moduleMatrix(symbol), drawOptions(render), &drawn))
        return makeError(ErrorCode::renderFailed);
    const verify::PictureView picture = drawnView(drawn, render);
    const verify::ModuleView modules = moduleView(symbol);
    const verify::Expected expected = expectedOf(symbol);
    const verify::Outcome outcome = verify::verifyPicture(
        picture, modules, {render.moduleWidth, render.rowHeight, render.quietZone},
        symbol.compact(), expected);
    if (outcome.ok()) return std::nullopt;
    return withShades(verificationError(outcome, expected), render);
}

Error withShades(Error error, const Render& render) {
    if (error.mismatch != Mismatch::notFound) return error;
    error.value = greyLevel(render.bar);
    error.needed = greyLevel(render.space);
    finishMessage(error);
    return error;
}

Error verificationError(const verify::Outcome& outcome, const verify::Expected& expected,
                        const std::string& where) {
    if (outcome.mismatch == verify::Mismatch::Unavailable) return unavailable(verify::available());
    Error error;
    error.code = ErrorCode::notVerified;
    error.mismatch = mismatchOf(outcome.mismatch);
    error.row = outcome.row;
    error.module = outcome.module;
    error.given = where;
    if (error.mismatch == Mismatch::bytes) {
        const std::string& read = outcome.read.bytes;
        std::size_t first = 0;
        while (first < read.size() && first < expected.bytes.size() &&
               read[first] == expected.bytes[first])
            ++first;
        error.value = static_cast<long>(read.size());
        error.needed = static_cast<long>(expected.bytes.size());
        error.available = static_cast<long>(first + 1);
    }
    if (error.mismatch == Mismatch::eci) {
        error.value = outcome.read.eci;
        error.needed = expected.eci;
    }
    finishMessage(error);
    return error;
}

}  // namespace barquill
