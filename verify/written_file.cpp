// SPDX-License-Identifier: MIT
// Reading written files back: PNG through libpng's reader, GIF, BMP, SVG,
// ZPL and ESC/POS through the small decoders below, written from the
// formats' definitions and sharing nothing with the writers.
#include "verify/written_file.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>

namespace barquill::verify {

namespace {

// Bounds on what a decoder accepts: the writers never exceed them, and no
// header can make a decoder take more memory than a picture of this size.
constexpr long MAX_SIDE = 1L << 20;
constexpr long MAX_PIXELS = 1L << 31;

bool sizeAllowed(long width, long height) {
    return width > 0 && height > 0 && width <= MAX_SIDE && height <= MAX_SIDE &&
           width * height <= MAX_PIXELS;
}

void allocate(WrittenRaster* raster, long width, long height, int bits) {
    raster->width = width;
    raster->height = height;
    raster->bits = bits;
    const auto w = static_cast<std::size_t>(width);
    raster->stride = bits == 1 ? (w + 7) / 8 : bits == 8 ? w : 3 * w;
    raster->pixels.assign(raster->stride * static_cast<std::size_t>(height), 0);
}

std::uint32_t little16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t little32(std::span<const std::uint8_t> b, std::size_t at) {
    return little16(b, at) | little16(b, at + 2) << 16;
}

// ---------------------------------------------------------------------------
// PNG, through libpng's reader.

struct PngSource {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

void pngRead(png_structp png, png_bytep out, png_size_t size) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->bytes.size() - source->at < size) png_error(png, "the file ends early");
    std::memcpy(out, source->bytes.data() + source->at, size);
    source->at += size;
}

void pngFailed(png_structp png, png_const_charp message) {
    auto* fault = static_cast<std::string*>(png_get_error_ptr(png));
    if (fault) *fault = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// The part between setjmp and the jumps back holds no object with a
// destructor: the raster, the source and the row pointers live outside it.
bool readPng(png_structp png, png_infop info, PngSource* source, WrittenRaster* raster,
             std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, source, pngRead);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (!sizeAllowed(static_cast<long>(width), static_cast<long>(height)))
        png_error(png, "a size beyond any picture written");
    if (depth == 16) png_set_strip_16(png);
    if (colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
    int bits = 24;
    if (colourType == PNG_COLOR_TYPE_PALETTE || colourType == PNG_COLOR_TYPE_GRAY ||
        colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        bits = depth == 1 ? 1 : 8;
        if (depth < 8 && depth > 1) png_set_packing(png);
    } else if (depth < 8) {
        png_error(png, "an unknown colour depth");
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &palette, &count)) png_error(png, "no palette");
        raster->palette.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            raster->palette[static_cast<std::size_t>(i)] = {palette[i].red, palette[i].green,
                                                            palette[i].blue};
    } else if (bits != 24) {
        const int levels = 1 << std::min(depth, 8);
        raster->palette.resize(static_cast<std::size_t>(levels));
        for (int i = 0; i < levels; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (levels - 1));
            raster->palette[static_cast<std::size_t>(i)] = {grey, grey, grey};
        }
    }
    allocate(raster, static_cast<long>(width), static_cast<long>(height), bits);
    if (png_get_rowbytes(png, info) != raster->stride) png_error(png, "unexpected row size");
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        (*rows)[y] = raster->pixels.data() + y * raster->stride;
    png_read_image(png, rows->data());
    // The chunks after the pixels, with their checksums.
    png_read_end(png, nullptr);
    return true;
}

