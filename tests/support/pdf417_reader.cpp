#include "tests/support/pdf417_reader.h"

#include <ZXing/ReadBarcode.h>

namespace barquill::testing {
namespace {

std::optional<Bytes> read(const ZXing::ImageView& image) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setIsPure(true);
    ZXing::Result result = ZXing::ReadBarcode(image, hints);
    if (!result.isValid()) return std::nullopt;
    const auto& bytes = result.bytes();
    return Bytes(bytes.begin(), bytes.end());
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
    const int modules = static_cast<int>(rows.front().size());
    const int width = (modules + 2 * quietZone) * moduleWidth;
    const int height = static_cast<int>(rows.size()) * rowHeight + 2 * quietZone * moduleWidth;
    std::vector<std::uint8_t> grey(static_cast<size_t>(width) * height, 255);
    const int top = quietZone * moduleWidth;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int m = 0; m < static_cast<int>(rows[r].size()) && m < modules; ++m) {
            if (rows[r][m] != '1') continue;
            for (int y = 0; y < rowHeight; ++y) {
                std::uint8_t* line =
                    grey.data() +
                    static_cast<size_t>(top + static_cast<int>(r) * rowHeight + y) * width;
                for (int x = 0; x < moduleWidth; ++x) line[(quietZone + m) * moduleWidth + x] = 0;
            }
        }
    }
    return readPdf417Grey(grey.data(), width, height, width);
}

}  // namespace barquill::testing
