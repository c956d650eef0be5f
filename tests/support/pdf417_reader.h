// SPDX-License-Identifier: MIT
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

// What the reader tells of one symbol beyond its bytes: the character set
// designators and its place in a Macro PDF417 series.
struct Pdf417Reading {
    Bytes bytes;       // the data, ECI designators applied and removed
    Bytes bytesECI;    // the data with its ECI designators, as the standard transmits it
    std::string text;  // the data decoded as text (UTF-8), by its ECI
    bool hasECI = false;
    int sequenceIndex = -1;  // -1 when not part of a series
    int sequenceSize = -1;
    std::string sequenceId;
};

// Draws and reads one symbol, as readPdf417Rows does, and tells all of the above.
std::optional<Pdf417Reading> readPdf417Details(const std::vector<std::string>& rows,
                                               int moduleWidth = 2, int rowHeight = 4);

// Reads every symbol of a series and merges them as the reader does; the
// merged reading, or nothing when a symbol does not read or the series
// does not merge into one.
std::optional<Pdf417Reading> readPdf417Series(const std::vector<std::vector<std::string>>& symbols,
                                              int moduleWidth = 2, int rowHeight = 4);

// The same for symbols already drawn as 8-bit greyscale images.
struct GreyImage {
    const std::uint8_t* pixels;
    int width;
    int height;
};
std::optional<Pdf417Reading> readPdf417GreyDetails(const GreyImage& image);
std::optional<Pdf417Reading> readPdf417GreySeries(const std::vector<GreyImage>& images);

inline Bytes toBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace barquill::testing
