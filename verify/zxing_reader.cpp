// SPDX-License-Identifier: MIT
// The reader module: zxing-cpp, used as a black box through its public
// reading API only, behind the C interface of reader_abi.h.
#include <ZXing/ReadBarcode.h>

#include <cstring>
#include <new>
#include <string>

#include "verify/reader_abi.h"

#define BARQUILL_READER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int NO_ECI = -1;

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

// Copies as much as fits and records the whole size.
void store(const void* from, std::size_t size, void* to, std::size_t capacity,
           std::size_t* stored) {
    *stored = size;
    if (size <= capacity && size > 0) std::memcpy(to, from, size);
}

int read(const barquill_reader_image& image, barquill_reader_result* result) {
    const ZXing::ImageView view(image.pixels, image.width, image.height, ZXing::ImageFormat::Lum,
                                image.stride);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(image.pure != 0);
    hints.setTryRotate(false);
    if (image.fixed_threshold) hints.setBinarizer(ZXing::Binarizer::FixedThreshold);
    const ZXing::Result found = ZXing::ReadBarcode(view, hints);
    if (!found.isValid()) return BARQUILL_READER_NOT_FOUND;

    const ZXing::ByteArray& bytes = found.bytes();
    store(bytes.data(), bytes.size(), result->bytes, result->bytes_capacity, &result->bytes_size);
    result->eci = found.hasECI() ? firstEci(found.bytesECI()) : NO_ECI;
    result->segment_index = found.sequenceIndex();
    result->segment_count = found.sequenceSize();
    const std::string fileId = found.sequenceIndex() >= 0 ? found.sequenceId() : std::string();
    store(fileId.data(), fileId.size(), result->file_id, result->file_id_capacity,
          &result->file_id_size);
    const bool fits = result->bytes_size <= result->bytes_capacity &&
                      result->file_id_size <= result->file_id_capacity;
    return fits ? BARQUILL_READER_READ : BARQUILL_READER_TOO_LONG;
}

}  // namespace

BARQUILL_READER_EXPORT int barquill_reader_version(void) {
    return BARQUILL_READER_VERSION;
}

BARQUILL_READER_EXPORT int barquill_reader_read_grey(const barquill_reader_image* image,
                                                     barquill_reader_result* result) {
    // Nothing may unwind into a caller that may not share this C++ runtime.
    try {
        return read(*image, result);
    } catch (...) {
        return BARQUILL_READER_FAILED;
    }
}
