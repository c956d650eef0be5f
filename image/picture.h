// SPDX-License-Identifier: MIT
// The raster image library's picture: a packed device-independent bitmap
// (40-byte info header, colour table, bottom-up rows padded to 4 bytes) with
// its attribute record, and the operations that encode it into BMP, GIF and
// PNG files. Failures return false or null and leave a text in GetLastError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace barquill::display {
class DeviceBitmap;
class DrawTarget;
struct Rect;
}  // namespace barquill::display

namespace barquill::image {

class ByteStream;

// Format ids, as stored in a picture's type and passed to the encoders.
inline constexpr std::uint32_t IMAGE_FORMAT_UNKNOWN = 0;
inline constexpr std::uint32_t IMAGE_FORMAT_BMP = 1;
inline constexpr std::uint32_t IMAGE_FORMAT_GIF = 2;
inline constexpr std::uint32_t IMAGE_FORMAT_PNG = 3;
inline constexpr std::uint32_t IMAGE_FORMAT_COUNT = 4;

// Bits of the PNG codec option word: Adam7 interlacing (the word 1, as
// ever), and zlib's quickest compression instead of libpng's default level,
// for pictures written by the thousand, where it writes a label's PNG in
// about two thirds of the time for a few tens of bytes more.
inline constexpr std::uint32_t PNG_OPTION_INTERLACE = 1;
inline constexpr std::uint32_t PNG_OPTION_FAST_COMPRESSION = 2;

// A colour-table entry as the DIB block stores it.
struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};
static_assert(sizeof(RgbQuad) == 4);

