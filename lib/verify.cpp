// SPDX-License-Identifier: MIT
// Reading symbols back: the picture as drawn goes to the independent
// reader, and what it gets must be what the symbol holds.

#include "barquill/verify.hpp"
#include "lib/internal.h"
#include "verify/verify.h"

namespace barquill {

namespace {

Mismatch mismatchOf(verify::Mismatch mismatch) {
    switch (mismatch) {
        case verify::Mismatch::NotFound:
            return Mismatch::notFound;
        case verify::Mismatch::Bytes:
            return Mismatch::bytes;
        case verify::Mismatch::Eci:
            return Mismatch::eci;
        case verify::Mismatch::Macro:
            return Mismatch::macro;
        default:
            return Mismatch::none;
    }
}

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

}  // namespace

bool canVerify() {
    return verify::available();
}

std::optional<Error> verifySymbol(const Symbol& symbol, const Render& render) {
    if (!verify::available()) return makeError(ErrorCode::verifyUnavailable);
    auto image = toImage(symbol, render, PixelFormat::grey8);
    if (!image) return image.error();
    const verify::Expected expected = expectedOf(symbol);
    const verify::Outcome outcome =
        verify::verifyGrey(image->pixels.data(), image->width, image->height,
                           static_cast<int>(image->stride), expected);
    if (outcome.ok()) return std::nullopt;
    Error error;
    error.code = ErrorCode::notVerified;
    error.mismatch = mismatchOf(outcome.mismatch);
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
