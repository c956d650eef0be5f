#pragma once
// An independent PDF417 reader for tests: zxing-cpp's reading side, used as a
// black box. Results are raw bytes, never text, so no character set is guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace barquill::testing {

using Bytes = std::vector<std::uint8_t>;

// Decodes the one PDF417 symbol in an 8-bit greyscale image (0 black, 255
// white). Returns nothing when the reader finds no valid symbol.
std::optional<Bytes> readPdf417Grey(const std::uint8_t* pixels, int width, int height,
                                    int rowStride);

// The same for a 24-bit image stored blue, green, red per pixel (as BMP and
// device-independent bitmaps hold it), top row first.
std::optional<Bytes> readPdf417Bgr(const std::uint8_t* pixels, int width, int height,
                                   int rowStride);

// Draws row strings of '1' (bar) and '0' (space) into a greyscale image:
// each module moduleWidth pixels wide and rowHeight high, quietZone modules
// of white on every side, and decodes it.
std::optional<Bytes> readPdf417Rows(const std::vector<std::string>& rows, int moduleWidth = 2,
                                    int rowHeight = 4, int quietZone = 2);

inline Bytes toBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace barquill::testing
