// The reader behind verification: zxing-cpp, used as a black box through
// its public reading API only.
#include <ZXing/ReadBarcode.h>

#include "verify/verify.h"

namespace barquill::verify {

namespace {

// ECI designators show in the reader's ECI-marked bytes as a backslash and
// six digits; a backslash of the data is doubled there.
int firstEci(const ZXing::ByteArray& marked) {
    for (std::size_t i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != '\\') continue;
        if (marked[i + 1] == '\\') {
            ++i;
            continue;
        }
        if (i + 7 > marked.size()) break;
        int designator = 0;
        for (std::size_t j = i + 1; j < i + 7; ++j) {
            if (marked[j] < '0' || marked[j] > '9') return NO_ECI;
            designator = designator * 10 + (marked[j] - '0');
        }
        return designator;
    }
    return NO_ECI;
}

std::optional<Reading> read(const ZXing::ImageView& image, bool pure) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(pure);
    hints.setTryRotate(false);
    const ZXing::Result result = ZXing::ReadBarcode(image, hints);
    if (!result.isValid()) return std::nullopt;
    Reading reading;
    const ZXing::ByteArray& bytes = result.bytes();
    reading.bytes.assign(bytes.begin(), bytes.end());
    if (result.hasECI()) reading.eci = firstEci(result.bytesECI());
    if (result.sequenceIndex() >= 0) {
        MacroFields macro;
        macro.segmentIndex = result.sequenceIndex();
        macro.segmentCount = result.sequenceSize();
        macro.fileId = result.sequenceId();
        reading.macro = macro;
    }
    return reading;
}

}  // namespace

bool available() {
    return true;
}

Outcome verifyGrey(const std::uint8_t* pixels, int width, int height, int rowStride,
                   const Expected& expected) {
    const ZXing::ImageView image(pixels, width, height, ZXing::ImageFormat::Lum, rowStride);
    Outcome outcome;
    // The pure reader is quick on a clean raster but can misread a compact
    // symbol; the searching reader decides whenever the pure one disagrees.
    std::optional<Reading> reading = read(image, true);
    if (!reading || compare(*reading, expected) != Mismatch::None) {
        if (std::optional<Reading> searched = read(image, false)) reading = std::move(searched);
    }
    if (!reading) {
        outcome.mismatch = Mismatch::NotFound;
        return outcome;
    }
    outcome.read = std::move(*reading);
    outcome.mismatch = compare(outcome.read, expected);
    return outcome;
}

}  // namespace barquill::verify
