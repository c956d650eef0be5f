// SPDX-License-Identifier: MIT
#include "tests/support/pdf417_reader.h"

#include <ZXing/ReadBarcode.h>

namespace barquill::testing {
namespace {

ZXing::Result readResult(const ZXing::ImageView& image, bool pure) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(pure);
    hints.setTryRotate(false);
    return ZXing::ReadBarcode(image, hints);
}

// The pure reader is quick on a clean raster but can misread a compact
// symbol, so a test passing on its word would pass by luck: the searching
// reader decides whenever it finds the symbol, the pure one only when it
// does not.
ZXing::Result readResult(const ZXing::ImageView& image) {
    ZXing::Result searched = readResult(image, false);
    if (searched.isValid()) return searched;
    return readResult(image, true);
}

std::optional<Bytes> read(const ZXing::ImageView& image) {
    ZXing::Result result = readResult(image);
    if (!result.isValid()) return std::nullopt;
    const auto& bytes = result.bytes();
    return Bytes(bytes.begin(), bytes.end());
}

// The symbol drawn into a greyscale image with a quiet zone of two modules.
std::vector<std::uint8_t> drawRows(const std::vector<std::string>& rows, int moduleWidth,
                                   int rowHeight, int quietZone, int* width, int* height);

Pdf417Reading describe(const ZXing::Result& result) {
    Pdf417Reading reading;
    const auto& bytes = result.bytes();
    reading.bytes.assign(bytes.begin(), bytes.end());
    const auto eci = result.bytesECI();
    reading.bytesECI.assign(eci.begin(), eci.end());
    reading.text = result.text();
    reading.hasECI = result.hasECI();
    reading.sequenceIndex = result.sequenceIndex();
    reading.sequenceSize = result.sequenceSize();
    reading.sequenceId = result.sequenceId();
    return reading;
}

ZXing::Result readRows(const std::vector<std::string>& rows, int moduleWidth, int rowHeight) {
    int width = 0, height = 0;
    const std::vector<std::uint8_t> grey =
        drawRows(rows, moduleWidth, rowHeight, 2, &width, &height);
    return readResult(ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum, width));
}

}  // namespace

std::optional<Bytes> readPdf417Grey(const std::uint8_t* pixels, int width, int height,
                                    int rowStride) {
    return read(ZXing::ImageView(pixels, width, height, ZXing::ImageFormat::Lum, rowStride));
}

std::optional<Bytes> readPdf417Bgr(const std::uint8_t* pixels, int width, int height,
                                   int rowStride) {
    return read(ZXing::ImageView(pixels, width, height, ZXing::ImageFormat::BGR, rowStride));
}

std::optional<Bytes> readPdf417Rows(const std::vector<std::string>& rows, int moduleWidth,
                                    int rowHeight, int quietZone) {
    if (rows.empty()) return std::nullopt;
    int width = 0, height = 0;
    const std::vector<std::uint8_t> grey =
        drawRows(rows, moduleWidth, rowHeight, quietZone, &width, &height);
    return readPdf417Grey(grey.data(), width, height, width);
}

std::optional<Pdf417Reading> readPdf417Details(const std::vector<std::string>& rows,
                                               int moduleWidth, int rowHeight) {
    if (rows.empty()) return std::nullopt;
    const ZXing::Result result = readRows(rows, moduleWidth, rowHeight);
    if (!result.isValid()) return std::nullopt;
    return describe(result);
}

std::optional<Pdf417Reading> readPdf417Series(const std::vector<std::vector<std::string>>& symbols,
                                              int moduleWidth, int rowHeight) {
    ZXing::Results results;
    for (const std::vector<std::string>& rows : symbols) {
        if (rows.empty()) return std::nullopt;
        ZXing::Result result = readRows(rows, moduleWidth, rowHeight);
        if (!result.isValid()) return std::nullopt;
        results.push_back(std::move(result));
    }
    const ZXing::Results merged = ZXing::MergeStructuredAppendSequences(results);
    if (merged.size() != 1 || !merged.front().isValid()) return std::nullopt;
    return describe(merged.front());
}

std::optional<Pdf417Reading> readPdf417GreyDetails(const GreyImage& image) {
    const ZXing::Result result = readResult(
        ZXing::ImageView(image.pixels, image.width, image.height, ZXing::ImageFormat::Lum));
    if (!result.isValid()) return std::nullopt;
    return describe(result);
}

std::optional<Pdf417Reading> readPdf417GreySeries(const std::vector<GreyImage>& images) {
    ZXing::Results results;
    for (const GreyImage& image : images) {
        ZXing::Result result = readResult(
            ZXing::ImageView(image.pixels, image.width, image.height, ZXing::ImageFormat::Lum));
        if (!result.isValid()) return std::nullopt;
        results.push_back(std::move(result));
    }
    const ZXing::Results merged = ZXing::MergeStructuredAppendSequences(results);
    if (merged.size() != 1 || !merged.front().isValid()) return std::nullopt;
    return describe(merged.front());
}

namespace {

std::vector<std::uint8_t> drawRows(const std::vector<std::string>& rows, int moduleWidth,
                                   int rowHeight, int quietZone, int* widthOut, int* heightOut) {
    const int modules = static_cast<int>(rows.front().size());
    const int width = (modules + 2 * quietZone) * moduleWidth;
    const int height = static_cast<int>(rows.size()) * rowHeight + 2 * quietZone * moduleWidth;
    const auto stride = static_cast<size_t>(width);
    std::vector<std::uint8_t> grey(stride * static_cast<size_t>(height), 255);
    const int top = quietZone * moduleWidth;
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::string& row = rows[r];
        for (int m = 0; m < static_cast<int>(row.size()) && m < modules; ++m) {
            if (row[static_cast<size_t>(m)] != '1') continue;
            for (int y = 0; y < rowHeight; ++y) {
                std::uint8_t* line =
                    grey.data() +
                    static_cast<size_t>(top + static_cast<int>(r) * rowHeight + y) * stride;
                for (int x = 0; x < moduleWidth; ++x) line[(quietZone + m) * moduleWidth + x] = 0;
            }
        }
    }
    *widthOut = width;
    *heightOut = height;
    return grey;
}

}  // namespace

}  // namespace barquill::testing