bool decodePng(std::span<const std::uint8_t> bytes, WrittenRaster* raster, std::string* fault) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        *fault = "no PNG signature";
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, fault, pngFailed, pngWarning);
    if (!png) {
        *fault = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    PngSource source{bytes, 0};
    std::vector<png_bytep> rows;
    const bool read = info && readPng(png, info, &source, raster, &rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (read && source.at != bytes.size()) {
        *fault = "bytes after the end of the picture";
        return false;
    }
    return read;
}

// ---------------------------------------------------------------------------
// BMP: uncompressed, 1, 4, 8 or 24 bits a pixel, rows bottom up unless the
// height is negative.

bool decodeBmp(std::span<const std::uint8_t> b, WrittenRaster* raster, std::string* fault) {
    const auto refuse = [fault](const char* why) {
        *fault = why;
        return false;
    };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return refuse("no BMP header");
    if (little32(b, 2) != b.size()) return refuse("the header's file size is not the file's");
    const std::uint32_t pixelsAt = little32(b, 10);
    const std::uint32_t infoSize = little32(b, 14);
    const auto width = static_cast<std::int32_t>(little32(b, 18));
    const auto signedHeight = static_cast<std::int32_t>(little32(b, 22));
    const std::uint32_t planes = little16(b, 26), depth = little16(b, 28);
    const std::uint32_t compression = little32(b, 30);
    if (infoSize < 40 || 14 + static_cast<std::size_t>(infoSize) > b.size())
        return refuse("an unknown info header");
    if (planes != 1 || compression != 0 || (depth != 1 && depth != 4 && depth != 8 && depth != 24))
        return refuse("a pixel format the writer does not write");
    const long height = signedHeight < 0 ? -static_cast<long>(signedHeight) : signedHeight;
    if (!sizeAllowed(width, height)) return refuse("a size beyond any picture written");
    if (depth <= 8) {
        std::uint32_t colours = little32(b, 46);
        if (colours == 0) colours = 1u << depth;
        const std::size_t tableAt = 14 + static_cast<std::size_t>(infoSize);
        if (colours > (1u << depth) || tableAt + 4 * static_cast<std::size_t>(colours) > pixelsAt)
            return refuse("a colour table that does not fit");
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::size_t at = tableAt + 4 * i;
            raster->palette.push_back({b[at + 2], b[at + 1], b[at]});
        }
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * depth + 31) / 32 * 4;
    if (pixelsAt > b.size() || b.size() - pixelsAt < rowBytes * static_cast<std::size_t>(height))
        return refuse("the pixels do not fit the file");
    allocate(raster, width, height, depth == 4 ? 8 : static_cast<int>(depth));
    for (long y = 0; y < height; ++y) {
        const long stored = signedHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* from =
            b.data() + pixelsAt + static_cast<std::size_t>(stored) * rowBytes;
        std::uint8_t* to = raster->pixels.data() + static_cast<std::size_t>(y) * raster->stride;
        if (depth == 1 || depth == 8) {
            std::memcpy(to, from, raster->stride);
        } else if (depth == 4) {
            for (long x = 0; x < width; ++x)
                to[x] = static_cast<std::uint8_t>(x % 2 == 0 ? from[x / 2] >> 4 : from[x / 2] & 15);
        } else {
            for (long x = 0; x < width; ++x) {
                to[3 * x] = from[3 * x + 2];
                to[3 * x + 1] = from[3 * x + 1];
                to[3 * x + 2] = from[3 * x];
            }
        }
    }
    if (raster->bits != 24)
        for (std::uint8_t index : raster->pixels)
            if (raster->bits == 8 && index >= raster->palette.size())
                return refuse("a pixel beyond the colour table");
    return true;
}

// ---------------------------------------------------------------------------
// GIF: one image over the whole screen, LZW-coded.

class GifReader {
public:
    explicit GifReader(std::span<const std::uint8_t> bytes) : b_(bytes) {}
    bool has(std::size_t count) const { return b_.size() - at_ >= count; }
    std::uint8_t byte() { return b_[at_++]; }
    std::uint32_t word() {
        const std::uint32_t value = little16(b_, at_);
        at_ += 2;
        return value;
    }
    bool table(std::size_t entries, std::vector<Colour>* colours) {
        if (!has(3 * entries)) return false;
        colours->clear();
        for (std::size_t i = 0; i < entries; ++i, at_ += 3)
            colours->push_back({b_[at_], b_[at_ + 1], b_[at_ + 2]});
        return true;
    }
    // The sub-blocks that follow, joined; false when they run past the end.
    bool blocks(std::vector<std::uint8_t>* data) {
        data->clear();
        while (has(1)) {
            const std::size_t size = byte();
            if (size == 0) return true;
            if (!has(size)) return false;
            data->insert(data->end(), b_.begin() + static_cast<std::ptrdiff_t>(at_),
                         b_.begin() + static_cast<std::ptrdiff_t>(at_ + size));
            at_ += size;
        }
        return false;
    }
    bool atEnd() const { return at_ == b_.size(); }

private:
    std::span<const std::uint8_t> b_;
    std::size_t at_ = 0;
};

