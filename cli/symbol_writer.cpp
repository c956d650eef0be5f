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

bool writeSymbolFile(const encoder::SymbolJob& job, const DrawOptions& options, OutputFormat format,
                     const std::string& path, std::string* error) {
    // Labels come by the thousand: the file is not synced to the disk, which
    // would cost more than everything else per symbol.
    constexpr bool sync = false;
    errno = 0;
    if (format == OutputFormat::svg) {
        const std::string document = svgDocument(job, options);
        const auto write = [&](std::FILE* stream) {
            return std::fwrite(document.data(), 1, document.size(), stream) == document.size();
        };
        if (image::ReplaceFile(path.c_str(), write, sync) == image::ReplaceFailure::None)
            return true;
        *error = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    image::Picture picture;
    if (!drawSymbol(job, options, &picture)) {
        *error = pictureError(picture, "cannot draw the symbol");
        return false;
    }
    if (picture.Save(path.c_str(), imageFormat(format), sync)) return true;
    // The system's reason (a full disk, a missing folder) says what to change;
    // the writer's own text is the fallback.
    *error = errno != 0 ? std::string(std::strerror(errno))
                        : pictureError(picture, "cannot write the picture");
    return false;
}

bool writeSymbolStream(const encoder::SymbolJob& job, const DrawOptions& options,
                       OutputFormat format, std::FILE* stream, std::string* error) {
    std::string bytes;
    if (!encodeSymbolFile(job, options, format, &bytes, error)) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace barquill::cli