// One colour given as red, green, blue, for SetPalette.
struct RgbTriple {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A Windows colour value: 0x00BBGGRR, red in the lowest byte.
using ColorRef = std::uint32_t;

inline constexpr std::uint32_t BITMAP_INFO_HEADER_SIZE = 40;

// The BITMAPINFOHEADER fields; serialised little-endian at the block start.
struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

class Picture;

inline constexpr std::size_t IMAGE_LAST_ERROR_SIZE = 256;

// Attributes of a picture; copied as a whole by Copy, CopyInfo, Transfer and
// Ghost. Copies never duplicate the buffers the pointers refer to.
struct ImageInfo {
    std::uint32_t effWidth = 0;         // bytes per stored row
    std::uint8_t* imageBits = nullptr;  // bottom row inside the DIB block
    Picture* ghost = nullptr;           // the picture whose buffers are borrowed
    std::uint32_t type = IMAGE_FORMAT_UNKNOWN;
    char lastError[IMAGE_LAST_ERROR_SIZE] = {};
    std::int32_t progress = 0;
    std::int32_t escape = 0;
    std::int32_t transIndex = -1;  // -1: no transparent index
    RgbQuad transColor;            // transparent colour without palette
    std::uint8_t jpegQuality = 90;
    std::uint8_t jpegScale = 0;
    std::int32_t frame = 0;
    std::int32_t numFrames = 0;
    std::uint32_t frameDelay = 0;
    std::int32_t xDpi = 96;
    std::int32_t yDpi = 96;
    PixelRect selectionBox;
    std::uint8_t alphaMax = 255;
    bool alphaPaletteEnabled = false;
    bool enabled = true;
    std::int32_t xOffset = 0;
    std::int32_t yOffset = 0;
    std::uint32_t codecOptions[IMAGE_FORMAT_COUNT] = {};
    RgbQuad lastColor;
    std::uint8_t lastColorIndex = 0;
    bool lastColorValid = false;
    std::int32_t numLayers = 0;
    std::uint32_t flags = 0;
};

class Picture {
public:
    explicit Picture(std::uint32_t type = IMAGE_FORMAT_UNKNOWN);
    Picture(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
            std::uint32_t type);
    Picture(const Picture& source, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
    Picture& operator=(const Picture& source);
    virtual ~Picture();

    // Storage. Create zero-fills the pixel rows and refuses sizes whose block
    // (or a BMP file of it) would not be addressable with 32 bits.
    std::uint8_t* Create(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
                         std::uint32_t type);
    bool Destroy();
    bool Copy(const Picture& source, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    bool CopyInfo(const Picture& source);
    bool Transfer(Picture& from);
    void Ghost(const Picture* from);
    std::uint8_t* GetBits(std::uint32_t row = 0) const;
    std::uint32_t GetSize() const;
    std::uint8_t* GetDIB() const { return dib; }
    bool IsValid() const { return dib != nullptr; }
    bool IsInside(std::int32_t x, std::int32_t y) const;
    void Clear(std::uint8_t value = 0);
    // Makes `target` a paletted copy (1, 4 or 8 bits) of this true-colour
    // picture, pixel for pixel the same colours, when it uses at most 256
    // colours and has no alpha plane; false otherwise. A symbol has two
    // colours: paletted, GIF writes it as one image instead of many tiles.
    bool CreateIndexedCopy(Picture* target) const;

    // Attributes.
    std::uint32_t GetType() const { return imageInfo.type; }
    std::int32_t GetWidth() const { return header.biWidth; }
    std::int32_t GetHeight() const { return header.biHeight; }
    std::uint16_t GetBpp() const { return header.biBitCount; }
    std::uint32_t GetEffWidth() const { return imageInfo.effWidth; }
    std::uint32_t GetNumColors() const { return header.biClrUsed; }
    bool IsIndexed() const { return header.biClrUsed != 0; }
    std::uint32_t GetColorType() const;
    std::int32_t GetXDPI() const { return imageInfo.xDpi; }
    std::int32_t GetYDPI() const { return imageInfo.yDpi; }
    void SetXDPI(std::int32_t dpi);
    void SetYDPI(std::int32_t dpi);
    std::uint32_t GetFlags() const { return imageInfo.flags; }
    void SetFlags(std::uint32_t flags, bool lockReserved = true);
    std::uint32_t GetCodecOption(std::uint32_t format = 0) const;
    bool SetCodecOption(std::uint32_t option, std::uint32_t format = 0);
    std::int32_t GetTransIndex() const { return imageInfo.transIndex; }
    void SetTransIndex(std::int32_t index) { imageInfo.transIndex = index; }
    bool IsTransparent() const { return imageInfo.transIndex >= 0; }
    RgbQuad GetTransColor() const;
    void SetTransColor(RgbQuad colour);
    std::uint32_t GetFrameDelay() const { return imageInfo.frameDelay; }
    void SetFrameDelay(std::uint32_t delay) { imageInfo.frameDelay = delay; }
    void GetOffset(std::int32_t* x, std::int32_t* y) const;
    void SetOffset(std::int32_t x, std::int32_t y);
    std::uint8_t GetJpegQuality() const { return imageInfo.jpegQuality; }
    void SetJpegQuality(std::uint8_t quality) { imageInfo.jpegQuality = quality; }
    std::uint8_t GetJpegScale() const { return imageInfo.jpegScale; }
    void SetJpegScale(std::uint8_t scale) { imageInfo.jpegScale = scale; }
    std::int32_t GetProgress() const { return imageInfo.progress; }
    void SetProgress(std::int32_t progress) { imageInfo.progress = progress; }
    std::int32_t GetEscape() const { return imageInfo.escape; }
    void SetEscape(std::int32_t escape) { imageInfo.escape = escape; }
    std::int32_t GetNumFrames() const { return imageInfo.numFrames; }
    std::int32_t GetFrame() const { return imageInfo.frame; }
    void SetFrame(std::int32_t frame) { imageInfo.frame = frame; }
    bool IsEnabled() const { return imageInfo.enabled; }
    void Enable(bool flag = true) { imageInfo.enabled = flag; }
    std::uint8_t AlphaGetMax() const { return imageInfo.alphaMax; }
    void AlphaSetMax(std::uint8_t alphaMax) { imageInfo.alphaMax = alphaMax; }
    bool AlphaPaletteIsEnabled() const { return imageInfo.alphaPaletteEnabled; }
    void AlphaPaletteEnable(bool flag = true) { imageInfo.alphaPaletteEnabled = flag; }
    const char* GetLastError() const { return imageInfo.lastError; }
    static const char* GetVersion();
    static float GetVersionNumber();

    // Palette: entries are blue, green, red, reserved.
    std::uint32_t GetPaletteSize() const;
    std::uint8_t* GetPalette() const;
    RgbQuad GetPaletteColor(std::uint32_t index) const;
    bool GetPaletteColor(std::uint32_t index, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue) const;
    void SetPaletteColor(std::uint32_t index, std::uint8_t red, std::uint8_t green,
                         std::uint8_t blue, std::uint8_t alpha = 0);
    void SetPaletteColor(std::uint32_t index, RgbQuad entry);
    void SetPaletteColor(std::uint32_t index, ColorRef colour);
    void SetPalette(const RgbQuad* entries, std::uint32_t count = 256);
    void SetPalette(std::uint32_t count, const std::uint8_t* reds,
                    const std::uint8_t* greens = nullptr, const std::uint8_t* blues = nullptr);
    void SetPalette(const RgbTriple* colours, std::uint32_t count = 256);
    void SetGrayPalette();
    std::uint8_t GetNearestIndex(RgbQuad colour);
    void SwapIndex(std::uint8_t a, std::uint8_t b);

    // Pixels; (0, 0) is the bottom-left pixel, rows count upwards.
    std::uint8_t GetPixelIndex(std::int32_t x, std::int32_t y) const;
    void SetPixelIndex(std::int32_t x, std::int32_t y, std::uint8_t index);
    RgbQuad GetPixelColor(std::int32_t x, std::int32_t y, bool withAlpha = true) const;
    void RGBtoBGR(std::uint8_t* buffer, std::uint32_t length) const;

    // Alpha plane: one byte per pixel, 0 transparent to 255 opaque.
    bool AlphaIsValid() const { return alphaPlane != nullptr; }
    bool AlphaCreate();
    void AlphaDelete();
    std::uint8_t AlphaGet(std::int32_t x, std::int32_t y) const;
    void AlphaSet(std::int32_t x, std::int32_t y, std::uint8_t level);

    // Device import and drawing through the display layer (library
    // barquill_image_device). CreateFromHBITMAP replaces the picture with a
    // 24-bit copy of a device bitmap. Draw paints the picture with its top-left
    // corner at (x, y), a width or height below 0 meaning the picture's own,
    // within the target's clip narrowed by clipRect; stretching samples the
    // nearest pixel, or blends neighbours when smooth. Returns 1 when drawn,
    // 0 when there is nothing to draw.
    bool CreateFromHBITMAP(const barquill::display::DeviceBitmap* bitmap);
    std::int32_t Draw(barquill::display::DrawTarget* dc, std::int32_t x, std::int32_t y,
                      std::int32_t width = -1, std::int32_t height = -1,
                      const barquill::display::Rect* clipRect = nullptr, bool smooth = false);
    std::int32_t Draw(barquill::display::DrawTarget* dc, const barquill::display::Rect& rect,
                      const barquill::display::Rect* clipRect = nullptr, bool smooth = false);

    // Encoding. Save writes a temporary file beside the target and renames it
    // over the target only once complete: a failed save never harms an
    // existing file and leaves nothing behind. A name that cannot be created
    // leaves the last-error text alone (errno says why); a failed encoding,
    // write or rename sets it. `sync` puts the file on the disk before the
    // rename: worth it for a document saved by hand, not for a batch of
    // thousands of labels.
    bool Save(const char* filename, std::uint32_t type, bool sync = true);
    bool Encode(std::FILE* stream, std::uint32_t type);
    bool Encode(ByteStream* file, std::uint32_t type);
    bool Encode(std::uint8_t*& buffer, std::int32_t& size, std::uint32_t type);
    bool Encode(std::FILE* stream, Picture** images, std::int32_t count, std::uint32_t type);
    bool Encode(ByteStream* file, Picture** images, std::int32_t count, std::uint32_t type);
    bool Encode2RGBA(ByteStream* file);
    bool Encode2RGBA(std::uint8_t*& buffer, std::int32_t& size);
    static void FreeMemory(void* block);

protected:
    bool EncodeSafeCheck(ByteStream* file);
    // Runs `encode` on a growing memory stream and hands its block to the caller.
    bool EncodeToBuffer(std::uint8_t*& buffer, std::int32_t& size,
                        const std::function<bool(ByteStream*)>& encode);
    void SetLastError(const char* text);
    void RefreshBlockHeader();
    std::size_t PixelCount() const;

    std::uint8_t* dib = nullptr;
    BitmapInfoHeader header;
    ImageInfo imageInfo;
    std::uint8_t* selectionPlane = nullptr;
    std::uint8_t* alphaPlane = nullptr;
    Picture** layerList = nullptr;
};

}  // namespace barquill::image
