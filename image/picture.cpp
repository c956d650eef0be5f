// SPDX-License-Identifier: MIT
#include "image/picture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "barquill/version.h"
#include "image/little_endian.h"

namespace barquill::image {

namespace {

// A BMP file states its size (block + 14-byte file header) in 32 bits, so
// the block itself stays 14 bytes below that limit.
constexpr std::uint64_t kMaxBlockSize = 0xFFFFFFFFull - 14;

std::int32_t pelsPerMeter(std::int32_t dpi) {
    // 10000 / 254 metres per inch, rounded to the nearest whole pel.
    const double pels = std::floor(dpi * 39.37007874015748 + 0.5);
    return pels > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(pels);
}

}  // namespace

Picture::Picture(std::uint32_t type) {
    imageInfo.type = type;
    SetXDPI(96);
    SetYDPI(96);
}

Picture::Picture(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
                 std::uint32_t type)
    : Picture(type) {
    Create(width, height, bitsPerPixel, type);
}

Picture::Picture(const Picture& source, bool copyPixels, bool copySelection, bool copyAlpha)
    : Picture(source.imageInfo.type) {
    Copy(source, copyPixels, copySelection, copyAlpha);
}

Picture& Picture::operator=(const Picture& source) {
    if (this != &source) Copy(source, true, true, true);
    return *this;
}

Picture::~Picture() {
    Destroy();
}

void Picture::SetLastError(const char* text) {
    std::strncpy(imageInfo.lastError, text, IMAGE_LAST_ERROR_SIZE - 1);
    imageInfo.lastError[IMAGE_LAST_ERROR_SIZE - 1] = '\0';
}

std::uint8_t* Picture::Create(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
                              std::uint32_t type) {
    if (!Destroy()) return nullptr;
    if (width == 0 || height == 0) {
        SetLastError("Picture::Create : width and height must be greater than zero");
        return nullptr;
    }
    const std::uint32_t depth = bitsPerPixel <= 1   ? 1
                                : bitsPerPixel <= 4 ? 4
                                : bitsPerPixel <= 8 ? 8
                                                    : 24;
    const std::uint32_t colours = depth == 24 ? 0 : 1u << depth;

    // The header's width and height are signed, and the whole block must be
    // addressable with 32 bits; test before multiplying.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
    const std::uint64_t overhead = BITMAP_INFO_HEADER_SIZE + 4ull * colours;
    if (width > INT32_MAX || height > INT32_MAX || rowBytes > (kMaxBlockSize - overhead) / height) {
        SetLastError("Picture::Create can't allocate memory");
        return nullptr;
    }

    header.biClrUsed = colours;
    imageInfo.type = type;
    imageInfo.effWidth = static_cast<std::uint32_t>(rowBytes);
    header.biBitCount = static_cast<std::uint16_t>(depth);
    header.biWidth = static_cast<std::int32_t>(width);
    header.biSize = BITMAP_INFO_HEADER_SIZE;
    header.biHeight = static_cast<std::int32_t>(height);
    header.biPlanes = 1;
    header.biCompression = 0;
    header.biSizeImage = static_cast<std::uint32_t>(rowBytes * height);
    header.biClrImportant = 0;

    // Zeroed as a whole: the padding bytes of each row go to BMP files as
    // they lie, and must not carry whatever the heap held before.
    dib = static_cast<std::uint8_t*>(std::calloc(overhead + rowBytes * height, 1));
    if (dib == nullptr) {
        SetLastError("Picture::Create can't allocate memory");
        return nullptr;
    }
    RefreshBlockHeader();
    imageInfo.imageBits = GetBits(0);
    return dib;
}

void Picture::RefreshBlockHeader() {
    if (dib == nullptr) return;
    std::uint8_t* out = dib;
    little_endian::put32(out + 0, header.biSize);
    little_endian::put32(out + 4, static_cast<std::uint32_t>(header.biWidth));
    little_endian::put32(out + 8, static_cast<std::uint32_t>(header.biHeight));
    little_endian::put16(out + 12, header.biPlanes);
    little_endian::put16(out + 14, header.biBitCount);
    little_endian::put32(out + 16, header.biCompression);
    little_endian::put32(out + 20, header.biSizeImage);
    little_endian::put32(out + 24, static_cast<std::uint32_t>(header.biXPelsPerMeter));
    little_endian::put32(out + 28, static_cast<std::uint32_t>(header.biYPelsPerMeter));
    little_endian::put32(out + 32, header.biClrUsed);
    little_endian::put32(out + 36, header.biClrImportant);
}

bool Picture::Destroy() {
    if (imageInfo.ghost != nullptr) return false;
    if (layerList != nullptr) {
        for (std::int32_t i = 0; i < imageInfo.numLayers; ++i) delete layerList[i];
        std::free(layerList);
        layerList = nullptr;
    }
    std::free(selectionPlane);
    selectionPlane = nullptr;
    std::free(alphaPlane);
    alphaPlane = nullptr;
    std::free(dib);
    dib = nullptr;
    imageInfo.imageBits = nullptr;
    return true;
}

bool Picture::Copy(const Picture& source, bool copyPixels, bool copySelection, bool copyAlpha) {
    if (&source == this) return true;
    if (imageInfo.ghost != nullptr) return false;
    // A copy owns its buffers: it is never a ghost, whatever the source is.
    imageInfo = source.imageInfo;
    imageInfo.ghost = nullptr;
    imageInfo.imageBits = nullptr;
    header.biXPelsPerMeter = source.header.biXPelsPerMeter;
    header.biYPelsPerMeter = source.header.biYPelsPerMeter;
    if (source.dib == nullptr) {
        Destroy();
        header = source.header;
        return true;
    }
    if (Create(static_cast<std::uint32_t>(source.header.biWidth),
               static_cast<std::uint32_t>(source.header.biHeight), source.header.biBitCount,
               source.imageInfo.type) == nullptr) {
        return false;
    }
    if (copyPixels) {
        std::memcpy(dib, source.dib, GetSize());
        RefreshBlockHeader();
    } else {
        std::memcpy(GetPalette(), source.GetPalette(),
                    std::min(GetPaletteSize(), source.GetPaletteSize()));
    }
    const std::size_t planeBytes = PixelCount();
    if (copySelection && source.selectionPlane != nullptr) {
        selectionPlane = static_cast<std::uint8_t*>(std::malloc(planeBytes));
        if (selectionPlane != nullptr)
            std::memcpy(selectionPlane, source.selectionPlane, planeBytes);
    }
    if (copyAlpha && source.alphaPlane != nullptr) {
        alphaPlane = static_cast<std::uint8_t*>(std::malloc(planeBytes));
        if (alphaPlane != nullptr) std::memcpy(alphaPlane, source.alphaPlane, planeBytes);
    }
    return true;
}

bool Picture::CopyInfo(const Picture& source) {
    if (dib != nullptr || &source == this) return false;
    Picture* const ownGhost = imageInfo.ghost;
    imageInfo = source.imageInfo;
    imageInfo.ghost = ownGhost;
    imageInfo.imageBits = nullptr;
    header.biXPelsPerMeter = source.header.biXPelsPerMeter;
    header.biYPelsPerMeter = source.header.biYPelsPerMeter;
    return true;
}

bool Picture::Transfer(Picture& from) {
    if (&from == this) return true;
    if (!Destroy()) return false;
    header = from.header;
    imageInfo = from.imageInfo;
    dib = from.dib;
    selectionPlane = from.selectionPlane;
    alphaPlane = from.alphaPlane;
    layerList = from.layerList;

    // The source ends empty, with zero size and the attributes of a freshly
    // constructed picture, so that reusing it brings no surprises.
    from.header = BitmapInfoHeader{};
    from.imageInfo = ImageInfo{};
    from.SetXDPI(96);
    from.SetYDPI(96);
    from.dib = nullptr;
    from.selectionPlane = nullptr;
    from.alphaPlane = nullptr;
    from.layerList = nullptr;
    return true;
}

void Picture::Ghost(const Picture* from) {
    if (from == nullptr || from == this) return;
    if (imageInfo.ghost == nullptr) Destroy();
    header = from->header;
    imageInfo = from->imageInfo;
    dib = from->dib;
    selectionPlane = from->selectionPlane;
    alphaPlane = from->alphaPlane;
    layerList = from->layerList;
    imageInfo.ghost = const_cast<Picture*>(from);
}

std::uint8_t* Picture::GetBits(std::uint32_t row) const {
    if (dib == nullptr) return nullptr;
    std::uint8_t* const first = dib + little_endian::get32(dib) + GetPaletteSize();
    if (row == 0) return first;
    if (row >= static_cast<std::uint32_t>(header.biHeight)) return nullptr;
    return first + static_cast<std::size_t>(row) * imageInfo.effWidth;
}

std::uint32_t Picture::GetSize() const {
    if (dib == nullptr) return 0;
    return header.biSize + header.biSizeImage + GetPaletteSize();
}

std::size_t Picture::PixelCount() const {
    if (dib == nullptr) return 0;
    return static_cast<std::size_t>(header.biWidth) * static_cast<std::size_t>(header.biHeight);
}

bool Picture::IsInside(std::int32_t x, std::int32_t y) const {
    return x >= 0 && x < header.biWidth && y >= 0 && y < header.biHeight;
}

void Picture::Clear(std::uint8_t value) {
    if (dib == nullptr) return;
    if (header.biBitCount == 1 && value != 0) value = 255;
    if (header.biBitCount == 4) value = static_cast<std::uint8_t>((value & 15) * 17);
    std::memset(GetBits(0), value, header.biSizeImage);
}

std::uint32_t Picture::GetColorType() const {
    if (alphaPlane != nullptr) return 4;
    return header.biBitCount > 8 ? 2 : 1;
}

void Picture::SetXDPI(std::int32_t dpi) {
    if (dpi <= 0) dpi = 96;
    imageInfo.xDpi = dpi;
    header.biXPelsPerMeter = pelsPerMeter(dpi);
}

void Picture::SetYDPI(std::int32_t dpi) {
    if (dpi <= 0) dpi = 96;
    imageInfo.yDpi = dpi;
    header.biYPelsPerMeter = pelsPerMeter(dpi);
}

void Picture::SetFlags(std::uint32_t flags, bool lockReserved) {
    imageInfo.flags = lockReserved ? (flags & 0xFFFF) : flags;
}

std::uint32_t Picture::GetCodecOption(std::uint32_t format) const {
    if (format == 0) format = imageInfo.type;
    return format < IMAGE_FORMAT_COUNT ? imageInfo.codecOptions[format] : 0;
}

bool Picture::SetCodecOption(std::uint32_t option, std::uint32_t format) {
    if (format == 0) format = imageInfo.type;
    if (format >= IMAGE_FORMAT_COUNT) return false;
    imageInfo.codecOptions[format] = option;
    return true;
}

RgbQuad Picture::GetTransColor() const {
    if (header.biBitCount < 24 && imageInfo.transIndex != -1) {
        return GetPaletteColor(static_cast<std::uint32_t>(imageInfo.transIndex));
    }
    return imageInfo.transColor;
}

void Picture::SetTransColor(RgbQuad colour) {
    colour.reserved = 0;
    imageInfo.transColor = colour;
}

void Picture::GetOffset(std::int32_t* x, std::int32_t* y) const {
    if (x != nullptr) *x = imageInfo.xOffset;
    if (y != nullptr) *y = imageInfo.yOffset;
}

void Picture::SetOffset(std::int32_t x, std::int32_t y) {
    imageInfo.xOffset = x;
    imageInfo.yOffset = y;
}

#define BARQUILL_STRINGIFY(x) #x
#define BARQUILL_VERSION_TEXT(major, minor) BARQUILL_STRINGIFY(major) "." BARQUILL_STRINGIFY(minor)

const char* Picture::GetVersion() {
    return "Picture " BARQUILL_VERSION_TEXT(BARQUILL_VERSION_MAJOR, BARQUILL_VERSION_MINOR);
}

float Picture::GetVersionNumber() {
    return std::strtof(BARQUILL_VERSION_TEXT(BARQUILL_VERSION_MAJOR, BARQUILL_VERSION_MINOR),
                       nullptr);
}

}  // namespace barquill::image