constexpr int MAX_CODES = 4096;

// Decodes the LZW codes into exactly `count` indices.
bool decodeLzw(int minimumSize, const std::vector<std::uint8_t>& data, std::size_t count,
               std::vector<std::uint8_t>* out) {
    if (minimumSize < 2 || minimumSize > 8) return false;
    const int clear = 1 << minimumSize, end = clear + 1;
    std::array<std::uint16_t, MAX_CODES> prefix{};
    std::array<std::uint8_t, MAX_CODES> suffix{}, first{};
    std::array<std::uint8_t, MAX_CODES> stack{};
    for (int code = 0; code < clear; ++code) {
        suffix[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(code);
        first[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(code);
    }
    int size = minimumSize + 1, next = end + 1, previous = -1;
    std::size_t bit = 0;
    out->clear();
    out->reserve(count);
    while (true) {
        if (bit + static_cast<std::size_t>(size) > data.size() * 8) return false;
        int code = 0;
        for (int i = 0; i < size; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == clear) {
            size = minimumSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (previous < 0) {
            if (code >= clear) return false;
            out->push_back(static_cast<std::uint8_t>(code));
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= MAX_CODES)) return false;
        const bool known = code < next;
        // The string of `code`, or for the code being defined the previous
        // string and its own first index.
        const int walk = known ? code : previous;
        std::size_t depth = 0;
        if (!known) stack[depth++] = first[static_cast<std::size_t>(previous)];
        for (int c = walk;; c = prefix[static_cast<std::size_t>(c)]) {
            if (depth == stack.size()) return false;
            stack[depth++] = suffix[static_cast<std::size_t>(c)];
            if (c < clear) break;
        }
        while (depth > 0) out->push_back(stack[--depth]);
        if (out->size() > count) return false;
        if (next < MAX_CODES) {
            const auto n = static_cast<std::size_t>(next);
            prefix[n] = static_cast<std::uint16_t>(previous);
            suffix[n] = first[static_cast<std::size_t>(known ? code : previous)];
            first[n] = first[static_cast<std::size_t>(previous)];
            ++next;
            if (next == 1 << size && size < 12) ++size;
        }
        previous = code;
    }
    return out->size() == count;
}

bool decodeGif(std::span<const std::uint8_t> bytes, WrittenRaster* raster, std::string* fault) {
    const auto refuse = [fault](const char* why) {
        *fault = why;
        return false;
    };
    GifReader in(bytes);
    if (!in.has(13) || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 &&
                        std::memcmp(bytes.data(), "GIF89a", 6) != 0))
        return refuse("no GIF header");
    for (int i = 0; i < 6; ++i) in.byte();
    const long width = in.word(), height = in.word();
    const std::uint8_t flags = in.byte();
    in.byte();  // background index
    in.byte();  // aspect
    if (!sizeAllowed(width, height)) return refuse("a size beyond any picture written");
    std::vector<Colour> global;
    if (flags & 0x80 && !in.table(std::size_t{2} << (flags & 7), &global))
        return refuse("the colour table runs past the end");
    std::vector<std::uint8_t> data;
    bool image = false;
    while (in.has(1)) {
        const std::uint8_t introducer = in.byte();
        if (introducer == 0x3B) {
            if (!image) return refuse("no image");
            if (!in.atEnd()) return refuse("bytes after the trailer");
            return true;
        }
        if (introducer == 0x21) {
            if (!in.has(1)) break;
            in.byte();
            if (!in.blocks(&data)) break;
            continue;
        }
        if (introducer != 0x2C || image || !in.has(9)) return refuse("an unexpected block");
        const long left = in.word(), top = in.word(), w = in.word(), h = in.word();
        const std::uint8_t imageFlags = in.byte();
        if (left != 0 || top != 0 || w != width || h != height)
            return refuse("an image that is not the whole screen");
        raster->palette = global;
        if (imageFlags & 0x80 && !in.table(std::size_t{2} << (imageFlags & 7), &raster->palette))
            return refuse("the colour table runs past the end");
        if (!in.has(1)) break;
        const int minimumSize = in.byte();
        if (!in.blocks(&data)) break;
        allocate(raster, width, height, 8);
        std::vector<std::uint8_t> indices;
        if (!decodeLzw(minimumSize, data, raster->pixels.size(), &indices))
            return refuse("the LZW codes do not make the picture");
        for (std::uint8_t index : indices)
            if (index >= raster->palette.size()) return refuse("a pixel beyond the colour table");
        const auto w8 = static_cast<std::size_t>(width);
        if (imageFlags & 0x40) {
            // Interlaced: every 8th row from 0, from 4, every 4th from 2, every 2nd from 1.
            std::size_t source = 0;
            for (const auto& [start, step] : {std::pair{0L, 8L}, {4L, 8L}, {2L, 4L}, {1L, 2L}})
                for (long y = start; y < height; y += step, source += w8)
                    std::memcpy(raster->pixels.data() + static_cast<std::size_t>(y) * w8,
                                indices.data() + source, w8);
        } else {
            raster->pixels = std::move(indices);
        }
        image = true;
    }
    return refuse("the file ends early");
}

// ---------------------------------------------------------------------------
// SVG: the writer's one shape of document, a background rectangle and one
// path of closed rectangles "M x y h w v h h -w z", in the view box's pixels.

class Text {
public:
    explicit Text(std::span<const std::uint8_t> bytes)
        : s_(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}
    bool skip(std::string_view literal) {
        if (s_.substr(at_, literal.size()) != literal) return false;
        at_ += literal.size();
        return true;
    }
    // Moves past the next occurrence of `literal` that comes before `limit`.
    bool find(std::string_view literal, std::string_view limit) {
        const std::size_t found = s_.find(literal, at_);
        const std::size_t stop = s_.find(limit, at_);
        if (found == std::string_view::npos || (stop != std::string_view::npos && stop < found))
            return false;
        at_ = found + literal.size();
        return true;
    }
    void spaces() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n')) ++at_;
    }
    bool number(long* value, bool allowSign = false) {
        bool negative = false;
        if (allowSign && at_ < s_.size() && s_[at_] == '-') {
            negative = true;
            ++at_;
        }
        long v = 0;
        const std::size_t start = at_;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9' && at_ - start < 9)
            v = v * 10 + (s_[at_++] - '0');
        if (at_ == start || (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9')) return false;
        *value = negative ? -v : v;
        return true;
    }
    bool colour(Colour* colour) {
        if (!skip("#") || s_.size() - at_ < 6) return false;
        std::uint8_t channel[3];
        for (int i = 0; i < 3; ++i) {
            int v = 0;
            for (int j = 0; j < 2; ++j) {
                const char c = s_[at_++];
                const int digit = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                         : -1;
                if (digit < 0) return false;
                v = v * 16 + digit;
            }
            channel[i] = static_cast<std::uint8_t>(v);
        }
        *colour = {channel[0], channel[1], channel[2]};
        return true;
    }
    bool atEnd() const { return at_ == s_.size(); }

private:
    std::string_view s_;
    std::size_t at_ = 0;
};

bool decodeSvg(std::span<const std::uint8_t> bytes, WrittenRaster* raster, std::string* fault) {
    const auto refuse = [fault](const char* why) {
        *fault = why;
        return false;
    };
    Text in(bytes);
    long width = 0, height = 0, w = 0, h = 0;
    Colour space, bar;
    if (!in.skip("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ") ||
        !in.find("viewBox=\"0 0 ", ">") || !in.number(&width) || !in.skip(" ") ||
        !in.number(&height) || !in.skip("\"") || !in.find(">\n", "<"))
        return refuse("no svg element with a view box");
    if (!sizeAllowed(width, height)) return refuse("a size beyond any picture written");
    if (!in.skip("<rect width=\"") || !in.number(&w) || !in.skip("\" height=\"") ||
        !in.number(&h) || !in.skip("\" fill=\"") || !in.colour(&space) || !in.skip("\"/>\n") ||
        w != width || h != height)
        return refuse("no background over the whole view box");
    if (!in.skip("<path fill=\"") || !in.colour(&bar) || !in.skip("\" d=\""))
        return refuse("no path of bars");
    allocate(raster, width, height, 1);
    raster->palette = {space, bar};
    while (true) {
        in.spaces();
        if (in.skip("\"/>\n")) break;
        long x = 0, y = 0, across = 0, down = 0, back = 0;
        if (!in.skip("M") || !in.number(&x) || !in.skip(" ") || !in.number(&y) || !in.skip("h") ||
            !in.number(&across) || !in.skip("v") || !in.number(&down) || !in.skip("h") ||
            !in.number(&back, true) || !in.skip("z"))
            return refuse("a path command that is not a closed rectangle");
        if (back != -across || across < 1 || down < 1 || x + across > width || y + down > height)
            return refuse("a rectangle outside the view box");
        for (long row = y; row < y + down; ++row) {
            std::uint8_t* line =
                raster->pixels.data() + static_cast<std::size_t>(row) * raster->stride;
            for (long column = x; column < x + across; ++column)
                line[column / 8] |= static_cast<std::uint8_t>(0x80 >> (column % 8));
        }
    }
    if (!in.skip("</svg>\n") || !in.atEnd()) return refuse("more than the symbol's drawing");
    return true;
}

// ---------------------------------------------------------------------------
// ZPL: ^GFA's hexadecimal rows with the printers' compression (G to Y and
// g to z repeat counts, ',' the rest of the row white, '!' black, ':' the
// row above again).

bool decodeZpl(std::span<const std::uint8_t> bytes, WrittenRaster* raster, std::string* fault) {
    const auto refuse = [fault](const char* why) {
        *fault = why;
        return false;
    };
    Text in(bytes);
    long x = 0, y = 0, total = 0, again = 0, rowBytes = 0;
    if (!in.skip("^XA\n^FO") || !in.number(&x) || !in.skip(",") || !in.number(&y) ||
        !in.skip("^GFA,") || !in.number(&total) || !in.skip(",") || !in.number(&again) ||
        !in.skip(",") || !in.number(&rowBytes) || !in.skip(","))
        return refuse("no ^GFA graphic field");
    if (rowBytes < 1 || total != again || total % rowBytes != 0 ||
        !sizeAllowed(rowBytes * 8, total / rowBytes))
        return refuse("a graphic field of impossible size");
    allocate(raster, rowBytes * 8, total / rowBytes, 1);
    raster->palette = {{255, 255, 255}, {0, 0, 0}};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t dataEnd = text.find("^FS\n^XZ\n");
    if (dataEnd == std::string_view::npos || dataEnd + 8 != text.size())
        return refuse("no end of the field and label");
    std::size_t at = text.find(',', text.find("^GFA,") + 5);
    at = text.find(',', at + 1);
    at = text.find(',', at + 1) + 1;
    const long digits = 2 * rowBytes;
    long row = 0, digit = 0, count = 0;
    const auto put = [&](int value, long times) {
        std::uint8_t* line = raster->pixels.data() + static_cast<std::size_t>(row) * raster->stride;
        for (long i = 0; i < times; ++i, ++digit)
            line[digit / 2] |= static_cast<std::uint8_t>(digit % 2 == 0 ? value << 4 : value);
    };
    for (; at < dataEnd; ++at) {
        const char c = text[at];
        if (row >= raster->height) return refuse("more rows than the field's size");
        if (c >= 'G' && c <= 'Y') {
            count += c - 'G' + 1;
            continue;
        }
        if (c >= 'g' && c <= 'z') {
            count += 20 * (c - 'g' + 1);
            continue;
        }
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (hex) {
            const long times = count > 0 ? count : 1;
            if (digit + times > digits) return refuse("a row longer than the field");
            put(c <= '9' ? c - '0' : c - 'A' + 10, times);
        } else if (c == ',' || c == '!') {
            if (count > 0) return refuse("a count before a row's end");
            put(c == '!' ? 15 : 0, digits - digit);
        } else if (c == ':') {
            if (count > 0 || digit != 0 || row == 0) return refuse("a repeat out of place");
            std::memcpy(raster->pixels.data() + static_cast<std::size_t>(row) * raster->stride,
                        raster->pixels.data() + static_cast<std::size_t>(row - 1) * raster->stride,
                        raster->stride);
            digit = digits;
        } else {
            return refuse("a character that is no part of the field's data");
        }
        count = 0;
        if (digit == digits) {
            ++row;
            digit = 0;
        }
    }
    if (row != raster->height || digit != 0 || count != 0)
        return refuse("fewer rows than the field's size");
    return true;
}

// ---------------------------------------------------------------------------
// ESC/POS: GS v 0 m, the width in bytes and the height in dots, each two
// bytes little-endian, then the rows.

bool decodeEscPos(std::span<const std::uint8_t> b, WrittenRaster* raster, std::string* fault) {
    if (b.size() < 8 || b[0] != 0x1D || b[1] != 'v' || b[2] != '0' || b[3] != 0) {
        *fault = "no raster bit image command";
        return false;
    }
    const long rowBytes = little16(b, 4), height = little16(b, 6);
    if (!sizeAllowed(rowBytes * 8, height) ||
        b.size() - 8 != static_cast<std::size_t>(rowBytes * height)) {
        *fault = "the image's size is not the command's";
        return false;
    }
    allocate(raster, rowBytes * 8, height, 1);
    raster->palette = {{255, 255, 255}, {0, 0, 0}};
    std::memcpy(raster->pixels.data(), b.data() + 8, raster->pixels.size());
    return true;
}

bool bitAt(const std::uint8_t* line, long x) {
    return (line[x >> 3] >> (7 - (x & 7))) & 1;
}

}  // namespace

Colour WrittenRaster::colourAt(long x, long y) const {
    const std::uint8_t* line = pixels.data() + static_cast<std::size_t>(y) * stride;
    if (bits == 24) return {line[3 * x], line[3 * x + 1], line[3 * x + 2]};
    const std::size_t index = bits == 1 ? (bitAt(line, x) ? 1 : 0) : line[x];
    return index < palette.size() ? palette[index] : Colour{1, 2, 3};
}

bool decodeWritten(FileKind kind, std::span<const std::uint8_t> bytes, WrittenRaster* raster,
                   std::string* fault) {
    *raster = {};
    fault->clear();
    switch (kind) {
        case FileKind::png:
            return decodePng(bytes, raster, fault);
        case FileKind::gif:
            return decodeGif(bytes, raster, fault);
        case FileKind::bmp:
            return decodeBmp(bytes, raster, fault);
        case FileKind::svg:
            return decodeSvg(bytes, raster, fault);
        case FileKind::zpl:
            return decodeZpl(bytes, raster, fault);
        case FileKind::escpos:
            return decodeEscPos(bytes, raster, fault);
    }
    return false;
}

Outcome sameAsPicture(const WrittenRaster& written, const PictureView& picture, Colour bar,
                      Colour space) {
    Outcome outcome;
    if (written.width != picture.width || written.height != picture.height) {
        outcome.mismatch = Mismatch::PictureSize;
        return outcome;
    }
    const auto width = static_cast<std::size_t>(written.width);
    const std::size_t whole = width / 8;
    const int tail = static_cast<int>(width % 8);
    const auto tailMask = static_cast<std::uint8_t>(0xFF << (8 - tail));
    // The writers' usual file: one bit a pixel in the picture's own two
    // colours, compared a byte at a time (flipped when the file's palette
    // or the picture's bar bit has them the other way round).
    bool bytewise = false;
    std::uint8_t flip = 0;
    if (written.bits == 1 && written.palette.size() >= 2) {
        const bool same = written.palette[0] == space && written.palette[1] == bar;
        const bool swapped = written.palette[0] == bar && written.palette[1] == space;
        bytewise = same || swapped;
        flip = static_cast<std::uint8_t>((swapped ? 0xFF : 0) ^ (picture.barBit == 1 ? 0 : 0xFF));
    }
    for (long y = 0; y < written.height; ++y) {
        const std::uint8_t* mine =
            written.pixels.data() + static_cast<std::size_t>(y) * written.stride;
        const std::uint8_t* theirs = picture.top + y * picture.stride;
        if (bytewise) {
            bool equal = true;
            for (std::size_t i = 0; i < whole && equal; ++i)
                equal = static_cast<std::uint8_t>(mine[i] ^ flip) == theirs[i];
            if (equal && tail != 0) equal = ((mine[whole] ^ flip ^ theirs[whole]) & tailMask) == 0;
            if (equal) continue;
        }
        for (long x = 0; x < written.width; ++x) {
            const bool isBar = bitAt(theirs, x) == (picture.barBit == 1);
            if (written.colourAt(x, y) != (isBar ? bar : space)) {
                outcome.mismatch = Mismatch::FileDiffers;
                outcome.x = x;
                outcome.y = y;
                return outcome;
            }
        }
    }
    return outcome;
}

Outcome drawnAsMatrix(const WrittenRaster& written, const ModuleView& modules, const Layout& layout,
                      Colour bar) {
    Outcome outcome;
    const long width = 2L * layout.margin + static_cast<long>(modules.width) * layout.moduleWidth;
    if (written.height < 1 || written.width < width || (written.width - width) >= 8) {
        outcome.mismatch = Mismatch::PictureSize;
        return outcome;
    }
    // One bit a pixel, 1 a bar, whatever the file's own values: the form
    // samplesBack reads.
    const std::size_t bytes = (static_cast<std::size_t>(width) + 7) / 8;
    std::vector<std::uint8_t> bits(bytes * static_cast<std::size_t>(written.height), 0);
    for (long y = 0; y < written.height; ++y) {
        std::uint8_t* line = bits.data() + static_cast<std::size_t>(y) * bytes;
        for (long x = 0; x < written.width; ++x) {
            if (written.colourAt(x, y) != bar) continue;
            if (x >= width) {
                outcome.mismatch = Mismatch::QuietZone;
                outcome.x = x;
                outcome.y = y;
                return outcome;
            }
            line[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    PictureView view;
    view.top = bits.data();
    view.stride = static_cast<std::ptrdiff_t>(bytes);
    view.width = width;
    view.height = written.height;
    view.format = PixelFormat::OneBit;
    view.barBit = 1;
    return samplesBack(view, modules, layout);
}

std::vector<std::uint8_t> modulesOf(const WrittenRaster& written, const Layout& layout, int rows,
                                    int width, Colour bar) {
    std::vector<std::uint8_t> modules(static_cast<std::size_t>(rows) *
                                      static_cast<std::size_t>(width));
    for (int row = 0; row < rows; ++row) {
        const long y = layout.margin + static_cast<long>(row) * layout.rowHeight;
        for (int module = 0; module < width; ++module) {
            const long x = layout.margin + static_cast<long>(module) * layout.moduleWidth;
            const bool inside = x < written.width && y < written.height;
            modules[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(module)] =
                inside && written.colourAt(x, y) == bar ? 1 : 0;
        }
    }
    return modules;
}

}  // namespace barquill::verify
