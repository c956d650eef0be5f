// SPDX-License-Identifier: MIT
// The ways in: a raster read back as it is, a module matrix proven exact and
// read back, and a finished picture checked against its matrix.
#include "verify/matrix_check.h"
#include "verify/minimal_raster.h"
#include "verify/reader_module.h"
#include "verify/verify.h"

namespace barquill::verify {

namespace {

Outcome readAndCompare(const GreyImage& image, const Expected& expected) {
    Outcome outcome;
    // The pure reader is quick on a clean raster but can misread a compact
    // symbol; the searching reader decides whenever the pure one disagrees.
    Reading reading;
    ReadStatus status = readGrey(image, true, &reading);
    if (status == ReadStatus::Unavailable) {
        outcome.mismatch = Mismatch::Unavailable;
        return outcome;
    }
    if (status != ReadStatus::Read || compare(reading, expected) != Mismatch::None) {
        Reading searched;
        if (readGrey(image, false, &searched) == ReadStatus::Read) {
            reading = std::move(searched);
            status = ReadStatus::Read;
        }
    }
    if (status != ReadStatus::Read) {
        outcome.mismatch = Mismatch::NotFound;
        return outcome;
    }
    outcome.read = std::move(reading);
    outcome.mismatch = compare(outcome.read, expected);
    return outcome;
}

}  // namespace

Outcome verifyGrey(const std::uint8_t* pixels, int width, int height, int rowStride,
                   const Expected& expected) {
    return readAndCompare({pixels, width, height, rowStride}, expected);
}

Outcome verifySymbol(const ModuleView& modules, bool compact, const Expected& expected,
                     Shades shades) {
    const MatrixFault fault = checkMatrix(modules, compact);
    if (fault.mismatch != Mismatch::None) {
        Outcome outcome;
        outcome.mismatch = fault.mismatch;
        outcome.row = fault.row;
        outcome.module = fault.module;
        return outcome;
    }
    // Two known levels: the reader splits them at mid-grey, so bars must be
    // dark and the background light, as a scanner needs them.
    const GreyRaster raster = minimalRaster(modules, shades);
    return readAndCompare({raster.pixels.data(), raster.width, raster.height, raster.width, true},
                          expected);
}

Outcome verifyPicture(const PictureView& picture, const ModuleView& modules, const Layout& layout,
                      bool compact, const Expected& expected) {
    Outcome outcome = samplesBack(picture, modules, layout);
    if (!outcome.ok()) return outcome;
    return verifySymbol(modules, compact, expected, picture.shades);
}

}  // namespace barquill::verify
