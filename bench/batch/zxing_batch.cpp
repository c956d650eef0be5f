// SPDX-License-Identifier: MIT
// The peer of `barquill --batch` in the batch benchmark: every line of a
// list to a PDF417 PNG file through zxing-cpp's writer (MultiFormatWriter,
// at the writer's own size) and libpng (8-bit grey, default compression),
// one after the other, as a program built on those libraries would.
// Usage: zxing_batch LIST PATTERN   (PATTERN holds one %05d, the line number)
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool writePng(const ZXing::BitMatrix& matrix, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    const int width = matrix.width(), height = matrix.height();
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const auto grey = ZXing::ToMatrix<std::uint8_t>(matrix, 0, 255);
    for (int y = 0; y < height; ++y)
        png_write_row(png,
                      const_cast<png_bytep>(grey.data() + static_cast<std::size_t>(y) *
                                                              static_cast<std::size_t>(width)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIST PATTERN\n", argv[0]);
        return 1;
    }
    std::ifstream list(argv[1]);
    const ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::PDF417);
    std::vector<char> name(4096);
    int line = 0, failed = 0;
    for (std::string text; std::getline(list, text);) {
        ++line;
        std::snprintf(name.data(), name.size(), argv[2], line);
        try {
            if (!writePng(writer.encode(text, 0, 0), name.data())) ++failed;
        } catch (const std::exception&) {
            ++failed;
        }
    }
    if (failed) std::fprintf(stderr, "%d of %d labels failed\n", failed, line);
    return failed ? 2 : 0;
}
