// SPDX-License-Identifier: MIT
// Shared fixtures of the image tests: asymmetric test pictures, streams
// that fail on purpose, and independent decoders (libpng, giflib) that turn
// an encoded file back into pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/byte_stream.h"
#include "image/picture.h"

namespace image_test {

using namespace barquill::image;

using Bytes = std::vector<std::uint8_t>;

// Colours as the decoders report them: red, green, blue, alpha.
struct Rgba {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Rows top to bottom, as in PNG and GIF files.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
    // Position of (x, top) in pixels, for a point inside the picture.
    std::size_t index(int x, int top) const {
        return static_cast<std::size_t>(top) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
    Rgba at(int x, int top) const { return pixels[index(x, top)]; }
};

// The picture's own pixels, top row first, alpha from the alpha plane
// (255 without one).
RgbaImage expectedPixels(const Picture& picture);

// A picture of the given depth with a small "F" in the top-left corner on a
// background, so a flipped row order or swapped red and blue shows at once.
// Paletted pictures get a palette of distinct colours.
Picture letterF(std::uint32_t bitsPerPixel, int width, int height);

// Pixels (or indices) from a fixed seed; `runs` makes long runs of equal pixels.
Picture randomPicture(std::uint32_t bitsPerPixel, int width, int height, std::uint32_t seed,
                      bool runs = false);

// Writes a 24-bit pixel (x from the left, row counted from the bottom).
void setPixel24(Picture& picture, int x, int y, std::uint8_t red, std::uint8_t green,
                std::uint8_t blue);

Bytes encode(Picture& picture, std::uint32_t type);

// A memory stream that accepts `limit` bytes and then fails: either with
// short item counts, or (like a buffered FILE) by accepting everything but
// reporting an error state afterwards.
class FailingStream : public MemoryStream {
public:
    enum class Mode { ShortWrites, ErrorState };
    FailingStream(std::size_t byteLimit, Mode failure);
    std::size_t Write(const void* data, std::size_t itemSize, std::size_t count) override;
    bool PutC(std::uint8_t byte) override;
    std::int32_t Error() override;

private:
    std::size_t limit;
    std::size_t written = 0;
    Mode mode;
    bool failed = false;
};

struct DecodedPng {
    bool ok = false;
    std::string error;
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    bool hasPhys = false;
    std::uint32_t physX = 0, physY = 0;
    int physUnit = 0;
    bool hasBackground = false;
    std::uint16_t backgroundRed = 0, backgroundGreen = 0, backgroundBlue = 0;
    std::uint8_t backgroundIndex = 0;
    int paletteLength = 0;
    std::vector<std::uint8_t> transparency;  // tRNS entries of a paletted file
    std::vector<std::string> chunks;         // chunk names in file order
    RgbaImage image;                         // every pixel expanded to RGBA
};
DecodedPng decodePng(const Bytes& file);

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool localTable = false;
    std::vector<Rgba> colourTable;      // the table that applies (local or global)
    std::vector<std::uint8_t> indices;  // top row first
    int transparentIndex = -1;
    int delay = 0;
    int disposal = 0;
};

struct DecodedGif {
    bool ok = false;
    std::string error;
    int screenWidth = 0, screenHeight = 0;
    std::vector<GifFrame> frames;
    std::vector<std::string> comments;
    int loopCount = -1;  // -1 without a NETSCAPE2.0 extension
    // The frames painted onto the screen; transparent pixels keep alpha 0.
    RgbaImage canvas() const;
};
DecodedGif decodeGif(const Bytes& file);

}  // namespace image_test
