// SPDX-License-Identifier: MIT
#pragma once
// Standard decoders for the files the tool writes: libpng for PNG, giflib
// for GIF, and the BMP layout read by hand. Pixels come out as 8-bit grey.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace barquill::testing {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;  // top row first, width bytes per row
    int bitsPerPixel = 0;            // as stored in the file
    bool paletted = false;
    int paletteSize = 0;
    long pixelsPerMetreX = 0;  // PNG pHYs (metre unit) or BMP header; 0 when absent
    long pixelsPerMetreY = 0;

    // Position of (x, y) in grey, for a point inside the picture.
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
    std::uint8_t at(int x, int y) const { return grey[index(x, y)]; }
};

std::optional<DecodedImage> readPng(const std::string& bytes);
std::optional<DecodedImage> readGif(const std::string& bytes);
std::optional<DecodedImage> readBmp(const std::string& bytes);

std::string readFile(const std::string& path);

}  // namespace barquill::testing
