#include "cli/symbol_writer.h"

#include <cerrno>
#include <cstring>

#include "image/picture.h"
#include "image/replace_file.h"

namespace barquill::cli {

namespace {

std::uint32_t imageFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::gif:
            return image::IMAGE_FORMAT_GIF;
        case OutputFormat::png:
            return image::IMAGE_FORMAT_PNG;
        default:
            return image::IMAGE_FORMAT_BMP;
    }
}

std::string pictureError(const image::Picture& picture, const char* fallback) {
    const char* text = picture.GetLastError();
    return text[0] ? std::string(text) : std::string(fallback);
}

// The picture as a reader sees it: grey levels of its palette colours, top
// row first.
std::vector<std::uint8_t> greyPixels(const image::Picture& picture) {
    const auto width = static_cast<std::uint32_t>(picture.GetWidth());
    const auto height = static_cast<std::uint32_t>(picture.GetHeight());
    std::uint8_t level[2];
    for (std::uint32_t i = 0; i < 2; ++i) {
        const image::RgbQuad colour = picture.GetPaletteColor(i);
        level[i] = static_cast<std::uint8_t>(
            (299 * colour.red + 587 * colour.green + 114 * colour.blue + 500) / 1000);
    }
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.GetBits(height - 1 - y);
        std::uint8_t* out = grey.data() + static_cast<std::size_t>(y) * width;
        for (std::uint32_t x = 0; x < width; ++x)
            out[x] = level[(row[x >> 3] >> (7 - (x & 7))) & 1];
    }
    return grey;
}

std::string mismatchText(const verify::Outcome& outcome, const verify::Expected& expected) {
    const std::string failed = "verification failed: ";
    switch (outcome.mismatch) {
        case verify::Mismatch::None:
            return {};
        case verify::Mismatch::Unavailable:
            return failed + "this build has no reader to read symbols back";
        case verify::Mismatch::NotFound:
            return failed +
                   "the reader finds no symbol in the picture (are bars and background "
                   "too alike in brightness?)";
        case verify::Mismatch::Bytes: {
            const std::string& read = outcome.read.bytes;
            std::size_t first = 0;
            while (first < read.size() && first < expected.bytes.size() &&
                   read[first] == expected.bytes[first])
                ++first;
            return failed + "the symbol reads back as " + std::to_string(read.size()) +
                   " bytes instead of " + std::to_string(expected.bytes.size()) +
                   ", differing from byte " + std::to_string(first + 1);
        }
        case verify::Mismatch::Eci: {
            const auto eci = [](int designator) {
                return designator == verify::NO_ECI ? std::string("none")
                                                    : std::to_string(designator);
            };
            return failed + "the symbol reads back with ECI " + eci(outcome.read.eci) +
                   " instead of " + eci(expected.eci);
        }
        case verify::Mismatch::Macro:
            return failed + "the Macro PDF417 fields read back differ from those asked for";
    }
    return failed;
}

bool verifyPicture(const image::Picture& picture, const verify::Expected& expected,
                   std::string* error) {
    const std::vector<std::uint8_t> grey = greyPixels(picture);
    const int width = static_cast<int>(picture.GetWidth());
    const verify::Outcome outcome = verify::verifyGrey(
        grey.data(), width, static_cast<int>(picture.GetHeight()), width, expected);
    if (outcome.ok()) return true;
    *error = mismatchText(outcome, expected);
    return false;
}

}  // namespace

bool encodeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options,
                      OutputFormat format, std::string* bytes, std::string* error) {
    if (format == OutputFormat::svg) {
        *bytes = svgDocument(job, options);
        return true;
    }
    image::Picture picture;
    if (!drawSymbol(job, options, &picture)) {
        *error = pictureError(picture, "cannot draw the symbol");
        return false;
    }
    std::uint8_t* encoded = nullptr;
    std::int32_t size = 0;
    if (!picture.Encode(encoded, size, imageFormat(format))) {
        *error = pictureError(picture, "cannot encode the picture");
        return false;
    }
    bytes->assign(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(size));
    image::Picture::FreeMemory(encoded);
    return true;
}

bool verifySymbol(const encoder::SymbolJob& job, const DrawOptions& options,
                  const verify::Expected& expected, std::string* error) {
    image::Picture picture;
    if (!drawSymbol(job, options, &picture)) {
        *error = pictureError(picture, "cannot draw the symbol");
        return false;
    }
    return verifyPicture(picture, expected, error);
}

WriteResult writeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options,
                            OutputFormat format, const std::string& path,
                            const WriteOptions& writeOptions, std::string* error) {
    // Labels come by the thousand: the file is not synced to the disk, which
    // would cost more than everything else per symbol.
    const image::ReplaceOptions replace{false, writeOptions.replaceReadOnly};
    std::string document;
    image::Picture picture;
    if (format == OutputFormat::svg) {
        // The SVG draws the same modules as the raster, which is read back.
        if (writeOptions.verify && !verifySymbol(job, options, *writeOptions.verify, error))
            return WriteResult::notVerified;
        document = svgDocument(job, options);
    } else if (!drawSymbol(job, options, &picture)) {
        *error = pictureError(picture, "cannot draw the symbol");
        return WriteResult::notWritten;
    } else if (writeOptions.verify && !verifyPicture(picture, *writeOptions.verify, error)) {
        return WriteResult::notVerified;
    }
    const auto write = [&](std::FILE* stream) {
        if (format != OutputFormat::svg) return picture.Encode(stream, imageFormat(format));
        return std::fwrite(document.data(), 1, document.size(), stream) == document.size();
    };
    errno = 0;
    switch (image::ReplaceFile(path.c_str(), write, replace)) {
        case image::ReplaceFailure::None:
            return WriteResult::written;
        case image::ReplaceFailure::ReadOnly:
            *error = "the file is read-only; give --force to replace it";
            return WriteResult::notWritten;
        default:
            break;
    }
    // The system's reason (a full disk, a missing folder) says what to change;
    // the writer's own text is the fallback.
    *error = errno != 0 ? std::string(std::strerror(errno))
                        : pictureError(picture, "cannot write the picture");
    return WriteResult::notWritten;
}

WriteResult writeSymbolStream(const encoder::SymbolJob& job, const DrawOptions& options,
                              OutputFormat format, std::FILE* stream,
                              const WriteOptions& writeOptions, std::string* error) {
    if (writeOptions.verify && !verifySymbol(job, options, *writeOptions.verify, error))
        return WriteResult::notVerified;
    std::string bytes;
    if (!encodeSymbolFile(job, options, format, &bytes, error)) return WriteResult::notWritten;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0) {
        *error = std::strerror(errno);
        return WriteResult::notWritten;
    }
    return WriteResult::written;
}

}  // namespace barquill::cli
